// The lines of the card of shortcuts under the display frame: every key and mouse action of
// the calculator, first the calculator keys (one line for each line the key table names),
// then the rest. The picture tool draws them; the screen reader's view reads them out.
#pragma once

#include "Keypad_un.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

struct Shortcut {
    std::string keys;
    std::string action;
};

// The keys of one card line, as the table says each is typed: a run of digits as "0–9", and
// a modifier the keys share ("Ctrl+") written once.
inline std::string JoinedKeys(const std::vector<const KeypadKey*>& keys) {
    auto digit = [](const KeypadKey* k) {
        return std::string_view(k->cardKeys).size() == 1 && k->cardKeys[0] >= '0' &&
               k->cardKeys[0] <= '9';
    };
    bool run = keys.size() > 2 && std::all_of(keys.begin(), keys.end(), digit);
    for (std::size_t i = 1; run && i < keys.size(); ++i)
        run = keys[i]->cardKeys[0] == keys[i - 1]->cardKeys[0] + 1;
    if (run) return std::string(keys.front()->cardKeys) + "\u2013" + keys.back()->cardKeys;

    const std::string first = keys.front()->cardKeys;
    std::size_t shared = first.rfind('+', first.size() - 2);
    shared = shared == std::string::npos ? 0 : shared + 1;
    for (const KeypadKey* k : keys)
        if (std::string_view(k->cardKeys).substr(0, shared) != first.substr(0, shared)) shared = 0;
    std::string text;
    for (const KeypadKey* k : keys)
        text += (text.empty() ? std::string(k->cardKeys) : " " + std::string(k->cardKeys + shared));
    return text;
}

inline std::vector<Shortcut> CardLines() {
    std::vector<Shortcut> lines;
    std::vector<std::string_view> seen;
    for (const KeypadKey& k : Keypad) {
        if (std::find(seen.begin(), seen.end(), k.cardLine) != seen.end()) continue;
        seen.push_back(k.cardLine);
        std::vector<const KeypadKey*> onLine;
        for (const KeypadKey& other : Keypad)
            if (std::string_view(other.cardLine) == k.cardLine) onLine.push_back(&other);
        lines.push_back({JoinedKeys(onLine), k.cardLine});
    }
    for (const Shortcut& s : std::initializer_list<Shortcut>{{"Backspace", "delete digit"},
                                                             {"Ctrl+C", "copy"},
                                                             {"Ctrl+V", "paste"},
                                                             {"F1", "this card"},
                                                             {"PgUp PgDn", "display"},
                                                             {"Click", "press key"},
                                                             {"Tab, Space", "focus, press"},
                                                             {"Right drag", "turn"},
                                                             {"Left drag off keys", "turn"},
                                                             {"Arrow keys", "turn"},
                                                             {"Wheel, both buttons", "zoom"},
                                                             {"Ctrl+ Ctrl\u2212 Ctrl+0", "zoom"},
                                                             {"Home", "first view"}})
        lines.push_back(s);
    return lines;
}
