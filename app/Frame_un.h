// A frame drawn with OpenGL: the rendering state fixed at start-up, the projection and camera
// of a drawable, and the calculator composed from its models.
#pragma once

#include "config/Cfgread_un.h"
#include "scene/Button_un.h"
#include "scene/Extent_un.h"
#include "scene/Geometry_un.h"
#include "scene/Picking_un.h"

#include <cstdint>

// Everything the models of a frame draw from, besides the view.
struct SceneContent {
    const Geometry& shape;
    const KeyRecord (&keys)[KeyCount];
    std::int32_t pickedName; // the key under the mouse, drawn darker
    int focusedKey;          // the key with the focus mark, -1 for none
    double displayTilt;
    const char* text;
    bool memoryShown;
    const std::uint32_t* glyphTextures;
    std::uint32_t cardTexture;
    // Handed to the driver in parts (see DrawCalculator): worth it for a whole window.
    bool inParts = true;
    // Only the calculator's outside can be seen (OnlyOutsideSeen): the case lets the driver
    // drop what faces away from the eye and what lies inside it (see DrawCase).
    bool outsideOnly = false;
    // No key is cut by the near plane: each is seen from outside, its back faces culled.
    bool keysClosed = false;
    // Drawn only in this region of the window (the rest kept from the last frame): the parts
    // that cannot touch it are left out.
    const DrawnRegion* region = nullptr;
    // Whether the card has its picture. Until it has (in the first frame, which cannot show
    // it) it is not drawn: a texture without a picture would cost the driver a pipeline of
    // its own for that frame alone.
    bool cardLoaded = true;
};

// Depth test, lighting and the light, and the clear colour of the configuration.
void SetUpRendering(const ConfigRecord& config);
// The texture environment, once the pictures are loaded.
void SetUpTexturing();
// The projection of a drawable of this size: 60 degrees of view across the narrower of its
// sides; the identity when it has no height.
Matrix ProjectionOf(int width, int height);
// Viewport, projection, camera and light position for a drawable of this size.
void SetUpView(int width, int height);
// Whether a frame drawn with this modelview shows nothing of the calculator but its outside:
// with the display frame shut a well-formed case is closed, and unless the near or the far
// plane of the projection cuts into it no ray from the eye reaches inside it or the back of
// a surface.
bool OnlyOutsideSeen(const Matrix& modelview, const Geometry& shape, double displayTilt);
// Whether the body of the calculator (all but a raised display frame) lies between the near
// and the far plane of the projection, neither cutting into it.
bool BodyWithinDepthRange(const Matrix& modelview, const Geometry& shape);
// Fills the viewport (within the scissor) with the clear colour at the far depth: what a
// clear of the colour and depth buffers leaves.
void DrawBackground();
// The calculator, under the current modelview matrix placing it before the camera.
void DrawCalculator(const SceneContent& scene);
// Reads back rows of the frame in the back buffer (see FrameReader).
void ReadFrameRows(int width, int height, int first, int count, std::uint32_t* pixels);
// The 22 keys, each at its place, and the focus mark on the focused one (-1 for none); the
// faces turned away from the eye are culled when the keys are closed (see SceneContent).
// Culling is left off. Given a region, the keys that cannot touch it are left out.
void DrawKeys(const KeyRecord (&keys)[KeyCount], std::int32_t pickedName, int focusedKey = -1,
              bool closed = false, const DrawnRegion* region = nullptr);
