// The display's glyph set: each glyph's index, the picture of its face and, for a picture
// that fills the whole display, the error text it shows. The display lays out and draws by
// these indices, the loader loads the pictures in this order and the picture tool draws
// them, so adding or renaming a glyph changes this table alone.
//
// Constant data with no dependencies beyond the engine's error texts, so that the build-time
// tools can include it as it is.
#pragma once

#include "engine/Matheng_un.h"

#include <array>

// Glyph indices of the display texture set; digit d is glyph d.
enum Glyph : int {
    GlyphPointBase = 10, // digit d with a point is GlyphPointBase + d
    GlyphEmpty = 20,
    GlyphMinus = 21,
    GlyphMemory = 22,
    GlyphMemoryMinus = 23,
    GlyphDivideByZero = 24,
    GlyphOverflow = 25,
    GlyphExponent = 26,
};
constexpr int GlyphCount = 27;

struct DisplayGlyph {
    const char* picture;             // the face's file: tex/Display/<picture>.jpg
    const char* errorText = nullptr; // for a picture across the display: the text it shows
};

// Indexed by Glyph.
constexpr std::array<DisplayGlyph, GlyphCount> DisplayGlyphs{{
    // clang-format off
    {"0"}, {"1"}, {"2"}, {"3"}, {"4"}, {"5"}, {"6"}, {"7"}, {"8"}, {"9"},
    {"0P"}, {"1P"}, {"2P"}, {"3P"}, {"4P"}, {"5P"}, {"6P"}, {"7P"}, {"8P"}, {"9P"},
    {"S"}, {"Minus"}, {"M"}, {"MMinus"},
    {"DB0", DivideByZeroText}, {"OVR", OverflowText},
    {"E"},
    // clang-format on
}};
