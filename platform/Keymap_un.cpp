#include "Keymap_un.h"

#include "Utf8_un.h"

#include <SDL_mouse.h>

#include <string_view>

std::uint16_t VirtualKeyOf(SDL_Keycode key, SDL_Scancode place, bool numLock) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<std::uint16_t>('A' + (key - SDLK_a));
    // SDL names a character key by the character it types unshifted.
    const bool otherScript = key >= 0x80 && (key & SDLK_SCANCODE_MASK) == 0;
    if (otherScript && place >= SDL_SCANCODE_A && place <= SDL_SCANCODE_Z)
        return static_cast<std::uint16_t>('A' + (place - SDL_SCANCODE_A));
    // So are the digit row's keys where a layout puts other characters on them unshifted
    // (French: "à" on the key of 0), so that Ctrl+0 is found there.
    if (otherScript && place >= SDL_SCANCODE_1 && place <= SDL_SCANCODE_0)
        return static_cast<std::uint16_t>(place == SDL_SCANCODE_0 ? '0'
                                                                  : '1' + (place - SDL_SCANCODE_1));
    if (!numLock && ((key >= SDLK_KP_1 && key <= SDLK_KP_0) || key == SDLK_KP_PERIOD)) return 0;
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<std::uint16_t>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return static_cast<std::uint16_t>(VK_F1 + (key - SDLK_F1));
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return static_cast<std::uint16_t>(VK_NUMPAD0 + 1 + (key - SDLK_KP_1));
    switch (key) {
    case SDLK_KP_0:
        return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_PERIOD:
    case SDLK_KP_DECIMAL:
    case SDLK_KP_COMMA:
        return VK_DECIMAL;
    case SDLK_KP_DIVIDE:
        return VK_DIVIDE;
    case SDLK_KP_ENTER:
    case SDLK_RETURN:
    case SDLK_RETURN2:
        return VK_RETURN;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_SEMICOLON:
        return VK_OEM_1;
    case SDLK_EQUALS:
        return VK_OEM_PLUS;
    case SDLK_PLUS:
        return VK_OEM_PLUS;
    case SDLK_COMMA:
        return VK_OEM_COMMA;
    case SDLK_MINUS:
        return VK_OEM_MINUS;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_SLASH:
        return VK_OEM_2;
    default:
        return 0;
    }
}

TShiftState KeyShiftStateOf(std::uint16_t modifiers, std::uint32_t buttons, SDL_Keycode key,
                            char32_t typed) {
    const bool altGr = (modifiers & KMOD_RALT) && !(modifiers & KMOD_LALT) && typed != 0 &&
                       typed != static_cast<char32_t>(key);
    if (!altGr) return ShiftStateOf(modifiers, buttons);
    return (ShiftStateOf(modifiers & ~KMOD_RALT, buttons)) | ssAltGr;
}

char32_t SingleCharacterOf(const char* utf8) {
    const std::string_view text(utf8);
    char32_t c = 0;
    return !text.empty() && Utf8SequenceAt(text, 0, c) == text.size() ? c : 0;
}

TShiftState ShiftStateOf(std::uint16_t modifiers, std::uint32_t buttons) {
    TShiftState s = 0;
    if (modifiers & KMOD_SHIFT) s |= ssShift;
    if (modifiers & KMOD_ALT) s |= ssAlt;
    if (modifiers & KMOD_CTRL) s |= ssCtrl;
    if (buttons & SDL_BUTTON_LMASK) s |= ssLeft;
    if (buttons & SDL_BUTTON_RMASK) s |= ssRight;
    if (buttons & SDL_BUTTON_MMASK) s |= ssMiddle;
    return s;
}
