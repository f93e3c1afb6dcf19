#include "Display_un.h"

#include "Models_un.h"

#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace {

constexpr Material DisplayMaterial{
    {0.55f, 0.55f, 0.55f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, {0.2f, 0.2f, 0.2f, 1.0f}, 50.0f};
constexpr std::size_t DisplayDigits = 10;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// One textured quad from (0, 0) to (width, height); the top of the picture at y = height.
void GlyphQuad(float width, float height) {
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glTexCoord2f(0, 1);
    glVertex3f(0, 0, 0);
    glTexCoord2f(1, 1);
    glVertex3f(width, 0, 0);
    glTexCoord2f(1, 0);
    glVertex3f(width, height, 0);
    glTexCoord2f(0, 0);
    glVertex3f(0, height, 0);
    glEnd();
}

// A number in plain notation with more than ten digits before the comma (a quotient up to
// 10^15), written in exponent notation as the engine writes one: the first digit, a comma and
// the other significant digits, "E" and the exponent. Showing only its first ten digits would
// show a number up to 100,000 times too small.
std::string ExponentTextOf(std::string_view plain) {
    const bool negative = !plain.empty() && plain.front() == '-';
    if (negative) plain.remove_prefix(1);
    std::string digits;
    int before = 0; // digits before the comma
    bool comma = false;
    for (char c : plain) {
        if (c == ',') comma = true;
        if (!IsDigit(c)) continue;
        if (digits.empty() && c == '0') {
            if (comma) --before; // a leading zero after the comma moves the first digit down
            continue;
        }
        digits += c;
        if (!comma) ++before;
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    if (digits.empty()) return negative ? "-0" : "0";
    std::string out = negative ? "-" : "";
    out += digits[0];
    if (digits.size() > 1) out += "," + digits.substr(1);
    return out + "E" + std::to_string(before - 1);
}

std::size_t DigitsBeforeComma(std::string_view s) {
    std::size_t digits = 0;
    for (char c : s) {
        if (c == ',') break;
        if (IsDigit(c)) ++digits;
    }
    return digits;
}

} // namespace

std::vector<int> LayoutDisplay(const char* text, bool memoryShown) {
    std::string s = text != nullptr ? text : "";
    if (s.find('E') == std::string::npos && DigitsBeforeComma(s) > DisplayDigits)
        s = ExponentTextOf(s);
    // An error text, also with the sign a sign change put in front of it, is one picture.
    std::string_view unsigned_text = s;
    if (!unsigned_text.empty() && unsigned_text.front() == '-') unsigned_text.remove_prefix(1);
    for (int glyph = 0; glyph < GlyphCount; ++glyph) {
        const char* error = DisplayGlyphs[glyph].errorText;
        if (error != nullptr && unsigned_text == error) return {glyph};
    }

    const bool hasComma = s.find(',') != std::string::npos;
    if (s.find('E') != std::string::npos) {
        if (s.empty() || s[0] != '-') s.insert(0, 1, ' ');
        // The mantissa is cut, not rounded, until the whole text fits.
        const std::size_t limit = hasComma ? DisplayCells + 1 : DisplayCells;
        while (s.size() > limit) {
            std::size_t e = s.find('E');
            if (e <= 1) break;
            s.erase(e - 1, 1);
        }
    } else {
        std::size_t digits = 0;
        for (std::size_t i = 0; i < s.size(); ++i)
            if (IsDigit(s[i]) && ++digits == DisplayDigits) {
                s.resize(i + 1);
                break;
            }
        if (s.empty() || s[0] != '-') s.insert(0, 1, ' ');
    }
    const std::size_t shown = s.size() - (s.find(',') != std::string::npos ? 1 : 0);
    if (shown < DisplayCells) s.insert(s[0] == '-' ? 1 : 0, DisplayCells - shown, ' ');

    std::vector<int> cells;
    cells.push_back(s[0] == '-' ? (memoryShown ? GlyphMemoryMinus : GlyphMinus)
                                : (memoryShown ? GlyphMemory : GlyphEmpty));
    for (std::size_t i = 1; i < s.size() && cells.size() < DisplayCells; ++i) {
        char c = s[i];
        if (c == ',') continue;
        if (IsDigit(c))
            cells.push_back((i + 1 < s.size() && s[i + 1] == ',') ? GlyphPointBase + (c - '0')
                                                                  : c - '0');
        else if (c == '-')
            cells.push_back(GlyphMinus);
        else if (c == 'E')
            cells.push_back(GlyphExponent);
        else
            cells.push_back(GlyphEmpty);
    }
    return cells;
}

void DrawDisplay(const char* text, bool memoryShown, float width, float height,
                 const std::uint32_t glyphs[GlyphCount]) {
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    SetMaterial(DisplayMaterial);
    std::vector<int> cells = LayoutDisplay(text, memoryShown);
    if (cells.size() == 1) {
        glBindTexture(GL_TEXTURE_2D, glyphs[cells[0]]);
        GlyphQuad(width, height);
    } else {
        const float cell = width / DisplayCells;
        for (std::size_t k = 0; k < cells.size(); ++k) {
            glBindTexture(GL_TEXTURE_2D, glyphs[cells[k]]);
            glPushMatrix();
            glTranslatef(static_cast<float>(k) * cell, 0, 0);
            GlyphQuad(cell, height);
            glPopMatrix();
        }
    }
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}
