#include "Frame_un.h"

#include "scene/Display_un.h"
#include "scene/Models_un.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr double FieldOfView = 60.0, NearPlane = 0.1, FarPlane = 100.0;
constexpr GLfloat LightPosition[] = {-5.0f, 10.0f, 10.0f, 1.0f};
constexpr GLfloat White[] = {1.0f, 1.0f, 1.0f, 1.0f};

} // namespace

void SetUpRendering(const ConfigRecord& c) {
    const double scale = 1.0L / 255.0L;
    glClearColor(static_cast<GLfloat>(c.BACKGROUNDCOLOR_R * 1.0 * scale),
                 static_cast<GLfloat>(c.BACKGROUNDCOLOR_G * 1.0 * scale),
                 static_cast<GLfloat>(c.BACKGROUNDCOLOR_B * 1.0 * scale), 0.0f);
    for (GLenum capability : {GL_DEPTH_TEST, GL_ALPHA_TEST, GL_POINT_SMOOTH, GL_TEXTURE_2D,
                              GL_LIGHTING, GL_LIGHT0, GL_NORMALIZE})
        glEnable(capability);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, White);
    glLightfv(GL_LIGHT0, GL_AMBIENT, White);
    glLightfv(GL_LIGHT0, GL_SPECULAR, White);
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 1.0f);
}

void SetUpTexturing() {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

Matrix ProjectionOf(int width, int height) {
    if (height == 0) return IdentityMatrix();
    const float aspect = static_cast<float>(width) / height;
    // In a window narrower than it is tall the horizontal field of view keeps the 60 degrees
    // the vertical one has in a wide window, so that the calculator is seen whole.
    double fieldOfView = FieldOfView;
    if (width > 0 && width < height) {
        const double half = std::numbers::pi / 180 * FieldOfView / 2;
        fieldOfView = 2 * std::atan(std::tan(half) / aspect) * 180 / std::numbers::pi;
    }
    return Perspective(fieldOfView, aspect, NearPlane, FarPlane);
}

bool BodyWithinDepthRange(const Matrix& modelview, const Geometry& g) {
    // The body is convex: it lies between the planes when all its corners do. The margin
    // keeps out a corner that the rounding of the projection might put on the other side.
    constexpr double Margin = 1e-4;
    const Box b = CalculatorBody(g);
    for (int corner = 0; corner < BoxCorners; ++corner) {
        const auto eye = Apply(modelview, Corner(b, corner));
        const double depth = -eye[2] / eye[3]; // in front of the eye
        if (!(depth > NearPlane * (1 + Margin) && depth < FarPlane * (1 - Margin))) return false;
    }
    return true;
}

bool OnlyOutsideSeen(const Matrix& modelview, const Geometry& g, double displayTilt) {
    return displayTilt == 0 && WellFormed(g) && BodyWithinDepthRange(modelview, g);
}

void SetUpView(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(ProjectionOf(width, height).data());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 0, 0, 0, -1, 0, 1, 0);
    glLightfv(GL_LIGHT0, GL_POSITION, LightPosition);
}

void ReadFrameRows(int width, int height, int first, int count, std::uint32_t* pixels) {
    // GL's rows run from the bottom up; Mesa hands them over the other way round on request.
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const bool inverted =
        extensions != nullptr &&
        (std::string(" ") + extensions + " ").find(" GL_MESA_pack_invert ") != std::string::npos;
    glReadBuffer(GL_BACK);
    if (inverted) glPixelStorei(GL_PACK_INVERT_MESA, GL_TRUE);
    glReadPixels(0, height - first - count, width, count, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    if (inverted) glPixelStorei(GL_PACK_INVERT_MESA, GL_FALSE);
    for (int a = 0, b = count - 1; !inverted && a < b; ++a, --b)
        std::swap_ranges(pixels + static_cast<std::size_t>(a) * width,
                         pixels + static_cast<std::size_t>(a + 1) * width,
                         pixels + static_cast<std::size_t>(b) * width);
}

void DrawBackground() {
    // The clear colour and the far depth, as a clear leaves them; drawn with the frame's other
    // triangles, where a clear limited by the scissor would cost the driver a pass of its own.
    GLfloat colour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDepthFunc(GL_ALWAYS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4fv(colour);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, 1);
    glVertex3f(1, -1, 1);
    glVertex3f(1, 1, 1);
    glVertex3f(-1, 1, 1);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void DrawKeys(const KeyRecord (&keys)[KeyCount], std::int32_t pickedName, int focusedKey,
              bool closed, const DrawnRegion* region) {
    // A key standing on the key plate is a closed solid: seen from outside it, each face
    // turned away from the eye lies behind one turned to it. Drawn, such a face could still
    // win the depth test on a pixel of the key's outline, where the two meet, and show there
    // in the colour of the key's far side.
    if (closed) {
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
    }
    for (const KeyRecord& key : keys) {
        const float e = key.Edge / 2;
        if (region != nullptr &&
            !Touches(*region, Translation(key.X, key.Y, key.Z) * Rotation(key.Angle, 0, 1, 0),
                     {-e, 0, -e, e, key.Height, e}))
            continue;
        glPushMatrix();
        glTranslatef(key.X, key.Y, key.Z);
        glRotatef(static_cast<float>(key.Angle), 0, 1, 0);
        DrawKey(key, pickedName);
        if (key.Id == focusedKey) {
            // A flat ring over the face, wound either way.
            glDisable(GL_CULL_FACE);
            DrawFocusMark(key);
            if (closed) glEnable(GL_CULL_FACE);
        }
        glPopMatrix();
    }
    if (closed) glDisable(GL_CULL_FACE);
}

void DrawCalculator(const SceneContent& s) {
    const Geometry& g = s.shape;
    // Each textured part turns texturing on for itself and off after it. Start-up leaves it
    // on: the first frame would draw the untextured case modulated by the last picture
    // loaded, unlike every frame after it, and would need a pipeline of its own for that.
    glDisable(GL_TEXTURE_2D);
    // A whole frame is handed to the driver in parts: a software renderer fills the pixels of
    // a part on its own threads while this one goes on with the next (the clear, the case
    // with its many corner triangles, the keys), instead of all of it after the last call. For
    // a part of the window each pass costs more than it saves.
    DrawCase(g, s.outsideOnly, s.region);
    if (s.inParts) glFlush();
    DrawKeyPlate(g);
    // The card lies inside the case: with only the outside seen it would be filled (a large
    // picture, sampled at every pixel) where the display frame then covers it.
    if (s.cardLoaded && !s.outsideOnly) DrawCard(g, s.cardTexture);
    DrawKeys(s.keys, s.pickedName, s.focusedKey, s.keysClosed, s.region);
    if (s.inParts) glFlush();

    const Matrix hinged = DisplayFrameTransform(g, s.displayTilt);
    if (s.region != nullptr && !Touches(*s.region, hinged, DisplayFrameBox(g))) return;
    glPushMatrix();
    glMultMatrixd(hinged.data());
    DrawDisplayFrame(g);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
    glTranslatef(g.frameBorder, g.frameBorder, 0);
    glNormal3f(0, 0, 1);
    DrawDisplay(s.text, s.memoryShown, g.glyphWidth, g.glyphHeight, s.glyphTextures);
    glPopMatrix();
}
