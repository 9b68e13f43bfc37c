// Where the program's fixed-size frame goes in a window of any size.
#pragma once

#include <SDL.h>

#include "platform/sdl/window_bridge.h"

namespace tarnwick::sdl {

// Where the frame goes in a window of some size: scaled by one factor to fit,
// its 1024 : 741 shape kept, centred.
struct FramePlacement {
    double scale = 1;
    SDL_Rect area{0, 0, WindowBridge::kFrameWidth, WindowBridge::kFrameHeight};
    // The frame's pixel under a window point; nothing outside the picture.
    bool toFrame(int x, int y, int& frameX, int& frameY) const;
};
FramePlacement placeFrame(int windowWidth, int windowHeight);
// The window's first size: the frame's where it fits the work area, else the
// largest size of its shape that fits.
SDL_Point firstWindowSize(int frameWidth, int frameHeight, const SDL_Rect& workArea);

}  // namespace tarnwick::sdl
