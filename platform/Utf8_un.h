// The one UTF-8 decoder of the windowing layer: the key translation takes single characters
// with it, the message boxes clean their text with it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The length of the well-formed sequence at text[at] (1 to 4 bytes), its character in c; 0
// when the bytes there are no such sequence (a stray continuation byte, a sequence cut short).
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at, char32_t& c);

// Whether a byte continues a sequence rather than starting one.
inline bool IsUtf8Continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The text with every byte that starts no well-formed sequence replaced by "?".
std::string ValidUtf8(std::string_view text);
