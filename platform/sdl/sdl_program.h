// The real provider: an SDL2 window serviced on the main thread, with the
// program's logic on a second thread.
#pragma once

#include <functional>

#include "platform/platform.h"

namespace tarnwick {

// Initialises SDL video on the calling (main) thread, starts `logic` on a
// second thread with a platform whose window, input, clipboard, time and sound
// are real, and services the window until `logic` returns. Data files are
// found beside the executable. When no display can be opened, prints one line
// to stderr and returns 1 without running `logic`. An exception that ends
// `logic` is reported in one line on stderr and also gives 1; otherwise 0.
int runSdlProgram(const std::function<void(Platform&)>& logic);

}  // namespace tarnwick
