#include "X11_un.h"

#ifdef TESSEL_X11

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

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

bool MarkAsDialog(SDL_Window* dialog, SDL_Window* parent) {
    Display* display;
    Window xdialog, xparent;
    if (!X11Window(dialog, display, xdialog)) return false;
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
    return true;
}

namespace {

constexpr auto ServerWait = std::chrono::milliseconds(200); // for the server or window manager
constexpr int PictureStrip = 64;                            // rows handed over at a time

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

} // namespace

bool FrameExtents(SDL_Window* sdlWindow, int& left, int& right, int& top, int& bottom) {
    Display* display;
    Window window;
    if (!X11Window(sdlWindow, display, window)) return false;
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
    long extents[4];
    if (!WaitFor(display, [&] { return ReadExtents(display, window, property, extents); }))
        return false;
    left = static_cast<int>(extents[0]), right = static_cast<int>(extents[1]);
    top = static_cast<int>(extents[2]), bottom = static_cast<int>(extents[3]);
    return true;
}

void PlaceHidden(SDL_Window* sdlWindow, const SDL_Rect& place) {
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

namespace {

bool ErrorSeen = false;
int NoteError(Display*, XErrorEvent*) {
    ErrorSeen = true;
    return 0;
}

// Whether the requests made so far were carried out without an error.
bool RequestsSucceeded(Display* display) {
    ErrorSeen = false;
    XErrorHandler previous = XSetErrorHandler(NoteError);
    XSync(display, False);
    XSetErrorHandler(previous);
    return !ErrorSeen;
}

// The usual layout of 24-bit colour, which takes 0xAARRGGBB pixels as they are.
bool DirectLayout(const XImage* image, int width) {
    return image->bits_per_pixel == 32 && image->byte_order == LSBFirst &&
           image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 && image->blue_mask == 0xFF &&
           image->bytes_per_line == width * 4;
}

// Fills the pixmap through memory shared with the server, strip by strip: no picture passes
// through the connection. False when the server or the visual does not allow it.
bool PutShared(Display* display, const XWindowAttributes& a, Pixmap pixmap, GC gc, int width,
               int height, const PictureRows& rows) {
    if (!XShmQueryExtension(display)) return false;
    XShmSegmentInfo shm{};
    XImage* image = XShmCreateImage(display, a.visual, static_cast<unsigned>(a.depth), ZPixmap,
                                    nullptr, &shm, static_cast<unsigned>(width), PictureStrip);
    if (image == nullptr) return false;
    bool done = false;
    if (DirectLayout(image, width)) {
        shm.shmid =
            shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * PictureStrip,
                   IPC_CREAT | 0600);
        if (shm.shmid >= 0) {
            shm.shmaddr = image->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
            shmctl(shm.shmid, IPC_RMID, nullptr); // goes once both sides have let it go
            shm.readOnly = True;
            if (shm.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(display, &shm) &&
                RequestsSucceeded(display)) {
                for (int first = 0; first < height; first += PictureStrip) {
                    const int count = std::min(PictureStrip, height - first);
                    rows(first, count, reinterpret_cast<std::uint32_t*>(image->data));
                    XShmPutImage(display, pixmap, gc, image, 0, 0, 0, first,
                                 static_cast<unsigned>(width), static_cast<unsigned>(count), False);
                    XSync(display, False); // the strip is copied before it is written again
                }
                XShmDetach(display, &shm);
                XSync(display, False);
                done = true;
            }
            if (shm.shmaddr != reinterpret_cast<char*>(-1)) shmdt(shm.shmaddr);
        }
    }
    image->data = nullptr;
    XDestroyImage(image);
    return done;
}

// A pixel value of a visual for a colour.
unsigned long PixelOf(const Visual* visual, std::uint32_t rgb) {
    auto channel = [](unsigned long mask, std::uint32_t value) {
        int shift = 0;
        while (mask != 0 && (mask & 1) == 0) mask >>= 1, ++shift;
        return (static_cast<unsigned long>(value) * mask / 255) << shift;
    };
    return channel(visual->red_mask, rgb >> 16 & 255) |
           channel(visual->green_mask, rgb >> 8 & 255) | channel(visual->blue_mask, rgb & 255);
}

// The same through the connection, for any visual. False when the picture could not be made.
bool PutCopied(Display* display, const XWindowAttributes& a, Pixmap pixmap, GC gc, int width,
               int height, const PictureRows& rows) {
    XImage* image = XCreateImage(display, a.visual, static_cast<unsigned>(a.depth), ZPixmap, 0,
                                 nullptr, static_cast<unsigned>(width), PictureStrip, 32, 0);
    if (image == nullptr) return false;
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * PictureStrip);
    std::vector<char> bytes(static_cast<std::size_t>(image->bytes_per_line) * PictureStrip);
    image->data = bytes.data();
    const bool direct = DirectLayout(image, width);
    for (int first = 0; first < height; first += PictureStrip) {
        const int count = std::min(PictureStrip, height - first);
        rows(first, count, direct ? reinterpret_cast<std::uint32_t*>(image->data) : argb.data());
        for (int y = 0; y < count && !direct; ++y)
            for (int x = 0; x < width; ++x)
                XPutPixel(image, x, y,
                          PixelOf(a.visual, argb[static_cast<std::size_t>(y) * width + x]));
        XPutImage(display, pixmap, gc, image, 0, 0, 0, first, static_cast<unsigned>(width),
                  static_cast<unsigned>(count));
    }
    image->data = nullptr; // the bytes belong to the vector
    XDestroyImage(image);
    return true;
}

} // namespace

