#include "platform/sdl/window_service.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tarnwick::sdl {
namespace {

// Longest sleep between looks at the bridge; requests wake us sooner.
constexpr int kWaitMs = 500;

// Around a scaled picture: a neutral grey that neither frames it in a colour
// of its own nor glares.
constexpr Uint8 kSurroundGrey = 72;

// The smallest window: a quarter of the picture's size still shows the game.
constexpr int kMinimumWidth = WindowBridge::kFrameWidth / 4;
constexpr int kMinimumHeight = WindowBridge::kFrameHeight / 4;

}  // namespace

WindowService::WindowService(WindowBridge& bridge, Uint32 wakeEventType)
    : bridge_(bridge), wakeEventType_(wakeEventType) {}

WindowService::~WindowService() {
    close();
    if (staging_ != nullptr) SDL_FreeSurface(staging_);
}

void WindowService::run() {
    for (;;) {
        if (window_ != nullptr) {
            SDL_Event event;
            if (SDL_WaitEventTimeout(&event, kWaitMs) != 0) {
                do {
                    handle(event);
                } while (SDL_PollEvent(&event) != 0);
            }
        } else {
            // Without a window SDL can only wait by polling, so wait here.
            bridge_.waitForRequests(std::chrono::milliseconds(kWaitMs));
            SDL_Event event;
            while (SDL_PollEvent(&event) != 0) handle(event);
        }
        const WindowRequests requests = bridge_.takeRequests();
        serve(requests);
        if (needsPaint_) paint();
        bridge_.requestsServed();
        if (requests.logicFinished) break;
    }
    close();
}

void WindowService::serve(const WindowRequests& requests) {
    if (requests.close) close();
    // A window asked for by a logic that has ended since is not opened.
    if (requests.open && !requests.logicFinished) open(*requests.open);
    if (requests.present) needsPaint_ = true;
    // SDL keeps the text and answers other programs' requests for it from
    // this thread's event handling, until another program takes the
    // clipboard.
    if (requests.clipboard && SDL_SetClipboardText(requests.clipboard->c_str()) != 0) {
        std::fprintf(stderr, "tarnwick: cannot offer the clipboard: %s\n", SDL_GetError());
    }
}

void WindowService::handle(const SDL_Event& event) {
    if (event.type == wakeEventType_) return;  // requests are taken after the events
    switch (event.type) {
        case SDL_QUIT:
            quitAsked_ = true;
            close();
            break;
        case SDL_WINDOWEVENT:
            if (window_ == nullptr || event.window.windowID != windowId_) break;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                close();
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                       event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                needsPaint_ = true;
                notePlacement();
            } else if (event.window.event == SDL_WINDOWEVENT_MOVED) {
                notePlacement();
            }
            break;
        case SDL_KEYDOWN:
            // F11 belongs to the window: full screen on and off.
            if (window_ != nullptr && event.key.keysym.sym == SDLK_F11) {
                if (event.key.repeat == 0) toggleFullScreen();
                return;
            }
            if (window_ != nullptr) {
                bridge_.keys().put(translator_.onKeyDown(event.key.keysym.sym, event.key.keysym.mod));
            }
            return;
        case SDL_TEXTINPUT:
            if (window_ != nullptr) bridge_.keys().put(translator_.onTextInput(event.text.text));
            return;
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
            if (event.drop.file != nullptr) {
                if (window_ != nullptr) bridge_.putDrop(Drop{event.type == SDL_DROPFILE, event.drop.file});
                SDL_free(event.drop.file);
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (window_ != nullptr && event.button.windowID == windowId_ && event.button.button == SDL_BUTTON_LEFT) {
                const int kind = event.button.clicks % 2 == 0 ? 2 : 1;
                // The click lands on the frame pixel drawn under the pointer.
                int width = 0;
                int height = 0;
                SDL_GetWindowSize(window_, &width, &height);
                int x = 0;
                int y = 0;
                if (placeFrame(width, height).toFrame(event.button.x, event.button.y, x, y)) {
                    bridge_.clicks().put(Click{kind, x, y});
                }
            }
            break;
        case SDL_MOUSEWHEEL:
            if (window_ != nullptr && event.wheel.windowID == windowId_ && event.wheel.y != 0) {
                bridge_.addWheel(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y);
            }
            break;
        default:
            break;
    }
    translator_.onOtherEvent();
}

