#include "scene/Button_un.h"

#include <gtest/gtest.h>

namespace {

const Geometry Default = GeometryOf(DefaultConfig);

} // namespace

TEST(KeyTable, ConstructorGivesTheDefaultRecord) {
    KeyRecord k;
    EXPECT_EQ(k.PressStep, -0.001f);
    EXPECT_EQ(k.Height, 0.0075f);
    EXPECT_NEAR(k.Edge, 0.094f, 1e-6);
    EXPECT_EQ(k.Y, 0.0f);
    EXPECT_EQ(k.Pressed, 0);
    EXPECT_EQ(k.Texture, 0u);
}

TEST(KeyTable, DefaultLayoutMatchesTheGrid) {
    KeyRecord keys[KeyCount];
    BuildKeyTable(keys, Default);
    const float rows[] = {-0.358f, -0.259f, -0.160f, -0.061f, 0.043f};
    const float cols[] = {-0.198f, -0.099f, 0.0f, 0.099f, 0.198f};
    const int grid[5][5] = {{0, 21, 10, 11, 18},
                            {1, 2, 3, 12, 17},
                            {4, 5, 6, 13, 16},
                            {7, 8, 9, 14, 15},
                            {19, 20, -1, -1, -1}};
    int seen = 0;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) {
            int id = grid[r][c];
            if (id < 0) continue;
            ++seen;
            EXPECT_NEAR(keys[id].X, rows[r], 1e-6) << id;
            EXPECT_NEAR(keys[id].Z, cols[c], 1e-6) << id;
        }
    EXPECT_EQ(seen, KeyCount);
    for (int i = 0; i < KeyCount; ++i) {
        EXPECT_EQ(keys[i].Id, i);
        EXPECT_NEAR(keys[i].Edge, 0.094f, 1e-6);
        EXPECT_NEAR(keys[i].Y, 0.032f, 1e-7);
        EXPECT_EQ(keys[i].Angle, 0);
    }
}

TEST(KeyTable, WidthChangesTheEdgeAndLengthOnlyShiftsRows) {
    KeyRecord base[KeyCount], wide[KeyCount], longer[KeyCount];
    BuildKeyTable(base, Default);
    ConfigRecord c = DefaultConfig;
    c.WIDTH = 0.4f;
    BuildKeyTable(wide, GeometryOf(c));
    EXPECT_NEAR(wide[0].Edge, 0.134f, 1e-6);
    EXPECT_NEAR(wide[1].X - wide[0].X, 0.134 + 0.005, 1e-6);
    EXPECT_NEAR(wide[BtnCE].X - wide[7].X, 0.134 + 0.010, 1e-6);
    EXPECT_NEAR(wide[10].Z, 0.0f, 1e-6);
    c = DefaultConfig;
    c.LENGTH = 0.56f;
    BuildKeyTable(longer, GeometryOf(c));
    for (int i = 0; i < KeyCount; ++i) {
        EXPECT_NEAR(longer[i].X - base[i].X, -0.1f, 1e-6) << i;
        EXPECT_EQ(longer[i].Z, base[i].Z) << i;
        EXPECT_EQ(longer[i].Edge, base[i].Edge);
    }
}

TEST(KeyTable, FrameLengthsFollowTheConfiguration) {
    const float e = Default.keyEdge;
    const float plate = Default.keyPlateLength;
    EXPECT_NEAR(plate, 0.55f, 1e-6);
    EXPECT_EQ(Default.frameBorder, 0.01f);
    EXPECT_NEAR(Default.displayFrameLength, 0.195f, 1e-6);
    // The last row ends 2 * FILLET short of the far end of the key plate.
    KeyRecord keys[KeyCount];
    BuildKeyTable(keys, Default);
    EXPECT_NEAR(keys[BtnC].X + e / 2, -0.46 + plate, 1e-6);
}
