// What the screen reader's view of the calculator says, worked out without the accessibility
// toolkit so that it is tested alone: the keys' shortcuts as key bindings, the keys a user
// types as the keyboard symbols a screen reader echoes, the card as text, and what is
// announced after a key's command.
#pragma once

#include "platform/Keycodes_un.h"

#include <cstdint>
#include <string>

// The shortcut that presses a calculator key, written as accelerators are on this desktop
// ("7", "plus", "F9", "<Control>l").
std::string KeyBindingOf(int key);

// The keyboard symbol (an X keysym) of a key event: by the character it typed when it typed
// one, else by the key; 0 for a key with none.
std::uint32_t KeysymOf(std::uint16_t key, char32_t typed);
// The modifier mask of a key event as X and the screen readers count it.
unsigned ModifierMaskOf(TShiftState shift);

// The card of shortcuts as lines of text, "keys: what they do".
std::string CardText();

// What a press changed, as the screen reader's view saw it.
struct PressOutcome {
    int key;
    std::string before, after; // the display's text
    double memoryBefore, memoryAfter;
    bool error; // the display shows an error now
};
// What is spoken after a key's command: the result of =, an error as it appears, the number
// MR brings back, and the memory when it changes; empty for the keys that only enter a
// number, which the screen reader echoes as they are typed.
std::string AnnouncementOf(const PressOutcome& press);

// The display's description: whether the memory mark is shown.
std::string DisplayDescription(bool memoryShown);
