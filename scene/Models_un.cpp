#include "Models_un.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>

namespace {

constexpr Material CaseMaterial{
    {0.15f, 0.15f, 0.15f, 1.0f}, {0.3f, 0.3f, 0.3f, 1.0f}, {0.2f, 0.2f, 0.2f, 1.0f}, 50.0f};
constexpr Material KeyPlateMaterial{
    {0.1f, 0.1f, 0.1f, 1.0f}, {0.1f, 0.1f, 0.1f, 1.0f}, {0.2f, 0.21f, 0.21f, 1.0f}, 50.0f};
constexpr Material DisplayFrameMaterial{
    {0.15f, 0.15f, 0.15f, 1.0f}, {0.3f, 0.3f, 0.3f, 1.0f}, {0.15f, 0.15f, 0.15f, 1.0f}, 50.0f};
constexpr float CardShininess = 20.0f;
constexpr int CylinderSlices = 32, CylinderStacks = 1;
constexpr int SphereSlices = 32, SphereStacks = 16;

struct V {
    float x, y, z;
};

// Of a rounded part centred at `centre`, clip planes keep the side facing outwards along each
// axis on which the centre lies off the case's middle: towards the sign of its coordinate.
// An edge is centred at the middle of its length, so it keeps the outer quarter about its
// axis; a corner keeps its outer eighth. Each plane lies `inset` inside the centre, so that
// it cuts no facet of the outer side, only facets inside the case. The planes are given in
// the case's own coordinates, `model` being its modelview, whatever the present matrix is.
constexpr int Axes = 3;
void KeepOutwardSide(const GLfloat (&model)[16], V centre, double inset) {
    glPushMatrix();
    glLoadMatrixf(model);
    const float c[Axes] = {centre.x, centre.y, centre.z};
    for (int a = 0; a < Axes; ++a) {
        const GLenum plane = GL_CLIP_PLANE0 + a;
        if (c[a] == 0) {
            glDisable(plane);
            continue;
        }
        const double outward = c[a] > 0 ? 1 : -1;
        GLdouble equation[4] = {0, 0, 0, inset - outward * c[a]};
        equation[a] = outward;
        glClipPlane(plane, equation);
        glEnable(plane);
    }
    glPopMatrix();
}

// One flat face: four vertices wound counter-clockwise seen from the side of the normal.
void Face(V n, V a, V b, V c, V d) {
    glBegin(GL_POLYGON);
    glNormal3f(n.x, n.y, n.z);
    glVertex3f(a.x, a.y, a.z);
    glVertex3f(b.x, b.y, b.z);
    glVertex3f(c.x, c.y, c.z);
    glVertex3f(d.x, d.y, d.z);
    glEnd();
}

} // namespace

void SetMaterial(const Material& m) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m.ambient);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
}

