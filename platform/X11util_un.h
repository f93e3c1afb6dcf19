// What the X11 server's units share: the X window of an SDL window, and waiting for the
// server or the window manager.
#pragma once

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

// The X display and window of an SDL window, or false when it is not on X11.
inline bool X11Window(SDL_Window* window, Display*& display, Window& xwindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    display = info.info.x11.display;
    xwindow = info.info.x11.window;
    return true;
}

// How long the server or the window manager is given to answer.
constexpr auto ServerWait = std::chrono::milliseconds(200);

// Polls until done() holds or the wait is over.
template <class Done>
bool WaitFor(Display* display, Done done, std::chrono::milliseconds wait = ServerWait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        XSync(display, False);
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
