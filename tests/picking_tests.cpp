// Picking as pure geometry, without GL: rays through the projected centres of the keys, from
// several views and for several proportions of the case, met against the one geometry the
// models are drawn from.
#include "scene/Picking_un.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr int W = 640, H = 480;
const int Viewport[4] = {0, 0, W, H};

struct View {
    double spin, tilt, distance;
};

struct Scene {
    explicit Scene(const ConfigRecord& c) : g(GeometryOf(c)) { BuildKeyTable(keys, g); }
    Geometry g;
    KeyRecord keys[KeyCount];
};

Matrix Projection() {
    return Perspective(60, static_cast<double>(W) / H, 0.1, 100);
}

// The window point (y up) of a model-space point in a view; false behind the eye.
bool Project(const View& v, double x, double y, double z, double& wx, double& wy) {
    const Matrix m = Projection() * ViewTransform(v.distance, v.tilt, v.spin);
    double clip[4] = {};
    const double p[4] = {x, y, z, 1};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) clip[r] += m[c * 4 + r] * p[c];
    if (clip[3] <= 0) return false;
    wx = (clip[0] / clip[3] + 1) / 2 * W;
    wy = (clip[1] / clip[3] + 1) / 2 * H;
    return true;
}

// The key (ButtonId) seen at a window point, or -1.
int Pick(const Scene& s, const View& v, double wx, double wy, double displayTilt = 0) {
    Ray ray;
    if (!WindowRay(Projection(), ViewTransform(v.distance, v.tilt, v.spin), Viewport, wx, wy, ray))
        return -1;
    const std::int32_t name = KeyOnRay(ray, s.keys, s.g, displayTilt);
    return name == 0 ? -1 : name - KeyNameBase;
}

// The key seen at the centre of a key's face, or -1.
int PickCentre(const Scene& s, const View& v, int id, double displayTilt = 0) {
    const KeyRecord& k = s.keys[id];
    double wx, wy;
    if (!Project(v, k.X, k.Y + k.Height, k.Z, wx, wy)) return -1;
    return Pick(s, v, wx, wy, displayTilt);
}

const View Views[] = {{0, 0, 1.4}, {25, 0, 1.4},  {0, -35, 1.4}, {-40, 30, 1.4},
                      {0, 0, 0.8}, {10, 10, 3.0}, {150, 0, 1.4}, {-100, 60, 1.2}};

// Wider keys on a longer case.
ConfigRecord Wide() {
    ConfigRecord c = DefaultConfig;
    c.WIDTH = 0.36f;
    c.LENGTH = 0.55f;
    return c;
}

} // namespace

TEST(Picking, FindsEveryKeyAtItsCentreFromEveryViewAndProportion) {
    for (const ConfigRecord& c : {DefaultConfig, Wide()}) {
        const Scene s(c);
        for (const View& v : Views)
            for (int id = 0; id < KeyCount; ++id)
                EXPECT_EQ(PickCentre(s, v, id), id)
                    << "spin " << v.spin << " tilt " << v.tilt << " width " << c.WIDTH;
    }
}

TEST(Picking, APressedKeyIsStillFoundAndTheCaseAroundTheKeysIsNoKey) {
    Scene s(DefaultConfig);
    s.keys[5].Y -= KeyWall(s.keys[5].Height);
    const View v{0, 0, 1.4};
    EXPECT_EQ(PickCentre(s, v, 5), 5);
    double wx, wy;
    // The top face beyond the display, the edge of the case beside the keys, the background.
    for (auto [x, z] : {std::pair{0.45, 0.0}, {-0.2, s.g.width - s.g.fillet / 2}, {0.0, 0.5}}) {
        ASSERT_TRUE(Project(v, x, s.g.thickness, z, wx, wy));
        EXPECT_EQ(Pick(s, v, wx, wy), -1) << x << " " << z;
    }
}

TEST(Picking, SeenFromBehindTheCaseHidesEveryKey) {
    const Scene s(DefaultConfig);
    for (double tilt : {120.0, 180.0, -150.0})
        for (int id = 0; id < KeyCount; ++id)
            EXPECT_EQ(PickCentre(s, {0, tilt, 1.4}, id), -1) << id << " tilt " << tilt;
}

