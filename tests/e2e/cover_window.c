/* Covers a rectangle of the screen with a black window for a while, then takes it away, as
 * another program's window would: what was under it must then be drawn again by its owner.
 * The window is override-redirect, so no window manager moves or decorates it.
 * Usage: cover_window X Y WIDTH HEIGHT MILLISECONDS. Exits 0, or 2 on a usage or display
 * error. */
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>
#include <time.h>

int main(int argc, char** argv) {
    if (argc != 6) {
        fprintf(stderr, "usage: %s X Y WIDTH HEIGHT MILLISECONDS\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "cover_window: can't open the display\n");
        return 2;
    }
    XSetWindowAttributes attributes;
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    Window window =
        XCreateWindow(display, DefaultRootWindow(display), atoi(argv[1]), atoi(argv[2]),
                      (unsigned)atoi(argv[3]), (unsigned)atoi(argv[4]), 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display, window);
    XSync(display, False);
    long ms = atol(argv[5]);
    struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, NULL);
    XDestroyWindow(display, window);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
