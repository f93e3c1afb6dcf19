#include "Button_un.h"

#include "Models_un.h"

#include <GL/gl.h>

#include <utility>

namespace {

constexpr float KeyPressStep = -0.001f;
constexpr float HighlightDepth = 0.2f; // darkening of the key under the mouse
constexpr float KeyShininess = 120.0f;
// The focus mark: a thin dark band on the face, then a bright one over the face's border and
// the bevel out to the key's edge; as shares of the face's half-width.
constexpr float FocusDarkFrom = 0.74f, FocusBrightFrom = 0.83f;
constexpr float FocusDark[] = {0.08f, 0.08f, 0.08f};
constexpr float FocusBright[] = {1.0f, 0.84f, 0.0f};

} // namespace

// A key of the default proportions; BuildKeyTable gives each the configured ones.
KeyRecord::KeyRecord()
    : PressStep(KeyPressStep), Id(0), X(0), Y(0), Z(0), Angle(0),
      Edge(GeometryOf(DefaultConfig).keyEdge), Height(KeyHeight), Pressed(0), Texture(0) {}

void BuildKeyTable(KeyRecord (&keys)[KeyCount], const Geometry& g) {
    for (int i = 0; i < KeyCount; ++i) {
        keys[i].Id = i;
        keys[i].Edge = g.keyEdge;
        keys[i].X = g.keyCentres[i][0];
        keys[i].Y = g.keyCentres[i][1];
        keys[i].Z = g.keyCentres[i][2];
    }
}

bool KeyMoves(const KeyRecord& key, float restHeight) {
    const double rest = restHeight;
    const double travel = 2.0 * key.Height / 3.0;
    const bool due = key.Pressed != 0 ? key.Y >= rest - travel - key.PressStep
                                      : key.Y <= rest + key.PressStep / 2.0;
    // Far from the origin a step is lost to the rounding of Y (a case made very thick, say):
    // a step that would not change Y ends the animation, or it would never end.
    const float next = key.Y + (key.Pressed != 0 ? key.PressStep : -key.PressStep);
    return due && next != key.Y;
}

void StepKey(KeyRecord& key, float restHeight) {
    // Down to about two thirds of the height while held, back up to rest once released.
    if (KeyMoves(key, restHeight)) key.Y += key.Pressed != 0 ? key.PressStep : -key.PressStep;
}

void DrawKey(const KeyRecord& key, std::int32_t pickedName) {
    const float v = key.Id + KeyNameBase == pickedName ? HighlightDepth : 0.0f;
    const float d = 1 - 2 * v, s = 0.5f - 1.5f * v;
    SetMaterial({{d, d, d, 1.0f}, {s, s, s, 1.0f}, {0.2f, 0.2f, 0.2f, 1.0f}, KeyShininess});

    const float e = key.Edge / 2, H = key.Height, wall = KeyWall(H);
    // The sides facing -x, +z, +x and -z: the first side turned about +y by a quarter turn
    // after another. The turns are made on the coordinates, exactly, rather than on the
    // matrix: a matrix change between the sides would end a batch of vertices, and every
    // batch costs the driver time and memory in each frame. A quarter turn makes (x, z) into
    // (z, -x).
    auto turned = [](int turns, float x, float z) {
        for (int t = 0; t < turns; ++t) {
            const float previous = x;
            x = z;
            z = -previous;
        }
        return std::pair{x, z};
    };
    auto vertex = [&](int turns, float x, float y, float z) {
        const auto [tx, tz] = turned(turns, x, z);
        glVertex3f(tx, y, tz);
    };
    auto normal = [&](int turns, float x, float y, float z) {
        const auto [tx, tz] = turned(turns, x, z);
        glNormal3f(tx, y, tz);
    };
    for (int side = 0; side < 4; ++side) {
        glBegin(GL_POLYGON);
        normal(side, -1, 0, 0);
        vertex(side, -e, 0, -e);
        vertex(side, -e, 0, e);
        vertex(side, -e, wall, e);
        vertex(side, -e, wall, -e);
        glEnd();
        // The bevel's normal leans only slightly upwards, so it is lit almost like the wall.
        glBegin(GL_POLYGON);
        normal(side, -2 * key.Edge + 4 * H / 3, 10 * H / 3, 0);
        vertex(side, -e, wall, -e);
        vertex(side, -e, wall, e);
        vertex(side, -e + wall, H, e - wall);
        vertex(side, -e + wall, H, -e + wall);
        glEnd();
    }

    const float a = e - wall;
    glNormal3f(0, 1, 0);
    // Drawn opaque, without blending: the pictures' texels and the key's material all have
    // alpha 1, so blending would give the same pixels, at the price of a driver pipeline of
    // its own (about a tenth of the first start after installing, when nothing is cached).
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, key.Texture);
    glBegin(GL_POLYGON);
    glTexCoord2f(0, 1);
    glVertex3f(-a, H, -a);
    glTexCoord2f(1, 1);
    glVertex3f(-a, H, a);
    glTexCoord2f(1, 0);
    glVertex3f(a, H, a);
    glTexCoord2f(0, 0);
    glVertex3f(a, H, -a);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void DrawFocusMark(const KeyRecord& key) {
    const float e = key.Edge / 2, H = key.Height, a = e - KeyWall(H);
    // A square ring between two half-widths, as one strip around the key.
    auto ring = [&](float inner, float outer, const float(&colour)[3]) {
        glColor3fv(colour);
        glBegin(GL_QUAD_STRIP);
        constexpr int corners[5][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
        for (const auto& c : corners) {
            glVertex3f(c[0] * inner, H, c[1] * inner);
            glVertex3f(c[0] * outer, H, c[1] * outer);
        }
        glEnd();
    };
    // In the plane of the face, drawn over it.
    glDisable(GL_LIGHTING);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1, -2);
    ring(FocusDarkFrom * a, FocusBrightFrom * a, FocusDark);
    ring(FocusBrightFrom * a, e, FocusBright);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glEnable(GL_LIGHTING);
}
