// SDL's video opened once, at start, and the display server that goes with its driver: the one
// place that tells the servers apart by their drivers' names.
#pragma once

#include "Displayserver_un.h"

#include <memory>

enum class ServerKind { X11, Wayland, Plain };

// The video drivers SDL is to try, in turn: those SDL_VIDEODRIVER names (asked) where it is
// set; in a Wayland session (WAYLAND_DISPLAY set) Wayland, then X11 where the compositor cannot
// be reached, so that a scaled desktop shows the window at its own density rather than
// enlarged through XWayland; otherwise SDL's own order (null).
const char* DriversToTry(const char* asked, const char* waylandDisplay);
// The server SDL is about to use, from the drivers SDL_VIDEODRIVER names (null when unset):
// SDL tries X11 before Wayland unless it is told to try Wayland first.
ServerKind ExpectedServer(const char* asked);
// The server of a video driver SDL runs (null when none runs).
ServerKind ServerOf(const char* driver);
std::unique_ptr<DisplayServer> MakeDisplayServer(ServerKind kind);

// SDL's video, open while this object lives, and the server it shows the windows on. Throws
// when there is no display to show windows on.
class SdlVideo {
public:
    SdlVideo();
    ~SdlVideo();
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
    DisplayServer& Server() const { return *server_; }

private:
    std::unique_ptr<DisplayServer> server_;
};
