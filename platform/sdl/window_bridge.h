// Where the program's logic thread and the window thread meet.
//
// The logic thread asks for a window to be opened or closed (and waits until
// the window thread has done it), hands over finished frames and reads keys
// and clicks; the window thread serves those requests, paints the last frame
// and fills the key and click holders. Nothing else is shared between them.
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
};

class WindowBridge {
  public:
    // wakeWindowThread must be callable from any thread; it interrupts the
    // window thread's wait for window events.
    explicit WindowBridge(std::function<void()> wakeWindowThread);

    // Logic thread -----------------------------------------------------------
    // Both return once the window thread has served the request.
    void openWindow(OpenRequest request);
    void closeWindow();
    // (0, 0) while no window is open.
    Extent windowSize() const;
    // Copies a frame (kFrameWidth x kFrameHeight packed 0x00RRGGBB pixels,
    // row by row) for the window thread to show; ignored while no window is
    // open.
    void present(const std::vector<std::uint32_t>& pixels);
    void logicFinished();
    KeySlot& keys() { return keys_; }
    ClickSlots& clicks() { return clicks_; }

    // Window thread ----------------------------------------------------------
    // Waits until there is a request or the time-out passes; used while no
    // window is open (there are no window events to wait for then).
    void waitForRequests(std::chrono::milliseconds timeout);
    // Takes the pending requests; the next wake-up may post again.
    WindowRequests takeRequests();
    // Marks every request taken so far as served and releases the waiting
    // logic thread.
    void requestsServed();
    // The window's drawing area size; (0, 0) when it is gone. Closing also
    // drops pending keys and clicks.
    void setWindowSize(Extent size);
    // Calls paint with the last presented frame (row-major, kFrameWidth wide).
    void withFrame(const std::function<void(const std::uint32_t* pixels)>& paint);

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
    std::uint64_t asked_ = 0;
    std::uint64_t taken_ = 0;
    std::uint64_t served_ = 0;
    Extent size_{};

    std::mutex frameMutex_;
    std::vector<std::uint32_t> frame_;

    KeySlot keys_;
    ClickSlots clicks_;
};

}  // namespace tarnwick::sdl
