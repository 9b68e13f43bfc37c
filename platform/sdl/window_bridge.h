// Where the program's logic thread and the window thread meet.
//
// The logic thread asks for a window to be opened or closed, hands over
// finished frames and reads keys and clicks; the window thread serves those
// requests, paints the last frame and fills the key and click holders.
// Nothing else is shared between them.
//
// Opening does not wait for the window: the logic can draw and present its
// first page while the window thread is still starting SDL or creating the
// window, and that frame is painted as soon as the window exists.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "platform/platform.h"
#include "platform/sdl/input_slots.h"

namespace tarnwick::sdl {

struct OpenRequest {
    std::string title;
    int width = 0;
    int height = 0;
};

// What the window thread has to do, taken all at once.
struct WindowRequests {
    std::optional<OpenRequest> open;
    bool close = false;
    bool present = false;
    bool logicFinished = false;
    // A text for the window thread to offer as the clipboard's content.
    std::optional<std::string> clipboard;
};

class WindowBridge {
  public:
    // wakeWindowThread must be callable from any thread; it interrupts the
    // window thread's wait for window events.
    explicit WindowBridge(std::function<void()> wakeWindowThread);

    // Logic thread -----------------------------------------------------------
    // Asks for the window and returns at once. From then on windowSize()
    // reports the requested size while the window is being opened, and
    // frames presented meanwhile are kept for it. If it cannot be opened the
    // size becomes (0, 0), as if it had been closed. Once the window exists a
    // new request only changes its title. Without a window system (see
    // windowSystemUnavailable) the size stays (0, 0).
    void openWindow(OpenRequest request);
    // Closes the window, or gives up one being opened, and returns once the
    // window thread has done so (at once without a window system). The size
    // is (0, 0) from the call on, and pending keys and clicks are dropped.
    void closeWindow();
    // The requested size while the window is being opened, its drawing area
    // once it exists, and (0, 0) while there is none.
    Extent windowSize() const;
    // Copies a frame (kFrameWidth x kFrameHeight packed 0x00RRGGBB pixels,
    // row by row) for the window thread to show; ignored while windowSize()
    // is (0, 0).
    void present(const std::vector<std::uint32_t>& pixels);
    void logicFinished();
    // Asks the window thread to offer `text` on the clipboard.
    void offerClipboard(std::string text);
    // The oldest drop not yet taken.
    std::optional<Drop> takeDrop();
    KeySlot& keys() { return keys_; }
    ClickSlots& clicks() { return clicks_; }
    void addWheel(int steps) { wheel_ += steps; }
    int takeWheel() { return wheel_.exchange(0); }

    // Window thread ----------------------------------------------------------
    // Waits until there is a request or the time-out passes; used while no
    // window is open (there are no window events to wait for then).
    void waitForRequests(std::chrono::milliseconds timeout);
    // Takes the pending requests; the next wake-up may post again.
    WindowRequests takeRequests();
    // Marks every request taken so far as served and releases a logic thread
    // waiting in closeWindow.
    void requestsServed();
    // The window's drawing area size; (0, 0) when it is gone or could not be
    // opened. Closing also drops pending keys and clicks.
    void setWindowSize(Extent size);
    // There will be no windows (SDL video could not start): the size becomes
    // (0, 0) for good, requests are turned away and nobody waits for the
    // window thread any more.
    void windowSystemUnavailable();
    // Calls paint with the last presented frame (row-major, kFrameWidth
    // wide); false, without calling it, when no frame was presented yet.
    bool withFrame(const std::function<void(const std::uint32_t* pixels)>& paint);
    // A file or text dropped on the window, kept until the logic takes it.
    void putDrop(Drop dropped);
    // Where the window is to open (set before it opens; none: the top left
    // corner at the picture's size), then where it stood when last seen,
    // kept after it closes.
    void setPlacement(WindowPlacement placement);
    std::optional<WindowPlacement> placement() const;

    static constexpr int kFrameWidth = 1024;
    static constexpr int kFrameHeight = 741;

  private:
    void wake();

    std::function<void()> wakeWindowThread_;
    std::atomic<bool> wakePosted_{false};

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<OpenRequest> open_;
    bool close_ = false;
    bool present_ = false;
    bool logicFinished_ = false;
    std::optional<std::string> clipboard_;
    std::vector<Drop> drops_;
    std::uint64_t asked_ = 0;
    std::uint64_t taken_ = 0;
    std::uint64_t served_ = 0;
    Extent size_{};
    std::optional<WindowPlacement> placement_;
    bool unavailable_ = false;

    std::mutex frameMutex_;
    // Allocated by the first present, so that starting up costs the window
    // thread nothing.
    std::vector<std::uint32_t> frame_;

    KeySlot keys_;
    ClickSlots clicks_;
    std::atomic<int> wheel_{0};
};

}  // namespace tarnwick::sdl
