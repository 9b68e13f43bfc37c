/* Small pieces shared by the X measurement tools: a millisecond clock, an
 * error handler that lets a vanished window pass, and reading one pixel. */
#ifndef TARNWICK_TOOLS_X11_PROBE_H
#define TARNWICK_TOOLS_X11_PROBE_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <time.h>

static inline double nowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

/* A window may go away between finding it and reading it; that is no
 * reason to end the tool, which Xlib's default handler would do. */
static inline int ignoreErrors(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e;
    return 0;
}

/* The pixel at (x, y) of the window as 0xRRGGBB; 0 when it cannot be read. */
static inline int readPixel(Display* display, Window window, int x, int y, unsigned long* pixel) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == NULL) return 0;
    *pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return 1;
}

#endif
