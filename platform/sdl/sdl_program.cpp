#include "platform/sdl/sdl_program.h"

#include <SDL.h>
#include <locale.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <future>
#include <string>
#include <system_error>
#include <thread>

#include "platform/fonts.h"
#include "platform/sdl/beeper.h"
#include "platform/sdl/clipboard_watcher.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/window_bridge.h"
#include "platform/sdl/window_service.h"

namespace tarnwick {
namespace {

// The folder that holds the data files: beside the running executable (the
// build folder), else ../share/tarnwick from it (an installed program).
std::string findDataFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !exe.has_parent_path()) return ".";
    const std::filesystem::path beside = exe.parent_path();
    // The user guide marks the folder: every build and install has it.
    constexpr const char* kMarker = "tk-documentation.txt";
    const std::filesystem::path installed = beside.parent_path() / "share" / "tarnwick";
    if (!std::filesystem::exists(beside / kMarker, error) && std::filesystem::exists(installed / kMarker, error)) {
        return installed.string();
    }
    return beside.string();
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

// SDL switches the process's locale to the user's for a moment while it
// starts (to open the X input method). A thread that runs meanwhile keeps,
// through this, the C locale the program otherwise has, so that nothing it
// parses or formats changes with the switch.
class ThreadCLocale {
  public:
    ThreadCLocale() : locale_(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))) {
        if (locale_ != static_cast<locale_t>(nullptr)) previous_ = uselocale(locale_);
    }
    ~ThreadCLocale() {
        if (locale_ == static_cast<locale_t>(nullptr)) return;
        uselocale(previous_);
        freelocale(locale_);
    }
    ThreadCLocale(const ThreadCLocale&) = delete;
    ThreadCLocale& operator=(const ThreadCLocale&) = delete;

  private:
    locale_t locale_;
    locale_t previous_ = LC_GLOBAL_LOCALE;
};

}  // namespace

int runSdlProgram(const std::function<void(Platform&)>& logic) {
    sdl::ClipboardWatcher::prepareXlib();
    setHints();
    // Registering an event type needs no initialised SDL; posting one does,
    // so wake-ups wait for videoReady. Nothing is lost meanwhile: the window
    // thread looks at the bridge before it first waits for events.
    Uint32 wakeEventType = SDL_RegisterEvents(1);
    if (wakeEventType == static_cast<Uint32>(-1)) wakeEventType = SDL_USEREVENT;
    std::atomic<bool> videoReady{false};
    bool logicFailed = false;  // written by the logic thread only
    bool videoFailed = false;
    {
        sdl::WindowBridge bridge([wakeEventType, &videoReady] {
            if (!videoReady.load(std::memory_order_acquire)) return;
            SDL_Event event{};
            event.type = wakeEventType;
            SDL_PushEvent(&event);
        });
        sdl::ClipboardWatcher clipboard;
        sdl::Beeper beeper;
        const std::string dataFolder = findDataFolder();

        // Reading fontconfig's configuration is the largest part of making
        // the fonts; it runs beside the logic's own first steps.
        std::future<void> fontConfiguration = std::async(std::launch::async, [] {
            const ThreadCLocale cLocale;
            FontLibrary::loadConfiguration();
        });
        // The logic starts at once and makes its fonts, pictures and first
        // page while this thread starts SDL video and opens the window. It
        // uses no SDL video function: its frames and window requests go
        // through the bridge.
        std::thread logicThread([&] {
            const ThreadCLocale cLocale;
            try {
                sdl::SdlPlatform platform(bridge, clipboard, beeper);
                platform.setDataFolder(dataFolder);
                fontConfiguration.wait();
                logic(platform);
            } catch (const std::exception& failure) {
                std::fprintf(stderr, "tarnwick: stopped by an error: %s\n", failure.what());
                logicFailed = true;
            } catch (...) {
                std::fprintf(stderr, "tarnwick: stopped by an unknown error\n");
                logicFailed = true;
            }
            bridge.logicFinished();
        });

        if (SDL_Init(SDL_INIT_VIDEO) == 0) {
            videoReady.store(true, std::memory_order_release);
            beeper.enable();
            sdl::WindowService service(bridge, wakeEventType);
            service.run();
        } else {
            std::fprintf(stderr, "tarnwick: cannot open a window on the display: %s\n", SDL_GetError());
            videoFailed = true;
            // The logic sees no window (size 0 x 0) and ends at its next look.
            bridge.windowSystemUnavailable();
        }
        logicThread.join();
    }
    SDL_Quit();
    return logicFailed || videoFailed ? 1 : 0;
}

}  // namespace tarnwick
