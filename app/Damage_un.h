// Which pixels a frame changes, so that it clears, draws and presents only those: what the
// last frame showed against what the next one will show. Knows neither GL nor SDL.
#pragma once

#include "scene/Button_un.h"
#include "scene/Extent_un.h"

#include <array>
#include <cstdint>
#include <string>

// What a frame showed, as far as it decides which pixels the next one changes.
struct ShownFrame {
    WindowMapping mapping{};
    double displayTilt = 0;
    std::array<float, KeyCount> keyY{}; // the base height each key was drawn at
    std::int32_t pickedName = 0;        // the key drawn darker
    std::string text;                   // on the display
    bool memoryShown = false;
    int focusedKey = -1; // the key with the focus mark
};

ShownFrame FrameOf(const WindowMapping& mapping, double displayTilt,
                   const KeyRecord (&keys)[KeyCount], std::int32_t pickedName, const char* text,
                   bool memoryShown, int focusedKey = -1);

// The rectangle that holds every pixel in which the next frame differs from the last one.
// Seen from the same place, that is the keys that moved, changed colour or gained or lost the
// focus mark and, when its text changed, the glyphs of the display; seen from elsewhere, the
// calculator where it was and where it will be. The rest of the window is background in both.
WindowRect DamageOf(const ShownFrame& last, const ShownFrame& next, const Geometry& geometry,
                    const KeyRecord (&keys)[KeyCount]);
