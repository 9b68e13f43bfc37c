// X11 actions the window tests need and the command-line tools lack.
//
//   window_test_x11 close WINDOW_ID
//       Asks the window to close the way its close box does: a WM_PROTOCOLS
//       client message carrying WM_DELETE_WINDOW (there is no window manager
//       under Xvfb to send it).
//   window_test_x11 describe WINDOW_ID
//       Prints the window's names, the position of its drawing area on the
//       screen, its size and its size hints, one "key=value" a line.
//   window_test_x11 hold-clipboard
//       Takes the CLIPBOARD selection and then never answers a request, like a
//       hung program; prints "ready" once it owns the selection and "asked"
//       for each request it leaves unanswered, and runs until killed.
//   window_test_x11 clipboard-owner
//       Prints the id of the window that owns the CLIPBOARD selection, or
//       "none"; asks the server only, never the owner.
//   window_test_x11 screenshot FILE
//       Writes the whole screen to FILE as raw 8-bit RGB, row after row from
//       the top left, three bytes a pixel; several times quicker than xwd and
//       a conversion, which matters to tests that poll the screen.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

Window parseWindowId(const char* idText) {
    char* end = nullptr;
    const unsigned long id = std::strtoul(idText, &end, 0);
    if (end == idText || *end != '\0') return None;
    return id;
}

std::string textProperty(Display* display, Window window, const char* name) {
    XTextProperty property{};
    if (XGetTextProperty(display, window, &property, XInternAtom(display, name, False)) == 0) return "(none)";
    std::string text(reinterpret_cast<const char*>(property.value), property.nitems);
    XFree(property.value);
    return text;
}

int describeWindow(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0) return 1;
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    std::printf("name=%s\n", textProperty(display, window, "_NET_WM_NAME").c_str());
    std::printf("wm_name=%s\n", textProperty(display, window, "WM_NAME").c_str());
    std::printf("position=%d,%d\n", x, y);
    std::printf("size=%dx%d\n", attributes.width, attributes.height);
    XSizeHints hints{};
    long supplied = 0;
    if (XGetWMNormalHints(display, window, &hints, &supplied) != 0) {
        if (hints.flags & PMinSize) std::printf("min_size=%dx%d\n", hints.min_width, hints.min_height);
        if (hints.flags & PMaxSize) std::printf("max_size=%dx%d\n", hints.max_width, hints.max_height);
    }
    return 0;
}

int closeWindow(Display* display, Window id) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, id, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

int holdClipboard(Display* display) {
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    XSetSelectionOwner(display, clipboard, window, CurrentTime);
    XSync(display, False);
    if (XGetSelectionOwner(display, clipboard) != window) {
        std::fprintf(stderr, "window_test_x11: could not take the clipboard\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    // Requests are read, so that a test can wait for one, and never answered.
    for (;;) {
        XEvent event{};
        XNextEvent(display, &event);
        if (event.type == SelectionRequest) {
            std::printf("asked\n");
            std::fflush(stdout);
        }
    }
}

int printClipboardOwner(Display* display) {
    const Window owner = XGetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False));
    if (owner == None) std::printf("none\n");
    else std::printf("0x%lx\n", owner);
    return 0;
}

// Scales one colour channel of a pixel value to 0..255, whatever its mask.
class Channel {
  public:
    explicit Channel(unsigned long mask) : mask_(mask) {
        while (mask != 0 && ((mask >> shift_) & 1UL) == 0) ++shift_;
        max_ = mask == 0 ? 1 : mask >> shift_;
    }
    unsigned char of(unsigned long pixel) const {
        return static_cast<unsigned char>(((pixel & mask_) >> shift_) * 255UL / max_);
    }

  private:
    unsigned long mask_;
    int shift_ = 0;
    unsigned long max_ = 1;
};

int writeScreenshot(Display* display, const char* path) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, root, &attributes) == 0) return 1;
    XImage* image = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        std::fprintf(stderr, "window_test_x11: could not read the screen\n");
        return 1;
    }
    const Channel red(image->red_mask);
    const Channel green(image->green_mask);
    const Channel blue(image->blue_mask);
    // The usual 32-bit little-endian layout is read straight from the image
    // data; XGetPixel, which handles every layout, is several times slower.
    const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 3);
    std::size_t at = 0;
    for (int y = 0; y < image->height; ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(image->data) +
                          static_cast<std::ptrdiff_t>(y) * image->bytes_per_line;
        for (int x = 0; x < image->width; ++x) {
            unsigned long pixel = 0;
            if (direct) {
                const unsigned char* p = row + static_cast<std::ptrdiff_t>(x) * 4;
                pixel = p[0] | (static_cast<unsigned long>(p[1]) << 8) | (static_cast<unsigned long>(p[2]) << 16) |
                        (static_cast<unsigned long>(p[3]) << 24);
            } else {
                pixel = XGetPixel(image, x, y);
            }
            rgb[at++] = red.of(pixel);
            rgb[at++] = green.of(pixel);
            rgb[at++] = blue.of(pixel);
        }
    }
    XDestroyImage(image);
    // Written beside FILE and renamed, so a reader never sees half a picture.
    const std::string partial = std::string(path) + ".partial";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "window_test_x11: cannot write %s\n", partial.c_str());
        return 1;
    }
    const bool written = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    if (std::fclose(file) != 0 || !written || std::rename(partial.c_str(), path) != 0) {
        std::fprintf(stderr, "window_test_x11: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string action = argc >= 2 ? argv[1] : "";
    const Window window = argc == 3 ? parseWindowId(argv[2]) : None;
    const bool onWindow = (action == "close" || action == "describe") && window != None;
    const bool toFile = action == "screenshot" && argc == 3;
    const bool onClipboard = (action == "hold-clipboard" || action == "clipboard-owner") && argc == 2;
    if (!onWindow && !toFile && !onClipboard) {
        std::fprintf(stderr,
                     "usage: window_test_x11 close|describe WINDOW_ID | hold-clipboard | clipboard-owner | "
                     "screenshot FILE\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "window_test_x11: cannot open the display\n");
        return 1;
    }
    int status = 0;
    if (action == "close") status = closeWindow(display, window);
    else if (action == "describe") status = describeWindow(display, window);
    else if (toFile) status = writeScreenshot(display, argv[2]);
    else if (action == "clipboard-owner") status = printClipboardOwner(display);
    else status = holdClipboard(display);
    XCloseDisplay(display);
    return status;
}
