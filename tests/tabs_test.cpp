// The page tabs: what each page shows, which clicks change pages, and the
// return to the board page, which must show the game exactly as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/load_game.h"
#include "board/board.h"
#include "game/navigation.h"
#include "screen_fixture.h"

namespace tarnwick {
namespace {

const std::string kEscape(1, keys::kEscape);

class TabsTest : public testing::ScreenTest {
  protected:
    void SetUp() override {
        platform.setIdleLimitMs(2000);
        start();
        pollOnce(app);  // the clipboard of launch
    }

    // A click handled by the main loop, as the user makes it.
    void clickAt(int x, int y) {
        platform.click(x, y, platform.nowMs());
        pollOnce(app);
    }
    void clickTab(int k) { clickAt((app.shell.PageTabLeft[k] + app.shell.PageTabRight[k]) / 2, 12); }

    int inkIn(int x1, int y1, int x2, int y2, Colour ink) const {
        int n = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x) n += pixel(x, y) == ink ? 1 : 0;
        return n;
    }
    std::vector<std::uint32_t> screen() const { return platform.canvas().pixels(); }
    // Where the screen differs from `before`, for failure messages.
    std::string changedArea(const std::vector<std::uint32_t>& before) const {
        const auto& now = platform.canvas().pixels();
        int x1 = Canvas::kWidth, y1 = Canvas::kHeight, x2 = -1, y2 = -1;
        for (int y = 0; y < Canvas::kHeight; ++y) {
            for (int x = 0; x < Canvas::kWidth; ++x) {
                const auto i = static_cast<std::size_t>(y) * Canvas::kWidth + static_cast<std::size_t>(x);
                if (now[i] == before[i]) continue;
                x1 = std::min(x1, x), y1 = std::min(y1, y), x2 = std::max(x2, x), y2 = std::max(y2, y);
            }
        }
        if (x2 < 0) return "nothing changed";
        return "changed within (" + std::to_string(x1) + "," + std::to_string(y1) + ")-(" + std::to_string(x2) +
               "," + std::to_string(y2) + ")";
    }

