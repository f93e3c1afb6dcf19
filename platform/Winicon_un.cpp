#include "Winicon_un.h"

#include "Displayserver_un.h"

#include "Windowicon_data.h"

#include <SDL.h>

namespace {

constexpr int SdlIconSize = 48;

} // namespace

std::span<const int> WindowIconSizesDrawn() {
    return WindowIconSizes;
}

const std::uint32_t* WindowIconPixelsOf(int size) {
    const std::uint32_t* pixels = WindowIconPixels;
    for (int drawn : WindowIconSizes) {
        if (drawn == size) return pixels;
        pixels += static_cast<std::size_t>(drawn) * drawn;
    }
    return nullptr;
}

void SetProgramIcon(DisplayServer& server, SDL_Window* window) {
    if (window == nullptr) return;
    // SDL copies the pixels; the surface only lends them.
    if (const std::uint32_t* pixels = WindowIconPixelsOf(SdlIconSize)) {
        SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t*>(pixels), SdlIconSize, SdlIconSize, 32,
            SdlIconSize * static_cast<int>(sizeof(std::uint32_t)), SDL_PIXELFORMAT_ARGB8888);
        if (icon != nullptr) {
            SDL_SetWindowIcon(window, icon);
            SDL_FreeSurface(icon);
        }
    }
    server.SetIcons(window, WindowIconSizes, static_cast<int>(std::size(WindowIconSizes)),
                    WindowIconPixels);
}