void WindowService::open(const OpenRequest& request) {
    if (window_ != nullptr) {
        if (request.width > 0 && request.height > 0) SDL_SetWindowTitle(window_, request.title.c_str());
        return;
    }
    // The logic was told the window is on its way; a window that will not
    // come reads as closed, so the logic ends at its next look.
    if (quitAsked_ || request.width <= 0 || request.height <= 0) {
        bridge_.setWindowSize(Extent{});
        return;
    }
    // The picture's own size where the screen's work area has room for it;
    // the window can then be resized, maximised and made full screen.
    SDL_Rect workArea{};
    if (SDL_GetDisplayUsableBounds(0, &workArea) != 0) workArea = SDL_Rect{};
    SDL_Point size = firstWindowSize(request.width, request.height, workArea);
    SDL_Point position{0, 0};
    Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE;
    if (const std::optional<WindowPlacement> remembered = bridge_.placement()) {
        if (remembered->size.width > 0 && remembered->size.height > 0) {
            size = {std::max(remembered->size.width, kMinimumWidth), std::max(remembered->size.height, kMinimumHeight)};
        }
        if (remembered->position) position = {remembered->position->x, remembered->position->y};
        if (remembered->fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    window_ = SDL_CreateWindow(request.title.c_str(), position.x, position.y, size.x, size.y, flags);
    if (window_ == nullptr) {
        std::fprintf(stderr, "tarnwick: cannot open the window: %s\n", SDL_GetError());
        bridge_.setWindowSize(Extent{});
        return;
    }
    windowId_ = SDL_GetWindowID(window_);
    SDL_SetWindowMinimumSize(window_, kMinimumWidth, kMinimumHeight);
    notePlacement();
    SDL_StartTextInput();
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    bridge_.setWindowSize(Extent{width, height});
    // Shows the frame the logic presented while the window was being opened.
    needsPaint_ = true;
}

void WindowService::close() {
    if (window_ == nullptr) return;
    notePlacement();
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    windowId_ = 0;
    surfacePrepared_ = false;
    bridge_.setWindowSize(Extent{});
}

void WindowService::paint() {
    needsPaint_ = false;
    if (window_ == nullptr) return;
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr) return;
    if (surface->w != WindowBridge::kFrameWidth || surface->h != WindowBridge::kFrameHeight) {
        if (paintScaled(surface)) SDL_UpdateWindowSurface(window_);
        return;
    }
    const int width = std::min(surface->w, WindowBridge::kFrameWidth);
    const int height = std::min(surface->h, WindowBridge::kFrameHeight);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    // Until the logic presents its first frame the window keeps the black of
    // a new surface.
    const bool painted = bridge_.withFrame([&](const std::uint32_t* pixels) {
        SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_XRGB8888, pixels,
                          WindowBridge::kFrameWidth * static_cast<int>(sizeof(std::uint32_t)),
                          surface->format->format, surface->pixels, surface->pitch);
    });
    if (!painted && !surfacePrepared_) {
        // Nothing to show yet: write the new surface's black now, so that its
        // memory is in place when the first frame comes.
        std::memset(surface->pixels, 0, static_cast<std::size_t>(surface->pitch) * static_cast<std::size_t>(surface->h));
    }
    surfacePrepared_ = true;
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (painted) SDL_UpdateWindowSurface(window_);
}

bool WindowService::paintScaled(SDL_Surface* surface) {
    constexpr int w = WindowBridge::kFrameWidth;
    constexpr int h = WindowBridge::kFrameHeight;
    if (staging_ != nullptr && staging_->format->format != surface->format->format) {
        SDL_FreeSurface(staging_);
        staging_ = nullptr;
    }
    if (staging_ == nullptr) {
        staging_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, surface->format->BitsPerPixel, surface->format->format);
        if (staging_ == nullptr) return false;
    }
    const bool painted = bridge_.withFrame([&](const std::uint32_t* pixels) {
        SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_XRGB8888, pixels, w * static_cast<int>(sizeof(std::uint32_t)),
                          staging_->format->format, staging_->pixels, staging_->pitch);
    });
    if (!painted) return false;
    const FramePlacement placement = placeFrame(surface->w, surface->h);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, kSurroundGrey, kSurroundGrey, kSurroundGrey));
    SDL_Rect area = placement.area;
    // Whole multiples stay crisp, every pixel a square of equal pixels;
    // between them the picture is smoothed rather than unevenly blocky.
    const bool whole = placement.scale == std::floor(placement.scale);
    if (whole || SDL_SoftStretchLinear(staging_, nullptr, surface, &area) != 0) {
        SDL_SoftStretch(staging_, nullptr, surface, &area);
    }
    return true;
}

void WindowService::toggleFullScreen() {
    const bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    needsPaint_ = true;
    notePlacement();
}

void WindowService::notePlacement() {
    if (window_ == nullptr) return;
    WindowPlacement now = bridge_.placement().value_or(WindowPlacement{});
    now.fullScreen = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    if (!now.fullScreen) {
        int x = 0;
        int y = 0;
        SDL_GetWindowPosition(window_, &x, &y);
        SDL_GetWindowSize(window_, &now.size.width, &now.size.height);
        now.position = Point{x, y};
    }
    bridge_.setPlacement(now);
}

}  // namespace tarnwick::sdl
