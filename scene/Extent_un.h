// Where the calculator and its parts lie in the window: window rectangles that cover what
// the frame's matrices make of model-space boxes, so that a frame can clear, draw and
// present only the pixels that change. Pure geometry, no GL.
#pragma once

#include "Button_un.h"
#include "Geometry_un.h"
#include "Picking_un.h"

// Whole pixels from the bottom left of the window, x1 and y1 excluded.
struct WindowRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;

    bool Empty() const { return x1 <= x0 || y1 <= y0; }
    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
    bool operator==(const WindowRect&) const = default;
};

// The smallest rectangle holding both; an empty one adds nothing.
WindowRect Union(const WindowRect& a, const WindowRect& b);
// The whole of a window of this size.
WindowRect WholeWindow(int width, int height);

// What a frame's matrices do: the projection times the modelview, and the viewport.
struct WindowMapping {
    Matrix projectionModelview;
    int width, height;
};

// A part of the window that a frame draws, and the mapping of the frame.
struct DrawnRegion {
    WindowMapping mapping;
    WindowRect rect;
};
// Whether a surface inside the box, placed in model space by `place`, may touch a pixel of
// the region; a surface that cannot is left out of the frame, which looks the same.
bool Touches(const DrawnRegion& region, const Matrix& place, const Box& box);

// The rectangle covering every pixel that a surface inside the box, placed in model space by
// `place`, can touch, within the window; the whole window when a corner of the box lies at
// or behind the eye, where a projection has no bounds.
WindowRect ProjectedRect(const WindowMapping& mapping, const Matrix& place, const Box& box);

// All that is drawn of the calculator: the case, the key plate and keys on it, and the
// display frame turned up by the tilt (radians) about its hinge.
WindowRect CalculatorRect(const WindowMapping& mapping, const Geometry& geometry,
                          double displayTilt);
// A key with its base at each of two heights, and every place between.
WindowRect KeyRect(const WindowMapping& mapping, const KeyRecord& key, float baseY0, float baseY1);
// The glyphs on the display frame: all that a new text changes.
WindowRect GlyphAreaRect(const WindowMapping& mapping, const Geometry& geometry,
                         double displayTilt);
// The display frame with the glyphs on it.
WindowRect DisplayFrameRect(const WindowMapping& mapping, const Geometry& geometry,
                            double displayTilt);
