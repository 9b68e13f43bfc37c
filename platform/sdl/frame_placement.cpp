#include "platform/sdl/frame_placement.h"

#include <algorithm>
#include <cmath>

namespace tarnwick::sdl {

FramePlacement placeFrame(int windowWidth, int windowHeight) {
    FramePlacement placement;
    constexpr int w = WindowBridge::kFrameWidth;
    constexpr int h = WindowBridge::kFrameHeight;
    if (windowWidth <= 0 || windowHeight <= 0) return placement;
    placement.scale = std::min(static_cast<double>(windowWidth) / w, static_cast<double>(windowHeight) / h);
    const int width = std::min(windowWidth, static_cast<int>(std::lround(w * placement.scale)));
    const int height = std::min(windowHeight, static_cast<int>(std::lround(h * placement.scale)));
    placement.area = SDL_Rect{(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
    return placement;
}

bool FramePlacement::toFrame(int x, int y, int& frameX, int& frameY) const {
    if (x < area.x || y < area.y || x >= area.x + area.w || y >= area.y + area.h) return false;
    // The frame pixel whose scaled square holds the point.
    frameX = std::min(WindowBridge::kFrameWidth - 1,
                      static_cast<int>(static_cast<double>(x - area.x) * WindowBridge::kFrameWidth / area.w));
    frameY = std::min(WindowBridge::kFrameHeight - 1,
                      static_cast<int>(static_cast<double>(y - area.y) * WindowBridge::kFrameHeight / area.h));
    return true;
}

SDL_Point firstWindowSize(int frameWidth, int frameHeight, const SDL_Rect& workArea) {
    if (workArea.w <= 0 || workArea.h <= 0 || (frameWidth <= workArea.w && frameHeight <= workArea.h)) {
        return SDL_Point{frameWidth, frameHeight};
    }
    const double scale = std::min(static_cast<double>(workArea.w) / frameWidth, static_cast<double>(workArea.h) / frameHeight);
    return SDL_Point{std::max(1, static_cast<int>(frameWidth * scale)), std::max(1, static_cast<int>(frameHeight * scale))};
}

}  // namespace tarnwick::sdl
