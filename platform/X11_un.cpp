#include "X11_un.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace {

// The X display and window of an SDL window, or false when it is not on X11.
bool X11Window(SDL_Window* window, Display*& display, Window& xwindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    display = info.info.x11.display;
    xwindow = info.info.x11.window;
    return true;
}

} // namespace

bool HasWindowManager(SDL_Window* window) {
    Display* display;
    Window xwindow;
    if (!X11Window(window, display, xwindow)) return true;
    // A conforming window manager announces itself with this property on the root window.
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

void MarkAsDialog(SDL_Window* dialog, SDL_Window* parent) {
    Display* display;
    Window xdialog, xparent;
    if (!X11Window(dialog, display, xdialog)) return;
    Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom typeDialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, xdialog, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&typeDialog), 1);
    // A dialog is moved and closed, not resized, maximised or minimised.
    struct {
        unsigned long flags, functions, decorations;
        long inputMode;
        unsigned long status;
    } motif{1 | 2, 4 | 32, 2 | 8 | 16, 0, 0};
    Atom motifHints = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, xdialog, motifHints, motifHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&motif), 5);
    if (X11Window(parent, display, xparent)) {
        XSetTransientForHint(display, xdialog, xparent);
        Atom state = XInternAtom(display, "_NET_WM_STATE", False);
        Atom modal = XInternAtom(display, "_NET_WM_STATE_MODAL", False);
        XChangeProperty(display, xdialog, state, XA_ATOM, 32, PropModeAppend,
                        reinterpret_cast<unsigned char*>(&modal), 1);
    }
    XFlush(display);
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
