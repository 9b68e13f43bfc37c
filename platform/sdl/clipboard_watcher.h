// Keeps a copy of the X clipboard's text, read by a thread of its own.
//
// The watcher has its own X connection and a small unmapped window. It asks
// the X server (XFIXES) to report every change of the CLIPBOARD selection's
// owner and then converts the selection into a property of its window, as
// UTF8_STRING or else STRING. Readers get the latest copy from memory at once:
// an owner that is slow or never answers costs the watcher at most the answer
// time-out, and never blocks a reader. The watcher never takes ownership of
// the selection.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace tarnwick::sdl {

struct ClipboardLimits {
    // An owner that has not answered a request (or sent the next piece of a
    // large text) within this time leaves the clipboard empty.
    std::chrono::milliseconds answerTimeout{500};
    // A larger text reads as empty. Readers get a copy of the text at every
    // read, so this is kept well above any game record but far from huge.
    std::size_t maxTextBytes = 1u << 20;
};

class ClipboardWatcher {
  public:
    // Watches the display with that name (empty: $DISPLAY).
    explicit ClipboardWatcher(std::string displayName = {}, ClipboardLimits limits = {});
    ~ClipboardWatcher();
    ClipboardWatcher(const ClipboardWatcher&) = delete;
    ClipboardWatcher& operator=(const ClipboardWatcher&) = delete;

    // Makes Xlib safe for connections used on different threads (the
    // watcher's and SDL's) and replaces its error handler, which would end
    // the program; call before any other Xlib or SDL video call.
    static void prepareXlib();

    // The clipboard's text as delivered (UTF-8 for UTF8_STRING, Latin-1 for
    // STRING); empty when nobody owns the clipboard or no display is open.
    std::string text() const;
    // How many reads have finished, the one at start-up included.
    std::uint64_t readCount() const;

  private:
    class Session;
    void run();
    void publish(std::string text);

    const std::string displayName_;
    const ClipboardLimits limits_;
    int wakePipe_[2] = {-1, -1};
    mutable std::mutex mutex_;
    std::string text_;
    std::uint64_t readCount_ = 0;
    std::thread thread_;
};

}  // namespace tarnwick::sdl
