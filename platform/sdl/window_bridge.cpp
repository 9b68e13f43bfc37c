#include "platform/sdl/window_bridge.h"

#include <algorithm>
#include <utility>

namespace tarnwick::sdl {

WindowBridge::WindowBridge(std::function<void()> wakeWindowThread)
    : wakeWindowThread_(std::move(wakeWindowThread)),
      frame_(static_cast<std::size_t>(kFrameWidth) * kFrameHeight, 0) {}

void WindowBridge::wake() {
    changed_.notify_all();
    // One wake-up in flight is enough; a burst of frames must not flood the
    // window thread's event queue.
    if (!wakePosted_.exchange(true)) wakeWindowThread_();
}

void WindowBridge::openWindow(OpenRequest request) {
    std::unique_lock lock(mutex_);
    open_ = std::move(request);
    close_ = false;
    const std::uint64_t ticket = ++asked_;
    lock.unlock();
    wake();
    lock.lock();
    changed_.wait(lock, [&] { return served_ >= ticket; });
}

void WindowBridge::closeWindow() {
    std::unique_lock lock(mutex_);
    close_ = true;
    open_.reset();
    const std::uint64_t ticket = ++asked_;
    lock.unlock();
    wake();
    lock.lock();
    changed_.wait(lock, [&] { return served_ >= ticket; });
}

Extent WindowBridge::windowSize() const {
    std::lock_guard lock(mutex_);
    return size_;
}

void WindowBridge::present(const std::vector<std::uint32_t>& pixels) {
    if (windowSize() == Extent{}) return;
    {
        std::lock_guard lock(frameMutex_);
        std::copy_n(pixels.begin(), std::min(pixels.size(), frame_.size()), frame_.begin());
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

void WindowBridge::withFrame(const std::function<void(const std::uint32_t* pixels)>& paint) {
    std::lock_guard lock(frameMutex_);
    paint(frame_.data());
}

}  // namespace tarnwick::sdl
