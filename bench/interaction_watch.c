/* Measures one kind of interaction with a running program from outside it: its CPU time
 * from /proc, the pictures its window shows (XDamage) and, for key presses, the time from the
 * key event (XTest) to the first change of the window.
 *
 * Usage: interaction_watch PID NAME MODE SECONDS
 *   PID      the program's process, NAME its main window's name
 *   MODE     idle    nothing happens
 *            hover   the pointer moves over the keys, about 95 moves a second, no button
 *            drag    the same moves with the right button held: the calculator turns
 *            keys    "1" and Escape pressed in turn, each once the window has settled
 * Prints one line: "cores C pictures P" (P a second) and for keys "median M slowest S"
 * (milliseconds). Run it without a window manager, on an X server of its own. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include "tests/e2e/xwindows.h"

#include <math.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#define MOVES_PER_SECOND 95
#define PICTURE_GAP_MS 2.0 /* damage this close to the last belongs to the same picture */
#define SETTLED_MS 300.0   /* no damage for this long: the window is still */
#define MAX_PRESSES 1000

static Display* display;
static int damage_event;
static double last_damage_ms = -1e9;
static long pictures;

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* CPU time of all the process's threads, in seconds. */
static double cpu_seconds(int pid) {
    char path[64], line[4096];
    snprintf(path, sizeof path, "/proc/%d/stat", pid);
    FILE* f = fopen(path, "r");
    if (f == NULL) return -1;
    size_t n = fread(line, 1, sizeof line - 1, f);
    fclose(f);
    line[n] = 0;
    /* The fields after the command's name, which is in parentheses and may hold spaces. */
    char* p = strrchr(line, ')');
    if (p == NULL) return -1;
    unsigned long utime = 0, stime = 0;
    if (sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2)
        return -1;
    return (double)(utime + stime) / (double)sysconf(_SC_CLK_TCK);
}

/* Handles the events that have arrived, or waits for one until the deadline (ms); returns
 * whether the window changed. */
static int take_damage(double until) {
    int changed = 0;
    for (;;) {
        while (XPending(display)) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type != damage_event + XDamageNotify) continue;
            XDamageNotifyEvent* d = (XDamageNotifyEvent*)&e;
            XDamageSubtract(display, d->damage, None, None);
            const double t = now_ms();
            if (t - last_damage_ms > PICTURE_GAP_MS) ++pictures;
            last_damage_ms = t;
            changed = 1;
        }
        const double left = until - now_ms();
        if (changed || left <= 0) return changed;
        struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, (int)ceil(left));
        if (!(fd.revents & POLLIN)) return changed;
    }
}

static void settle(void) {
    const double give_up = now_ms() + 10000;
    while (now_ms() - last_damage_ms < SETTLED_MS && now_ms() < give_up)
        take_damage(last_damage_ms + SETTLED_MS);
}

static void found(Display* d, Window w, void* context) {
    (void)d;
    *(Window*)context = w;
}

/* A window found while the program starts may be gone by the time it is asked about. */
static int ignore_errors(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e;
    return 0;
}

static int compare(const void* a, const void* b) {
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: %s PID NAME idle|hover|drag|keys SECONDS\n", argv[0]);
        return 2;
    }
    const int pid = atoi(argv[1]);
    const char* mode = argv[3];
    const double seconds = atof(argv[4]);
    display = XOpenDisplay(NULL);
    int error_base, major, minor;
    if (display == NULL || !XDamageQueryExtension(display, &damage_event, &error_base) ||
        !XTestQueryExtension(display, &error_base, &error_base, &major, &minor)) {
        fprintf(stderr, "no X display with XDamage and XTest\n");
        return 1;
    }
    XSetErrorHandler(ignore_errors);
    Window window = None;
    for (int i = 0; i < 200 && window == None; ++i) {
        xwindows_each(display, argv[2], found, &window);
        if (window == None) usleep(50000);
    }
    if (window == None) {
        fprintf(stderr, "no window named %s\n", argv[2]);
        return 1;
    }
    XWindowAttributes a;
    XGetWindowAttributes(display, window, &a);
    XDamageCreate(display, window, XDamageReportNonEmpty);
    XSync(display, False);
    last_damage_ms = now_ms();
    settle();

    /* Over the keys of the calculator in its first view: a loop within the lower middle of
     * the window. */
    const int cx = a.x + a.width / 2, cy = a.y + a.height * 62 / 100;
    const int rx = a.width / 14, ry = a.height / 9;
    const int drag = strcmp(mode, "drag") == 0, keys = strcmp(mode, "keys") == 0;
    if (drag || strcmp(mode, "hover") == 0) {
        XTestFakeMotionEvent(display, -1, cx + rx, cy, 0);
        if (drag) XTestFakeButtonEvent(display, 3, True, 0);
        XFlush(display);
        settle();
    }
    double latencies[MAX_PRESSES];
    int presses = 0;
    const KeyCode one = XKeysymToKeycode(display, XK_1);
    const KeyCode escape = XKeysymToKeycode(display, XK_Escape);

    pictures = 0;
    const double cpu0 = cpu_seconds(pid), t0 = now_ms(), end = t0 + seconds * 1e3;
    if (keys) {
        while (now_ms() < end && presses < MAX_PRESSES) {
            const KeyCode key = presses % 2 == 0 ? one : escape;
            XTestFakeKeyEvent(display, key, True, 0);
            XFlush(display);
            const double pressed = now_ms();
            while (!take_damage(pressed + 1000) && now_ms() < pressed + 1000) {
            }
            latencies[presses++] = last_damage_ms - pressed;
            XTestFakeKeyEvent(display, key, False, 0);
            XFlush(display);
            settle();
        }
    } else if (strcmp(mode, "idle") == 0) {
        while (now_ms() < end) take_damage(end);
    } else {
        for (long move = 1; now_ms() < end; ++move) {
            const double at = t0 + move * 1e3 / MOVES_PER_SECOND;
            while (now_ms() < at) take_damage(at);
            const double phase = move * 2 * M_PI / MOVES_PER_SECOND; /* a loop a second */
            XTestFakeMotionEvent(display, -1, cx + (int)(rx * cos(phase)),
                                 cy + (int)(ry * sin(2 * phase)), 0);
            XFlush(display);
        }
    }
    const double wall = (now_ms() - t0) / 1e3, cpu = cpu_seconds(pid) - cpu0;
    if (drag) XTestFakeButtonEvent(display, 3, False, 0);
    XFlush(display);
    printf("cores %.3f pictures %.1f", cpu / wall, pictures / wall);
    if (keys && presses > 0) {
        qsort(latencies, (size_t)presses, sizeof latencies[0], compare);
        printf(" median %.2f slowest %.2f", latencies[presses / 2], latencies[presses - 1]);
    }
    printf("\n");
    XCloseDisplay(display);
    return 0;
}
