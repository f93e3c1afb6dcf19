// Translation of SDL key events to what the form is told of a key press: the key's identity
// as a Windows virtual-key code, the character the user's layout typed with it, and the
// shift state.
#pragma once

#include "Winlayer_un.h"

#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include <cstdint>

// The virtual-key code of an SDL key, or 0 for a key the calculator has no code for. A letter
// is the letter the layout puts on the key; a key of another script (Cyrillic, Greek, ...)
// is the letter of its place on a US keyboard, so that Ctrl shortcuts work on any layout.
// The keypad's digit and decimal keys are navigation keys (0) while Num Lock is off.
std::uint16_t VirtualKeyOf(SDL_Keycode key, SDL_Scancode place = SDL_SCANCODE_UNKNOWN,
                           bool numLock = true);
// The shift state from SDL modifier flags and the SDL mouse button mask.
TShiftState ShiftStateOf(std::uint16_t modifiers, std::uint32_t buttons);
// The shift state of a key press. SDL reports AltGr as the right Alt; it counts as AltGr
// (not Alt) when, without the left Alt, it made the key type another character than the
// key's own.
TShiftState KeyShiftStateOf(std::uint16_t modifiers, std::uint32_t buttons, SDL_Keycode key,
                            char32_t typed);
// The first character of a UTF-8 text when the text is that one character, or 0.
char32_t SingleCharacterOf(const char* utf8);
