// The real provider: an SDL2 window serviced on the main thread, with the
// program's logic on a second thread.
#pragma once

#include <functional>

#include "platform/platform.h"

namespace tarnwick {

// Starts `logic` on a second thread at once, with a platform whose window,
// input, clipboard, time and sound are real, initialises SDL video on the
// calling (main) thread meanwhile, and services the window until `logic`
// returns. The logic's openWindow does not wait for the window: while SDL
// starts and the window is created, windowSize() reports the requested size
// and presented frames are kept and painted once the window exists. Data
// files are found beside the executable.
//
// When no display can be opened, prints one line to stderr and returns 1
// once `logic` has ended: it sees windowSize() (0, 0), so it should end at
// its next look at the window size. An exception that ends `logic` is
// reported in one line on stderr and also gives 1; otherwise 0.
int runSdlProgram(const std::function<void(Platform&)>& logic);

}  // namespace tarnwick
