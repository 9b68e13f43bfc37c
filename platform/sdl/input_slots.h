// Holders that carry keys and clicks from the window thread to the program's
// logic thread, which polls them. Typed keys wait in order, so that text
// typed quickly arrives whole; a cursor or function key (held down, it
// repeats) replaces one of its kind still unread at the end, so that a held
// arrow stops when it is let go instead of running on through a backlog.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace tarnwick::sdl {

class KeySlot {
  public:
    // An empty text is no key. Past kMaxPending unread keys, more are dropped.
    void put(std::string_view key);
    // The oldest pending key, or the empty text.
    std::string take();
    void clear();

    static constexpr std::size_t kMaxPending = 64;

  private:
    std::mutex mutex_;
    std::deque<std::string> keys_;
};

// A press (kind 1) and the second press of a double click (kind 2) wait in
// slots of their own, so a quick double click is not lost to a slow reader:
// when both are pending, the press comes first and the double-click press at
// the next take.
class ClickSlots {
  public:
    // Kind 1 or 2; any other kind is ignored.
    void put(const Click& click);
    // The next pending click, or kind 0.
    Click take();
    void clear();

  private:
    std::mutex mutex_;
    Click press_;
    Click doublePress_;
};

}  // namespace tarnwick::sdl
