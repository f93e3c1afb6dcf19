#include "Wayland_un.h"

#include "X11_un.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr Uint64 MaximiseWait = 500; // ms, for the compositor to size the window

} // namespace

void WaylandServer::BeforeVideo() {
    // The application id a dock matches the window to the desktop entry by, whatever the
    // program file is called; one the user set stays.
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", "tessel", 0);
    // Where the compositor cannot be reached SDL goes on to X11.
    X11Server::PrepareClient();
}

void WaylandServer::AfterVideo() {
    // Wayland offers no framebuffer for windows drawn in software: SDL makes them one with a
    // renderer of its own (each such window keeps the main window's GL context, see
    // KeptGlContext).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "opengl");
}

std::uint32_t WaylandServer::SoftwareWindowFlags() const {
    // The window is made for GL at once: SDL would otherwise make it anew when the renderer
    // comes, and with client-side decorations that can crash later.
    return SDL_WINDOW_OPENGL;
}

bool WaylandServer::SizeMaximised(SDL_Window* window, const SDL_Rect&) {
    // A Wayland surface is shown only with its first picture: the window is shown and
    // maximised empty, and the first frame drawn at the size the compositor gives it.
    // The drawable's size is the one SDL has given the GL surface.
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window, &w, &h);
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    SDL_MaximizeWindow(window);
    const Uint64 until = SDL_GetTicks64() + MaximiseWait;
    int nowW = w, nowH = h;
    while (nowW == w && nowH == h && SDL_GetTicks64() < until) {
        SDL_PumpEvents();
        SDL_Delay(1);
        SDL_GL_GetDrawableSize(window, &nowW, &nowH);
    }
    return true;
}

void WaylandServer::GiveFocusBack(SDL_Window* window) {
    // The compositor decides where the keyboard goes; the window asks to be activated, which
    // those that offer activation grant.
    SDL_RaiseWindow(window);
}

std::string WaylandServer::LostConnection(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_WAYLAND)
        return {};
    // SDL has loaded the Wayland client library; its functions are looked up there, so that
    // the program links no Wayland library of its own.
    void* library = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) return {};
    using GetError = int (*)(wl_display*);
    using GetProtocolError = std::uint32_t (*)(wl_display*, const void**, std::uint32_t*);
    auto getError = reinterpret_cast<GetError>(dlsym(library, "wl_display_get_error"));
    auto getProtocolError =
        reinterpret_cast<GetProtocolError>(dlsym(library, "wl_display_get_protocol_error"));
    std::string why;
    if (const int error = getError != nullptr ? getError(info.info.wl.display) : 0) {
        why = std::string("the connection to the Wayland compositor was lost: ") +
              std::strerror(error);
        const void* interface = nullptr;
        std::uint32_t id = 0;
        if (error == EPROTO && getProtocolError != nullptr)
            why += " (error " +
                   std::to_string(getProtocolError(info.info.wl.display, &interface, &id)) +
                   " on object " + std::to_string(id) + ")";
    }
    dlclose(library);
    return why;
}
