// What the windowing layer reports for a key press on a US keyboard: the key's virtual-key
// code and the character the US layout types with it, so that tests can press keys by the
// codes of the key tables.
#pragma once

#include "platform/Winlayer_un.h"

#include <cstdint>
#include <string_view>

// The character the US layout types with a key and modifiers (Num Lock on), 0 for none. Alt
// changes nothing on this layout; a key held with Ctrl types nothing.
constexpr char32_t UsCharacterOf(std::uint16_t key, TShiftState shift) {
    if (shift & ssCtrl) return 0;
    const bool s = shift & ssShift;
    if (key >= '0' && key <= '9') return s ? std::u32string_view(U")!@#$%^&*(")[key - '0'] : key;
    if (key >= 'A' && key <= 'Z') return s ? key : key - 'A' + 'a';
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) return s ? 0 : key - VK_NUMPAD0 + '0';
    switch (key) {
    case VK_OEM_PLUS:
        return s ? '+' : '=';
    case VK_OEM_MINUS:
        return s ? '_' : '-';
    case VK_OEM_COMMA:
        return s ? '<' : ',';
    case VK_OEM_PERIOD:
        return s ? '>' : '.';
    case VK_OEM_2:
        return s ? '?' : '/';
    case VK_OEM_1:
        return s ? ':' : ';';
    case VK_SPACE:
        return ' ';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_MULTIPLY:
        return '*';
    case VK_DIVIDE:
        return '/';
    case VK_DECIMAL:
        return s ? 0 : '.';
    default:
        return 0;
    }
}

inline WindowEvent UsKeyDown(std::uint16_t key, TShiftState shift = 0) {
    WindowEvent e{WindowEvent::KeyDown, key, shift};
    e.character = UsCharacterOf(key, shift);
    return e;
}
