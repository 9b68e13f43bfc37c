#include "platform/sdl/input_slots.h"

#include <utility>

namespace tarnwick::sdl {

namespace {

bool isCursorOrFunctionKey(std::string_view key) { return key.size() == 2 && key[0] == '\0'; }

}  // namespace

void KeySlot::put(std::string_view key) {
    if (key.empty()) return;
    std::lock_guard lock(mutex_);
    if (isCursorOrFunctionKey(key) && !keys_.empty() && isCursorOrFunctionKey(keys_.back())) {
        keys_.back().assign(key);
    } else if (keys_.size() < kMaxPending) {
        keys_.emplace_back(key);
    }
}

std::string KeySlot::take() {
    std::lock_guard lock(mutex_);
    if (keys_.empty()) return {};
    std::string key = std::move(keys_.front());
    keys_.pop_front();
    return key;
}

void KeySlot::clear() {
    std::lock_guard lock(mutex_);
    keys_.clear();
}

void ClickSlots::put(const Click& click) {
    std::lock_guard lock(mutex_);
    if (click.kind == 1) press_ = click;
    else if (click.kind == 2) doublePress_ = click;
}

Click ClickSlots::take() {
    std::lock_guard lock(mutex_);
    if (press_.kind != 0) return std::exchange(press_, Click{});
    return std::exchange(doublePress_, Click{});
}

void ClickSlots::clear() {
    std::lock_guard lock(mutex_);
    press_ = Click{};
    doublePress_ = Click{};
}

}  // namespace tarnwick::sdl
