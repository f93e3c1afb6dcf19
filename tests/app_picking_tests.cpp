// Picking on the CPU against what is drawn: against the OpenGL selection pass that used to find
// the key under the mouse, and against the depth buffer, which tells what is seen at a pixel.
#include "AppFixture.h"

#include "app/Frame_un.h"
#include "scene/Button_un.h"

#include <cmath>
#include <numbers>

namespace {

// The key the selection pass of OpenGL finds around a window point (y downward, pixel
// centres at .5): the keys alone drawn under their names through a pick region of a tenth of a
// pixel, the nearest hit winning and ties going to the lower ButtonId.
std::int32_t SelectionPick(T_Tessel_Frm& f, double x, double y, int width, int height) {
    GLuint buffer[4 * KeyCount];
    glSelectBuffer(4 * KeyCount, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    GLint viewport[4] = {0, 0, width, height};
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x, height - y, 0.1, 0.1, viewport);
    glMultMatrixd(f.ProjectionMatrix().data());
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    f.ApplyViewTransform();
    for (int i = 0; i < KeyCount; ++i) {
        const KeyRecord& k = f.Keys[i];
        glPushMatrix();
        glTranslatef(k.X, k.Y, k.Z);
        glRotatef(static_cast<float>(k.Angle), 0, 1, 0);
        glPushName(static_cast<GLuint>(KeyNameBase + i));
        DrawKey(k, 0);
        glPopName();
        glPopMatrix();
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    const GLint hits = glRenderMode(GL_RENDER);
    if (hits <= 0) return 0;
    GLuint best = buffer[1];
    std::int32_t name = static_cast<std::int32_t>(buffer[3]);
    for (GLint h = 1; h < hits; ++h)
        if (buffer[4 * h + 1] < best) best = buffer[4 * h + 1], name = buffer[4 * h + 3];
    return name;
}

struct View {
    double spin, tilt, distance, displayTilt;
};

// How far the point lies inside the convex polygon (negative outside), in its units.
double InsideBy(const std::array<double, 2>& p, const std::vector<std::array<double, 2>>& polygon) {
    double cx = 0, cy = 0;
    for (const auto& v : polygon) cx += v[0] / polygon.size(), cy += v[1] / polygon.size();
    double inside = 1e9;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const auto& a = polygon[i];
        const auto& b = polygon[(i + 1) % polygon.size()];
        const double ex = b[0] - a[0], ey = b[1] - a[1], length = std::hypot(ex, ey);
        if (length == 0) continue;
        auto side = [&](double x, double y) {
            return (ex * (y - a[1]) - ey * (x - a[0])) / length;
        };
        inside = std::min(inside, side(p[0], p[1]) * (side(cx, cy) < 0 ? -1 : 1));
    }
    return inside;
}

} // namespace

