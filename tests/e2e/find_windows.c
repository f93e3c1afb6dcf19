/* Prints the mapped top-level windows with a given name, one a line: the id (decimal), then
 * the position on the screen and the size of the window's inside ("ID X Y WIDTH HEIGHT").
 * Exits 0 when there was at least one, 1 when there was none, 2 on a usage or display error.
 * Unlike xdotool's search it also finds windows whose WM_NAME is typed UTF-8, and its
 * positions are right under a window manager that reparents the windows.
 * With -w instead of a name it only tells whether a window manager runs (exit 0) or not. */
#include "xwindows.h"

#include <stdio.h>

static void print_geometry(Display* display, Window window, void* context) {
    (void)context;
    XWindowAttributes attributes;
    int x = 0, y = 0;
    Window child;
    XGetWindowAttributes(display, window, &attributes);
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    printf("%lu %d %d %d %d\n", (unsigned long)window, x, y, attributes.width, attributes.height);
}

static int window_manager_runs(Display* display) {
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    Atom type;
    int format;
    unsigned long count = 0, rest;
    unsigned char* data = NULL;
    if (check == None) return 0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &rest, &data) != Success)
        return 0;
    if (data != NULL) XFree(data);
    return count == 1;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s WINDOW-NAME | -w\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "find_windows: can't open the display\n");
        return 2;
    }
    int found = strcmp(argv[1], "-w") == 0 ? window_manager_runs(display)
                                           : xwindows_each(display, argv[1], print_geometry, NULL);
    XCloseDisplay(display);
    return found > 0 ? 0 : 1;
}
