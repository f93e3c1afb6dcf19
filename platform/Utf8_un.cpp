#include "Utf8_un.h"

std::size_t Utf8SequenceAt(std::string_view text, std::size_t at, char32_t& c) {
    if (at >= text.size()) return 0;
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    if (lead < 0x80) {
        length = 1, c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsUtf8Continuation(text[at + i])) return 0;
        c = (c << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    }
    return length;
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        // A file name in another encoding is still shown, not dropped.
        if (const std::size_t n = Utf8SequenceAt(text, i, c)) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}
