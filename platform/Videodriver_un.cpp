#include "Videodriver_un.h"

#include "Wayland_un.h"
#include "X11_un.h"

#include <SDL.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

const char* DriversToTry(const char* asked, const char* waylandDisplay) {
    if (asked != nullptr) return asked;
    return waylandDisplay != nullptr && *waylandDisplay != '\0' ? "wayland,x11" : nullptr;
}

ServerKind ExpectedServer(const char* asked) {
    // SDL_VIDEODRIVER may name several drivers, to be tried in turn.
    const std::string_view drivers = asked != nullptr ? asked : "";
    return drivers.substr(0, drivers.find(',')) == "wayland" ? ServerKind::Wayland
                                                             : ServerKind::X11;
}

ServerKind ServerOf(const char* driver) {
    const std::string_view name = driver != nullptr ? driver : "";
    return name == "x11"       ? ServerKind::X11
           : name == "wayland" ? ServerKind::Wayland
                               : ServerKind::Plain;
}

std::unique_ptr<DisplayServer> MakeDisplayServer(ServerKind kind) {
    switch (kind) {
    case ServerKind::X11:
        return std::make_unique<X11Server>();
    case ServerKind::Wayland:
        return std::make_unique<WaylandServer>();
    case ServerKind::Plain:
        break;
    }
    return std::make_unique<PlainServer>();
}

SdlVideo::SdlVideo() {
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The program entry decides what SIGINT and SIGTERM do.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Windows drawn in software (the loading window, message boxes) keep to the server's
    // images: an accelerated framebuffer would take the GL context from the main window.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // What the server's client library reads when SDL opens the display is set before, for
    // the server SDL is about to use; the one it then uses is the one the windows are on.
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    const char* drivers = DriversToTry(asked, std::getenv("WAYLAND_DISPLAY"));
    if (asked == nullptr && drivers != nullptr) SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers);
    const ServerKind expected = ExpectedServer(drivers);
    server_ = MakeDisplayServer(expected);
    server_->BeforeVideo();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        throw std::runtime_error(std::string("Can't initialise the display: ") + SDL_GetError());
    }
    // Without a display SDL falls back to drivers that show nothing; unless one was asked for,
    // that is no display at all.
    const std::string_view driver = SDL_GetCurrentVideoDriver();
    if ((driver == "offscreen" || driver == "dummy") && asked == nullptr) {
        SDL_Quit();
        throw std::runtime_error("Can't open a display to show the window on");
    }
    const ServerKind kind = ServerOf(SDL_GetCurrentVideoDriver());
    if (kind != expected) server_ = MakeDisplayServer(kind);
    server_->AfterVideo();
}

SdlVideo::~SdlVideo() {
    SDL_Quit();
}
