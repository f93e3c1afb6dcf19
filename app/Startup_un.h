// Start-up: the loading window over the screen with the welcome picture and its bar, and the
// texture set uploaded in its order as the decoder hands the pictures over, the bar moved
// after each. The pictures are decoded on a thread of their own meanwhile (PictureDecoder).
#pragma once

#include "platform/Winlayer_un.h"
#include "scene/Button_un.h"
#include "textures/Texloading_un.h"

#include <cstdint>
#include <memory>

// The loading window centred on the screen, not on it yet: its scale tells which welcome
// picture it shows.
std::unique_ptr<LoadingWindow> MakeLoadingWindow(Platform& window);
// Its bar, the welcome picture drawn for its scale (the one of the design when that cannot be
// read; reported when neither can) and the bar at 0: it comes on the screen.
void ShowLoadingWindow(LoadingWindow& loading, PictureDecoder& pictures);

// Where the texture names go.
struct TextureNames {
    KeyRecord (&keys)[KeyCount];
    std::uint32_t (&glyphs)[GlyphCount];
    std::uint32_t& card;
};
// A texture whose name is made, and whose picture is read, but which is given its picture only
// after the first frame: the card, which the closed display frame hides. Pending while it
// holds the picture.
struct LaterTexture {
    std::uint32_t name = 0;
    Picture picture;
    bool Pending() const { return !picture.rgba.empty(); }
};
// Uploads the texture set as the pictures come decoded, each reported when it could not be
// read, moving the bar after each. The card's picture, when it could be read, is left in
// `card` for UploadLater: the first frame cannot show it, and is on the screen sooner without
// its 2 MiB of texels.
void LoadTextures(LoadingWindow& loading, PictureDecoder& pictures, const TextureNames& names,
                  LaterTexture& card);
// Gives a texture left for later its picture, and reports what went wrong as loading does;
// nothing once it has been done.
void UploadLater(LaterTexture& texture);

// With TESSEL_TIMING set, start-up times are written to stderr for the start-up benchmark.
bool TimingWanted();
// Writes the time the first frame is done to stderr when timing is wanted; true once written.
bool ReportFirstFrame();
