// A fresh program over the headless platform, for screen-level tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/context.h"
#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "printers.h"

namespace tarnwick::testing {

// The folder of the running test executable, where the build puts the
// board pictures, stones and documentation beside the programs.
inline std::string executableFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

class ScreenTest : public ::testing::Test {
  protected:
    ScreenTest() : app(platform) { platform.setDataFolder(executableFolder()); }

    void start() { startUp(app); }
    Colour pixel(int x, int y) const { return platform.getPixel(x, y); }
    std::vector<std::uint32_t> screen() const { return platform.canvas().pixels(); }

    // Input at the present virtual time, each handled by one poll.
    void paste(const std::string& text) {
        platform.setClipboard(text, platform.nowMs());
        pollOnce(app);
    }
    void key(const std::string& text) {
        platform.pressKey(text, platform.nowMs());
        pollOnce(app);
    }
    void extendedKey(char scanLetter) {
        platform.pressExtendedKey(scanLetter, platform.nowMs());
        pollOnce(app);
    }
    void clickAt(int x, int y) {
        platform.click(x, y, platform.nowMs());
        pollOnce(app);
    }

    // Whether `text` stands with its top-left at (x, y), in `font`, black on
    // `ground`: drawn there again, it changes no pixel.
    bool showsText(int x, int y, std::string_view text, FontId font, Colour ground) {
        const std::vector<std::uint32_t> before = screen();
        platform.setFont(font);
        platform.setColors(colours::kBlack, ground);
        platform.setPos(x, y);
        platform.drawText(text);
        return screen() == before;
    }

    // Runs polls until the program would end (Escape on the Main page or the
    // window closed) or `maxPolls` have run.
    int pollUntilEnd(int maxPolls = 100) {
        int polls = 0;
        do {
            pollOnce(app);
            ++polls;
        } while (app.shell.LastKey != app.shell.EscapeKey && app.shell.CanvasWidth != 0 && polls < maxPolls);
        return polls;
    }

    HeadlessPlatform platform;
    App app;
};

}  // namespace tarnwick::testing
