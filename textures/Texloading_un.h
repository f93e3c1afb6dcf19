// The texture set (key faces, display glyphs, the card) and the loading of JPEG files into
// OpenGL textures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int KeyTextureCount = 22;
constexpr int GlyphTextureCount = 27;

// Paths relative to the working directory, written with backslashes as in the data set;
// the loader turns them into this platform's separators and reports them as given.
extern const char* const KeyTexturePaths[KeyTextureCount];
extern const char* const GlyphTexturePaths[GlyphTextureCount];
constexpr const char* CardTexturePath = "tex\\Card.jpg";
constexpr const char* WelcomePicturePath = "tex//Welcome.jpg";

// Larger sides are refused as undecodable before anything is allocated.
constexpr int MaxPictureSide = 8192;

// A decoded picture: 8-bit red, green and blue per pixel, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

// Decodes a JPEG file; false when it cannot be opened or decoded (the picture is then empty).
bool DecodeJpegFile(const std::string& path, Picture& picture);
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, Picture& picture);
// The texels of a picture: RGBA with alpha 255, top row first.
std::vector<std::uint8_t> Texels(const Picture& picture);
// A path of the data set in this platform's form.
std::string NativePath(const char* path);

// Loads a JPEG file into a new texture, stores its name and leaves it bound. A file that
// cannot be read is reported in a message box and gives an empty 0 x 0 texture.
void LoadTexture(const char* path, std::uint32_t& name);
