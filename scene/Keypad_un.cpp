#include "Keypad_un.h"

#include "engine/Matheng_un.h"

namespace {

constexpr bool TableIsConsistent() {
    for (int i = 0; i < KeyCount; ++i) {
        const KeypadKey& k = Keypad[i];
        if (k.id != i || k.row < 0 || k.row >= GridSize || k.column < 0 || k.column >= GridSize)
            return false;
        for (int j = 0; j < i; ++j) {
            const KeypadKey& o = Keypad[j];
            if (o.row == k.row && o.column == k.column) return false; // one key a cell
            if (o.key == k.key && o.keyShift == k.keyShift) return false;
            for (char32_t c : k.characters)
                if (o.characters.find(c) != std::u32string_view::npos) return false;
        }
    }
    return true;
}
static_assert(TableIsConsistent(), "each key has a ButtonId of its index, a cell, a key and "
                                   "characters of its own");

} // namespace

int ButtonOfCharacter(char32_t c) {
    if (c == 0) return -1;
    for (const KeypadKey& k : Keypad)
        if (k.characters.find(c) != std::u32string_view::npos) return k.id;
    return -1;
}

int ButtonOfKey(std::uint16_t key, char32_t typed, TShiftState shift) {
    const TShiftState held = shift & ModifierKeys;
    if (held & ssAlt) return -1;
    if ((held & ssCtrl) && (held & ssShift)) return -1;
    // Keys that stand for a calculator key by their identity: the keypad, Enter, F9, Delete,
    // Escape, and Ctrl with a letter. The keypad's decimal key types a comma on many
    // layouts and a point on others; it enters the point on all of them.
    if (key != 0) {
        for (const KeypadKey& k : Keypad)
            if (k.key == key) {
                if (held == k.keyShift) return k.id;
                if (k.keyShift != 0) break; // a letter: with other modifiers it is typing
                return -1;
            }
    }
    // Anything else acts by the character typed; a key held with Ctrl types none.
    if (held & ssCtrl) return -1;
    return ButtonOfCharacter(typed);
}

ClickKey ClickKeyOf(int id) {
    const KeypadKey& k = Keypad[id];
    return {k.key, k.keyShift};
}

void RunKeyCommand(int id) {
    const KeypadKey& k = Keypad[id];
    switch (k.command) {
    case KeyCommand::Digit:
        EnterDigit(k.argument);
        break;
    case KeyCommand::ChangeSign:
        ChangeSign();
        break;
    case KeyCommand::Operator:
        ApplyOperator(k.argument);
        break;
    case KeyCommand::MemoryClear:
        MemoryClear();
        break;
    case KeyCommand::MemoryRecall:
        MemoryRecall();
        break;
    case KeyCommand::MemoryAdd:
        MemoryAdd();
        break;
    case KeyCommand::Evaluate:
        Evaluate();
        break;
    case KeyCommand::ClearEntry:
        ClearEntry();
        break;
    case KeyCommand::ClearAll:
        ClearAll();
        break;
    case KeyCommand::Point:
        EnterPoint();
        break;
    }
}
