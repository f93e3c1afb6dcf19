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
    // The other keys that type a character: the key, what it types alone and with Shift.
    struct Typed {
        std::uint16_t key;
        char32_t alone, shifted;
    };
    constexpr Typed others[] = {
        {VK_OEM_PLUS, '=', '+'},   {VK_OEM_MINUS, '-', '_'}, {VK_OEM_COMMA, ',', '<'},
        {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},     {VK_OEM_1, ';', ':'},
        {VK_SPACE, ' ', ' '},      {VK_ADD, '+', '+'},       {VK_SUBTRACT, '-', '-'},
        {VK_MULTIPLY, '*', '*'},   {VK_DIVIDE, '/', '/'},    {VK_DECIMAL, '.', 0},
    };
    for (const Typed& t : others)
        if (t.key == key) return s ? t.shifted : t.alone;
    return 0;
}

inline WindowEvent UsKeyDown(std::uint16_t key, TShiftState shift = 0) {
    WindowEvent e{WindowEvent::KeyDown, key, shift};
    e.character = UsCharacterOf(key, shift);
    return e;
}
