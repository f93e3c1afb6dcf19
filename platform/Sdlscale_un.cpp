#include "Sdlscale_un.h"

#include "Scale_un.h"

#include <SDL.h>

double DesktopScaleOf(DisplayServer& server) {
    float displayDpi = 0;
    if (SDL_GetDisplayDPI(0, &displayDpi, nullptr, nullptr) != 0) displayDpi = 0;
    return DesktopScale(server.DesktopDpi(), displayDpi);
}

double PixelDensityOf(SDL_Window* window) {
    int units = 0, pixels = 0;
    SDL_GetWindowSize(window, &units, nullptr);
    SDL_GetWindowSizeInPixels(window, &pixels, nullptr);
    return PixelDensity(pixels, units);
}
