// The logic thread's half of the provider: the Platform the program sees.
// Window requests and frames go through the bridge to the window thread;
// keys and clicks come back through its holders; the clipboard is the
// watcher's latest copy; beeps go to the beeper's thread.
#pragma once

#include "platform/platform.h"
#include "platform/sdl/beeper.h"
#include "platform/sdl/clipboard_watcher.h"
#include "platform/sdl/window_bridge.h"

namespace tarnwick::sdl {

class SdlPlatform final : public Platform {
  public:
    SdlPlatform(WindowBridge& bridge, const ClipboardWatcher& clipboard, Beeper& beeper)
        : bridge_(bridge), clipboard_(clipboard), beeper_(beeper) {}

    void openWindow(std::string_view title, int width, int height) override;
    void closeWindow() override;
    Extent windowSize() override;
    void present() override;
    void setWindowPlacement(const WindowPlacement& placement) override { bridge_.setPlacement(placement); }
    std::optional<WindowPlacement> windowPlacement() override { return bridge_.placement(); }

    std::string pollKey() override;
    Click pollMouse() override;
    int pollWheel() override;
    std::string readClipboardText() override;
    void writeClipboardText(std::string text) override;
    std::optional<Drop> pollDrop() override;

    void sleepMs(int milliseconds) override;
    std::int64_t nowMs() const override;
    void beep() override;

  private:
    WindowBridge& bridge_;
    const ClipboardWatcher& clipboard_;
    Beeper& beeper_;
};

}  // namespace tarnwick::sdl
