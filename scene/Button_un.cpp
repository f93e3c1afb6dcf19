#include "Button_un.h"

namespace {

constexpr float KeyHeight = 0.0075f;
constexpr float KeyPressStep = -0.001f;
constexpr double RestLift = 0.002; // keys stand this far above the case's top face
constexpr int GridSize = 5;
constexpr int NoKey = -1;

// ButtonId in each cell; row 0 lies farthest from the display, column 0 at -z.
constexpr int Grid[GridSize][GridSize] = {
    {0, BtnPoint, BtnPlusMinus, BtnPlus, BtnEqual},
    {1, 2, 3, BtnMinus, BtnMPlus},
    {4, 5, 6, BtnMult, BtnMR},
    {7, 8, 9, BtnDivision, BtnMC},
    {BtnCE, BtnC, NoKey, NoKey, NoKey},
};

} // namespace

float KeyEdge(const ConfigRecord& c) {
    return static_cast<float>((2.0 * c.WIDTH - 4.0 * c.FILLET - 6.0 * c.SPACING) * 0.2);
}

float KeyRestHeight(const ConfigRecord& c) {
    return static_cast<float>(c.THICKNESS + RestLift);
}

KeyRecord::KeyRecord()
    : PressStep(KeyPressStep), Id(0), X(0), Y(0), Z(0), Angle(0), Edge(KeyEdge(Config)),
      Height(KeyHeight), Pressed(0), Texture(0) {}

void BuildKeyTable(KeyRecord (&keys)[KeyCount]) {
    const ConfigRecord& c = Config;
    float e = KeyEdge(c);
    for (int i = 0; i < KeyCount; ++i) {
        keys[i].Id = i;
        keys[i].Edge = e;
        keys[i].Y = KeyRestHeight(c);
    }
    const double s = c.SPACING;
    for (int r = 0; r < GridSize; ++r) {
        // The row next to the display stands one extra spacing apart from the others.
        double x = r < GridSize - 1 ? -c.LENGTH + 2.0 * c.FILLET + (r + 0.5) * e + (r + 1) * s
                                    : -c.LENGTH + 2.0 * c.FILLET + 4.5 * e + 6.0 * s;
        for (int col = 0; col < GridSize; ++col) {
            int id = Grid[r][col];
            if (id == NoKey) continue;
            keys[id].X = static_cast<float>(x);
            keys[id].Z =
                static_cast<float>(-c.WIDTH + 2.0 * c.FILLET + (col + 0.5) * e + (col + 1) * s);
        }
    }
}

float KeyPlateLength(const ConfigRecord& c, float edge) {
    return static_cast<float>(2.0 * c.FILLET + (10.0 * edge) * 0.5 + 6.0 * c.SPACING);
}

float DisplayFrameLength(const ConfigRecord& c, float keyPlateLength) {
    return static_cast<float>(2.0 * c.LENGTH - 7.0 * c.FILLET - keyPlateLength);
}
