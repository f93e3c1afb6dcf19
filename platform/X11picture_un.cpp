// The X11 server's window pictures: the frame or the loading window given to the server to
// paint when it maps the window, and rectangles filled on a window with nothing to wait for.
#include "X11_un.h"

#include "X11util_un.h"

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int PictureStrip = 64; // rows handed over at a time

} // namespace

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

void X11Server::SetPicture(SDL_Window* sdlWindow, int width, int height, const PictureRows& rows) {
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

void X11Server::ClearPicture(SDL_Window* sdlWindow) {
    Display* display;
    Window window;
    if (!X11Window(sdlWindow, display, window)) return;
    XSetWindowBackgroundPixmap(display, window, None);
    XFlush(display);
}

bool X11Server::FillRects(SDL_Window* sdlWindow, const ColouredRect* rects, int count) {
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