void SetWindowPicture(SDL_Window* sdlWindow, int width, int height, const PictureRows& rows) {
    Display* display;
    Window window;
    XWindowAttributes a;
    if (width <= 0 || height <= 0 || !X11Window(sdlWindow, display, window) ||
        !XGetWindowAttributes(display, window, &a))
        return;
    Pixmap pixmap = XCreatePixmap(display, window, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), static_cast<unsigned>(a.depth));
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    // A pixmap left unfilled would show whatever its memory held: then the window keeps its
    // plain background.
    if (PutShared(display, a, pixmap, gc, width, height, rows) ||
        PutCopied(display, a, pixmap, gc, width, height, rows))
        XSetWindowBackgroundPixmap(display, window, pixmap);
    XFreeGC(display, gc);
    XFreePixmap(display, pixmap); // the window keeps it as long as it is its background
    XFlush(display);
}

void ClearWindowPicture(SDL_Window* sdlWindow) {
    Display* display;
    Window window;
    if (!X11Window(sdlWindow, display, window)) return;
    XSetWindowBackgroundPixmap(display, window, None);
    XFlush(display);
}

bool FillWindowRects(SDL_Window* sdlWindow, const ColouredRect* rects, int count) {
    Display* display;
    Window window;
    if (!X11Window(sdlWindow, display, window)) return false;
    // SDL makes windows without GL with the screen's default visual; asking the server for
    // the window's own would cost a round trip each time.
    const Visual* visual = DefaultVisual(display, DefaultScreen(display));
    GC gc = XCreateGC(display, window, 0, nullptr);
    for (int i = 0; i < count; ++i) {
        if (rects[i].w <= 0 || rects[i].h <= 0) continue;
        XSetForeground(display, gc, PixelOf(visual, rects[i].rgb));
        XFillRectangle(display, window, gc, rects[i].x, rects[i].y,
                       static_cast<unsigned>(rects[i].w), static_cast<unsigned>(rects[i].h));
    }
    XFreeGC(display, gc);
    XFlush(display);
    return true;
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

namespace {

// GLX is reached through SDL's GL loader, which has loaded the driver's library, so that the
// program links no GLX library of its own.
using QueryExtensions = const char* (*)(Display*, int);
using CopySubBufferFunction = void (*)(Display*, XID, int, int, int, int);

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

bool CanCopySubBuffer(SDL_Window* window) {
    Display* display;
    Window xwindow;
    return X11Window(window, display, xwindow) && CopySubBufferOf(display) != nullptr;
}

void CopySubBuffer(SDL_Window* window, int x, int y, int width, int height) {
    Display* display;
    Window xwindow;
    if (!X11Window(window, display, xwindow)) return;
    if (CopySubBufferFunction copy = CopySubBufferOf(display))
        copy(display, xwindow, x, y, width, height);
}

namespace {

constexpr auto ClipboardWait = std::chrono::seconds(1); // for the clipboard's holder to answer
Window OwnClipboard = None; // the holder of the clipboard this program last put text on

Atom ClipboardAtom(Display* display) {
    return XInternAtom(display, "CLIPBOARD", False);
}

} // namespace

void NoteClipboardOwner(SDL_Window* window) {
    Display* display;
    Window xwindow;
    if (X11Window(window, display, xwindow))
        OwnClipboard = XGetSelectionOwner(display, ClipboardAtom(display));
}

bool ReadClipboard(SDL_Window* window, std::size_t limit, std::string& bytes) {
    Display* display;
    Window xwindow;
    if (!X11Window(window, display, xwindow)) return false;
    const Atom clipboard = ClipboardAtom(display);
    const Window owner = XGetSelectionOwner(display, clipboard);
    bytes.clear();
    if (owner == None) return true; // nobody holds any text
    // This program's own text would have to be handed over by its own event loop, which is
    // waiting here: SDL keeps a copy of it.
    if (owner == OwnClipboard) return false;
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom property = XInternAtom(display, "TESSEL_CLIPBOARD", False);
    XConvertSelection(display, clipboard, utf8, property, xwindow, CurrentTime);
    XFlush(display);
    // Only the answer is taken from the queue; every other event stays there for SDL.
    XEvent answer;
    if (!WaitFor(
            display,
            [&] { return XCheckTypedWindowEvent(display, xwindow, SelectionNotify, &answer); },
            ClipboardWait))
        return false;
    if (answer.xselection.property == None) return true; // the holder has no such text
    Atom type = None;
    int format = 0;
    unsigned long count = 0, rest = 0;
    unsigned char* data = nullptr;
    // The length is counted in 32-bit units; one more than the limit shows that it was passed.
    const long units = static_cast<long>(limit / 4 + 1);
    const bool read =
        XGetWindowProperty(display, xwindow, property, 0, units, True, AnyPropertyType, &type,
                           &format, &count, &rest, &data) == Success;
    const bool incremental = read && type == XInternAtom(display, "INCR", False);
    if (read && !incremental && format == 8 && data != nullptr)
        bytes.assign(reinterpret_cast<const char*>(data), std::min<std::size_t>(count, limit + 1));
    if (data != nullptr) XFree(data);
    return read && !incremental;
}

std::string XftDpiResource() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::string(driver) != "x11") return {};
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return {};
    std::string value;
    // The resources as the server held them when the connection was made.
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
    return value;
}

