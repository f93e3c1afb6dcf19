// Which pixels a frame must redraw, as pure geometry: the window rectangles of the calculator
// and its parts, what changes between two frames, and the pace of the frames.
#include "app/Damage_un.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr int W = 800, H = 600;

struct Scene {
    Scene() : g(GeometryOf(DefaultConfig)) { BuildKeyTable(keys, g); }
    Geometry g;
    KeyRecord keys[KeyCount];
};

WindowMapping MappingOf(double distance, double tilt, double spin) {
    return {Perspective(60, static_cast<double>(W) / H, 0.1, 100) *
                ViewTransform(distance, tilt, spin),
            W, H};
}

// The window point of a model-space point, as GL places it.
std::array<double, 2> Project(const WindowMapping& m, const Matrix& place, double x, double y,
                              double z) {
    const Matrix t = m.projectionModelview * place;
    double clip[4] = {};
    const double p[4] = {x, y, z, 1};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) clip[r] += t[c * 4 + r] * p[c];
    return {(clip[0] / clip[3] + 1) / 2 * m.width, (clip[1] / clip[3] + 1) / 2 * m.height};
}

bool Inside(const WindowRect& r, const std::array<double, 2>& p) {
    return p[0] >= r.x0 && p[0] < r.x1 && p[1] >= r.y0 && p[1] < r.y1;
}

std::array<double, 2> KeyFace(const WindowMapping& m, const KeyRecord& k) {
    return Project(m, IdentityMatrix(), k.X, k.Y + k.Height, k.Z);
}

std::array<double, 2> DisplayMiddle(const WindowMapping& m, const Geometry& g, double tilt) {
    return Project(m, DisplayFrameTransform(g, tilt), g.frameBorder + g.glyphWidth / 2,
                   g.displayFrameLength / 2, 0);
}

ShownFrame FrameOf(const Scene& s, const WindowMapping& m, std::int32_t picked = 0,
                   const char* text = "0", double tilt = 0) {
    return ::FrameOf(m, tilt, s.keys, picked, text, false);
}

} // namespace

TEST(Extent, TheCalculatorCoversItsPartsAndLessThanHalfTheWindowInTheFirstView) {
    Scene s;
    for (double tilt : {0.0, std::numbers::pi / 4, std::numbers::pi / 2}) {
        const WindowMapping m = MappingOf(1.4, -20, 30);
        const WindowRect r = CalculatorRect(m, s.g, tilt);
        EXPECT_LT(r.Width() * r.Height(), W * H / 2);
        for (const KeyRecord& k : s.keys) EXPECT_TRUE(Inside(r, KeyFace(m, k)));
        EXPECT_TRUE(Inside(r, DisplayMiddle(m, s.g, tilt)));
        // The far end of the display frame, which rises out of the case as it turns up.
        EXPECT_TRUE(Inside(r, Project(m, DisplayFrameTransform(s.g, tilt),
                                      s.g.glyphWidth + 2 * s.g.frameBorder, s.g.displayFrameLength,
                                      -s.g.thickness)));
        EXPECT_TRUE(
            Inside(r, Project(m, IdentityMatrix(), -s.g.length, -s.g.thickness, -s.g.width)));
    }
}

TEST(Extent, ACalculatorReachingBehindTheEyeTakesTheWholeWindowAndOneOutOfViewNothing) {
    Scene s;
    // Nearer than its own size and turned on edge: corners lie behind the eye.
    EXPECT_EQ(CalculatorRect(MappingOf(0.05, 90, 0), s.g, 0), WholeWindow(W, H));
    // Moved in the eye's space: wholly behind it, and far to the side ahead of it.
    auto placed = [](double x, double z) {
        return WindowMapping{Perspective(60, static_cast<double>(W) / H, 0.1, 100) *
                                 Translation(x, 0, z) * ViewTransform(0, 0, 0),
                             W, H};
    };
    EXPECT_EQ(CalculatorRect(placed(0, 2), s.g, 0), WholeWindow(W, H));
    const WindowMapping aside = placed(50, -1.4);
    EXPECT_TRUE(CalculatorRect(aside, s.g, 0).Empty());
}

