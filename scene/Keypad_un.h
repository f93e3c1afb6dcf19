// The one table of the 22 calculator keys. Everything the system knows about a key is read
// from here: its ButtonId, the engine command it runs, its cell in the grid on the case, the
// picture of its face and the label drawn on it, its line on the card, the characters and
// the key that press it, and the key its click stands for. The picture tool and the build
// read the table too, so adding or renaming a key changes this table alone.
//
// The table is constant data with no dependencies beyond the key vocabulary, so that the
// build-time picture tool can include it as it is.
#pragma once

#include "platform/Keycodes_un.h"

#include <array>
#include <cstdint>
#include <string_view>

constexpr int KeyCount = 22;

// ButtonId values of the keys that are not digits.
enum ButtonId : int {
    BtnPlusMinus = 10,
    BtnPlus = 11,
    BtnMinus = 12,
    BtnMult = 13,
    BtnDivision = 14,
    BtnMC = 15,
    BtnMR = 16,
    BtnMPlus = 17,
    BtnEqual = 18,
    BtnCE = 19,
    BtnC = 20,
    BtnPoint = 21,
};

enum class KeyCommand : std::uint8_t {
    Digit,
    ChangeSign,
    Operator,
    MemoryClear,
    MemoryRecall,
    MemoryAdd,
    Evaluate,
    ClearEntry,
    ClearAll,
    Point,
};

// The colours of a key's face: one style for each family of keys.
enum class FaceStyle : std::uint8_t { Digit, Operator, Memory, Clear, Equals };

// The grid is 5 x 5; row 0 lies farthest from the display, column 0 at -z.
constexpr int GridSize = 5;

struct KeypadKey {
    int id; // ButtonId, the index into the form's Keys and the key pictures
    KeyCommand command;
    int argument; // the digit of a digit key, the engine's operator code of an operation
    int row, column;
    const char* picture; // the face's file: tex/Button/<picture>.jpg
    const char* label;   // drawn on the face, UTF-8
    FaceStyle style;
    int labelSize; // in pixels, on the 128-pixel face
    // The characters that press the key, whatever layout or modifiers typed them.
    std::u32string_view characters;
    // The key that presses it without typing a character (the keypad, Enter, F9, ...; Ctrl
    // and a letter for the memory keys), with the modifiers it needs. It is also what a
    // click on the key stands for.
    std::uint16_t key;
    TShiftState keyShift;
    // On the card: the line the key is listed on (what it does), and how it is typed there.
    const char* cardLine;
    const char* cardKeys;
    // What a screen reader calls the key: what it does, in words.
    const char* spoken;
};