TEST_F(AppTest, CpuPickingFindsWhatTheSelectionPassFoundAtCentresAndNearEdges) {
    constexpr int Width = 1024, Height = 768;
    UseSize(Width, Height);
    T_Tessel_Frm& f = Start();
    const View views[] = {{0, 0, 1.4, 0},    {25, 0, 1.4, 0},    {0, -35, 1.4, 0},
                          {-40, 30, 1.4, 0}, {0, 0, 0.7, 0},     {10, 10, 3.0, 0},
                          {150, 0, 1.4, 0},  {-100, 60, 1.2, 0}, {70, -70, 2.0, 0},
                          {0, 45, 0.9, 0},   {180, 20, 5.0, 0},  {-15, -60, 1.0, 0}};
    int compared = 0;
    for (const View& v : views) {
        f.Model.View.SpinAngle = v.spin, f.Model.View.TiltAngle = v.tilt,
        f.Model.View.ViewDistance = v.distance;
        for (int id = 0; id < KeyCount; ++id) {
            const KeyRecord& k = f.Keys[id];
            const double e = k.Edge / 2;
            const double a = e - 2 * k.Height / 3; // half the side of the face
            std::vector<std::array<double, 2>> face;
            for (auto [cx, cz] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}})
                face.push_back(Project(k.X + cx * a, k.Y + k.Height, k.Z + cz * a));
            // The centre of the face and points 84 % of the way to its edges and corners, each
            // taken at the centre of its pixel when that lies a pixel or more inside the face
            // as seen (nearer its edge even the selection pass is not sure).
            for (auto [dx, dz] : {std::pair{0.0, 0.0},
                                  {0.84, 0.0},
                                  {-0.84, 0.0},
                                  {0.0, 0.84},
                                  {0.0, -0.84},
                                  {0.84, 0.84},
                                  {-0.84, -0.84},
                                  {0.84, -0.84},
                                  {-0.84, 0.84}}) {
                auto p = Project(k.X + dx * e, k.Y + k.Height, k.Z + dz * e);
                const int x = static_cast<int>(std::floor(p[0])),
                          y = static_cast<int>(std::floor(p[1]));
                if (x < 0 || y < 0 || x >= Width || y >= Height) continue;
                if (InsideBy({x + 0.5, y + 0.5}, face) < 1.0) continue;
                const std::int32_t reference = SelectionPick(f, x + 0.5, y + 0.5, Width, Height);
                EXPECT_EQ(f.PickKey(x, y), reference)
                    << "key " << id << " at (" << dx << ", " << dz << "), spin " << v.spin
                    << " tilt " << v.tilt << " distance " << v.distance;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 1000);
}

