#include "Sdlscale_un.h"

#include "Scale_un.h"

#include <SDL.h>

double DesktopScaleOf(DisplayServer& server) {
    float displayDpi = 0;
    if (SDL_GetDisplayDPI(0, &displayDpi, nullptr, nullptr) != 0) displayDpi = 0;
    return DesktopScale(server.DesktopDpi(), displayDpi);
}
