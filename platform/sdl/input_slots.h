// One-slot holders that carry keys and clicks from the window thread to the
// program's logic thread. The logic polls; a new input that arrives before the
// previous one was read replaces it.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace tarnwick::sdl {

class KeySlot {
  public:
    // An empty text is no key and leaves a pending one alone.
    void put(std::string_view key);
    // The pending key, or the empty text; the slot is empty afterwards.
    std::string take();
    void clear();

  private:
    std::mutex mutex_;
    std::string key_;
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
