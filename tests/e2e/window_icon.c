/* Prints what the desktop learns of a window (by its id, decimal) from its properties: its
 * class (WM_CLASS, "class NAME CLASS") and the sizes of its icon (_NET_WM_ICON,
 * "icon WxH WxH ..."). With SIZE and FILE it also writes the icon of that size to FILE as a
 * PAM picture with alpha, for ImageMagick to compare.
 * Exits 0 when the window has an icon (and one of SIZE when asked for), 1 when not, 2 on a
 * usage or display error. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "xwindows.h"

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        fprintf(stderr, "usage: window_icon WINDOW-ID [SIZE FILE]\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    XSetErrorHandler(xwindows_ignore_error);
    if (display == NULL) {
        fprintf(stderr, "window_icon: no display\n");
        return 2;
    }
    const Window window = (Window)strtoul(argv[1], NULL, 10);
    const long wanted = argc == 4 ? atol(argv[2]) : 0;

    XClassHint hint = {NULL, NULL};
    if (XGetClassHint(display, window, &hint)) {
        printf("class %s %s\n", hint.res_name, hint.res_class);
        XFree(hint.res_name);
        XFree(hint.res_class);
    } else {
        printf("class\n");
    }

    Atom type;
    int format;
    unsigned long count = 0, rest;
    unsigned char* data = NULL;
    Atom icon = XInternAtom(display, "_NET_WM_ICON", False);
    int found = 0, written = 0;
    printf("icon");
    if (XGetWindowProperty(display, window, icon, 0, 1 << 24, False, XA_CARDINAL, &type, &format,
                           &count, &rest, &data) == Success &&
        data != NULL && format == 32) {
        /* Xlib hands 32-bit items over as longs. */
        const unsigned long* items = (const unsigned long*)data;
        unsigned long i = 0;
        while (i + 2 <= count) {
            const unsigned long w = items[i], h = items[i + 1];
            if (w == 0 || h == 0 || i + 2 + w * h > count) break;
            printf(" %lux%lu", w, h);
            found = 1;
            if (wanted > 0 && w == (unsigned long)wanted && h == (unsigned long)wanted &&
                !written) {
                FILE* out = fopen(argv[3], "wb");
                if (out != NULL) {
                    fprintf(out,
                            "P7\nWIDTH %lu\nHEIGHT %lu\nDEPTH 4\nMAXVAL 255\n"
                            "TUPLTYPE RGB_ALPHA\nENDHDR\n",
                            w, h);
                    for (unsigned long p = 0; p < w * h; ++p) {
                        const unsigned long v = items[i + 2 + p];
                        const unsigned char rgba[4] = {(unsigned char)(v >> 16),
                                                       (unsigned char)(v >> 8), (unsigned char)v,
                                                       (unsigned char)(v >> 24)};
                        fwrite(rgba, 1, 4, out);
                    }
                    written = fclose(out) == 0;
                }
            }
            i += 2 + w * h;
        }
    }
    printf("\n");
    if (data != NULL) XFree(data);
    XCloseDisplay(display);
    return found && (wanted == 0 || written) ? 0 : 1;
}