// The raised display frame stands up between the keys and the display: seen low across the
// case from the display's end it hides keys, and it never uncovers one.
TEST(Picking, TheRaisedDisplayFrameOnlyEverHidesKeys) {
    const Scene s(DefaultConfig);
    int hidden = 0;
    for (double tilt = -85; tilt <= 85; tilt += 10)
        for (double spin : {0.0, 20.0, -20.0, 180.0}) {
            const View v{spin, tilt, 1.4};
            for (int id = 0; id < KeyCount; ++id) {
                const int lowered = PickCentre(s, v, id, 0);
                const int raised = PickCentre(s, v, id, std::numbers::pi / 2);
                if (raised >= 0) {
                    EXPECT_EQ(raised, lowered) << id << " tilt " << tilt;
                }
                if (lowered == id && raised < 0) ++hidden;
            }
        }
    EXPECT_GT(hidden, 0);
}

// A key set in the air behind the raised display frame, seen straight through the frame at
// points of the frame's box given in its own coordinates: within the box the frame hides the
// key, just beyond its edges it does not.
TEST(Picking, TheRaisedDisplayFrameHidesKeysWithinItsBoxAndNoFurther) {
    Scene s(DefaultConfig);
    const double raised = std::numbers::pi / 2, e = 1e-4;
    const Box f = DisplayFrameBox(s.g);
    const double midX = (f.x0 + f.x1) / 2, midY = (f.y0 + f.y1) / 2;
    const struct {
        double x, y;
        bool hidden;
    } cases[] = {
        {midX, midY, true},      {f.x0 + e, midY, true},  {f.x1 - e, midY, true},
        {midX, f.y1 - e, true},  {f.x0 - e, midY, false}, {f.x1 + e, midY, false},
        {midX, f.y1 + e, false},
    };
    const Matrix frame = DisplayFrameTransform(s.g, raised);
    const auto normal = Apply(frame, {0, 0, 1, 0}); // the frame's front, in model space
    KeyRecord& key = s.keys[5];
    for (const auto& c : cases) {
        const auto through = Apply(frame, {c.x, c.y, f.z1, 1});
        Ray ray;
        for (int a = 0; a < 3; ++a) {
            ray.origin[a] = through[a] + normal[a];
            ray.direction[a] = -normal[a];
        }
        key.X = static_cast<float>(through[0] - 0.1 * normal[0]);
        key.Y = static_cast<float>(through[1] - 0.1 * normal[1] - key.Height / 2);
        key.Z = static_cast<float>(through[2] - 0.1 * normal[2]);
        const std::int32_t picked = KeyOnRay(ray, s.keys, s.g, raised);
        EXPECT_EQ(picked, c.hidden ? 0 : KeyNameBase + 5) << c.x << ", " << c.y;
    }
}

TEST(Geometry, PartsFitTogetherForEveryProportion) {
    ConfigRecord longer = DefaultConfig;
    longer.LENGTH = 0.6f;
    for (const ConfigRecord& c : {DefaultConfig, Wide(), longer}) {
        const Geometry g = GeometryOf(c);
        // The key plate ends before the display opening, which ends inside the top face.
        EXPECT_LE(g.keyPlate.x1, g.windowX0);
        EXPECT_LT(g.windowX1, g.length - g.fillet);
        EXPECT_FLOAT_EQ(g.windowX1 - g.windowX0, g.displayFrameLength);
        // The glyph area and its border fill the frame; the hinge is the frame's corner.
        EXPECT_FLOAT_EQ(g.glyphHeight + 2 * g.frameBorder, g.displayFrameLength);
        EXPECT_FLOAT_EQ(g.hinge[0], g.windowX0);
        EXPECT_NEAR(g.hinge[2] + g.frameBorder, -g.glyphWidth / 2, 1e-6);
        // Every key stands on the plate, its footprint inside it.
        for (const auto& centre : g.keyCentres) {
            EXPECT_EQ(centre[1], g.keyRestHeight);
            EXPECT_GE(centre[0] - g.keyEdge / 2, g.keyPlate.x0);
            EXPECT_LE(centre[0] + g.keyEdge / 2, g.keyPlate.x1);
            EXPECT_GE(centre[2] - g.keyEdge / 2, g.keyPlate.z0);
            EXPECT_LE(centre[2] + g.keyEdge / 2, g.keyPlate.z1);
        }
        EXPECT_NEAR(g.keyRestHeight, g.keyPlate.y1, 1e-7);
    }
}
