/* Prints the mapped top-level windows with a given name, one a line: the id (decimal), then
 * the position on the screen and the size of the window's inside ("ID X Y WIDTH HEIGHT").
 * Exits 0 when there was at least one, 1 when there was none, 2 on a usage or display error.
 * Unlike xdotool's search it also finds windows whose WM_NAME is typed UTF-8, and its
 * positions are right under a window manager that reparents the windows.
 * With -w instead of a name it only tells whether a window manager runs and maps windows
 * (exit 0) or not: one that has just announced itself may still be starting up, and a window
 * mapped then can be lost, so a probe window must come up first. */
#include "xwindows.h"

#include <stdio.h>
#include <time.h>

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

/* Maps a small window and waits up to five seconds for it to be viewable. */
static int maps_a_window(Display* display) {
    Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 8, 8, 0, 0, 0);
    XMapWindow(display, probe);
    int viewable = 0;
    for (int i = 0; i < 500 && !viewable; ++i) {
        XWindowAttributes attributes;
        XSync(display, False);
        viewable =
            XGetWindowAttributes(display, probe, &attributes) && attributes.map_state == IsViewable;
        if (!viewable) {
            struct timespec pause = {0, 10000000L};
            nanosleep(&pause, NULL);
        }
    }
    XDestroyWindow(display, probe);
    XSync(display, False);
    return viewable;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s WINDOW-NAME | -w\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    XSetErrorHandler(xwindows_ignore_error);
    if (display == NULL) {
        fprintf(stderr, "find_windows: can't open the display\n");
        return 2;
    }
    int found = strcmp(argv[1], "-w") == 0 ? window_manager_runs(display) && maps_a_window(display)
                                           : xwindows_each(display, argv[1], print_geometry, NULL);
    XCloseDisplay(display);
    return found > 0 ? 0 : 1;
}
