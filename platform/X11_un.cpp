#include "X11_un.h"

#include "Scale_un.h"
#include "X11util_un.h"

#include <X11/Xproto.h>
#include <X11/Xresource.h>

#include <cstdlib>
#include <string>

namespace {

XErrorHandler PreviousHandler = nullptr;

// A late wake-up message, which SDL sends to its own window from a second connection, could
// reach the server after the window is gone; the error it brings would end the process.
int FilterErrors(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    return PreviousHandler != nullptr ? PreviousHandler(display, error) : 0;
}

} // namespace

void X11Server::BeforeVideo() {
    PrepareClient();
    // The calculator takes single characters, never composed text: the table of compose
    // sequences that the X library would otherwise read from the locale at start-up (6 to
    // 10 ms here) is not needed. A dead key alone still types nothing, and so does nothing.
    // (Wayland's keyboard library would report the empty table as an error.)
    setenv("XCOMPOSEFILE", "/dev/null", 0);
}

void X11Server::PrepareClient() {
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // The window class a desktop matches the windows to the desktop entry by (its
    // StartupWMClass), whatever the program file is called; a class the user set stays.
    setenv("SDL_VIDEO_X11_WMCLASS", "tessel", 0);
    // Installed before SDL's own handler, which hands on to it and puts it back when SDL
    // closes its displays: an error that arrives only then is filtered too.
    XErrorHandler previous = XSetErrorHandler(FilterErrors);
    if (previous != FilterErrors) PreviousHandler = previous;
}

double X11Server::DesktopDpi() {
    // Asked through a connection of its own, as it is wanted before the first window is made.
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 0;
    std::string value;
    // The resources as the server held them when the connection was made (xrdb).
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        if (XrmDatabase database = XrmGetStringDatabase(resources)) {
            char* type = nullptr;
            XrmValue found{};
            if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &found) &&
                found.addr != nullptr)
                value.assign(found.addr, found.size > 0 ? found.size - 1 : 0);
            XrmDestroyDatabase(database);
        }
    }
    XCloseDisplay(display);
    return DpiOfResource(value);
}

void X11Server::GiveFocusBack(SDL_Window* window) {
    // Without a window manager the keyboard would go nowhere once the box is gone.
    if (!HasWindowManager(window)) SDL_SetWindowInputFocus(window);
}

void X11Server::TakeKeyboard(SDL_Window* window) {
    // A window manager is asked to activate it; without one the keyboard would follow the
    // pointer, which may be anywhere, and the focus is set. SDL has waited for the map.
    if (HasWindowManager(window))
        SDL_RaiseWindow(window);
    else
        SDL_SetWindowInputFocus(window);
}

namespace {

// GLX is reached through SDL's GL loader, which has loaded the driver's library, so that the
// program links no GLX library of its own.
using QueryExtensions = const char* (*)(Display*, int);
using CopySubBufferFunction = void (*)(Display*, XID, int, int, int, int);

// glXCopySubBufferMESA where the server and driver offer GLX_MESA_copy_sub_buffer.
CopySubBufferFunction CopySubBufferOf(Display* display) {
    static Display* asked = nullptr;
    static CopySubBufferFunction copy = nullptr;
    if (display == asked) return copy;
    asked = display;
    copy = nullptr;
    auto query =
        reinterpret_cast<QueryExtensions>(SDL_GL_GetProcAddress("glXQueryExtensionsString"));
    const char* extensions = query != nullptr ? query(display, DefaultScreen(display)) : nullptr;
    if (extensions == nullptr) return copy;
    // Matched as a whole word of the list, not as the start of a longer name.
    const std::string list = std::string(" ") + extensions + " ";
    if (list.find(" GLX_MESA_copy_sub_buffer ") != std::string::npos)
        copy =
            reinterpret_cast<CopySubBufferFunction>(SDL_GL_GetProcAddress("glXCopySubBufferMESA"));
    return copy;
}

} // namespace

bool X11Server::PresentsPart(SDL_Window* window) {
    Display* display;
    Window xwindow;
    return X11Window(window, display, xwindow) && CopySubBufferOf(display) != nullptr;
}

void X11Server::PresentPart(SDL_Window* window, int x, int y, int width, int height) {
    Display* display;
    Window xwindow;
    if (!X11Window(window, display, xwindow)) return;
    if (CopySubBufferFunction copy = CopySubBufferOf(display))
        copy(display, xwindow, x, y, width, height);
}
