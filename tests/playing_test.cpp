// Playing through a game on the board page: stones and markers, the swap,
// stepping, taking back, the move list and automatic play, all driven
// through the real poll with scripted keys and clicks.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "board_text.h"
#include "game/game.h"
#include "game/navigation.h"
#include "game/replay.h"
#include "screen_fixture.h"

namespace tarnwick {
namespace {

using havannah::Player;
using havannah::Stone;
using testing::cellChar;
using testing::stonesText;

constexpr Colour kBlue = colours::kSwapOffered;

class PlayingTest : public testing::ScreenTest {
  protected:
    void SetUp() override {
        platform.setIdleLimitMs(5000);
        start();
        pollOnce(app);  // the clipboard of launch
    }

    Point origin(const std::string& name) const {
        return *board::cellOrigin(app.board, name[0] - 64, std::stoi(name.substr(1)));
    }
    void clickAt(int x, int y) {
        platform.click(x, y, platform.nowMs());
        pollOnce(app);
    }
    void clickCell(const std::string& name) {
        const Point o = origin(name);
        clickAt(o.x + 12, o.y + 12);
    }
    void key(char scanLetter) {
        platform.pressExtendedKey(scanLetter, platform.nowMs());
        pollOnce(app);
    }
    // A game as a loader leaves it: tokens in place, list drawn, empty board.
    void loadMoves(const std::vector<std::string>& tokens) {
        for (std::size_t i = 0; i < tokens.size(); ++i) app.game.Moves.set(static_cast<int>(i) + 1, tokens[i]);
        app.game.CurrentMove = 0;
        game::rebuildMoveList(gameOf(app));
    }
    std::vector<std::string> moves() const {
        std::vector<std::string> out;
        for (int k = 1; !app.game.Moves[k].empty(); ++k) out.push_back(app.game.Moves[k]);
        return out;
    }
    Colour swapCaptionInk() const {
        // Ink pixels of "Swap" are the offered blue, or white when erased.
        for (int y = 637; y < 652; ++y)
            for (int x = 118; x < 150; ++x)
                if (pixel(x, y) == kBlue) return kBlue;
        return colours::kWhite;
    }
    havannah::Stone state(const std::string& name) const {
        return app.board.Painted[static_cast<std::size_t>(*app.board.Topology->parseCell(name))].stone;
    }
    // Where list entry k shows in the window, its list scrolled as it is.
    Point shownEntry(int k) const {
        const auto i = static_cast<std::size_t>(k);
        return {app.list.EntryX[i], app.list.EntryY[i] - 17 * app.list.ScrolledRows};
    }
    // Pixels of the list entry k's text box in the highlight colour.
    int highlightPixels(int k) const {
        int n = 0;
        const int x0 = shownEntry(k).x;
        const int y0 = shownEntry(k).y;
        for (int y = y0; y < y0 + 10; ++y)
            for (int x = x0; x < x0 + 30; ++x) n += pixel(x, y) == colours::kListHighlight ? 1 : 0;
        return n;
    }
};

TEST_F(PlayingTest, ClickingEmptyCellsBuildsAGameWithMarkersOnEachPlayersLastStone) {
    clickCell("E5");
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.E5"}));
    EXPECT_EQ(stonesText(app), "E ....B\n");
    EXPECT_EQ(state("E5"), Stone::Black);
    EXPECT_EQ(swapCaptionInk(), kBlue) << "the swap is offered after the first move";

    clickCell("F6");
    EXPECT_EQ(stonesText(app), "E ....B\nF .....W\n") << "at move 2 both stones keep their marker";
    EXPECT_EQ(swapCaptionInk(), colours::kWhite);

    clickCell("G7");
    EXPECT_EQ(stonesText(app), "E ....b\nF .....W\nG ......B\n");
    clickCell("H8");
    EXPECT_EQ(stonesText(app), "E ....b\nF .....w\nG ......B\nH .......W\n");
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.E5", "2.F6", "3.G7", "4.H8"}));
    EXPECT_EQ(app.game.moveCount(), 4);
    EXPECT_EQ(app.game.CurrentMove, 4);
}

// An occupied cell takes no move; a cell clicked at an earlier move starts
// a variation there, and the game's own move stays in the tree.
TEST_F(PlayingTest, OccupiedCellsRecordNothingAndEarlierPositionsBranch) {
    clickCell("E5");
    clickCell("E5");
    EXPECT_EQ(app.game.moveCount(), 1);
    clickCell("F6");
    key(keys::kLeft);
    clickCell("A1");
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.E5", "2.A1"}));
    EXPECT_EQ(app.game.CurrentMove, 2);
    EXPECT_EQ(cellChar(app, "A1"), 'W');
    EXPECT_EQ(cellChar(app, "F6"), '.');
    EXPECT_EQ(app.game.Tree.size(), 4U) << "the root, E5, and both answers to it";
}

TEST_F(PlayingTest, TheSwapCaptionTurnsTheFirstStoneWhite) {
    clickCell("E5");
    clickAt(130, 645);
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.E5", "swap"}));
    EXPECT_EQ(app.game.moveCount(), 2);
    EXPECT_EQ(app.game.CurrentMove, 2);
    EXPECT_EQ(stonesText(app), "E ....W\n");
    EXPECT_EQ(state("E5"), Stone::White);
    EXPECT_EQ(swapCaptionInk(), colours::kWhite);
    // With two moves the caption no longer answers: the click goes to the list.
    clickAt(130, 645);
    EXPECT_EQ(app.game.moveCount(), 2);
}

TEST_F(PlayingTest, MarkersFollowTheSwapForwardAndBack) {
    loadMoves({"1.E5", "2.swap", "3.D4", "4.C3", "5.F6"});
    key(keys::kRight);
    EXPECT_EQ(stonesText(app), "E ....B\n");
    key(keys::kRight);
    EXPECT_EQ(stonesText(app), "E ....W\n");
    key(keys::kRight);
    EXPECT_EQ(stonesText(app), "D ...B\nE ....W\n") << "move 3 after a swap unmarks nothing";
    key(keys::kRight);
    EXPECT_EQ(stonesText(app), "C ..W\nD ...B\nE ....w\n");
    key(keys::kRight);
    EXPECT_EQ(stonesText(app), "C ..W\nD ...b\nE ....w\nF .....B\n");

    key(keys::kLeft);
    EXPECT_EQ(stonesText(app), "C ..W\nD ...B\nE ....w\n");
    key(keys::kLeft);
    EXPECT_EQ(stonesText(app), "D ...B\nE ....W\n") << "the first stone, White's, is marked again";
    key(keys::kLeft);
    EXPECT_EQ(stonesText(app), "E ....W\n");
    key(keys::kLeft);
    EXPECT_EQ(stonesText(app), "E ....B\n") << "back over the swap the first stone is Black's";
    EXPECT_EQ(state("E5"), Stone::Black);
    key(keys::kLeft);
    EXPECT_EQ(stonesText(app), "");
    EXPECT_EQ(app.game.CurrentMove, 0);
    key(keys::kLeft);
    EXPECT_EQ(app.game.CurrentMove, 0);
}

TEST_F(PlayingTest, SteppingBackWithoutASwapRestoresTheMarkerTwoMovesBack) {
    loadMoves({"1.A1", "2.B1", "3.C1", "4.D1"});
    key(keys::kEnd);
    EXPECT_EQ(stonesText(app), "A b\nB w\nC B\nD W\n");
    key(keys::kLeft);
    EXPECT_EQ(stonesText(app), "A b\nB W\nC B\n");
    EXPECT_EQ(app.game.CurrentMove, 3);
    key(keys::kLeft);
    EXPECT_EQ(stonesText(app), "A B\nB W\n");
    key(keys::kLeft);
    EXPECT_EQ(stonesText(app), "A B\n");
    EXPECT_EQ(state("B1"), Stone::Empty);
}

TEST_F(PlayingTest, HomeEndAndTheButtonsOfBothBases) {
    loadMoves({"1.A1", "2.B1", "3.C1"});
    key(keys::kEnd);
    EXPECT_EQ(app.game.CurrentMove, 3);
    key(keys::kHome);
    EXPECT_EQ(app.game.CurrentMove, 0);
    EXPECT_EQ(stonesText(app), "");

    clickAt(192, 691);  // End button, inclusive corner
    EXPECT_EQ(app.game.CurrentMove, 3);
    clickAt(48, 725);  // Back
    EXPECT_EQ(app.game.CurrentMove, 2);
    clickAt(188, 700);  // Forward
    EXPECT_EQ(app.game.CurrentMove, 3);
    clickAt(14, 700);  // Start on base 8
    EXPECT_EQ(app.game.CurrentMove, 0);
    clickAt(45, 700);  // the gap between Start and Back: not a button, not a cell
    EXPECT_EQ(app.game.CurrentMove, 0);
    clickAt(130, 700);  // Pause outside playback does nothing
    EXPECT_EQ(app.game.CurrentMove, 0);
}

TEST_F(PlayingTest, Base10ButtonsAnswerInTheirOwnAreas) {
    clickAt(41, 640);  // Size: base 10, empty game
    ASSERT_EQ(app.board.BoardSize, 10);
    loadMoves({"1.J19", "2.S10", "3.A1"});
    clickAt(228, 728);  // End
    EXPECT_EQ(app.game.CurrentMove, 3);
    EXPECT_EQ(stonesText(app).substr(0, 4), "A B\n");
    clickAt(14, 700);  // outside Start on base 10
    EXPECT_EQ(app.game.CurrentMove, 3);
    clickAt(16, 696);  // Start
    EXPECT_EQ(app.game.CurrentMove, 0);
    clickAt(161, 700);  // Forward
    EXPECT_EQ(app.game.CurrentMove, 1);
    EXPECT_EQ(cellChar(app, "J19"), 'B');
}

TEST_F(PlayingTest, ASecondPressOfADoubleClickRecordsNothing) {
    const Point o = origin("E5");
    platform.click(o.x + 12, o.y + 12, platform.nowMs(), 2);
    pollOnce(app);
    EXPECT_EQ(app.game.moveCount(), 0);
}

TEST_F(PlayingTest, ResignationIsListedButNeverPassed) {
    loadMoves({"1.A1", "2.B1", "3.resign"});
    key(keys::kEnd);
    EXPECT_EQ(app.game.CurrentMove, 2);
    key(keys::kRight);
    EXPECT_EQ(app.game.CurrentMove, 2);
    EXPECT_EQ(app.list.ListText[3], "3.resign");
    key(keys::kHome);
    EXPECT_EQ(stonesText(app), "");
}

TEST_F(PlayingTest, TokensThatNameNoCellAreCountedButNeverDrawn) {
    loadMoves({"1.A1", "2.Z99", "3.", "4.A", "5.a1", "6.O9", "7.\xFF"
               "1",
               "8.B1"});
    key(keys::kEnd);
    EXPECT_EQ(app.game.CurrentMove, 8);
    EXPECT_EQ(stonesText(app), "A B\nB W\n") << "only real cells get stones";
    key(keys::kHome);
    EXPECT_EQ(stonesText(app), "");
    for (int i = 0; i < 8; ++i) key(keys::kRight);
    for (int i = 0; i < 8; ++i) key(keys::kLeft);
    EXPECT_EQ(app.game.CurrentMove, 0);
    EXPECT_EQ(stonesText(app), "");
}

TEST_F(PlayingTest, TakeBackFromTheMiddleDropsTheLaterMoves) {
    loadMoves({"1.A1", "2.B1", "3.C1", "4.D1", "5.E1", "6.F1", "7.G1", "8.H1", "9.I1"});
    for (int i = 0; i < 5; ++i) key(keys::kRight);
    const Point fifth{app.list.EntryX[5], app.list.EntryY[5]};
    key(keys::kDelete);
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.A1", "2.B1", "3.C1", "4.D1"}));
    EXPECT_EQ(app.game.moveCount(), 4);
    EXPECT_EQ(app.game.CurrentMove, 4);
    EXPECT_EQ(stonesText(app), "A b\nB w\nC B\nD W\n");
    // The list area was repainted: no text where entry 5 stood.
    int ink = 0;
    for (int y = fifth.y; y < fifth.y + 10; ++y)
        for (int x = fifth.x; x < fifth.x + 25; ++x) ink += pixel(x, y) == colours::kBlack ? 1 : 0;
    EXPECT_EQ(ink, 0);
    EXPECT_GT(highlightPixels(4), 0);
}

// Where a move added at the end goes in the list depends on the entries
// before it only: clicking an entry and coming back to the end must not move
// it. Lists of 2 to 40 entries of four widths, each entry clicked in turn,
// put the new entry at many places of a row.
TEST_F(PlayingTest, ClickingTheListDoesNotMoveTheNextAddedEntry) {
    // Cells with one- and two-digit positions in turn, so that entries from
    // "1.A1" to "40.H15" end rows at many places.
    std::vector<std::string> tokens;
    for (int c = 3; c <= 13 && tokens.size() < 40; ++c) {
        const int length = board::columnLength(8, c);
        for (int p = 1; p <= 4; ++p) {
            for (const int position : {p, length + 1 - p})
                tokens.push_back(std::to_string(tokens.size() + 1) + "." + static_cast<char>(64 + c) + std::to_string(position));
        }
    }
    // Entry n + 1 as the move added at the end, after a click on entry `clicked` (0: none).
    const auto addedEntry = [&](std::size_t n, int clicked) {
        app.game.Moves.set(static_cast<int>(n) + 1, "");  // the move added last time
        loadMoves({tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(n)});
        key(keys::kEnd);
        if (clicked > 0) {
            const Point entry = shownEntry(clicked);
            clickAt(entry.x + 2, entry.y + 2);
            key(keys::kEnd);
        }
        clickCell("B1");
        const auto k = n + 1;
        return std::pair{app.list.EntryX[k], app.list.EntryY[k]};
    };
    for (std::size_t n = 2; n <= tokens.size(); ++n) {
        const auto direct = addedEntry(n, 0);
        for (int clicked = 1; clicked <= static_cast<int>(n); ++clicked)
            ASSERT_EQ(addedEntry(n, clicked), direct) << n << " entries, entry " << clicked << " clicked";
    }
}

TEST_F(PlayingTest, TakeBackToOneMoveOffersTheSwapAgainAndToNoneErasesIt) {
    clickCell("E5");
    clickCell("F6");
    key(keys::kDelete);
    EXPECT_EQ(app.game.moveCount(), 1);
    EXPECT_EQ(swapCaptionInk(), kBlue);
    const Point first{app.list.EntryX[1], app.list.EntryY[1]};
    key(keys::kDelete);
    EXPECT_EQ(app.game.moveCount(), 0);
    EXPECT_EQ(swapCaptionInk(), colours::kWhite);
    // The emptied list shows no entry where the first one stood.
    int ink = 0;
    for (int y = first.y; y < first.y + 10; ++y)
        for (int x = first.x; x < first.x + 25; ++x) ink += pixel(x, y) == colours::kBlack ? 1 : 0;
    EXPECT_EQ(ink, 0);
    key(keys::kDelete);  // nothing left
    EXPECT_EQ(app.game.moveCount(), 0);
}

// The list's heading band and the panel round it look the same however the
// list was last drawn: at start, and after Delete has emptied the list.
TEST_F(PlayingTest, TheListHeadingBandHasOneShape) {
    const auto area = [&] {
        std::vector<Colour> pixels;
        for (int y = 225; y < 300; ++y)
            for (int x = 640; x < 1024; ++x) pixels.push_back(pixel(x, y));
        return pixels;
    };
    const auto atStart = area();
    for (int x = 654; x < 1018; ++x) EXPECT_EQ(pixel(x, 277), colours::kGrey) << x;
    clickCell("E5");
    clickCell("F6");
    key(keys::kDelete);
    key(keys::kDelete);
    EXPECT_EQ(area(), atStart);
}

TEST_F(PlayingTest, CellNamesComeBackOnEmptiedCells) {
    clickAt(40, 580);  // C1: names shown
    clickCell("E5");
    const Point o = origin("E5");
    auto nameInk = [&] {
        int n = 0;
        for (int y = o.y + 7; y < o.y + 16; ++y)
            for (int x = o.x + 4; x < o.x + 20; ++x) n += pixel(x, y) == colours::kBlack ? 1 : 0;
        return n;
    };
    key(keys::kLeft);
    EXPECT_GT(nameInk(), 0);
    key(keys::kRight);
    key(keys::kHome);
    EXPECT_GT(nameInk(), 0);
}

TEST_F(PlayingTest, TheMoveListGrowsInRowsWithTheCurrentMoveHighlighted) {
    std::vector<std::string> tokens;
    for (int k = 1; k <= 30; ++k) tokens.push_back(std::to_string(k) + "." + board::cellName(1 + (k - 1) % 15, 1 + (k - 1) / 15));
    loadMoves(tokens);
    auto& l = app.list;
    EXPECT_EQ(l.EntryX[1], 663);
    EXPECT_EQ(l.EntryY[1], 263);
    EXPECT_EQ(l.EntryY[2], 263);
    EXPECT_GT(l.EntryX[2], l.EntryX[1]);
    int rows = 1;
    for (int k = 2; k <= 30; ++k) {
        if (l.EntryY[k] != l.EntryY[k - 1]) {
            ++rows;
            EXPECT_EQ(l.EntryY[k], l.EntryY[k - 1] + 17);
            EXPECT_EQ(l.EntryX[k], 663);
        }
    }
    EXPECT_GT(rows, 1);
    EXPECT_EQ(pixel(700, 600), colours::kWhite) << "below the rows";
    key(keys::kRight);
    EXPECT_GT(highlightPixels(1), 0);
    key(keys::kRight);
    EXPECT_EQ(highlightPixels(1), 0);
    EXPECT_GT(highlightPixels(2), 0);
}

// A list with more rows than the window holds scrolls by whole rows under
// the heading band, earliest rows first: the highlighted entry stays in
// view and no row reaches the window frame. A list that fits never scrolls.
TEST_F(PlayingTest, ALongListScrollsToKeepTheHighlightInView) {
    std::vector<std::string> tokens;
    for (int k = 1; k <= 271; ++k) tokens.push_back(std::to_string(k) + "." + board::cellName(1 + (k - 1) % 19, 1 + k % 19));
    const auto rowOf = [&](int k) { return (app.list.EntryY[static_cast<std::size_t>(k)] - 246) / 17; };
    const auto frameClear = [&] {
        for (int x = 652; x <= 1022; ++x) {
            if (pixel(x, 740) != colours::kBlack) return false;
            for (int y = 728; y < 740; ++y)
                if (pixel(x, y) != colours::kWhite) return false;
        }
        return true;
    };
    game::clearGame(gameOf(app));
    loadMoves(tokens);
    int fitting = 271;  // the longest list of 27 rows
    while (rowOf(fitting) > 27) --fitting;
    const int rows = rowOf(271);
    for (const int length : {fitting, 271}) {
        SCOPED_TRACE(length);
        game::clearGame(gameOf(app));
        loadMoves(std::vector<std::string>(tokens.begin(), tokens.begin() + length));
        key(keys::kEnd);
        EXPECT_EQ(app.list.ScrolledRows, length == fitting ? 0 : rows - 27);
        EXPECT_EQ(shownEntry(length).y, 246 + 17 * 27);
        EXPECT_GT(highlightPixels(length), 0);
        EXPECT_TRUE(frameClear());
        EXPECT_EQ(pixel(700, 260), colours::kGrey) << "the heading band stays";
    }
    // A click on the first shown entry goes to its move; the list stays put.
    int first = 1;
    while (rowOf(first) <= rows - 27) ++first;
    clickAt(663 + 3, 263 + 3);
    EXPECT_EQ(app.game.CurrentMove, first);
    EXPECT_EQ(app.list.ScrolledRows, rows - 27);
    EXPECT_GT(highlightPixels(first), 0);
    // Stepping back above the shown rows brings the earlier rows back.
    key(keys::kHome);
    key(keys::kRight);
    EXPECT_EQ(app.list.ScrolledRows, 0);
    EXPECT_EQ(shownEntry(1), (Point{663, 263}));
    EXPECT_GT(highlightPixels(1), 0);
}

TEST_F(PlayingTest, AClickOnAListEntryShowsThatPosition) {
    loadMoves({"1.A1", "2.B1", "3.C1", "4.D1", "5.E1"});
    key(keys::kEnd);
    const int x3 = app.list.EntryX[3];
    const int y3 = app.list.EntryY[3];
    clickAt(x3 - 2, y3 + 4);  // two pixels left of entry 3: the gap after entry 2
    EXPECT_EQ(app.game.CurrentMove, 5);
    clickAt(x3 - 1, y3 + 4);
    EXPECT_EQ(app.game.CurrentMove, 3);
    EXPECT_EQ(stonesText(app), "A b\nB W\nC B\n");
    EXPECT_GT(highlightPixels(3), 0);
}

TEST_F(PlayingTest, AClickOnAResignEntryShowsTheMoveBeforeIt) {
    loadMoves({"1.A1", "2.B1", "3.resign"});
    key(keys::kEnd);
    clickAt(app.list.EntryX[3] + 3, app.list.EntryY[3] + 3);
    EXPECT_EQ(app.game.CurrentMove, 2);
}

TEST_F(PlayingTest, TheListIgnoresClicksOnAnEmptyBoard) {
    loadMoves({"1.A1", "2.B1"});
    clickAt(app.list.EntryX[2] + 3, app.list.EntryY[2] + 3);
    EXPECT_EQ(app.game.CurrentMove, 0);
}

class PlaybackTest : public PlayingTest {
  protected:
    void loadLine(int n) {
        std::vector<std::string> tokens;
        for (int k = 1; k <= n; ++k) tokens.push_back(std::to_string(k) + "." + board::cellName(1 + (k - 1) % 15, 1 + (k - 1) / 15));
        loadMoves(tokens);
    }
    // Presses Play and returns when playback has ended.
    void play() { clickAt(100, 700); }
};

TEST_F(PlaybackTest, PlaysFromTheCurrentMoveToTheEndWithTheDelayAfterEveryMove) {
    loadLine(4);
    key(keys::kRight);
    const std::int64_t start = platform.nowMs();
    const int presents = platform.presentCount();
    play();
    EXPECT_EQ(app.game.CurrentMove, 4);
    // Three moves, each followed by 500 ms, plus the 10 ms poll step.
    EXPECT_EQ(platform.nowMs() - start, 10 + 3 * 500);
    EXPECT_GE(platform.presentCount() - presents, 3 + 1);
    EXPECT_EQ(pixel(90, 691), colours::kWhite) << "the Play button is raised again";
}

TEST_F(PlaybackTest, PlayDoesNothingAtTheEndOrOnAnEmptyGame) {
    play();
    EXPECT_EQ(platform.nowMs(), 20);
    loadLine(2);
    key(keys::kEnd);
    const std::int64_t before = platform.nowMs();
    play();
    EXPECT_EQ(platform.nowMs() - before, 10);
}

TEST_F(PlaybackTest, SpeedKeysHalveAndStretchTheDelay) {
    loadLine(20);
    // Play starts at the poll step that reads its click; each move is made at
    // once and a key read right after it sets the delay that follows it.
    std::int64_t at = platform.nowMs() + 10;
    const std::int64_t start = platform.nowMs();
    const int delays[] = {500, 250, 125, 62, 31, 15, 7, 3, 1};
    for (const int d : delays) {
        platform.pressKey(d % 2 == 0 ? "=" : "+", at);
        at += d;
    }
    play();
    EXPECT_EQ(app.game.PlaybackDelay, 0.0F);
    EXPECT_EQ(app.game.CurrentMove, 20);
    EXPECT_EQ(platform.nowMs() - start, 10 + 500 + 250 + 125 + 62 + 31 + 15 + 7 + 3 + 1);

    key(keys::kHome);
    app.game.PlaybackDelay = 500;
    const std::int64_t t0 = platform.nowMs();
    platform.pressKey("-", t0 + 10);
    platform.pressKey("_", t0 + 10 + 500);
    platform.pressKey("-", t0 + 10 + 500 + 750);
    platform.click(121, 700, t0 + 10 + 500 + 750 + 1125 + 1);  // Pause, 1 ms into move 4's delay
    play();
    EXPECT_FLOAT_EQ(app.game.PlaybackDelay, 1687.5F);
    EXPECT_EQ(app.game.CurrentMove, 4);
    // The Pause acts at the next poll, 10 ms into the 1688 ms delay.
    EXPECT_EQ(platform.nowMs() - t0, 10 + 500 + 750 + 1125 + 10);
}

TEST_F(PlaybackTest, ZeroDelayStaysZero) {
    loadLine(3);
    app.game.PlaybackDelay = 0;
    platform.pressKey("-", platform.nowMs() + 10);
    play();
    EXPECT_EQ(app.game.PlaybackDelay, 0.0F);
    EXPECT_EQ(app.game.CurrentMove, 3);
}

TEST_F(PlaybackTest, PauseStartAndEndStopIt) {
    loadLine(10);
    platform.click(135, 700, platform.nowMs() + 1200);  // Pause after the third move
    play();
    EXPECT_EQ(app.game.CurrentMove, 3);

    platform.click(20, 700, platform.nowMs() + 1200);  // Start
    play();
    EXPECT_EQ(app.game.CurrentMove, 0);
    EXPECT_EQ(stonesText(app), "");

    platform.click(200, 700, platform.nowMs() + 700);  // End
    play();
    EXPECT_EQ(app.game.CurrentMove, 10);

    key(keys::kHome);
    platform.click(300, 300, platform.nowMs() + 700);  // anywhere else: ignored
    play();
    EXPECT_EQ(app.game.CurrentMove, 10);
}

// A key pressed while the last move waits out its delay is not lost: the
// play ends and the key acts as if pressed after it.
TEST_F(PlaybackTest, AKeyDuringTheLastDelayActsAfterThePlay) {
    loadLine(3);
    platform.pressExtendedKey(keys::kHome, platform.nowMs() + 10 + 2 * 500 + 100);
    play();
    EXPECT_EQ(app.game.CurrentMove, 3);
    pollOnce(app);
    EXPECT_EQ(app.game.CurrentMove, 0);
    EXPECT_EQ(stonesText(app), "");
}

// During play the whole of each button the picture shows stops it, on the
// base-10 picture too, whose buttons sit further right and lower.
TEST_F(PlaybackTest, TheButtonsStopPlayOnEveryPartOfTheirPicture) {
    const struct {
        int base;
        Point pause, end;
        Point playButton;
    } bases[] = {{8, {152, 725}, {224, 691}, {100, 700}}, {10, {155, 728}, {228, 727}, {100, 710}}};
    for (const auto& b : bases) {
        SCOPED_TRACE(b.base);
        if (app.board.BoardSize != b.base) clickAt(40, 645);  // the Size button
        ASSERT_EQ(app.board.BoardSize, b.base);
        loadLine(10);
        platform.click(b.pause.x, b.pause.y, platform.nowMs() + 700);
        clickAt(b.playButton.x, b.playButton.y);
        EXPECT_EQ(app.game.CurrentMove, 2);
        platform.click(b.end.x, b.end.y, platform.nowMs() + 700);
        clickAt(b.playButton.x, b.playButton.y);
        EXPECT_EQ(app.game.CurrentMove, 10);
    }
}

// Pause, Start, End and Escape act at the next poll, however long the delay;
// Escape stops the play and does not end the program.
TEST_F(PlaybackTest, StopsActWithinOnePollOfALongDelay) {
    loadLine(10);
    struct Stop {
        const char* what;
        Point click;  // none: Escape
        int move;
    };
    const Stop stops[] = {
        {"Pause", {135, 700}, 1}, {"Start", {20, 700}, 0}, {"End", {200, 700}, 10}, {"Escape", {}, 1}};
    for (const Stop& stop : stops) {
        SCOPED_TRACE(stop.what);
        key(keys::kHome);
        app.game.PlaybackDelay = 5000;
        const std::int64_t start = platform.nowMs();
        const std::int64_t at = start + 10 + 1;  // 1 ms after the first move
        if (stop.click.x != 0) {
            platform.click(stop.click.x, stop.click.y, at);
        } else {
            platform.pressKey(std::string(1, keys::kEscape), at);
        }
        play();
        EXPECT_EQ(app.game.CurrentMove, stop.move);
        EXPECT_LE(platform.nowMs() - at, 10);
        EXPECT_NE(app.shell.LastKey, app.shell.EscapeKey) << "the main loop goes on";
    }
}

TEST_F(PlaybackTest, ClosingTheWindowEndsPlaybackWithinASecond) {
    loadLine(10);
    app.game.PlaybackDelay = 60000;
    const std::int64_t start = platform.nowMs();
    platform.closeByUser(start + 300);  // during the first move's delay
    play();
    EXPECT_LE(platform.nowMs() - start, 300 + 10 + 100);
    EXPECT_EQ(app.game.CurrentMove, 1);
    pollOnce(app);
    EXPECT_EQ(app.shell.CanvasWidth, 0) << "the main loop then ends";
}

TEST_F(PlayingTest, ReturningFromAnotherPageShowsTheSamePosition) {
    clickAt(40, 580);  // names shown
    loadMoves({"1.E5", "2.swap", "3.D4", "4.C3"});
    key(keys::kRight);
    key(keys::kRight);
    key(keys::kRight);
    const auto shown = platform.canvas().pixels();
    app.shell.ActiveTab = OptionsTab;
    platform.pressKey(std::string(1, keys::kEscape), platform.nowMs());
    pollOnce(app);
    EXPECT_EQ(app.shell.ActiveTab, MainTab);
    EXPECT_EQ(app.game.CurrentMove, 3);
    EXPECT_EQ(stonesText(app), "D ...B\nE ....W\n");
    // Board, captions, tabs and header look as before. The list is laid out
    // again on the header's bands, which are a little narrower than the
    // bands a loaded list is drawn on, so only its entries are compared.
    const auto& now = platform.canvas().pixels();
    int differ = 0;
    for (int y = 0; y < Canvas::kHeight; ++y)
        for (int x = 0; x < Canvas::kWidth; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * Canvas::kWidth + static_cast<std::size_t>(x);
            if (!(x >= 652 && y >= 257) && now[i] != shown[i]) ++differ;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(highlightPixels(3), 0);
}

}  // namespace
}  // namespace tarnwick

namespace tarnwick {
namespace {

class PlayButtonTest : public testing::ScreenTest {
  protected:
    void SetUp() override { start(); }
};

// Pressed and released again, the Play button looks as the picture drew it,
// on both bases: the bevel is drawn round that picture's own button.
TEST_F(PlayButtonTest, TheBevelFitsThePlayButtonOfEitherBase) {
    for (const int base : {8, 10}) {
        app.board.BoardSize = base;
        board::setUpBoardSize(app.board);
        redrawMainPage(app);
        const auto before = platform.canvas().pixels();
        game::drawPlayButtonDown(gameOf(app));
        EXPECT_NE(platform.canvas().pixels(), before) << "base " << base;
        const Point topLeft = base == 8 ? Point{83, 691} : Point{88, 696};
        EXPECT_EQ(pixel(topLeft.x + 5, topLeft.y), colours::kDarkGrey) << "pressed: dark at the top";
        game::drawPlayButtonUp(gameOf(app));
        EXPECT_EQ(platform.canvas().pixels(), before) << "base " << base;
    }
}

}  // namespace
}  // namespace tarnwick
