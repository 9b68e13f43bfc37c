#include "platform/sdl/window_bridge.h"

#include <algorithm>
#include <utility>

namespace tarnwick::sdl {

WindowBridge::WindowBridge(std::function<void()> wakeWindowThread)
    : wakeWindowThread_(std::move(wakeWindowThread)) {}

void WindowBridge::wake() {
    changed_.notify_all();
    // One wake-up in flight is enough; a burst of frames must not flood the
    // window thread's event queue.
    if (!wakePosted_.exchange(true)) wakeWindowThread_();
}

void WindowBridge::openWindow(OpenRequest request) {
    {
        std::lock_guard lock(mutex_);
        if (unavailable_) return;
        // A window that exists or is on its way keeps its size; a new one is
        // reported at the size asked for until the window thread knows better.
        if (size_ == Extent{} && request.width > 0 && request.height > 0) {
            size_ = Extent{request.width, request.height};
        }
        open_ = std::move(request);
        close_ = false;
        ++asked_;
    }
    wake();
}

void WindowBridge::closeWindow() {
    std::unique_lock lock(mutex_);
    size_ = Extent{};
    if (unavailable_) return;
    close_ = true;
    open_.reset();
    const std::uint64_t ticket = ++asked_;
    lock.unlock();
    keys_.clear();
    clicks_.clear();
    wake();
    lock.lock();
    changed_.wait(lock, [&] { return served_ >= ticket || unavailable_; });
}

Extent WindowBridge::windowSize() const {
    std::lock_guard lock(mutex_);
    return size_;
}

void WindowBridge::present(const std::vector<std::uint32_t>& pixels) {
    if (windowSize() == Extent{}) return;
    {
        std::lock_guard lock(frameMutex_);
        const std::size_t size = static_cast<std::size_t>(kFrameWidth) * kFrameHeight;
        const auto count = static_cast<std::ptrdiff_t>(std::min(pixels.size(), size));
        if (frame_.empty()) {
            // The first frame is copied straight into new memory, not
            // written twice.
            frame_.reserve(size);
            frame_.assign(pixels.begin(), pixels.begin() + count);
            frame_.resize(size);
        } else {
            std::copy_n(pixels.begin(), count, frame_.begin());
        }
    }
    {
        std::lock_guard lock(mutex_);
        present_ = true;
    }
    wake();
}

void WindowBridge::logicFinished() {
    {
        std::lock_guard lock(mutex_);
        logicFinished_ = true;
    }
    wake();
}

void WindowBridge::offerClipboard(std::string text) {
    {
        std::lock_guard lock(mutex_);
        if (unavailable_) return;
        clipboard_ = std::move(text);
        ++asked_;
    }
    wake();
}

void WindowBridge::putDrop(Drop dropped) {
    std::lock_guard lock(mutex_);
    // A few drops can wait; a flood of them is not kept.
    constexpr std::size_t kMaxWaiting = 16;
    if (drops_.size() < kMaxWaiting) drops_.push_back(std::move(dropped));
}

std::optional<Drop> WindowBridge::takeDrop() {
    std::lock_guard lock(mutex_);
    if (drops_.empty()) return std::nullopt;
    Drop dropped = std::move(drops_.front());
    drops_.erase(drops_.begin());
    return dropped;
}

void WindowBridge::waitForRequests(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return asked_ != taken_ || present_ || logicFinished_; });
}

WindowRequests WindowBridge::takeRequests() {
    wakePosted_ = false;
    std::lock_guard lock(mutex_);
    WindowRequests requests;
    requests.open = std::exchange(open_, std::nullopt);
    requests.close = std::exchange(close_, false);
    requests.present = std::exchange(present_, false);
    requests.logicFinished = logicFinished_;
    requests.clipboard = std::exchange(clipboard_, std::nullopt);
    taken_ = asked_;
    return requests;
}

void WindowBridge::requestsServed() {
    {
        std::lock_guard lock(mutex_);
        served_ = taken_;
    }
    changed_.notify_all();
}

void WindowBridge::setWindowSize(Extent size) {
    {
        std::lock_guard lock(mutex_);
        size_ = size;
    }
    if (size == Extent{}) {
        keys_.clear();
        clicks_.clear();
    }
}

void WindowBridge::windowSystemUnavailable() {
    {
        std::lock_guard lock(mutex_);
        unavailable_ = true;
        size_ = Extent{};
        open_.reset();
        close_ = false;
        present_ = false;
    }
    keys_.clear();
    clicks_.clear();
    changed_.notify_all();
}

bool WindowBridge::withFrame(const std::function<void(const std::uint32_t* pixels)>& paint) {
    std::lock_guard lock(frameMutex_);
    if (frame_.empty()) return false;
    paint(frame_.data());
    return true;
}

void WindowBridge::setPlacement(WindowPlacement placement) {
    std::lock_guard lock(mutex_);
    placement_ = std::move(placement);
}

std::optional<WindowPlacement> WindowBridge::placement() const {
    std::lock_guard lock(mutex_);
    return placement_;
}

}  // namespace tarnwick::sdl
