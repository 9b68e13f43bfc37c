#include "platform/sdl/input_slots.h"

#include <utility>

namespace tarnwick::sdl {

void KeySlot::put(std::string_view key) {
    if (key.empty()) return;
    std::lock_guard lock(mutex_);
    key_.assign(key);
}

std::string KeySlot::take() {
    std::lock_guard lock(mutex_);
    return std::exchange(key_, std::string{});
}

void KeySlot::clear() {
    std::lock_guard lock(mutex_);
    key_.clear();
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
