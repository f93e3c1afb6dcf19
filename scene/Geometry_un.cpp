#include "Geometry_un.h"

#include <algorithm>

namespace {

constexpr float FrameBorder = 0.01f;

} // namespace

Geometry GeometryOf(const ConfigRecord& c) {
    Geometry g{};
    const float L = c.LENGTH, T = c.THICKNESS, W = c.WIDTH, F = c.FILLET;
    g.length = L, g.thickness = T, g.width = W, g.fillet = F;

    // Five keys and six spacings fill the width inside the fillets.
    const float e = static_cast<float>((2.0 * W - 4.0 * F - 6.0 * c.SPACING) * 0.2);
    g.keyEdge = e;
    g.keyHeight = KeyHeight;
    g.keyRestHeight = static_cast<float>(T + static_cast<double>(KeyPlateHalfThickness));
    const double s = c.SPACING;
    for (const KeypadKey& k : Keypad) {
        const int r = k.row, col = k.column;
        // The row next to the display stands one extra spacing apart from the others.
        const double x = r < GridSize - 1 ? -L + 2.0 * F + (r + 0.5) * e + (r + 1) * s
                                          : -L + 2.0 * F + 4.5 * e + 6.0 * s;
        const double z = -W + 2.0 * F + (col + 0.5) * e + (col + 1) * s;
        g.keyCentres[k.id] = {static_cast<float>(x), g.keyRestHeight, static_cast<float>(z)};
    }

    g.keyPlateLength = static_cast<float>(2.0 * F + (10.0 * e) * 0.5 + 6.0 * s);
    g.keyPlate = {2 * F - L,
                  T - KeyPlateHalfThickness,
                  2 * F - W,
                  2 * F - L + g.keyPlateLength,
                  T + KeyPlateHalfThickness,
                  W - 2 * F};

    g.cardX0 = F - L, g.cardX1 = L - F, g.cardZ0 = F - W, g.cardZ1 = W - F;

    g.frameBorder = FrameBorder;
    g.displayFrameLength = static_cast<float>(2.0 * L - 7.0 * F - g.keyPlateLength);
    g.windowX1 = L - 4 * F;
    g.windowX0 = L - 4 * F - g.displayFrameLength;
    g.glyphWidth = 2 * W - 4 * F;
    g.glyphHeight = g.displayFrameLength - 2 * FrameBorder;
    g.hinge = {g.windowX0, T, 2 * F - W - FrameBorder};
    return g;
}

bool WellFormed(const Geometry& g) {
    const float F = g.fillet;
    return F > 0 && F < g.thickness && F < g.length && F < g.width && g.frameBorder < F &&
           g.displayFrameLength >= 0 && g.windowX0 >= F - g.length;
}

Box CalculatorBody(const Geometry& g) {
    // Above the top face stand the key plate and the keys at rest, their highest place.
    const float top = g.keyRestHeight + g.keyHeight;
    return {-g.length, -g.thickness, -g.width, g.length, std::max(g.thickness, top), g.width};
}

Box DisplayFrameBox(const Geometry& g) {
    return {0, 0, -g.thickness, g.glyphWidth + 2 * g.frameBorder, g.displayFrameLength, 0};
}
