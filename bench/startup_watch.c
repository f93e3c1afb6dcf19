/* Times a program's start from outside, by what appears on the screen: from its exec to its
 * first top-level window mapped, to its main window (by name) mapped, and to the first moment
 * the main window shows its complete first picture, that is when its contents equal a
 * reference image. The contents are read back after every change the X server reports for the
 * window (XDamage). Then the program is ended with SIGTERM and its peak RSS is read.
 *
 * Usage: startup_watch NAME REFERENCE TIMEOUT-MS -- COMMAND [ARG...]
 *   NAME       the main window's name
 *   REFERENCE  a file with the main window's complete picture, as this tool writes it; when
 *              there is no such file yet, the window's contents once they have stopped
 *              changing for a second are written there (and taken as the complete frame)
 * Prints one line: first-window main-window complete-frame (milliseconds since exec, -1 for
 * never) and peak RSS in MiB. Run it without a window manager, on its own X server.
 * When a window of that name is on the screen already, that one is watched from exec on (its
 * main-window time is 0): a nested Wayland compositor's output, which the program's windows
 * appear in. */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include "tests/e2e/xwindows.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* The window's contents as bytes (the colour only: padding bits are cleared), or NULL when it
 * cannot be read. */
static unsigned char* contents(Display* display, Window window, int* size) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a) || a.map_state != IsViewable) return NULL;
    XImage* image =
        XGetImage(display, window, 0, 0, (unsigned)a.width, (unsigned)a.height, AllPlanes, ZPixmap);
    if (image == NULL) return NULL;
    *size = 8 + image->bytes_per_line * image->height;
    unsigned char* bytes = malloc((size_t)*size);
    memcpy(bytes, &a.width, 4);
    memcpy(bytes + 4, &a.height, 4);
    memcpy(bytes + 8, image->data, (size_t)(*size - 8));
    if (image->bits_per_pixel == 32 && image->depth == 24) {
        const unsigned long colour = image->red_mask | image->green_mask | image->blue_mask;
        for (int y = 0; y < image->height; ++y) {
            unsigned int* row = (unsigned int*)(bytes + 8 + y * image->bytes_per_line);
            for (int x = 0; x < image->width; ++x) row[x] &= (unsigned int)colour;
        }
    }
    XDestroyImage(image);
    return bytes;
}

static unsigned char* read_file(const char* path, int* size) {
    FILE* f = fopen(path, "rb");
    if (f == NULL) return NULL;
    fseek(f, 0, SEEK_END);
    *size = (int)ftell(f);
    fseek(f, 0, SEEK_SET);
    unsigned char* bytes = malloc((size_t)*size);
    if (fread(bytes, 1, (size_t)*size, f) != (size_t)*size) *size = -1;
    fclose(f);
    return bytes;
}

static void take_window(Display* display, Window window, void* context) {
    (void)display;
    *(Window*)context = window;
}

static int ignore_errors(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 6 || strcmp(argv[4], "--") != 0) {
        fprintf(stderr, "usage: %s NAME REFERENCE TIMEOUT-MS -- COMMAND [ARG...]\n", argv[0]);
        return 2;
    }
    const char* name = argv[1];
    const char* reference_path = argv[2];
    const double timeout = atof(argv[3]);
    int reference_size = 0;
    unsigned char* reference = NULL;
    if (access(reference_path, F_OK) == 0) {
        reference = read_file(reference_path, &reference_size);
        if (reference == NULL || reference_size <= 8) {
            fprintf(stderr, "startup_watch: can't read %s\n", reference_path);
            return 2;
        }
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "startup_watch: can't open the display\n");
        return 2;
    }
    int damage_event, damage_error;
    if (!XDamageQueryExtension(display, &damage_event, &damage_error)) {
        fprintf(stderr, "startup_watch: the X server has no DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors);
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    double first_window = -1, main_window = -1, complete = -1;
    Window main = None;
    Damage damage = None;
    /* A nested compositor's output, on the screen before the program starts. */
    xwindows_each(display, name, take_window, &main);
    if (main != None) {
        main_window = 0;
        damage = XDamageCreate(display, main, XDamageReportNonEmpty);
        /* A picture left by the run before would count as this one's. */
        int size = 0;
        unsigned char* before = contents(display, main, &size);
        const int stale = before != NULL && reference != NULL && size == reference_size &&
                          memcmp(before, reference, (size_t)size) == 0;
        free(before);
        if (stale) {
            fprintf(stderr, "startup_watch: %s shows the complete picture before the start\n",
                    name);
            return 2;
        }
    }
    const double start = now_ms();
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[5], argv + 5);
        _exit(127);
    }
    unsigned char* last = NULL;
    int last_size = 0;
    double last_change = 0;
    const int fd = ConnectionNumber(display);
    while (now_ms() - start < timeout) {
        if (XPending(display) == 0) {
            struct pollfd p = {fd, POLLIN, 0};
            poll(&p, 1, 20);
        }
        int changed = 0;
        while (XPending(display) > 0) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type == MapNotify && e.xmap.event == root) {
                const double t = now_ms() - start;
                if (first_window < 0) first_window = t;
                if (main == None && xwindows_named(display, e.xmap.window, name)) {
                    main = e.xmap.window;
                    main_window = t;
                    damage = XDamageCreate(display, main, XDamageReportNonEmpty);
                    changed = 1;
                }
            } else if (e.type == damage_event + XDamageNotify) {
                XDamageSubtract(display, damage, None, None);
                changed = 1;
            }
        }
        if (main == None) continue;
        if (changed) {
            /* The server reads the picture when it gets the request: that is its time. */
            const double asked = now_ms() - start;
            int size = 0;
            unsigned char* now = contents(display, main, &size);
            if (now == NULL) continue;
            if (reference != NULL) {
                if (size == reference_size && memcmp(now, reference, (size_t)size) == 0) {
                    complete = asked;
                    free(now);
                    break;
                }
                free(now);
            } else {
                free(last);
                last = now;
                last_size = size;
                last_change = asked + start;
            }
        } else if (reference == NULL && last != NULL && now_ms() - last_change > 1000) {
            FILE* f = fopen(reference_path, "wb");
            if (f != NULL) {
                fwrite(last, 1, (size_t)last_size, f);
                fclose(f);
            }
            complete = last_change - start;
            break;
        }
    }
    kill(child, SIGTERM);
    int status;
    struct rusage usage;
    if (wait4(child, &status, 0, &usage) < 0) usage.ru_maxrss = 0;
    printf("%.1f %.1f %.1f %.1f\n", first_window, main_window, complete, usage.ru_maxrss / 1024.0);
    XCloseDisplay(display);
    return complete >= 0 ? 0 : 1;
}
