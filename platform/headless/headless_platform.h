// A scripted provider for tests, benchmarks and fuzzers: the same canvas and
// fonts as the window, with input supplied by the test, a virtual clock that
// advances when the program sleeps, and a record of beeps and presents.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace tarnwick {

class HeadlessPlatform : public Platform {
  public:
    HeadlessPlatform();

    // Window
    void openWindow(std::string_view title, int width, int height) override;
    void closeWindow() override;
    Extent windowSize() override;
    void present() override;
    // Keeps what it is told; a test moves the "window" by telling it again.
    void setWindowPlacement(const WindowPlacement& placement) override { placement_ = placement; }
    std::optional<WindowPlacement> windowPlacement() override { return placement_; }

    // Input: each poll takes the next scripted item whose time has come.
    std::string pollKey() override;
    Click pollMouse() override;
    int pollWheel() override;
    std::string readClipboardText() override;
    void writeClipboardText(std::string text) override;
    std::optional<Drop> pollDrop() override;

    // The user's files: a documents folder and a clock of the test's choice;
    // problems are kept for the test to read instead of printed.
    std::string documentsFolder() override { return documentsFolder_; }
    std::string stateFolder() override { return stateFolder_; }
    std::string configFolder() override { return configFolder_; }
    std::string timeStampText() override { return "20260102-030405"; }
    void reportProblem(std::string_view line) override { problems_.emplace_back(line); }

    void sleepMs(int milliseconds) override;
    void beep() override {
        if (soundOn()) ++beeps_;
    }

    // Scripting -------------------------------------------------------------
    void pressKey(std::string keyText, std::int64_t atMs = 0);
    void pressExtendedKey(char scanLetter, std::int64_t atMs = 0) { pressKey(keys::extended(scanLetter), atMs); }
    void click(int x, int y, std::int64_t atMs = 0, int kind = 1);
    // The wheel turned `steps` (positive: up) at virtual time `atMs`.
    void turnWheel(int steps, std::int64_t atMs = 0);
    // The clipboard holds `text` from virtual time `atMs` on.
    void setClipboard(std::string text, std::int64_t atMs = 0);
    // A file path or a text dropped on the window at virtual time `atMs`.
    void drop(Drop dropped, std::int64_t atMs = 0);
    void setDocumentsFolder(std::string folder) { documentsFolder_ = std::move(folder); }
    void setStateFolder(std::string folder) { stateFolder_ = std::move(folder); }
    void setConfigFolder(std::string folder) { configFolder_ = std::move(folder); }
    // Marks the window as closed by its close box, as the user would: now,
    // or once the virtual clock reaches `atMs`.
    void closeByUser() { closed_ = true; }
    void closeByUser(std::int64_t atMs) { closeAtMs_ = atMs; }
    // After this much virtual time with nothing scripted left, the window
    // reports itself closed, so a test that waits for input it never
    // scripted ends instead of hanging.
    void setIdleLimitMs(std::int64_t ms) { idleLimitMs_ = ms; }
    // Connections to `host` (any port) go to 127.0.0.1:`port` instead.
    void redirectHost(std::string host, int port) { redirects_[std::move(host)] = port; }

    // Observation ---------------------------------------------------------------
    // The virtual clock: it advances only as the program sleeps.
    std::int64_t nowMs() const override { return nowMs_; }
    int beepCount() const { return beeps_; }  // beeps heard: none while the sound is off
    int presentCount() const { return presents_; }
    bool windowOpen() const { return opened_ && !closed_; }
    const std::string& title() const { return title_; }
    const std::vector<std::string>& problems() const { return problems_; }
    // Texts the program put on the clipboard, in order.
    const std::vector<std::string>& clipboardWrites() const { return clipboardWrites_; }
    bool inputPending() const { return !keys_.empty() || !clicks_.empty() || !drops_.empty() || !wheel_.empty(); }
    // The canvas as it was at the latest present().
    const std::vector<std::uint32_t>& presentedPixels() const { return presented_; }
    // Called at every present(), once its frame is kept, so that a test can
    // look at each frame of a sequence the program shows without a poll.
    void onPresent(std::function<void()> observer) { presentObserver_ = std::move(observer); }

  protected:
    std::optional<Endpoint> routeFor(std::string_view host) override;
    void beginNetworkWait() override { networkWaitStartMs_ = nowMs_; }
    // The virtual clock follows a network wait, which takes real time, so
    // that a window closed at a virtual time ends the wait then.
    bool keepNetworkWait(std::int64_t elapsedMs) override;

    template <typename T>
    struct Timed {
        std::int64_t atMs;
        T value;
    };

  private:

    bool scriptExhausted() const;

    std::int64_t nowMs_ = 0;
    std::int64_t networkWaitStartMs_ = 0;  // virtual time the current network wait began
    std::int64_t lastInputMs_ = 0;
    std::int64_t idleLimitMs_ = 600'000;
    std::int64_t closeAtMs_ = -1;
    std::deque<Timed<std::string>> keys_;
    std::deque<Timed<Click>> clicks_;
    std::deque<Timed<int>> wheel_;
    std::deque<Timed<std::string>> clipboardChanges_;
    std::deque<Timed<Drop>> drops_;
    std::string documentsFolder_ = ".";
    std::string stateFolder_;  // none: nothing is kept unless a test names a folder
    std::string configFolder_;  // none: no settings are read or written unless a test names a folder
    std::vector<std::string> problems_;
    std::vector<std::string> clipboardWrites_;
    std::string clipboard_;
    std::map<std::string, int> redirects_;
    std::vector<std::uint32_t> presented_;
    std::function<void()> presentObserver_;
    std::string title_;
    std::optional<WindowPlacement> placement_;
    int beeps_ = 0;
    int presents_ = 0;
    bool opened_ = false;
    bool closed_ = false;
};

}  // namespace tarnwick
