#include "Accesstext_un.h"

#include "engine/Matheng_un.h"
#include "scene/Cardlines_un.h"
#include "scene/Keypad_un.h"

#include <cctype>

namespace {

struct Named {
    std::uint32_t code; // a character or a virtual key
    const char* name;
    std::uint32_t keysym;
};

// Characters that have a name of their own in an accelerator.
constexpr Named CharacterNames[] = {
    {'+', "plus", 0x2b},  {'-', "minus", 0x2d}, {'*', "asterisk", 0x2a},
    {'/', "slash", 0x2f}, {'=', "equal", 0x3d}, {',', "comma", 0x2c},
};

// Keys that type no character.
constexpr Named KeyNames[] = {
    {VK_RETURN, "Return", 0xff0d},  {VK_ESCAPE, "Escape", 0xff1b}, {VK_DELETE, "Delete", 0xffff},
    {VK_BACK, "BackSpace", 0xff08}, {VK_TAB, "Tab", 0xff09},       {VK_HOME, "Home", 0xff50},
    {VK_LEFT, "Left", 0xff51},      {VK_UP, "Up", 0xff52},         {VK_RIGHT, "Right", 0xff53},
    {VK_DOWN, "Down", 0xff54},      {VK_PRIOR, "Page_Up", 0xff55}, {VK_NEXT, "Page_Down", 0xff56},
    {VK_F1, "F1", 0xffbe},          {VK_F9, "F9", 0xffc6},         {VK_SPACE, "space", 0x20},
};

const Named* Find(const auto& table, std::uint32_t code) {
    for (const Named& n : table)
        if (n.code == code) return &n;
    return nullptr;
}

} // namespace

std::string KeyBindingOf(int key) {
    if (key < 0 || key >= KeyCount) return {};
    const KeypadKey& k = Keypad[key];
    if (k.keyShift & ssCtrl)
        return "<Control>" + std::string(1, static_cast<char>(std::tolower(k.key)));
    if (!k.characters.empty()) {
        const char32_t c = k.characters.front();
        if (c >= '0' && c <= '9') return std::string(1, static_cast<char>(c));
        if (const Named* n = Find(CharacterNames, c)) return n->name;
    }
    const Named* n = Find(KeyNames, k.key);
    return n != nullptr ? n->name : std::string();
}

std::uint32_t KeysymOf(std::uint16_t key, char32_t typed) {
    // Latin-1 characters are their own keysyms; the rest of Unicode lies above 0x1000000.
    if (typed >= 0x20 && typed < 0x7f) return typed;
    if (typed >= 0xa0 && typed <= 0xff) return typed;
    if (typed > 0xff) return 0x1000000 + typed;
    if (key >= '0' && key <= '9') return key;
    if (key >= 'A' && key <= 'Z') return key - 'A' + 'a';
    const Named* n = Find(KeyNames, key);
    return n != nullptr ? n->keysym : 0;
}

unsigned ModifierMaskOf(TShiftState shift) {
    return ((shift & ssShift) ? 1u : 0u) | ((shift & ssCtrl) ? 4u : 0u) |
           ((shift & ssAlt) ? 8u : 0u);
}

std::string CardText() {
    std::string text;
    for (const Shortcut& line : CardLines()) text += line.keys + ": " + line.action + "\n";
    if (!text.empty()) text.pop_back();
    return text;
}

std::string AnnouncementOf(const PressOutcome& p) {
    if (p.error) return p.after != p.before || p.key == BtnEqual ? p.after : std::string();
    switch (p.key) {
    case BtnEqual:
    case BtnMR:
        return p.after;
    case BtnMC:
        return p.memoryBefore != 0 ? "Memory cleared" : std::string();
    case BtnMPlus:
        return p.memoryAfter != p.memoryBefore ? "Memory " + NumberToText(p.memoryAfter)
                                               : std::string();
    default:
        return {};
    }
}

std::string DisplayDescription(bool memoryShown) {
    return memoryShown ? "Memory in use" : "";
}