void DrawCase(const Geometry& g, bool outsideOnly, const DrawnRegion* region) {
    const float L = g.length, T = g.thickness, W = g.width, F = g.fillet, B = g.frameBorder;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    SetMaterial(CaseMaterial);
    glShadeModel(GL_SMOOTH);
    // Closed, the case is a solid seen from outside: each face turned away from the eye is
    // hidden behind faces turned to it (the bottom behind the top, say), and the driver drops
    // it before filling and depth-testing its pixels.
    const bool culling = glIsEnabled(GL_CULL_FACE) == GL_TRUE;
    glCullFace(GL_BACK);
    if (outsideOnly) glEnable(GL_CULL_FACE);

    // Top face around the display window: key field, far strip, the two side strips.
    const V up{0, 1, 0};
    const float wx0 = g.windowX0, wx1 = g.windowX1;
    Face(up, {wx0, T, W - F}, {wx0, T, F - W}, {F - L, T, F - W}, {F - L, T, W - F});
    Face(up, {L - F, T, W - F}, {L - F, T, F - W}, {wx1, T, F - W}, {wx1, T, W - F});
    Face(up, {wx1, T, 2 * F - W - B}, {wx1, T, F - W}, {wx0, T, F - W}, {wx0, T, 2 * F - W - B});
    Face(up, {wx1, T, W - F}, {wx1, T, W - 2 * F + B}, {wx0, T, W - 2 * F + B}, {wx0, T, W - F});
    Face({0, -1, 0}, {F - L, -T, W - F}, {F - L, -T, F - W}, {L - F, -T, F - W},
         {L - F, -T, W - F});
    Face({1, 0, 0}, {L, T - F, W - F}, {L, F - T, W - F}, {L, F - T, F - W}, {L, T - F, F - W});
    Face({-1, 0, 0}, {-L, T - F, F - W}, {-L, F - T, F - W}, {-L, F - T, W - F},
         {-L, T - F, W - F});
    Face({0, 0, 1}, {F - L, T - F, W}, {F - L, F - T, W}, {L - F, F - T, W}, {L - F, T - F, W});
    Face({0, 0, -1}, {L - F, T - F, -W}, {L - F, F - T, -W}, {F - L, F - T, -W},
         {F - L, T - F, -W});

    // The rounded edges and corners are closed surfaces seen only from outside: the far side
    // of each is always hidden by its near side, so the driver drops those triangles before
    // it sets them up (nearly half of the frame's, with little to show for them).
    glEnable(GL_CULL_FACE);
    // Of a closed case only the outer quarter of an edge and the outer eighth of a corner can
    // be seen; clip planes drop most of the rest, whose long thin facets would otherwise each
    // be filled and depth-tested along the whole edge.
    GLfloat model[16];
    if (outsideOnly) glGetFloatv(GL_MODELVIEW_MATRIX, model);
    auto clipTo = [&](V centre) {
        if (outsideOnly) KeepOutwardSide(model, centre, F / 16);
    };
    // Whether the rounded part centred there, reaching `half` along each axis, may touch the
    // region drawn.
    auto seen = [&](V centre, V half) {
        return region == nullptr ||
               Touches(*region, IdentityMatrix(),
                       {centre.x - half.x, centre.y - half.y, centre.z - half.z, centre.x + half.x,
                        centre.y + half.y, centre.z + half.z});
    };
    GLUquadric* q = gluNewQuadric();
    gluQuadricDrawStyle(q, GLU_FILL);
    const double r = F;
    // Four parallel edges: the first at start, each next one a translation further on; for
    // the clip planes, the middle of each in model space.
    auto edges = [&](float turn, V axis, V start, V a, V b, V c, float length, const V(&middles)[4],
                     V half) {
        glPushMatrix();
        if (turn != 0) glRotatef(turn, axis.x, axis.y, axis.z);
        int k = 0;
        for (V step : {start, a, b, c}) {
            glTranslatef(step.x, step.y, step.z);
            const V middle = middles[k++];
            if (!seen(middle, half)) continue;
            clipTo(middle);
            gluCylinder(q, r, r, static_cast<double>(length), CylinderSlices, CylinderStacks);
        }
        glPopMatrix();
    };
    edges(90, {0, 1, 0}, {F - W, T - F, F - L}, {2 * W - 2 * F, 0, 0}, {0, 2 * F - 2 * T, 0},
          {2 * F - 2 * W, 0, 0}, 2 * L - 2 * F,
          {{0, T - F, W - F}, {0, T - F, F - W}, {0, F - T, F - W}, {0, F - T, W - F}},
          {L - F, F, F}); // along x
    edges(90, {1, 0, 0}, {F - L, W - F, F - T}, {2 * L - 2 * F, 0, 0}, {0, 2 * F - 2 * W, 0},
          {2 * F - 2 * L, 0, 0}, 2 * T - 2 * F,
          {{F - L, 0, W - F}, {L - F, 0, W - F}, {L - F, 0, F - W}, {F - L, 0, F - W}},
          {F, T - F, F}); // along y
    edges(0, {}, {F - L, T - F, F - W}, {2 * L - 2 * F, 0, 0}, {0, 2 * F - 2 * T, 0},
          {2 * F - 2 * L, 0, 0}, 2 * W - 2 * F,
          {{F - L, T - F, 0}, {L - F, T - F, 0}, {L - F, F - T, 0}, {F - L, F - T, 0}},
          {F, F, W - F}); // along z

    // Corners, centred in this order.
    const V centres[] = {{F - L, T - F, W - F}, {L - F, T - F, W - F}, {L - F, T - F, F - W},
                         {F - L, T - F, F - W}, {F - L, F - T, F - W}, {F - L, F - T, W - F},
                         {L - F, F - T, W - F}, {L - F, F - T, F - W}};
    glPushMatrix();
    glRotatef(90, 1, 0, 0);
    glTranslatef(F - L, W - F, F - T);
    auto corner = [&](V centre) {
        if (!seen(centre, {F, F, F})) return;
        clipTo(centre);
        gluSphere(q, r, SphereSlices, SphereStacks);
    };
    corner(centres[0]);
    const float steps[][3] = {{2 * L - 2 * F, 0, 0}, {0, 2 * F - 2 * W, 0}, {2 * F - 2 * L, 0, 0},
                              {0, 0, 2 * T - 2 * F}, {0, 2 * W - 2 * F, 0}, {2 * L - 2 * F, 0, 0},
                              {0, 2 * F - 2 * W, 0}};
    int k = 1;
    for (const auto& s : steps) {
        glTranslatef(s[0], s[1], s[2]);
        corner(centres[k++]);
    }
    glPopMatrix();
    gluDeleteQuadric(q);
    for (int a = 0; a < Axes; ++a) glDisable(GL_CLIP_PLANE0 + a);
    if (!culling) glDisable(GL_CULL_FACE);
}