// Indexed by ButtonId.
constexpr std::array<KeypadKey, KeyCount> Keypad{{
    // clang-format off
    {0,  KeyCommand::Digit, 0, 0, 0, "0", "0", FaceStyle::Digit, 78, U"0", VK_NUMPAD0 + 0, 0, "digits", "0", "0"},
    {1,  KeyCommand::Digit, 1, 1, 0, "1", "1", FaceStyle::Digit, 78, U"1", VK_NUMPAD0 + 1, 0, "digits", "1", "1"},
    {2,  KeyCommand::Digit, 2, 1, 1, "2", "2", FaceStyle::Digit, 78, U"2", VK_NUMPAD0 + 2, 0, "digits", "2", "2"},
    {3,  KeyCommand::Digit, 3, 1, 2, "3", "3", FaceStyle::Digit, 78, U"3", VK_NUMPAD0 + 3, 0, "digits", "3", "3"},
    {4,  KeyCommand::Digit, 4, 2, 0, "4", "4", FaceStyle::Digit, 78, U"4", VK_NUMPAD0 + 4, 0, "digits", "4", "4"},
    {5,  KeyCommand::Digit, 5, 2, 1, "5", "5", FaceStyle::Digit, 78, U"5", VK_NUMPAD0 + 5, 0, "digits", "5", "5"},
    {6,  KeyCommand::Digit, 6, 2, 2, "6", "6", FaceStyle::Digit, 78, U"6", VK_NUMPAD0 + 6, 0, "digits", "6", "6"},
    {7,  KeyCommand::Digit, 7, 3, 0, "7", "7", FaceStyle::Digit, 78, U"7", VK_NUMPAD0 + 7, 0, "digits", "7", "7"},
    {8,  KeyCommand::Digit, 8, 3, 1, "8", "8", FaceStyle::Digit, 78, U"8", VK_NUMPAD0 + 8, 0, "digits", "8", "8"},
    {9,  KeyCommand::Digit, 9, 3, 2, "9", "9", FaceStyle::Digit, 78, U"9", VK_NUMPAD0 + 9, 0, "digits", "9", "9"},
    {BtnPlusMinus, KeyCommand::ChangeSign, 0, 0, 2, "PlusMinus", "\u00B1", FaceStyle::Operator, 92, U"", VK_F9, 0, "sign change", "F9", "Change sign"},
    {BtnPlus,      KeyCommand::Operator, 1, 0, 3, "Plus", "+", FaceStyle::Operator, 92, U"+", VK_ADD, 0, "operations", "+", "Plus"},
    {BtnMinus,     KeyCommand::Operator, 2, 1, 3, "Minus", "\u2212", FaceStyle::Operator, 92, U"-\u2212", VK_SUBTRACT, 0, "operations", "\u2212", "Minus"},
    {BtnMult,      KeyCommand::Operator, 3, 2, 3, "Mult", "\u00D7", FaceStyle::Operator, 92, U"*\u00D7", VK_MULTIPLY, 0, "operations", "*", "Multiply"},
    {BtnDivision,  KeyCommand::Operator, 4, 3, 3, "Division", "\u00F7", FaceStyle::Operator, 92, U"/\u00F7", VK_DIVIDE, 0, "operations", "/", "Divide"},
    {BtnMC,        KeyCommand::MemoryClear, 0, 3, 4, "MC", "MC", FaceStyle::Memory, 56, U"", 'L', ssCtrl, "MC MR M+", "Ctrl+L", "Memory clear"},
    {BtnMR,        KeyCommand::MemoryRecall, 0, 2, 4, "MR", "MR", FaceStyle::Memory, 56, U"", 'R', ssCtrl, "MC MR M+", "Ctrl+R", "Memory recall"},
    {BtnMPlus,     KeyCommand::MemoryAdd, 0, 1, 4, "MPlus", "M+", FaceStyle::Memory, 56, U"", 'P', ssCtrl, "MC MR M+", "Ctrl+P", "Memory add"},
    {BtnEqual,     KeyCommand::Evaluate, 0, 0, 4, "Equal", "=", FaceStyle::Equals, 92, U"=", VK_RETURN, 0, "equals", "= or Enter", "Equals"},
    {BtnCE,        KeyCommand::ClearEntry, 0, 4, 0, "CE", "CE", FaceStyle::Clear, 56, U"", VK_DELETE, 0, "CE", "Delete", "Clear entry"},
    {BtnC,         KeyCommand::ClearAll, 0, 4, 1, "C", "C", FaceStyle::Clear, 78, U"", VK_ESCAPE, 0, "C", "Esc", "Clear"},
    {BtnPoint,     KeyCommand::Point, 0, 0, 1, "Point", ",", FaceStyle::Digit, 116, U",.", VK_DECIMAL, 0, "decimal point", ", or .", "Decimal comma"},
    // clang-format on
}};

// The ButtonId a key press stands for, or -1 for none.
//   key: the key's identity; for a letter, the letter the layout puts on it (or, on a layout
//        without Latin letters, the letter of its place on a US keyboard);
//   typed: the character the layout types with the modifiers held, 0 for none;
//   shift: the modifiers held.
// A key that types a character acts by that character; the keys of the table's `key` column
// act by their identity whatever they type. Alt with anything, or Ctrl with Shift, does
// nothing; AltGr that typed the character is not Alt.
int ButtonOfKey(std::uint16_t key, char32_t typed, TShiftState shift);

// The ButtonId of a character, or -1.
int ButtonOfCharacter(char32_t c);

// The keyboard key (and shift state) that a click on a calculator key stands for.
struct ClickKey {
    std::uint16_t key;
    TShiftState shift;
};
ClickKey ClickKeyOf(int buttonId);

// Runs the engine command of a key.
void RunKeyCommand(int buttonId);