// At every sampled pixel the depth buffer tells which surface is seen there. Where it is
// clearly a key's, picking finds that key; where it is clearly something else (the display
// frame, the case, the background), picking finds no key: a key hidden behind another part is
// not found.
TEST_F(AppTest, PickingFindsExactlyTheKeysThatAreSeen) {
    T_Tessel_Frm& f = Start();
    const double raised = std::numbers::pi / 2;
    const View views[] = {{0, 50, 1.4, raised}, {0, -50, 1.4, raised}, {30, 40, 1.2, raised},
                          {0, 85, 1.4, raised}, {-60, -30, 2.5, 1.0},  {150, 60, 1.0, raised},
                          {0, 120, 1.4, 0},     {0, 180, 1.4, raised}, {90, 70, 0.9, raised},
                          {0, 0, 1.4, raised}};
    const double inset = 0.004, clear = 0.01;
    for (const View& v : views) {
        f.Model.View.SpinAngle = v.spin, f.Model.View.TiltAngle = v.tilt,
        f.Model.View.ViewDistance = v.distance;
        f.Model.View.DisplayTilt = v.displayTilt;
        MoveMouse(0, 0);
        Frame();
        std::vector<float> depth(static_cast<std::size_t>(W) * H);
        glReadPixels(0, 0, W, H, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        double model[16], projection[16];
        GLint viewport[4] = {0, 0, W, H};
        const Matrix mv = f.ModelviewMatrix(), pr = f.ProjectionMatrix();
        std::copy(mv.begin(), mv.end(), model);
        std::copy(pr.begin(), pr.end(), projection);
        auto depthAt = [&](int x, int y) {
            return depth[static_cast<std::size_t>(H - 1 - y) * W + x];
        };

        int seenKeys = 0, seenOther = 0;
        for (int y = 3; y < H - 3; y += 3)
            for (int x = 3; x < W - 3; x += 3) {
                const std::int32_t picked = f.PickKey(x, y);
                const float d = depthAt(x, y);
                if (d >= 1.0f) {
                    // Background, with no surface anywhere near: no key.
                    bool alone = true;
                    for (int dy = -3; dy <= 3 && alone; ++dy)
                        for (int dx = -3; dx <= 3; ++dx)
                            alone = alone && depthAt(x + dx, y + dy) >= 1.0f;
                    if (alone) {
                        EXPECT_EQ(picked, 0) << "background at " << x << "," << y;
                    }
                    continue;
                }
                double px, py, pz;
                gluUnProject(x + 0.5, H - y - 0.5, d, model, projection, viewport, &px, &py, &pz);
                // How far the seen point lies outside each key's box, and how deep inside.
                int owner = -1;
                double nearest = 1e9;
                for (int id = 0; id < KeyCount; ++id) {
                    const KeyRecord& k = f.Keys[id];
                    const double e = k.Edge / 2;
                    const double out[3] = {std::fabs(px - k.X) - e,
                                           std::max(k.Y - py, py - (k.Y + k.Height)),
                                           std::fabs(pz - k.Z) - e};
                    const double outside = std::hypot(std::max(out[0], 0.0), std::max(out[1], 0.0),
                                                      std::max(out[2], 0.0));
                    // On the box's surface, away from its edges: two of three directions deep
                    // inside the box.
                    int deep = 0;
                    for (double o : out) deep += o < -inset;
                    if (outside < 1e-4 && deep >= 2) owner = id;
                    nearest = std::min(nearest, outside);
                }
                if (owner >= 0) {
                    EXPECT_EQ(picked, KeyNameBase + owner)
                        << "key " << owner << " seen at " << x << "," << y << ", spin " << v.spin
                        << " tilt " << v.tilt;
                    ++seenKeys;
                } else if (nearest > clear) {
                    EXPECT_EQ(picked, 0) << "no key seen at " << x << "," << y << ", spin "
                                         << v.spin << " tilt " << v.tilt;
                    ++seenOther;
                }
            }
        EXPECT_GT(seenOther, 100) << "spin " << v.spin << " tilt " << v.tilt;
        if (std::fabs(v.tilt) < 80) {
            EXPECT_GT(seenKeys, 50) << "spin " << v.spin << " tilt " << v.tilt;
        }
    }
}

TEST_F(AppTest, TheRaisedFrameHidesTheKeysBehindIt) {
    T_Tessel_Frm& f = Start();
    f.Model.View.DisplayTilt = std::numbers::pi / 2;
    // Tilted so that the raised frame stands between the viewer and the top row of keys.
    int hidden = 0;
    for (double tilt : {50.0, -50.0}) {
        f.Model.View.TiltAngle = tilt;
        for (int id : {static_cast<int>(BtnCE), static_cast<int>(BtnC)}) {
            auto c = KeyCentre(id);
            const std::int32_t picked = f.PickKey(static_cast<int>(c[0]), static_cast<int>(c[1]));
            if (picked != KeyNameBase + id) {
                EXPECT_EQ(picked, 0) << "tilt " << tilt;
                ++hidden;
            }
        }
    }
    EXPECT_EQ(hidden, 2); // both keys of the top row, from one of the two sides
    // A click there presses nothing.
    for (double tilt : {50.0, -50.0}) {
        f.Model.View.TiltAngle = tilt;
        auto c = KeyCentre(BtnCE);
        const int x = static_cast<int>(c[0]), y = static_cast<int>(c[1]);
        if (f.PickKey(x, y) != 0) continue;
        Key('7');
        Send({WindowEvent::MouseDown, 0, ssLeft, TMouseButton::mbLeft, x, y});
        Send({WindowEvent::MouseUp, 0, 0, TMouseButton::mbLeft, x, y});
        EXPECT_STREQ(DisplayText, "7");
    }
}

// A window narrower than it is tall keeps 60 degrees of view across its width: the whole
// calculator is seen, and a click on a key of each column lands on it.
TEST_F(AppTest, ANarrowWindowShowsTheWholeCalculatorAndClicksLandOnTheirKeys) {
    const Matrix wide = ProjectionOf(1500, 400), narrow = ProjectionOf(400, 1500);
    const double f = 1 / std::tan(std::numbers::pi / 6);
    EXPECT_NEAR(wide[5], f, 1e-6);   // 60 degrees up and down
    EXPECT_NEAR(narrow[0], f, 1e-6); // 60 degrees across
    UseSize(400, 1500);
    T_Tessel_Frm& form = Start();
    const Geometry& g = form.Shape;
    for (double x : {-g.length, g.length})
        for (double z : {-g.width, g.width}) {
            auto p = Project(x, g.thickness, z);
            EXPECT_GT(p[0], 0);
            EXPECT_LT(p[0], 400);
        }
    // Row 3 holds a key in every column: 7 8 9 / MC.
    for (int id : {7, 8, 9, static_cast<int>(BtnDivision), static_cast<int>(BtnMC)}) {
        auto c = KeyCentre(id);
        EXPECT_EQ(form.PickKey(static_cast<int>(c[0]), static_cast<int>(c[1])), KeyNameBase + id);
    }
    ClearAll();
    auto click = [&](int id) {
        auto c = KeyCentre(id);
        Click(static_cast<int>(c[0]), static_cast<int>(c[1]));
    };
    for (int id : {7, static_cast<int>(BtnDivision), 8, static_cast<int>(BtnEqual)}) click(id);
    EXPECT_STREQ(DisplayText, "0,875");
}

// A window moved to a screen of twice the density keeps its size in units and gets twice the
// pixels: from the next frame on the keys stand at twice their places, a click there (the
// mouse in the new pixels) presses them, and a frame drawn in part presents the damage in the
// new pixels.
TEST_F(AppTest, AfterAChangeOfScaleTheNextFrameDrawsPicksAndPresentsInTheNewPixels) {
    Start(false);
    Frame();
    const auto before5 = KeyCentre(5), before9 = KeyCentre(9);
    platform->Resize(2 * W, 2 * H);
    Send({WindowEvent::Resize});
    Frame();
    EXPECT_EQ(platform->LastPresented.width, 2 * W) << "swapped in whole";
    const auto after5 = KeyCentre(5), after9 = KeyCentre(9);
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(after5[i], 2 * before5[i], 1.0);
        EXPECT_NEAR(after9[i], 2 * before9[i], 1.0);
    }
    // The key's old place now lies on no key.
    EXPECT_NE(form->PickKey(static_cast<int>(before9[0]), static_cast<int>(before9[1])),
              KeyNameBase + 9);
    for (int id : {5, 9}) {
        const auto c = KeyCentre(id);
        Click(static_cast<int>(c[0]), static_cast<int>(c[1]));
        for (int i = 0; i < 10; ++i) Frame();
    }
    EXPECT_STREQ(DisplayText, "59");
    // Frames after it are presented in part, within the new pixels (y from the bottom).
    const auto& part = platform->LastPresented;
    EXPECT_LT(part.width, 2 * W);
    EXPECT_LE(part.x + part.width, 2 * W);
    EXPECT_LE(part.y + part.height, 2 * H);
    // A press of 9 again: among the parts presented, one around the key.
    bool keyPresented = false;
    int parts = platform->PartsPresented;
    auto look = [&] {
        keyPresented |= platform->PartsPresented > parts && after9[0] >= part.x &&
                        after9[0] <= part.x + part.width && 2 * H - after9[1] >= part.y &&
                        2 * H - after9[1] <= part.y + part.height;
        parts = platform->PartsPresented;
    };
    const int x = static_cast<int>(after9[0]), y = static_cast<int>(after9[1]);
    Send({WindowEvent::MouseDown, 0, ssLeft, TMouseButton::mbLeft, x, y});
    look();
    Frame();
    look();
    Send({WindowEvent::MouseUp, 0, 0, TMouseButton::mbLeft, x, y});
    for (int i = 0; i < 10; ++i) {
        look();
        Frame();
    }
    look();
    EXPECT_TRUE(keyPresented);
    EXPECT_STREQ(DisplayText, "599");
}
