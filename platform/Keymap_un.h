// Translation of SDL key and modifier identifiers to Windows virtual-key codes and shift
// states, so the form sees exactly the codes of its key tables.
#pragma once

#include "Winlayer_un.h"

#include <SDL_keycode.h>

#include <cstdint>

// The virtual-key code of an SDL key, or 0 for a key the calculator has no code for.
std::uint16_t VirtualKeyOf(SDL_Keycode key);
// The shift state from SDL modifier flags and the SDL mouse button mask.
TShiftState ShiftStateOf(std::uint16_t modifiers, std::uint32_t buttons);
