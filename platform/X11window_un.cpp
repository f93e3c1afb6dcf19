// The X11 server's dealings with the window manager: whether there is one, where it will put
// the main window, dialog hints and icons.
#include "X11_un.h"

#include "X11util_un.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <vector>

bool X11Server::HasWindowManager(SDL_Window* window) {
    Display* display;
    Window xwindow;
    if (windowManager_ >= 0 || !X11Window(window, display, xwindow)) return windowManager_ != 0;
    // A conforming window manager announces itself with this property on the root window.
    windowManager_ = 0;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type;
    int format;
    unsigned long count, rest;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &rest, &data) == Success &&
        count == 1)
        windowManager_ = 1;
    if (data != nullptr) XFree(data);
    return windowManager_ != 0;
}

void X11Server::MakeDialog(SDL_Window* dialog, SDL_Window* parent) {
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
    // Transient for the parent and modal: a window manager keeps it above the parent and gives
    // it the keyboard when the parent is clicked.
    if (X11Window(parent, display, xparent)) {
        XSetTransientForHint(display, xdialog, xparent);
        Atom state = XInternAtom(display, "_NET_WM_STATE", False);
        Atom modal = XInternAtom(display, "_NET_WM_STATE_MODAL", False);
        XChangeProperty(display, xdialog, state, XA_ATOM, 32, PropModeAppend,
                        reinterpret_cast<unsigned char*>(&modal), 1);
    }
    XFlush(display);
}

void X11Server::SetIcons(SDL_Window* sdlWindow, const int* sizes, int count,
                         const std::uint32_t* pixels) {
    Display* display;
    Window window;
    if (count <= 0 || !X11Window(sdlWindow, display, window)) return;
    // _NET_WM_ICON, for a task bar or window switcher to take the size that suits it: width,
    // height and the pixels of each size, in 32-bit items that Xlib takes as longs.
    std::vector<unsigned long> data;
    for (int i = 0; i < count; ++i) {
        const std::size_t area = static_cast<std::size_t>(sizes[i]) * sizes[i];
        data.push_back(static_cast<unsigned long>(sizes[i]));
        data.push_back(static_cast<unsigned long>(sizes[i]));
        data.insert(data.end(), pixels, pixels + area);
        pixels += area;
    }
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(data.data()),
                    static_cast<int>(data.size()));
    XFlush(display);
}

namespace {

bool ReadExtents(Display* display, Window window, Atom property, long extents[4]) {
    Atom type;
    int format;
    unsigned long count = 0, rest;
    unsigned char* data = nullptr;
    bool found = XGetWindowProperty(display, window, property, 0, 4, False, XA_CARDINAL, &type,
                                    &format, &count, &rest, &data) == Success &&
                 count == 4 && format == 32;
    if (found)
        for (int i = 0; i < 4; ++i) extents[i] = reinterpret_cast<long*>(data)[i];
    if (data != nullptr) XFree(data);
    return found;
}

// Whether the window manager says it handles a hint or request (its _NET_SUPPORTED list).
bool Supported(Display* display, Atom hint) {
    Atom type;
    int format;
    unsigned long count = 0, rest;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display, DefaultRootWindow(display),
                           XInternAtom(display, "_NET_SUPPORTED", False), 0, 4096, False, XA_ATOM,
                           &type, &format, &count, &rest, &data) == Success &&
        format == 32)
        for (unsigned long i = 0; i < count && !found; ++i)
            found = reinterpret_cast<Atom*>(data)[i] == hint;
    if (data != nullptr) XFree(data);
    return found;
}

// The space a window manager's frame will take around a window that is not mapped yet (left,
// right, top, bottom), asked of the window manager; false when none answers.
bool FrameExtents(Display* display, Window window, long extents[4]) {
    Atom request = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    // A window manager that does not know the request would leave the wait below to run out.
    if (!Supported(display, request)) return false;
    Atom property = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    XDeleteProperty(display, window, property);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = request;
    e.xclient.format = 32;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureNotifyMask | SubstructureRedirectMask, &e);
    return WaitFor(display, [&] { return ReadExtents(display, window, property, extents); });
}

} // namespace

bool X11Server::SizeMaximised(SDL_Window* sdlWindow, const SDL_Rect& screen) {
    Display* display;
    Window window;
    if (!X11Window(sdlWindow, display, window)) return false;
    // Without a window manager nobody maximises the window: it takes the usable screen.
    SDL_Rect place = screen;
    if (HasWindowManager(sdlWindow)) {
        // What the window manager will leave of the screen beside its frame.
        long e[4];
        if (!FrameExtents(display, window, e)) return false;
        const int left = static_cast<int>(e[0]), right = static_cast<int>(e[1]),
                  top = static_cast<int>(e[2]), bottom = static_cast<int>(e[3]);
        place = {screen.x + left, screen.y + top, screen.w - left - right, screen.h - top - bottom};
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(sdlWindow, &w, &h);
    if (w != place.w || h != place.h) {
        PlaceHidden(sdlWindow, place);
        SDL_PumpEvents(); // SDL takes the new size from the server's notice
    }
    return false;
}

void X11Server::PlaceHidden(SDL_Window* sdlWindow, const SDL_Rect& place) {
    Display* display;
    Window window;
    if (!X11Window(sdlWindow, display, window)) return;
    XMoveResizeWindow(display, window, place.x, place.y, static_cast<unsigned>(place.w),
                      static_cast<unsigned>(place.h));
    WaitFor(display, [&] {
        XWindowAttributes a;
        return XGetWindowAttributes(display, window, &a) && a.width == place.w &&
               a.height == place.h;
    });
}
