// The X11 server's clipboard: the text as the program that holds it hands it over, every
// byte of it, NULs included (SDL's text ends at the first NUL, which would make "12<NUL>34"
// read as 12). Text that comes in increments is left to SDL.
#include "X11_un.h"

#include "X11util_un.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <string>

namespace {

constexpr auto ClipboardWait = std::chrono::seconds(1); // for the clipboard's holder to answer

Atom ClipboardAtom(Display* display) {
    return XInternAtom(display, "CLIPBOARD", False);
}

} // namespace

void X11Server::NoteClipboardOwner(SDL_Window* window) {
    Display* display;
    Window xwindow;
    if (X11Window(window, display, xwindow))
        ownClipboard_ = XGetSelectionOwner(display, ClipboardAtom(display));
}

bool X11Server::ReadClipboard(SDL_Window* window, std::size_t limit, std::string& bytes) {
    Display* display;
    Window xwindow;
    if (!X11Window(window, display, xwindow)) return false;
    const Atom clipboard = ClipboardAtom(display);
    const Window owner = XGetSelectionOwner(display, clipboard);
    bytes.clear();
    if (owner == None) return true; // nobody holds any text
    // This program's own text would have to be handed over by its own event loop, which is
    // waiting here: SDL keeps a copy of it.
    if (owner == ownClipboard_) return false;
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
