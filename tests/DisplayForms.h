// The three forms the display text can take: an entry, a number, an error text.
#pragma once

#include <cstring>
#include <string_view>

inline bool IsEntryOrNumber(std::string_view s) {
    if (!s.empty() && s.front() == '-') s.remove_prefix(1);
    std::size_t digits = 0, commas = 0, i = 0;
    for (; i < s.size() && ((s[i] >= '0' && s[i] <= '9') || s[i] == ','); ++i)
        (s[i] == ',' ? commas : digits)++;
    if (digits == 0 || commas > 1) return false;
    if (i == s.size()) return true;
    // Exponent notation: "E", an optional minus, digits.
    if (s[i++] != 'E' || s[0] == ',') return false;
    if (i < s.size() && s[i] == '-') ++i;
    if (i == s.size()) return false;
    for (; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

inline bool IsWellFormedDisplay(const char* text) {
    std::string_view s(text);
    if (s.size() > 22) return false;
    std::string_view unsigned_text = s;
    if (!unsigned_text.empty() && unsigned_text.front() == '-') unsigned_text.remove_prefix(1);
    return unsigned_text == "OVERFLOW" || unsigned_text == "DIVIDE BY 0" || IsEntryOrNumber(s);
}
