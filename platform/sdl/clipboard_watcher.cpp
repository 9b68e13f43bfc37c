#include "platform/sdl/clipboard_watcher.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <utility>

namespace tarnwick::sdl {
namespace {

using Clock = std::chrono::steady_clock;

// Without XFIXES the owner is polled this often instead.
constexpr int kOwnerPollMs = 100;
// Property reads go in pieces of this many 32-bit units (256 KiB).
constexpr long kReadChunk = 64 * 1024;

}  // namespace

// The watcher thread's X connection and the state of its reads.
class ClipboardWatcher::Session {
  public:
    Session(Display* display, int wakeFd, const ClipboardLimits& limits)
        : display_(display), wakeFd_(wakeFd), limits_(limits) {
        XSetIOErrorExitHandler(display_, &Session::onConnectionLost, this);
        clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
        utf8String_ = XInternAtom(display_, "UTF8_STRING", False);
        incr_ = XInternAtom(display_, "INCR", False);
        property_ = XInternAtom(display_, "TARNWICK_CLIPBOARD", False);
        XSetWindowAttributes attributes{};
        attributes.event_mask = PropertyChangeMask;
        window_ = XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, CopyFromParent,
                                InputOnly, CopyFromParent, CWEventMask, &attributes);
        int errorBase = 0;
        hasXfixes_ = XFixesQueryExtension(display_, &xfixesEventBase_, &errorBase);
        if (hasXfixes_) {
            XFixesSelectSelectionInput(display_, window_, clipboard_,
                                       XFixesSetSelectionOwnerNotifyMask |
                                           XFixesSelectionWindowDestroyNotifyMask |
                                           XFixesSelectionClientCloseNotifyMask);
        }
        XFlush(display_);
    }

    ~Session() {
        if (!lost_) {
            XDestroyWindow(display_, window_);
            XCloseDisplay(display_);
        }
        // A lost connection is left alone: Xlib allows no more calls on it.
    }

    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Reads the clipboard whenever its owner changes, and once at the start,
    // until stopped. Each finished read goes to publish.
    template <typename Publish>
    void run(Publish publish) {
        bool changed = true;
        Window lastOwner = None;
        while (!stopping_ && !lost_) {
            if (!hasXfixes_) {
                const Window owner = XGetSelectionOwner(display_, clipboard_);
                changed = changed || owner != lastOwner;
                lastOwner = owner;
            }
            if (changed) {
                changed_ = false;
                std::optional<std::string> text = fetch();
                if (!text) break;
                publish(std::move(*text));
                changed = changed_;  // the owner changed again during the read
                continue;
            }
            XEvent event;
            while (!lost_ && XPending(display_) > 0) {
                XNextEvent(display_, &event);
                noteEvent(event);
            }
            changed = changed_;
            if (!changed) waitReadable(hasXfixes_ ? -1 : kOwnerPollMs);
        }
    }

  private:
    static void onConnectionLost(Display*, void* session) {
        static_cast<Session*>(session)->lost_ = true;
    }

    void noteEvent(const XEvent& event) {
        if (hasXfixes_ && event.type == xfixesEventBase_ + XFixesSelectionNotify) changed_ = true;
    }

    // Waits until the X connection has input, the time-out (ms, -1: none)
    // passes or the watcher is asked to stop.
    void waitReadable(int timeoutMs) {
        std::array<pollfd, 2> fds{{{ConnectionNumber(display_), POLLIN, 0}, {wakeFd_, POLLIN, 0}}};
        int ready = 0;
        do {
            ready = poll(fds.data(), fds.size(), timeoutMs);
        } while (ready < 0 && errno == EINTR);
        if (ready < 0 || fds[1].revents != 0) stopping_ = true;
    }

    // Handles events until one satisfies `wanted` (true) or the deadline
    // passes or the watcher stops (false).
    template <typename Wanted>
    bool waitForEvent(XEvent& event, Clock::time_point deadline, Wanted wanted) {
        while (!stopping_ && !lost_) {
            while (!lost_ && XPending(display_) > 0) {
                XNextEvent(display_, &event);
                if (wanted(event)) return true;
                noteEvent(event);
            }
            if (lost_) break;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return false;
            waitReadable(static_cast<int>(left.count()) + 1);
        }
        return false;
    }

    // The clipboard's text; empty when there is no owner or it does not
    // answer in time; nothing when the watcher stops meanwhile.
    std::optional<std::string> fetch() {
        if (XGetSelectionOwner(display_, clipboard_) == None) return std::string{};
        for (const Atom target : {utf8String_, Atom{XA_STRING}}) {
            XDeleteProperty(display_, window_, property_);
            XConvertSelection(display_, clipboard_, target, property_, window_, CurrentTime);
            XFlush(display_);
            XEvent event;
            const bool answered = waitForEvent(event, Clock::now() + limits_.answerTimeout, [&](const XEvent& e) {
                return e.type == SelectionNotify && e.xselection.requestor == window_ &&
                       e.xselection.selection == clipboard_ && e.xselection.target == target;
            });
            if (stopping_ || lost_) return std::nullopt;
            if (!answered) return std::string{};  // owner does not answer
            if (event.xselection.property == None) continue;  // refused this target
            Atom type = None;
            std::string bytes;
            if (!readProperty(type, bytes)) return std::string{};
            if (type == incr_) return readIncrementally();
            return bytes;
        }
        return std::string{};
    }

