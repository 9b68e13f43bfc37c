// The window thread's half of the provider: owns the SDL window, pumps its
// events into the key and click holders and paints presented frames.
//
// Runs on the thread that initialised SDL video (the main thread). It sleeps
// in SDL_WaitEventTimeout while a window is open and on the bridge while
// none is, so an idle program costs no processor time. Expose events and
// presented frames that arrive together are painted once.
#pragma once

#include <SDL.h>

#include "platform/sdl/frame_placement.h"
#include "platform/sdl/key_mapping.h"
#include "platform/sdl/window_bridge.h"

namespace tarnwick::sdl {

class WindowService {
  public:
    // wakeEventType: the SDL user event that the bridge posts to wake us.
    WindowService(WindowBridge& bridge, Uint32 wakeEventType);
    ~WindowService();
    WindowService(const WindowService&) = delete;
    WindowService& operator=(const WindowService&) = delete;

    // Serves the window until the logic thread has finished.
    void run();

  private:
    void serve(const WindowRequests& requests);
    void handle(const SDL_Event& event);
    void open(const OpenRequest& request);
    void close();
    void paint();
    // Paints the frame scaled to fit a window of another size.
    bool paintScaled(SDL_Surface* surface);
    void toggleFullScreen();
    // Tells the bridge where the window stands now; its size and place only
    // while it is not full screen, so that leaving full screen finds them.
    void notePlacement();

    WindowBridge& bridge_;
    Uint32 wakeEventType_;
    SDL_Window* window_ = nullptr;
    Uint32 windowId_ = 0;
    KeyTranslator translator_;
    // Set by SDL_QUIT (SIGINT or SIGTERM): the window goes and stays gone.
    bool quitAsked_ = false;
    // Set by expose events, new frames and a new window; cleared by paint.
    bool needsPaint_ = false;
    // The window's surface memory has been written once.
    bool surfacePrepared_ = false;
    // The frame in the window surface's pixel format, for scaling; made when
    // the window first has another size than the frame.
    SDL_Surface* staging_ = nullptr;
};

}  // namespace tarnwick::sdl