TEST(Extent, APartTouchesARegionWhenItsRectangleOverlapsIt) {
    Scene s;
    const WindowMapping m = MappingOf(1.4, -20, 30);
    const KeyRecord& k = s.keys[5];
    const WindowRect key = KeyRect(m, k, k.Y, k.Y);
    const float e = k.Edge / 2;
    const Box box{-e, 0, -e, e, k.Height, e};
    const Matrix place = Translation(k.X, k.Y, k.Z);
    struct Case {
        WindowRect region;
        bool touches;
    } cases[] = {
        {key, true},
        {{key.x1 - 1, key.y1 - 1, key.x1 + 10, key.y1 + 10}, true}, // a corner pixel shared
        {{key.x1, key.y0, key.x1 + 10, key.y1}, false},             // beside it, to the right
        {{key.x0 - 10, key.y0, key.x0, key.y1}, false},             // to the left
        {{key.x0, key.y1, key.x1, key.y1 + 10}, false},             // above
        {{key.x0, key.y0 - 10, key.x1, key.y0}, false},             // below
        {{key.x0 + 2, key.y0 + 2, key.x0 + 3, key.y0 + 3}, true},   // one pixel inside
        {WholeWindow(W, H), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Touches({m, c.region}, place, box), c.touches)
            << c.region.x0 << "," << c.region.y0 << ".." << c.region.x1 << "," << c.region.y1;
    // Out of the window nothing is touched, however large the region.
    const WindowMapping aside{Perspective(60, static_cast<double>(W) / H, 0.1, 100) *
                                  Translation(50, 0, -1.4) * ViewTransform(0, 0, 0),
                              W, H};
    EXPECT_FALSE(Touches({aside, WholeWindow(W, H)}, place, box));
}

TEST(Damage, SeenFromTheSamePlaceOnlyWhatChangedIsRedrawn) {
    Scene s;
    const WindowMapping m = MappingOf(1.4, -10, 15);
    const ShownFrame first = FrameOf(s, m, KeyNameBase + 7);
    EXPECT_TRUE(DamageOf(first, first, s.g, s.keys).Empty());

    // The mouse from key 7 onto key 8: both keys, not the display nor key 2.
    const WindowRect hover = DamageOf(first, FrameOf(s, m, KeyNameBase + 8), s.g, s.keys);
    EXPECT_TRUE(Inside(hover, KeyFace(m, s.keys[7])));
    EXPECT_TRUE(Inside(hover, KeyFace(m, s.keys[8])));
    EXPECT_FALSE(Inside(hover, KeyFace(m, s.keys[2])));
    EXPECT_FALSE(Inside(hover, DisplayMiddle(m, s.g, 0)));

    // A key sinking: where it was and where it is.
    KeyRecord& key = s.keys[BtnPlus];
    key.Y -= 0.002f;
    const WindowRect sinking = DamageOf(first, FrameOf(s, m, KeyNameBase + 7), s.g, s.keys);
    EXPECT_TRUE(Inside(sinking, KeyFace(m, key)));
    EXPECT_FALSE(Inside(sinking, KeyFace(m, s.keys[7])));
    key.Y += 0.002f;

    // A new number: the display, not the keys.
    const WindowRect typed = DamageOf(first, FrameOf(s, m, KeyNameBase + 7, "5"), s.g, s.keys);
    EXPECT_TRUE(Inside(typed, DisplayMiddle(m, s.g, 0)));
    EXPECT_FALSE(Inside(typed, KeyFace(m, s.keys[7])));
    ShownFrame memory = first;
    memory.memoryShown = true;
    EXPECT_EQ(DamageOf(first, memory, s.g, s.keys), typed);
}

TEST(Damage, ANewTextRedrawsTheGlyphsAndNotTheWholeFrame) {
    Scene s;
    for (double tilt : {0.0, 0.6}) {
        const WindowMapping m = MappingOf(1.4, -10, 15);
        const WindowRect typed =
            DamageOf(FrameOf(s, m, 0, "0", tilt), FrameOf(s, m, 0, "-7,25", tilt), s.g, s.keys);
        const WindowRect frame = DisplayFrameRect(m, s.g, tilt);
        EXPECT_LT(typed.Width() * typed.Height(), frame.Width() * frame.Height() * 9 / 10);
        // Every corner of the glyph area.
        const Matrix glyphs =
            DisplayFrameTransform(s.g, tilt) * Translation(s.g.frameBorder, s.g.frameBorder, 0);
        for (double x : {0.0, static_cast<double>(s.g.glyphWidth)})
            for (double y : {0.0, static_cast<double>(s.g.glyphHeight)})
                EXPECT_TRUE(Inside(typed, Project(m, glyphs, x, y, 0)))
                    << "tilt " << tilt << " at " << x << ", " << y;
    }
}

TEST(Damage, SeenFromElsewhereTheCalculatorIsRedrawnWhereItWasAndWhereItIs) {
    Scene s;
    const WindowMapping before = MappingOf(1.4, 0, 0), after = MappingOf(1.4, 0, 40);
    const WindowRect turned = DamageOf(FrameOf(s, before), FrameOf(s, after), s.g, s.keys);
    EXPECT_EQ(turned, Union(CalculatorRect(before, s.g, 0), CalculatorRect(after, s.g, 0)));
    const WindowRect raised =
        DamageOf(FrameOf(s, before), FrameOf(s, before, 0, "0", 0.3), s.g, s.keys);
    EXPECT_TRUE(Inside(raised, DisplayMiddle(before, s.g, 0.3)));
    EXPECT_TRUE(Inside(raised, DisplayMiddle(before, s.g, 0)));
    // The same view in a window of another size is another place on the screen.
    WindowMapping wider = before;
    wider.width = W + 100;
    EXPECT_FALSE(DamageOf(FrameOf(s, before), FrameOf(s, wider), s.g, s.keys).Empty());
}
