/* Measures how long a program takes from launch to its first drawn frame:
 * starts the command, waits for its top-level window to be mapped on the X
 * display, then reads one pixel of it every millisecond until that pixel is
 * no longer black (a new window surface starts black). Prints the elapsed
 * milliseconds and leaves the program running; its pid goes to stderr.
 *
 *   first_frame X Y command [args...]
 */
#define _DEFAULT_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include "x11_probe.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: first_frame X Y command [args...]\n");
        return 2;
    }
    const int px = atoi(argv[1]);
    const int py = atoi(argv[2]);
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "first_frame: cannot open the X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    const pid_t child = fork();
    if (child == 0) {
        /* The program must not hold this tool's output open after it ends. */
        const int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, STDOUT_FILENO);
            dup2(devnull, STDERR_FILENO);
        }
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    fprintf(stderr, "%d\n", (int)child);

    Window window = 0;
    const double deadline = start + 20000.0;
    while (window == 0 && nowMs() < deadline) {
        if (XPending(display) == 0) {
            usleep(200);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.event == root) window = event.xmap.window;
    }
    if (window == 0) {
        fprintf(stderr, "first_frame: no window appeared\n");
        kill(child, SIGTERM);
        return 1;
    }
    while (nowMs() < deadline) {
        unsigned long pixel = 0;
        if (readPixel(display, window, px, py, &pixel) && pixel != 0) {
            printf("%.1f\n", nowMs() - start);
            return 0;
        }
        usleep(1000);
    }
    fprintf(stderr, "first_frame: the window stayed black\n");
    return 1;
}