void DrawKeyPlate(const Geometry& g) {
    const float x0 = g.keyPlate.x0, x1 = g.keyPlate.x1;
    const float y0 = g.keyPlate.y0, y1 = g.keyPlate.y1;
    const float z0 = g.keyPlate.z0, z1 = g.keyPlate.z1;
    SetMaterial(KeyPlateMaterial);
    Face({0, 1, 0}, {x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0});
    Face({-1, 0, 0}, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0});
    Face({1, 0, 0}, {x1, y0, z1}, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1});
    Face({0, 0, 1}, {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1});
    Face({0, 0, -1}, {x1, y0, z0}, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0});
}

void DrawCard(const Geometry& g, std::uint32_t cardTexture) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, cardTexture);
    glNormal3f(0, 1, 0);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, CardShininess);
    glBegin(GL_POLYGON);
    glTexCoord2f(1, 0);
    glVertex3f(g.cardX1, 0, g.cardZ1);
    glTexCoord2f(1, 1);
    glVertex3f(g.cardX1, 0, g.cardZ0);
    glTexCoord2f(0, 1);
    glVertex3f(g.cardX0, 0, g.cardZ0);
    glTexCoord2f(0, 0);
    glVertex3f(g.cardX0, 0, g.cardZ1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void DrawDisplayFrame(const Geometry& g) {
    // The outer faces are the box's; the front is a border around the glyph area.
    const Box f = DisplayFrameBox(g);
    const float x0 = f.x0, x1 = f.x1, y0 = f.y0, y1 = f.y1, z0 = f.z0, z1 = f.z1;
    const float G = g.glyphWidth, B = g.frameBorder, D = f.y1;
    SetMaterial(DisplayFrameMaterial);
    const V front{0, 0, 1};
    Face(front, {B, y1, z1}, {x0, y1, z1}, {x0, y0, z1}, {B, y0, z1});
    Face(front, {x1, y1, z1}, {G + B, y1, z1}, {G + B, y0, z1}, {x1, y0, z1});
    Face(front, {G + B, y1, z1}, {B, y1, z1}, {B, D - B, z1}, {G + B, D - B, z1});
    Face(front, {G + B, B, z1}, {B, B, z1}, {B, y0, z1}, {G + B, y0, z1});
    Face({0, 0, -1}, {x1, y1, z0}, {x1, y0, z0}, {x0, y0, z0}, {x0, y1, z0});
    Face({0, 1, 0}, {x1, y1, z1}, {x1, y1, z0}, {x0, y1, z0}, {x0, y1, z1});
    Face({0, -1, 0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}, {x0, y0, z0});
    Face({1, 0, 0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}, {x1, y0, z0});
    Face({-1, 0, 0}, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0});
}
