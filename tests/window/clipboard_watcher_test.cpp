// The clipboard watcher against a real X server (run under Xvfb), with xclip
// and a hung owner of our own as the clipboard's owners.
// gtest goes before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
// clang-format on
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/clipboard_watcher.h"

extern char** environ;

namespace tarnwick::sdl {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// What takes milliseconds on an idle machine can take seconds on a loaded
// two-core one running two of these tests at a time: waits allow 15 s.
constexpr std::chrono::milliseconds kPatience = 15000ms;

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = kPatience) {
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// The test's own X connection, to see who owns the clipboard.
class XConnection {
  public:
    XConnection() : display_(XOpenDisplay(nullptr)) {}
    ~XConnection() {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    Display* display() const { return display_; }
    Window clipboardOwner() const {
        return XGetSelectionOwner(display_, XInternAtom(display_, "CLIPBOARD", False));
    }

  private:
    Display* display_;
};

// xclip owning the clipboard with a text, until destroyed.
class XclipOwner {
  public:
    explicit XclipOwner(const std::string& text, const std::string& target = "UTF8_STRING") {
        const Window before = x_.clipboardOwner();
        int input[2];
        if (pipe(input) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_addclose(&actions, input[1]);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::vector<std::string> args = {"xclip", "-selection", "clipboard", "-quiet", "-t", target};
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, "xclip", &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        for (std::size_t done = 0; pid_ > 0 && done < text.size();) {
            const ssize_t n = write(input[1], text.data() + done, text.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        close(input[1]);
        owning_ = pid_ > 0 && eventually([&] {
            const Window owner = x_.clipboardOwner();
            return owner != None && owner != before;
        });
    }
    ~XclipOwner() { stop(); }
    XclipOwner(const XclipOwner&) = delete;
    XclipOwner& operator=(const XclipOwner&) = delete;

    bool owning() const { return owning_; }
    bool running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }
    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    XConnection x_;
    pid_t pid_ = -1;
    bool owning_ = false;
};

// An owner that takes the clipboard and never answers a request.
class HungOwner {
  public:
    HungOwner() {
        Display* d = x_.display();
        window_ = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(d, XInternAtom(d, "CLIPBOARD", False), window_, CurrentTime);
        XSync(d, False);
    }
    bool owning() const { return x_.clipboardOwner() == window_; }
    // True once a reader has asked for the clipboard (the request is taken
    // and left unanswered).
    bool asked() {
        XEvent event;
        return XCheckTypedWindowEvent(x_.display(), window_, SelectionRequest, &event) == True;
    }

  private:
    XConnection x_;
    Window window_ = None;
};

class ClipboardWatcherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(x_.display(), nullptr) << "no X display; run under Xvfb";
        // Start every test with an unowned clipboard.
        Display* d = x_.display();
        XSetSelectionOwner(d, XInternAtom(d, "CLIPBOARD", False), None, CurrentTime);
        XSync(d, False);
    }

    static bool showsText(const ClipboardWatcher& watcher, const std::string& text,
                          std::chrono::milliseconds limit = kPatience) {
        return eventually([&] { return watcher.text() == text; }, limit);
    }

    XConnection x_;
};

TEST_F(ClipboardWatcherTest, ReadsAtStartAndFollowsEveryNewOwner) {
    XclipOwner first("first text");
    ASSERT_TRUE(first.owning());
    ClipboardWatcher watcher;
    EXPECT_TRUE(showsText(watcher, "first text"));

    const std::string utf8 = "h5 \xE2\x80\x93 caf\xC3\xA9";
    XclipOwner second(utf8);
    ASSERT_TRUE(second.owning());
    const auto changed = Clock::now();
    EXPECT_TRUE(showsText(watcher, utf8));
    const auto latency = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - changed);
    // About 10 ms on an idle machine; the limit leaves room for a loaded
    // one and still fails a watcher that polls twice a second or less.
    EXPECT_LT(latency.count(), 500) << "a change should be seen within about 10 ms";

    // The owner goes away: nobody owns the clipboard, it reads empty.
    second.stop();
    EXPECT_TRUE(showsText(watcher, ""));
}

TEST_F(ClipboardWatcherTest, FallsBackToStringForOwnersWithoutUtf8) {
    XclipOwner owner("latin \xE9", "STRING");
    ASSERT_TRUE(owner.owning());
    ClipboardWatcher watcher;
    EXPECT_TRUE(showsText(watcher, "latin \xE9"));
}

TEST_F(ClipboardWatcherTest, LeavesTheClipboardWithItsOwner) {
    XclipOwner owner("keep me");
    ASSERT_TRUE(owner.owning());
    const Window ownerWindow = x_.clipboardOwner();
    {
        ClipboardWatcher watcher;
        EXPECT_TRUE(showsText(watcher, "keep me"));
    }
    EXPECT_EQ(x_.clipboardOwner(), ownerWindow);
    EXPECT_TRUE(owner.running());
}

TEST_F(ClipboardWatcherTest, HungOwnerNeitherBlocksReadersNorStopsLaterReads) {
    ClipboardWatcher watcher({}, ClipboardLimits{1000ms, 1u << 20});
    XclipOwner before("before");
    ASSERT_TRUE(before.owning());
    ASSERT_TRUE(showsText(watcher, "before"));

    HungOwner hung;
    ASSERT_TRUE(hung.owning());
    const std::uint64_t reads = watcher.readCount();
    ASSERT_TRUE(eventually([&] { return hung.asked(); })) << "the watcher did not ask the new owner";
    // While the watcher waits for the hung owner, reads answer at once: well
    // within the second it would take them to wait for the answer time-out,
    // even on a loaded machine.
    for (int i = 0; i < 20; ++i) {
        const auto start = Clock::now();
        (void)watcher.text();
        EXPECT_LT(Clock::now() - start, 250ms);
        std::this_thread::sleep_for(5ms);
    }
    // It gives up after the answer time-out: the clipboard reads empty.
    EXPECT_TRUE(eventually([&] { return watcher.readCount() > reads; }));
    EXPECT_EQ(watcher.text(), "");

    XclipOwner after("after");
    ASSERT_TRUE(after.owning());
    EXPECT_TRUE(showsText(watcher, "after"));
}

TEST_F(ClipboardWatcherTest, StopsPromptlyWhileWaitingForAHungOwner) {
    HungOwner hung;
    ASSERT_TRUE(hung.owning());
    Clock::time_point start;
    {
        ClipboardWatcher watcher({}, ClipboardLimits{10000ms, 1u << 20});
        // The start-up read is waiting for the owner's answer.
        ASSERT_TRUE(eventually([&] { return hung.asked(); })) << "the watcher did not ask the owner";
        start = Clock::now();
    }
    // Well within a second on an idle machine; the limit leaves room for a
    // loaded one, far short of the 10 s answer time-out.
    EXPECT_LT(Clock::now() - start, 2500ms);
}

TEST_F(ClipboardWatcherTest, LargeTextsArriveInPiecesUpToTheLimit) {
    // xclip sends texts above about 1 MB in pieces (INCR).
    std::string large(std::size_t{10} << 20, 'x');
    for (std::size_t i = 0; i < large.size(); i += 1000) large[i] = static_cast<char>('a' + (i / 1000) % 26);
    XclipOwner owner(large);
    ASSERT_TRUE(owner.owning());
    // Each piece is one answer of the owner: on a loaded machine xclip may
    // wait for a processor longer than the program's 500 ms.
    const ClipboardLimits roomyLimits{5000ms, 16u << 20};

    {
        ClipboardWatcher roomy({}, roomyLimits);
        EXPECT_TRUE(showsText(roomy, large)) << "got " << roomy.text().size() << " bytes";
    }
    EXPECT_TRUE(owner.running());
    ClipboardWatcher small({}, ClipboardLimits{5000ms, 1u << 20});
    EXPECT_TRUE(eventually([&] { return small.readCount() > 0; }));
    EXPECT_EQ(small.text(), "");
    // The text over the limit was still taken to its end: the owner is not
    // left waiting on the reader that is still there, and serves the next
    // reader in full.
    ClipboardWatcher later({}, roomyLimits);
    EXPECT_TRUE(showsText(later, large)) << "got " << later.text().size() << " bytes";
}

TEST(ClipboardWatcherWithoutDisplay, ReadsEmpty) {
    ClipboardWatcher watcher(":4095");
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(watcher.text(), "");
    EXPECT_EQ(watcher.readCount(), 0u);
}

}  // namespace
}  // namespace tarnwick::sdl
