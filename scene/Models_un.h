// The case, the key plate, the card and the display frame, drawn in model space: x along the
// length (display toward +x), y along the thickness (top face at +y), z across the width.
#pragma once

#include <cstdint>

// A material for front and back faces, set in the order diffuse, specular, ambient, shininess.
struct Material {
    float diffuse[4], specular[4], ambient[4];
    float shininess;
};
void SetMaterial(const Material& material);

// The rounded case with the display window in its top face; border and length of the window.
void DrawCase(float frameBorder, float displayFrameLength);
void DrawKeyPlate(float keyPlateLength);
// The picture inside the case, seen when the display frame is raised.
void DrawCard(std::uint32_t cardTexture);
// The display frame in its own hinged frame: a border around the glyph area.
void DrawDisplayFrame(float frameBorder, float displayFrameLength);