    // Reads and deletes the property; false when it is too large or unreadable.
    bool readProperty(Atom& type, std::string& bytes) {
        bytes.clear();
        type = None;
        long offset = 0;
        for (;;) {
            Atom actualType = None;
            int format = 0;
            unsigned long items = 0;
            unsigned long bytesAfter = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display_, window_, property_, offset, kReadChunk, False, AnyPropertyType,
                                   &actualType, &format, &items, &bytesAfter, &data) != Success) {
                return false;
            }
            type = actualType;
            const bool text = format == 8;
            if (text && data != nullptr) bytes.append(reinterpret_cast<const char*>(data), items);
            if (data != nullptr) XFree(data);
            if (actualType == None || bytesAfter == 0 || !text) break;
            if (bytes.size() + bytesAfter > limits_.maxTextBytes) {
                // Deleted all the same: an owner sending pieces waits for
                // the deletion before it sends the next one.
                XDeleteProperty(display_, window_, property_);
                XFlush(display_);
                bytes.clear();
                return false;
            }
            offset += static_cast<long>(items / 4);
        }
        XDeleteProperty(display_, window_, property_);
        XFlush(display_);
        return bytes.size() <= limits_.maxTextBytes;
    }

    // An owner with a large text sends it in pieces: each deletion of the
    // property asks for the next piece, and an empty piece ends the text.
    // A text over the limit reads as empty, but its pieces are still taken
    // to the end: an owner left waiting for a deletion would hold its text
    // back from every other program.
    std::optional<std::string> readIncrementally() {
        std::string text;
        bool tooLarge = false;
        for (;;) {
            XEvent event;
            const bool arrived = waitForEvent(event, Clock::now() + limits_.answerTimeout, [&](const XEvent& e) {
                return e.type == PropertyNotify && e.xproperty.window == window_ &&
                       e.xproperty.atom == property_ && e.xproperty.state == PropertyNewValue;
            });
            if (stopping_ || lost_) return std::nullopt;
            if (!arrived) return std::string{};
            Atom type = None;
            std::string piece;
            const bool read = readProperty(type, piece);
            if (read && piece.empty()) return tooLarge ? std::string{} : text;
            if (!read || text.size() + piece.size() > limits_.maxTextBytes) {
                tooLarge = true;
                std::string().swap(text);
            }
            if (!tooLarge) text += piece;
        }
    }

    Display* display_;
    int wakeFd_;
    ClipboardLimits limits_;
    Window window_ = None;
    Atom clipboard_ = None;
    Atom utf8String_ = None;
    Atom incr_ = None;
    Atom property_ = None;
    bool hasXfixes_ = false;
    int xfixesEventBase_ = 0;
    bool changed_ = false;
    bool stopping_ = false;
    bool lost_ = false;
};

ClipboardWatcher::ClipboardWatcher(std::string displayName, ClipboardLimits limits)
    : displayName_(std::move(displayName)), limits_(limits) {
    if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        wakePipe_[0] = wakePipe_[1] = -1;
        return;  // cannot be stopped safely: do not watch at all
    }
    thread_ = std::thread([this] { run(); });
}

ClipboardWatcher::~ClipboardWatcher() {
    if (thread_.joinable()) {
        const char byte = 1;
        while (write(wakePipe_[1], &byte, 1) < 0 && errno == EINTR) {
        }
        thread_.join();
    }
    for (const int fd : wakePipe_) {
        if (fd >= 0) close(fd);
    }
}

namespace {

// Xlib's default handler ends the process at any error. A request about a
// window that is gone by the time the server reads it (SDL waking its event
// loop with an event sent to the window while that window is being closed)
// is a race that harms nothing; any other error is reported and the program
// goes on.
int reportXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow) return 0;
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "tarnwick: X error %s (request %d)\n", text, static_cast<int>(error->request_code));
    return 0;
}

}  // namespace

void ClipboardWatcher::prepareXlib() {
    XInitThreads();
    XSetErrorHandler(reportXError);
}

std::string ClipboardWatcher::text() const {
    std::lock_guard lock(mutex_);
    return text_;
}

std::uint64_t ClipboardWatcher::readCount() const {
    std::lock_guard lock(mutex_);
    return readCount_;
}

void ClipboardWatcher::publish(std::string text) {
    std::lock_guard lock(mutex_);
    text_ = std::move(text);
    ++readCount_;
}

void ClipboardWatcher::run() {
    Display* display = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
    if (display == nullptr) return;  // no display: the clipboard stays empty
    Session session(display, wakePipe_[0], limits_);
    session.run([this](std::string text) { publish(std::move(text)); });
}

}  // namespace tarnwick::sdl
