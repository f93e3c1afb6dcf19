// Every length and position of the calculator in model space, derived once from the
// configuration: the case, the key plate, the card, the display opening and frame with its
// hinge, the glyph area and each key's place. The models draw from it and picking tests
// against it, so a length is changed here and nowhere else.
#pragma once

#include "Keypad_un.h"
#include "config/Cfgread_un.h"

#include <array>

// An axis-aligned box in model space.
struct Box {
    float x0, y0, z0, x1, y1, z1;
};
constexpr int BoxCorners = 8;
// Corner 0..7 of a box as a point in homogeneous coordinates: bits 1, 2 and 4 of the number
// pick the far side along x, y and z.
constexpr std::array<double, 4> Corner(const Box& b, int corner) {
    return {corner & 1 ? b.x1 : b.x0, corner & 2 ? b.y1 : b.y0, corner & 4 ? b.z1 : b.z0, 1};
}

// The height of every key, and how far the key plate reaches above and below the top face.
constexpr float KeyHeight = 0.0075f;
constexpr float KeyPlateHalfThickness = 0.002f;

struct Geometry {
    // The case: half-extents along x (length), y (thickness) and z (width), and the radius
    // of its rounded edges and corners.
    float length, thickness, width, fillet;

    // The keys: the side of each one's footprint, its height, the height of its base at rest
    // (the top of the key plate), and where the centre of each one's base rests, by ButtonId.
    float keyEdge, keyHeight, keyRestHeight;
    std::array<std::array<float, 3>, KeyCount> keyCentres;

    // The key plate the keys stand on, reaching a little above and below the top face.
    float keyPlateLength;
    Box keyPlate;

    // The card inside the case, seen through the display opening: x0..x1 by z0..z1 at y = 0.
    float cardX0, cardX1, cardZ0, cardZ1;

    // The display opening in the top face runs along x from windowX0 (the keys' side, where
    // the hinge is) to windowX1. The display frame fills it: a border around the glyph area,
    // which is glyphWidth across the case and glyphHeight along it.
    float frameBorder, displayFrameLength;
    float windowX0, windowX1;
    float glyphWidth, glyphHeight;
    // The corner of the display frame that the hinge turns it about.
    std::array<float, 3> hinge;
};

Geometry GeometryOf(const ConfigRecord& config);

// The box holding the case with the key plate and the keys on it: all of the calculator but
// a raised display frame.
Box CalculatorBody(const Geometry& g);
// The display frame in its own hinged frame (see DisplayFrameTransform), as it is drawn: x
// across the case from the hinge, y along the opening, z its thickness below its face.
Box DisplayFrameBox(const Geometry& g);
// Whether the lengths make the case a closed solid with the display opening in its top face:
// the fillet smaller than each half-extent, the frame's border smaller than the fillet, and
// the opening within the top face. Otherwise faces overlap or turn inside out, as drawn.
bool WellFormed(const Geometry& g);

// Height of a key's walls below its bevel: two thirds of the key.
constexpr float KeyWall(float keyHeight) {
    return 2 * keyHeight / 3;
}
