// The case, the key plate, the card and the display frame, drawn in model space: x along the
// length (display toward +x), y along the thickness (top face at +y), z across the width.
#pragma once

#include "Extent_un.h"
#include "Geometry_un.h"

#include <cstdint>

// A material for front and back faces, set in the order diffuse, specular, ambient, shininess.
struct Material {
    float diffuse[4], specular[4], ambient[4];
    float shininess;
};
void SetMaterial(const Material& material);

// The rounded case with the display opening in its top face. When only its outside can be
// seen (the opening shut by the display frame), the driver is let drop the faces turned
// away from the eye and most of what lies inside the case of each rounded edge and corner;
// every part is still drawn. Given a region of the window (its mapping taking the case's
// model space, the present modelview, to the window), the rounded edges and corners that
// cannot touch it are left out. Culling is left as it was found, and no clip plane is left on.
void DrawCase(const Geometry& geometry, bool outsideOnly = false,
              const DrawnRegion* region = nullptr);
void DrawKeyPlate(const Geometry& geometry);
// The picture inside the case, seen when the display frame is raised.
void DrawCard(const Geometry& geometry, std::uint32_t cardTexture);
// The display frame in its own hinged frame (see DisplayFrameTransform): a border around the
// glyph area.
void DrawDisplayFrame(const Geometry& geometry);
