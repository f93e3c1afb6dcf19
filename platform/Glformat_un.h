// The formats a GL surface is tried with, in order, by every back end.
#pragma once

#include <vector>

// What a GL surface is asked to offer: RGBA colour with channels of these sizes, depth and
// stencil buffers of these sizes, and double buffering or not.
struct SurfaceFormat {
    bool doubleBuffered = true;
    int redBits = 8, greenBits = 8, blueBits = 8, alphaBits = 0;
    int depthBits = 24, stencilBits = 0;

    bool operator==(const SurfaceFormat&) const = default;
};

// The format wanted first; then the nearest that keep what is drawn with: the colour and
// double buffering as wanted, and a depth buffer of at least 16 bits. No format twice.
std::vector<SurfaceFormat> FormatsToTry(const SurfaceFormat& wanted);
