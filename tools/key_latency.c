/* Measures how long a window takes to show the effect of a key press: for
 * each key named, reads one pixel of the window, sends the key (press and
 * release) to the window, then reads that pixel again every 0.2 ms until it
 * changes. Prints one line per key: the key and the milliseconds from
 * sending it to the changed pixel, or "timeout" after two seconds.
 *
 *   key_latency TITLE X Y KEYSYM [KEYSYM...]
 *
 * TITLE is part of the window's title; KEYSYM an X key name (Home, End).
 * The keys go as synthetic events through XSendEvent (no XTEST needed), to
 * a window that has been given the input focus. Each key must change the
 * pixel; keys that bring it back in between (End after Home) let one run
 * measure many presses.
 */
#define _DEFAULT_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include "x11_probe.h"

/* The first window below `parent` whose title holds `title`, depth first. */
static Window findWindow(Display* display, Window parent, const char* title) {
    char* name = NULL;
    if (XFetchName(display, parent, &name) && name != NULL) {
        const int found = strstr(name, title) != NULL;
        XFree(name);
        if (found) return parent;
    }
    Window root = 0;
    Window up = 0;
    Window* children = NULL;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    Window result = 0;
    for (unsigned int i = 0; i < count && result == 0; ++i) result = findWindow(display, children[i], title);
    if (children != NULL) XFree(children);
    return result;
}

static void sendKey(Display* display, Window window, KeyCode code, int type) {
    XKeyEvent event;
    memset(&event, 0, sizeof event);
    event.type = type;
    event.display = display;
    event.window = window;
    event.root = DefaultRootWindow(display);
    event.subwindow = None;
    event.time = CurrentTime;
    event.x = event.y = event.x_root = event.y_root = 1;
    event.same_screen = True;
    event.keycode = code;
    event.state = 0;
    XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, (XEvent*)&event);
}

int main(int argc, char** argv) {
    if (argc < 5) {
        fprintf(stderr, "usage: key_latency TITLE X Y KEYSYM [KEYSYM...]\n");
        return 2;
    }
    const int px = atoi(argv[2]);
    const int py = atoi(argv[3]);
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "key_latency: cannot open the X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window window = findWindow(display, DefaultRootWindow(display), argv[1]);
    if (window == 0) {
        fprintf(stderr, "key_latency: no window titled \"%s\"\n", argv[1]);
        return 1;
    }
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    usleep(100 * 1000);

    int failures = 0;
    for (int k = 4; k < argc; ++k) {
        const KeySym sym = XStringToKeysym(argv[k]);
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
        if (code == 0) {
            fprintf(stderr, "key_latency: unknown key %s\n", argv[k]);
            return 2;
        }
        unsigned long before = 0;
        if (!readPixel(display, window, px, py, &before)) {
            fprintf(stderr, "key_latency: cannot read the window\n");
            return 1;
        }
        const double start = nowMs();
        sendKey(display, window, code, KeyPress);
        sendKey(display, window, code, KeyRelease);
        XFlush(display);
        double elapsed = -1;
        while (nowMs() - start < 2000.0) {
            unsigned long pixel = 0;
            if (readPixel(display, window, px, py, &pixel) && pixel != before) {
                elapsed = nowMs() - start;
                break;
            }
            usleep(200);
        }
        if (elapsed < 0) {
            printf("%s timeout\n", argv[k]);
            ++failures;
        } else {
            printf("%s %.1f\n", argv[k], elapsed);
        }
        fflush(stdout);
        /* Lets the program settle (and its pixel stay) before the next key. */
        usleep(150 * 1000);
    }
    XCloseDisplay(display);
    return failures == 0 ? 0 : 1;
}
