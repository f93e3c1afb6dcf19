/* Asks the mapped top-level windows with a given name to close, as a window manager does
 * when the user clicks the close button: a WM_PROTOCOLS client message carrying
 * WM_DELETE_WINDOW. Exits 0 when at least one window was asked, 1 when no window has the
 * name, 2 on a usage or display error. */
#include "xwindows.h"

#include <stdio.h>

static void ask_to_close(Display* display, Window window, void* context) {
    (void)context;
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s WINDOW-NAME\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    XSetErrorHandler(xwindows_ignore_error);
    if (display == NULL) {
        fprintf(stderr, "close_window: can't open the display\n");
        return 2;
    }
    int asked = xwindows_each(display, argv[1], ask_to_close, NULL);
    XSync(display, False);
    XCloseDisplay(display);
    if (asked == 0) {
        fprintf(stderr, "close_window: no window named '%s'\n", argv[1]);
        return 1;
    }
    return 0;
}
