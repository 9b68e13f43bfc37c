#include "platform/sdl/sdl_platform.h"

#include <chrono>
#include <thread>

namespace tarnwick::sdl {

void SdlPlatform::openWindow(std::string_view title, int width, int height) {
    bridge_.openWindow(OpenRequest{std::string(title), width, height});
}

void SdlPlatform::closeWindow() { bridge_.closeWindow(); }

Extent SdlPlatform::windowSize() { return bridge_.windowSize(); }

void SdlPlatform::present() {
    std::lock_guard lock(canvasMutex());
    bridge_.present(canvas().pixels());
}

std::string SdlPlatform::pollKey() {
    if (bridge_.windowSize() == Extent{}) return {};
    return bridge_.keys().take();
}

Click SdlPlatform::pollMouse() {
    if (bridge_.windowSize() == Extent{}) return {};
    return bridge_.clicks().take();
}

int SdlPlatform::pollWheel() {
    if (bridge_.windowSize() == Extent{}) return 0;
    return bridge_.takeWheel();
}

std::string SdlPlatform::readClipboardText() { return clipboard_.text(); }

void SdlPlatform::writeClipboardText(std::string text) { bridge_.offerClipboard(std::move(text)); }

std::optional<Drop> SdlPlatform::pollDrop() {
    if (bridge_.windowSize() == Extent{}) return std::nullopt;
    return bridge_.takeDrop();
}

void SdlPlatform::sleepMs(int milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::int64_t SdlPlatform::nowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SdlPlatform::beep() {
    if (soundOn()) beeper_.beep();
}

}  // namespace tarnwick::sdl