void SetWindowIcons(SDL_Window* sdlWindow, const int* sizes, int count,
                    const std::uint32_t* pixels) {
    Display* display;
    Window window;
    if (count <= 0 || !X11Window(sdlWindow, display, window)) return;
    // Width, height and the pixels of each size, in 32-bit items that Xlib takes as longs.
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

#else // Built without X11: every window is on another system, as for an SDL window on one.

bool HasWindowManager(SDL_Window*) {
    return true;
}

void IgnoreStaleWindowErrors() {}

bool MarkAsDialog(SDL_Window*, SDL_Window*) {
    return false;
}

bool FrameExtents(SDL_Window*, int&, int&, int&, int&) {
    return false;
}

void PlaceHidden(SDL_Window*, const SDL_Rect&) {}

void SetWindowPicture(SDL_Window*, int, int, const PictureRows&) {}

void ClearWindowPicture(SDL_Window*) {}

bool FillWindowRects(SDL_Window*, const ColouredRect*, int) {
    return false;
}

bool CanCopySubBuffer(SDL_Window*) {
    return false;
}

void CopySubBuffer(SDL_Window*, int, int, int, int) {}

bool ReadClipboard(SDL_Window*, std::size_t, std::string&) {
    return false;
}

void NoteClipboardOwner(SDL_Window*) {}

std::string XftDpiResource() {
    return {};
}

void SetWindowIcons(SDL_Window*, const int*, int, const std::uint32_t*) {}

#endif
