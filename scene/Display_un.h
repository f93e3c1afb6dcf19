// The calculator's display: one row of 11 glyph cells (the sign with the memory indicator,
// then ten cells right-aligned), or one picture across the display for an error text.
#pragma once

#include <cstdint>
#include <vector>

constexpr int DisplayCells = 11;

// Glyph indices of the display texture set.
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

// The glyphs of the cells from left to right; a single index for an error picture.
std::vector<int> LayoutDisplay(const char* text, bool memoryShown);

// Draws the text in the rectangle (0, 0)-(width, height) of the plane z = 0, facing +z, with
// the memory indicator when memoryShown.
void DrawDisplay(const char* text, bool memoryShown, float width, float height,
                 const std::uint32_t glyphs[27]);
