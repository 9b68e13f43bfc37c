#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <iterator>

namespace tarnwick {

HeadlessPlatform::HeadlessPlatform() = default;

void HeadlessPlatform::openWindow(std::string_view title, int /*width*/, int /*height*/) {
    title_ = std::string(title);
    opened_ = true;
    closed_ = false;
}

void HeadlessPlatform::closeWindow() { closed_ = true; }

bool HeadlessPlatform::scriptExhausted() const {
    return keys_.empty() && clicks_.empty() && clipboardChanges_.empty() && drops_.empty() && wheel_.empty();
}

Extent HeadlessPlatform::windowSize() {
    if (closeAtMs_ >= 0 && nowMs_ >= closeAtMs_) closed_ = true;
    if (!opened_ || closed_) return {0, 0};
    if (scriptExhausted() && nowMs_ - lastInputMs_ > idleLimitMs_) {
        closed_ = true;
        return {0, 0};
    }
    return {Canvas::kWidth, Canvas::kHeight};
}

void HeadlessPlatform::present() {
    ++presents_;
    presented_ = canvas().pixels();
    if (presentObserver_) presentObserver_();
}

std::string HeadlessPlatform::pollKey() {
    if (closed_ || keys_.empty() || keys_.front().atMs > nowMs_) return {};
    std::string key = std::move(keys_.front().value);
    keys_.pop_front();
    lastInputMs_ = nowMs_;
    return key;
}

Click HeadlessPlatform::pollMouse() {
    if (closed_ || clicks_.empty() || clicks_.front().atMs > nowMs_) return {};
    const Click click = clicks_.front().value;
    clicks_.pop_front();
    lastInputMs_ = nowMs_;
    return click;
}

int HeadlessPlatform::pollWheel() {
    int steps = 0;
    while (!closed_ && !wheel_.empty() && wheel_.front().atMs <= nowMs_) {
        steps += wheel_.front().value;
        wheel_.pop_front();
        lastInputMs_ = nowMs_;
    }
    return steps;
}

std::string HeadlessPlatform::readClipboardText() {
    while (!clipboardChanges_.empty() && clipboardChanges_.front().atMs <= nowMs_) {
        clipboard_ = std::move(clipboardChanges_.front().value);
        clipboardChanges_.pop_front();
        lastInputMs_ = nowMs_;
    }
    return clipboard_;
}

void HeadlessPlatform::writeClipboardText(std::string text) {
    clipboardWrites_.push_back(text);
    clipboard_ = std::move(text);
}

std::optional<Drop> HeadlessPlatform::pollDrop() {
    if (closed_ || drops_.empty() || drops_.front().atMs > nowMs_) return std::nullopt;
    Drop dropped = std::move(drops_.front().value);
    drops_.pop_front();
    lastInputMs_ = nowMs_;
    return dropped;
}

void HeadlessPlatform::sleepMs(int milliseconds) {
    if (milliseconds > 0) nowMs_ += milliseconds;
}

namespace {

// Keeps a script in time order; items for the same time keep their order.
template <typename Queue, typename Item>
void schedule(Queue& queue, Item item) {
    auto at = queue.end();
    while (at != queue.begin() && std::prev(at)->atMs > item.atMs) --at;
    queue.insert(at, std::move(item));
}

}  // namespace

void HeadlessPlatform::pressKey(std::string keyText, std::int64_t atMs) {
    schedule(keys_, Timed<std::string>{atMs, std::move(keyText)});
}

void HeadlessPlatform::click(int x, int y, std::int64_t atMs, int kind) {
    schedule(clicks_, Timed<Click>{atMs, Click{kind, x, y}});
}

void HeadlessPlatform::turnWheel(int steps, std::int64_t atMs) { schedule(wheel_, Timed<int>{atMs, steps}); }

void HeadlessPlatform::drop(Drop dropped, std::int64_t atMs) {
    schedule(drops_, Timed<Drop>{atMs, std::move(dropped)});
}

void HeadlessPlatform::setClipboard(std::string text, std::int64_t atMs) {
    if (atMs <= nowMs_) {
        clipboard_ = std::move(text);
        return;
    }
    schedule(clipboardChanges_, Timed<std::string>{atMs, std::move(text)});
}

std::optional<Endpoint> HeadlessPlatform::routeFor(std::string_view host) {
    const auto it = redirects_.find(std::string(host));
    if (it == redirects_.end()) return Platform::routeFor(host);
    return Endpoint{"127.0.0.1", it->second};
}

bool HeadlessPlatform::keepNetworkWait(std::int64_t elapsedMs) {
    nowMs_ = std::max(nowMs_, networkWaitStartMs_ + elapsedMs);
    return windowSize().width != 0;
}

}  // namespace tarnwick