    // A loaded game shown at a move before its end, with the cell names on.
    void showAGameMidway() {
        loadRecordText(app,
            "(;FF[4]EV[hav.mc.3.1]PB[Ann]PW[Bob]SZ[8]RE[B]GC[ game #1009692]SO[http://www.littlegolem.com]"
            ";W[H3];B[swap];W[F3];B[E5];W[D4];B[G6];W[C3];B[resign])");
        game::stepBack(gameOf(app));
        game::stepBack(gameOf(app));
        board::toggleCellLabels(boardOf(app));
        platform.present();
    }
};

TEST_F(TabsTest, EachPageShowsItsTabActive) {
    for (int k : {LoadGameTab, OptionsTab, HelpTab, MainTab}) {
        SCOPED_TRACE(k);
        clickTab(k);
        ASSERT_EQ(app.shell.ActiveTab, k);
        const ShellFields& s = app.shell;
        const int left = s.PageTabLeft[k], right = s.PageTabRight[k];
        EXPECT_EQ(pixel(left + 2, 3), colours::kWhite) << "the active face";
        EXPECT_EQ(pixel((left + right) / 2, 26), colours::kWhite) << "no bottom outline";
        for (int other = 1; other <= ShellFields::TabCount; ++other) {
            if (other == k) continue;
            EXPECT_EQ(pixel(s.PageTabLeft[other] + 2, 3), colours::kGrey) << other;
            EXPECT_EQ(pixel((s.PageTabLeft[other] + s.PageTabRight[other]) / 2, 26), colours::kBlack) << other;
        }
        // The first tab's left outline shows only while another tab is active,
        // the last tab's right outline only while it is not itself active.
        EXPECT_EQ(pixel(663, 12), k == MainTab ? colours::kWhite : colours::kBlack);
        EXPECT_EQ(pixel(s.PageTabRight[4], 12), k == HelpTab ? colours::kWhite : colours::kBlack);
    }
}

TEST_F(TabsTest, InformationPagesKeepTheirFrameAndPanel) {
    // Both pages keep the frame and the panel round what they show.
    for (int k : {LoadGameTab, OptionsTab}) {
        SCOPED_TRACE(k);
        clickTab(k);
        EXPECT_EQ(pixel(42, 300), colours::kBlack) << "panel outline";
        EXPECT_EQ(pixel(975, 300), colours::kBlack) << "panel outline (drawBox stops short of x2)";
        EXPECT_EQ(pixel(990, 400), colours::kWhite) << "white page beside the panel";
    }
}

TEST_F(TabsTest, ClicksThatChangeNothing) {
    clickTab(LoadGameTab);
    const auto before = screen();
    const int presents = platform.presentCount();
    clickTab(LoadGameTab);  // the page already shown
    const ShellFields& s = app.shell;
    clickAt(s.PageTabLeft[MainTab] + 5, 26);  // a tab's bottom rows
    clickAt(s.PageTabLeft[MainTab] + 5, 27);
    clickAt(500, 400);  // the table, with no games in it
    platform.pressExtendedKey(keys::kLeft, platform.nowMs());
    pollOnce(app);
    EXPECT_EQ(app.shell.ActiveTab, LoadGameTab);
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(platform.presentCount(), presents + 5) << "each handled press still presents";
}

TEST_F(TabsTest, NeighbouringTabsShareTheirOutlineColumnWithTheLeftOne) {
    const ShellFields& s = app.shell;
    for (int k = 1; k < ShellFields::TabCount; ++k) EXPECT_EQ(s.PageTabRight[k] + 1, s.PageTabLeft[k + 1]);
    clickAt(s.PageTabRight[LoadGameTab], 1);
    EXPECT_EQ(app.shell.ActiveTab, LoadGameTab);
    clickAt(s.PageTabLeft[OptionsTab], 25);
    EXPECT_EQ(app.shell.ActiveTab, OptionsTab);
    clickAt(s.PageTabLeft[MainTab] - 1, 12);  // left of the bar
    clickAt(s.PageTabRight[HelpTab] + 1, 12);  // right of it
    EXPECT_EQ(app.shell.ActiveTab, OptionsTab);
}

// Whatever the way back, the board page is the one left: the position, the
// stone markers, the move list with its highlight, the names and the header.
TEST_F(TabsTest, TheReturnShowsTheBoardPageAsItWas) {
    showAGameMidway();
    const auto before = screen();
    const int current = app.game.CurrentMove;
    for (int k : {LoadGameTab, OptionsTab, HelpTab}) {
        SCOPED_TRACE(k);
        clickTab(k);
        EXPECT_NE(screen(), before);
        clickTab(MainTab);
        EXPECT_EQ(screen(), before) << changedArea(before);
        clickTab(k);
        platform.pressKey(kEscape, platform.nowMs());
        pollOnce(app);
        EXPECT_EQ(app.shell.ActiveTab, MainTab);
        EXPECT_TRUE(app.shell.LastKey.empty()) << "the program goes on";
        EXPECT_EQ(screen(), before) << changedArea(before);
        EXPECT_EQ(app.game.CurrentMove, current);
    }
    // The shown game still steps on from where it was.
    game::stepForward(gameOf(app));
    EXPECT_EQ(app.game.CurrentMove, current + 1);
}

// A game made by clicks on a base-10 board, with a swap: no list was ever
// rebuilt, and the return still matches the screen left.
TEST_F(TabsTest, TheReturnAfterAGameMadeByClicksOnBase10) {
    switchBoardSize(app);
    ASSERT_EQ(app.board.BoardSize, 10);
    for (const char* cell : {"E5", "F6", "J12", "K10"}) {
        const auto o = board::cellOrigin(app.board, cell[0] - 64, std::stoi(cell + 1));
        ASSERT_TRUE(o.has_value()) << cell;
        clickAt(o->x + 12, o->y + 12);
    }
    ASSERT_EQ(app.game.moveCount(), 4);
    const auto before = screen();
    clickTab(HelpTab);
    clickTab(MainTab);
    EXPECT_EQ(screen(), before) << changedArea(before);
}

// Section tabs answer on the help page only, within y 42..68.
TEST_F(TabsTest, SectionTabsChooseTheHelpSection) {
    const help::HelpFields& h = app.help;
    ASSERT_GE(h.SectionCount, 2) << "the documentation file beside the tests";
    const int middleOf2 = (h.TabLeft[2] + h.TabRight[2]) / 2;
    clickAt(middleOf2, 50);
    EXPECT_EQ(h.HelpSection, 1) << "not while the board page is shown";
    clickTab(HelpTab);
    const auto section1 = screen();
    clickAt(middleOf2, 69);
    EXPECT_EQ(h.HelpSection, 1) << "below the tab row";
    clickAt(h.TabRight[2], 68);
    EXPECT_EQ(h.HelpSection, 2);
    EXPECT_NE(screen(), section1);
    const auto section2 = screen();
    clickAt(h.TabLeft[2], 42);  // the tab already open
    EXPECT_EQ(screen(), section2);
    clickAt(h.TabRight[1], 55);  // the shared outline column belongs to the left tab
    EXPECT_EQ(h.HelpSection, 1);
    EXPECT_EQ(screen(), section1);
}

TEST_F(TabsTest, APasteWhileAwayLoadsOnTheReturn) {
    clickTab(HelpTab);
    platform.setClipboard("1.E5 2.F6 3.G7", platform.nowMs() + 20);
    pollOnce(app);
    EXPECT_EQ(app.game.moveCount(), 0) << "not on another page";
    clickTab(MainTab);
    pollOnce(app);
    EXPECT_EQ(app.game.moveCount(), 3);
    EXPECT_EQ(app.game.CurrentMove, 3);
}

}  // namespace
}  // namespace tarnwick
