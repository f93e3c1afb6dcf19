/* numlock on|off: locks or unlocks Num Lock on the X server's core keyboard, so that a test
 * knows the keypad's state; xdotool sends the keypad's navigation keys with whatever state
 * it finds. */
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 2 || (strcmp(argv[1], "on") != 0 && strcmp(argv[1], "off") != 0)) {
        fprintf(stderr, "usage: numlock on|off\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "numlock: cannot open the display\n");
        return 1;
    }
    unsigned mask = XkbKeysymToModifiers(display, XStringToKeysym("Num_Lock"));
    if (mask == 0) {
        fprintf(stderr, "numlock: no modifier holds Num_Lock\n");
        XCloseDisplay(display);
        return 1;
    }
    XkbLockModifiers(display, XkbUseCoreKbd, mask, strcmp(argv[1], "on") == 0 ? mask : 0);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
