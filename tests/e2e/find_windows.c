/* Prints the ids (decimal, one a line) of the mapped top-level windows with a given
 * name. Exits 0 when there was at least one, 1 when there was none, 2 on a usage or
 * display error. Unlike xdotool's search it also finds windows whose WM_NAME is typed
 * UTF-8, as the message boxes' are. */
#include "xwindows.h"

#include <stdio.h>

static void print_id(Display* display, Window window, void* context) {
    (void)display;
    (void)context;
    printf("%lu\n", (unsigned long)window);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s WINDOW-NAME\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "find_windows: can't open the display\n");
        return 2;
    }
    int found = xwindows_each(display, argv[1], print_id, NULL);
    XCloseDisplay(display);
    return found > 0 ? 0 : 1;
}
