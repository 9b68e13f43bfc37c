// The main loop: how one poll waits, dispatches and ends the program.
#include <gtest/gtest.h>

#include "screen_fixture.h"

namespace tarnwick {
namespace {

const std::string kEscape(1, keys::kEscape);

class MainLoopTest : public testing::ScreenTest {
  protected:
    void SetUp() override {
        platform.setIdleLimitMs(2000);
        start();
    }
};

TEST_F(MainLoopTest, EscapeOnTheMainPageEndsTheProgram) {
    platform.pressKey("x");
    platform.pressKey(kEscape);
    EXPECT_EQ(pollUntilEnd(), 2);
    EXPECT_EQ(app.shell.LastKey, kEscape);
    closeGraphicWindow(app);
    EXPECT_FALSE(platform.windowOpen());
}

TEST_F(MainLoopTest, EscapeOnAnotherPageReturnsToTheMainPage) {
    app.shell.ActiveTab = OptionsTab;
    platform.pressKey(kEscape);
    pollOnce(app);
    EXPECT_EQ(app.shell.ActiveTab, MainTab);
    EXPECT_TRUE(app.shell.LastKey.empty()) << "the program goes on";
}

TEST_F(MainLoopTest, ClosingTheWindowEndsWithinOnePoll) {
    platform.closeByUser();
    const int presents = platform.presentCount();
    EXPECT_EQ(pollUntilEnd(), 1);
    EXPECT_EQ(app.shell.CanvasWidth, 0);
    EXPECT_EQ(platform.nowMs(), 10);
    EXPECT_EQ(platform.presentCount(), presents);
    closeGraphicWindow(app);  // nothing left to close
}

TEST_F(MainLoopTest, EventsAreSeenWithinTenMilliseconds) {
    pollOnce(app);  // the clipboard of launch
    platform.pressKey("q", 1234);
    pollOnce(app);
    // Read by the first 10 ms step after it arrived; the poll returns after
    // that step's sleep.
    EXPECT_GE(platform.nowMs(), 1234);
    EXPECT_LE(platform.nowMs(), 1234 + 10 + 10);
}

TEST_F(MainLoopTest, EveryHandledKeyOrClickIsPresented) {
    int presents = platform.presentCount();
    pollOnce(app);  // the clipboard of launch, shown at once
    EXPECT_EQ(platform.presentCount(), presents + 1);
    presents = platform.presentCount();
    platform.pressKey("q");
    pollOnce(app);
    EXPECT_EQ(platform.presentCount(), presents + 1);
    // A double click: the press is handled, the second press only presents.
    platform.click(500, 720, 0, 1);
    platform.click(500, 720, 0, 2);
    pollOnce(app);
    pollOnce(app);
    EXPECT_EQ(platform.presentCount(), presents + 3);
    EXPECT_EQ(app.shell.ClickKind, 0);
    EXPECT_TRUE(app.shell.LastKey.empty());
    EXPECT_TRUE(app.shell.ExtendedKey.empty());
}

TEST_F(MainLoopTest, TheClipboardAtLaunchIsOfferedAtTheFirstPoll) {
    HeadlessPlatform other;
    other.setDataFolder(testing::executableFolder());
    other.setClipboard("1.D4 2.E5");
    App fresh(other);
    startUp(fresh);
    EXPECT_EQ(fresh.shell.ClipboardText, "1.D4 2.E5");
    pollOnce(fresh);
    EXPECT_EQ(fresh.shell.SeenClipboardText, "1.D4 2.E5");
    EXPECT_EQ(other.nowMs(), 10);
}

TEST_F(MainLoopTest, TextHavannahOnTheClipboardAtLaunchIsNotOffered) {
    HeadlessPlatform other;
    other.setDataFolder(testing::executableFolder());
    other.setIdleLimitMs(100);
    other.setClipboard("Havannah");
    App fresh(other);
    startUp(fresh);
    pollOnce(fresh);  // waits until the idle limit closes the window
    EXPECT_EQ(fresh.shell.CanvasWidth, 0);
    EXPECT_GT(other.nowMs(), 100);
}

TEST_F(MainLoopTest, AnEmptyClipboardAtLaunchIsOfferedToo) {
    pollOnce(app);
    EXPECT_EQ(app.shell.SeenClipboardText, "");
    EXPECT_EQ(platform.nowMs(), 10);
}

TEST_F(MainLoopTest, SameClipboardTextIsNotOfferedTwice) {
    pollOnce(app);  // the empty clipboard of launch
    platform.setClipboard("1.D4", 100);
    pollOnce(app);
    EXPECT_EQ(app.shell.SeenClipboardText, "1.D4");
    const std::int64_t seen = platform.nowMs();
    EXPECT_LE(seen, 110);
    platform.setClipboard("1.D4", 200);  // copied again: no change
    platform.pressKey("q", 500);
    pollOnce(app);
    EXPECT_GE(platform.nowMs(), 500) << "the wait ended only for the key";
}

TEST_F(MainLoopTest, AClipboardChangeOnAnotherPageWaitsForTheMainPage) {
    pollOnce(app);
    app.shell.ActiveTab = LoadGameTab;
    platform.setClipboard("1.D4", 50);
    pollOnce(app);
    EXPECT_EQ(app.shell.SeenClipboardText, "") << "not imported on another page";
    pollOnce(app);  // every wait ends at once while the change is pending
    EXPECT_LE(platform.nowMs(), 80);
    platform.pressKey(kEscape);
    pollOnce(app);  // back to the Main page
    EXPECT_EQ(app.shell.ActiveTab, MainTab);
    EXPECT_EQ(app.shell.SeenClipboardText, "") << "imported at the first poll after the return";
    pollOnce(app);
    EXPECT_EQ(app.shell.SeenClipboardText, "1.D4");
}

TEST_F(MainLoopTest, TheC1ButtonAnswersToClicks) {
    platform.click(40, 580);
    pollOnce(app);
    EXPECT_TRUE(app.board.LabelsShown);
    EXPECT_EQ(platform.presentedPixels()[582 * Canvas::kWidth + 43], colours::kHighlightButton.packed());
    platform.click(24, 561);  // inclusive corner of its click area
    pollOnce(app);
    EXPECT_FALSE(app.board.LabelsShown);
}

TEST_F(MainLoopTest, TheSizeButtonSwitchesBetweenTheBases) {
    app.game.Moves.set(1, "1.D4");
    platform.click(41, 640);
    pollOnce(app);
    EXPECT_EQ(app.board.BoardSize, 10);
    EXPECT_EQ(app.board.GridSize, 19);
    EXPECT_EQ(app.game.moveCount(), 0);
    EXPECT_TRUE(app.game.Moves[1].empty());
    EXPECT_EQ(app.game.record.resultText, " ");
    EXPECT_EQ(app.board.CellTableX.at(10, 19), 312) << "the new base's cells are laid out";
    // Base 10 click areas: (21..61, 638..675).
    platform.click(21, 675);
    pollOnce(app);
    EXPECT_EQ(app.board.BoardSize, 8);
    EXPECT_EQ(app.game.moveCount(), 0);
}

TEST_F(MainLoopTest, ASecondPressOfADoubleClickIsNotHandled) {
    platform.click(40, 580, 0, 2);
    pollOnce(app);
    EXPECT_FALSE(app.board.LabelsShown);
}

}  // namespace
}  // namespace tarnwick
