#include "platform/sdl/sdl_program.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <system_error>
#include <thread>

#include "platform/sdl/beeper.h"
#include "platform/sdl/clipboard_watcher.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/window_bridge.h"
#include "platform/sdl/window_service.h"

namespace tarnwick {
namespace {

// The folder that holds the running executable, where the data files are.
std::string executableFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !exe.has_parent_path()) return ".";
    return exe.parent_path().string();
}

void setHints() {
    // Only drivers that show a window to the user: without a display SDL
    // would otherwise fall back to an invisible off-screen window and run on
    // unseen. Wayland is tried only where a compositor could be (its client
    // library complains on stderr otherwise). SDL_VIDEODRIVER still wins.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, std::getenv("XDG_RUNTIME_DIR") != nullptr ? "x11,wayland" : "x11");
    // The window surface is enough for a 2D picture; an accelerated renderer
    // would cost tens of megabytes for nothing.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A viewer is no game: leave the compositor and the screen saver alone.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Closing the window is reported to the logic as a window size of (0, 0);
    // SDL_QUIT then only comes from SIGINT or SIGTERM.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
}

}  // namespace

int runSdlProgram(const std::function<void(Platform&)>& logic) {
    sdl::ClipboardWatcher::prepareThreads();
    setHints();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "tarnwick: cannot open a window on the display: %s\n", SDL_GetError());
        return 1;
    }
    Uint32 wakeEventType = SDL_RegisterEvents(1);
    if (wakeEventType == static_cast<Uint32>(-1)) wakeEventType = SDL_USEREVENT;
    int status = 0;
    {
        sdl::WindowBridge bridge([wakeEventType] {
            SDL_Event event{};
            event.type = wakeEventType;
            SDL_PushEvent(&event);
        });
        sdl::ClipboardWatcher clipboard;
        sdl::Beeper beeper;
        sdl::SdlPlatform platform(bridge, clipboard, beeper);
        platform.setDataFolder(executableFolder());
        sdl::WindowService service(bridge, wakeEventType);

        std::thread logicThread([&] {
            try {
                logic(platform);
            } catch (const std::exception& failure) {
                std::fprintf(stderr, "tarnwick: stopped by an error: %s\n", failure.what());
                status = 1;
            } catch (...) {
                std::fprintf(stderr, "tarnwick: stopped by an unknown error\n");
                status = 1;
            }
            bridge.logicFinished();
        });
        service.run();
        logicThread.join();
    }
    SDL_Quit();
    return status;
}

}  // namespace tarnwick
