// The calculator's display: one row of 11 glyph cells (the sign with the memory indicator,
// then ten cells right-aligned), or one picture across the display for an error text.
#pragma once

#include "Glyphs_un.h"

#include <cstdint>
#include <vector>

constexpr int DisplayCells = 11;

// The glyphs of the cells from left to right; a single index for an error picture.
std::vector<int> LayoutDisplay(const char* text, bool memoryShown);

// Draws the text in the rectangle (0, 0)-(width, height) of the plane z = 0, facing +z, with
// the memory indicator when memoryShown.
void DrawDisplay(const char* text, bool memoryShown, float width, float height,
                 const std::uint32_t glyphs[GlyphCount]);
