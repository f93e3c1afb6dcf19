/* Finding the top-level windows of an X display by their exact name. Names are compared
 * as bytes, so both UTF8_STRING and Latin-1 titles match; _NET_WM_NAME is tried before
 * WM_NAME. */
#ifndef TESSEL_E2E_XWINDOWS_H
#define TESSEL_E2E_XWINDOWS_H

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string.h>

static inline int xwindows_property_is(Display* display, Window window, Atom property,
                                       const char* wanted) {
    XTextProperty text;
    int same = 0;
    if (XGetTextProperty(display, window, &text, property) && text.value != NULL) {
        same = text.format == 8 && text.nitems == strlen(wanted) &&
               memcmp(text.value, wanted, text.nitems) == 0;
        XFree(text.value);
    }
    return same;
}

static inline int xwindows_named(Display* display, Window window, const char* wanted) {
    Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
    return xwindows_property_is(display, window, net_name, wanted) ||
           xwindows_property_is(display, window, XA_WM_NAME, wanted);
}

/* Calls visit(display, window, context) for every mapped window with the name below parent,
 * looking depth levels down; returns how many there were. */
static inline int xwindows_below(Display* display, Window parent, int depth, const char* wanted,
                                 void (*visit)(Display*, Window, void*), void* context) {
    Window root, up;
    Window* children = NULL;
    unsigned int count = 0;
    int found = 0;
    if (depth == 0 || !XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes)) continue;
        if (attributes.map_state != IsViewable) continue;
        if (xwindows_named(display, children[i], wanted)) {
            visit(display, children[i], context);
            ++found;
        } else {
            found += xwindows_below(display, children[i], depth - 1, wanted, visit, context);
        }
    }
    if (children != NULL) XFree(children);
    return found;
}

/* Calls visit(display, window, context) for every mapped top-level window with the name;
 * returns how many there were. Without a window manager the top-level windows are the root's
 * children; a reparenting window manager puts each inside a frame of its own. */
/* A window of the tree may be gone by the time it is asked about (a loading window or a box
 * closing meanwhile): the error that the server sends back for it is not fatal here. */
static inline int xwindows_ignore_error(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    return 0;
}

static inline int xwindows_each(Display* display, const char* wanted,
                                void (*visit)(Display*, Window, void*), void* context) {
    XErrorHandler previous = XSetErrorHandler(xwindows_ignore_error);
    const int found =
        xwindows_below(display, DefaultRootWindow(display), 3, wanted, visit, context);
    XSync(display, False);
    XSetErrorHandler(previous);
    return found;
}

#endif
