// The vocabulary of key events, shared by the windowing layer and the table of keys: the
// shift state and the Windows virtual-key codes that name a key independently of the layout
// of the keyboard (the keypad, Enter, the function keys) or, for a letter, by the letter the
// layout puts on it. Constants only, so that any unit may read them.
#pragma once

#include <cstdint>

// Shift state: the modifier keys and the mouse buttons held.
using TShiftState = unsigned;
enum : TShiftState {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    // The key that picks a keyboard's third level (AltGr), held to type a character; it is
    // not Alt.
    ssAltGr = 1u << 6,
};

// Windows virtual-key codes used by the calculator.
enum : std::uint16_t {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_CLEAR = 12,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_PRIOR = 33,
    VK_NEXT = 34,
    VK_END = 35,
    VK_HOME = 36,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_NUMPAD0 = 0x60,
    VK_MULTIPLY = 106,
    VK_ADD = 107,
    VK_SUBTRACT = 109,
    VK_DECIMAL = 110,
    VK_DIVIDE = 111,
    VK_F1 = 112,
    VK_F9 = 120,
    VK_OEM_1 = 186,
    VK_OEM_PLUS = 187,
    VK_OEM_COMMA = 188,
    VK_OEM_MINUS = 189,
    VK_OEM_PERIOD = 190,
    VK_OEM_2 = 191,
};

// The modifier keys among the shift state.
constexpr TShiftState ModifierKeys = ssShift | ssAlt | ssCtrl | ssAltGr;
