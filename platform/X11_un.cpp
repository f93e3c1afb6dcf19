#include "X11_un.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

bool HasWindowManager(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return true;
    // A conforming window manager announces itself with this property on the root window.
    Display* display = info.info.x11.display;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type;
    int format;
    unsigned long count, rest;
    unsigned char* data = nullptr;
    bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                    XA_WINDOW, &type, &format, &count, &rest, &data) == Success &&
                 count == 1;
    if (data != nullptr) XFree(data);
    return found;
}

namespace {

XErrorHandler PreviousHandler = nullptr;

int FilterErrors(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    return PreviousHandler != nullptr ? PreviousHandler(display, error) : 0;
}

} // namespace

void IgnoreStaleWindowErrors() {
    XErrorHandler previous = XSetErrorHandler(FilterErrors);
    if (previous != FilterErrors) PreviousHandler = previous;
}
