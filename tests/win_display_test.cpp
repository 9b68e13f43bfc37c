// Wins shown on the board: the outline round the winning structure, the
// panel's note, and both taken away again pixel for pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"
#include "board_text.h"
#include "game/navigation.h"
#include "game/replay.h"
#include "screen_fixture.h"

namespace tarnwick {
namespace {

class WinDisplayTest : public testing::ScreenTest {
  protected:
    void SetUp() override {
        platform.setIdleLimitMs(5000);
        start();
        pollOnce(app);  // the clipboard of launch
        bareNoteArea = noteArea();
    }
    void clickCell(const std::string& name) {
        const Point o = *board::cellOrigin(app.board, *app.board.Topology->parseCell(name));
        clickAt(o.x + 12, o.y + 12);
    }
    std::string note() const {
        return game::positionNote(app.game.record, game::positionAfter(app.game.Moves, app.game.CurrentMove, app.board.Topology));
    }
    int outlinePixels() const {
        int n = 0;
        for (int y = 1; y < 741; ++y)
            for (int x = 1; x < 650; ++x) n += pixel(x, y) == board::kWinOutline ? 1 : 0;
        return n;
    }
    // The panel's free space under the players' band, where the note goes.
    std::vector<Colour> noteArea() const {
        std::vector<Colour> area;
        for (int y = 133; y <= 167; ++y)
            for (int x = 654; x <= 1016; ++x) area.push_back(pixel(x, y));
        return area;
    }
    // As the board picture drew it.
    bool noteAreaBlank() const { return noteArea() == bareNoteArea; }

    std::vector<Colour> bareNoteArea;
};

// Black joins the corners A1 and A8 along column A with move 15.
constexpr const char* kBridgeGame =
    "1.A1 2.O1 3.A2 4.O2 5.A3 6.O3 7.A4 8.O4 9.A5 10.O5 11.A6 12.O6 13.A7 14.O7 15.A8 16.N3";

TEST_F(WinDisplayTest, AWinIsOutlinedAndNamedAndSteppingAwayRestoresEveryPixel) {
    paste(kBridgeGame);
    ASSERT_EQ(app.game.CurrentMove, 16);
    EXPECT_EQ(note(), "Black wins: bridge with move 15 (A8)") << "the first win, named after later moves too";
    EXPECT_GT(outlinePixels(), 8 * 60);
    EXPECT_FALSE(noteAreaBlank());
    // The outline leaves every stone square alone.
    for (int p = 1; p <= 8; ++p) EXPECT_EQ(testing::cellChar(app, 1, p), p == 8 ? 'B' : 'b');

    extendedKey(keys::kLeft);
    const auto won = screen();
    extendedKey(keys::kLeft);
    EXPECT_EQ(note(), "");
    EXPECT_EQ(outlinePixels(), 0);
    EXPECT_TRUE(noteAreaBlank());
    const auto before = screen();

    // A full page drawn from nothing shows exactly what stepping showed.
    redrawMainPage(app);
    showMainPage(app);
    EXPECT_EQ(screen(), before);

    extendedKey(keys::kRight);
    EXPECT_EQ(screen(), won);
    extendedKey(keys::kLeft);
    EXPECT_EQ(screen(), before);
    extendedKey(keys::kRight);

    key("w");
    EXPECT_EQ(outlinePixels(), 0);
    EXPECT_TRUE(noteAreaBlank());
    key("W");
    EXPECT_EQ(screen(), won);

    extendedKey(keys::kHome);
    EXPECT_EQ(outlinePixels(), 0);
    EXPECT_TRUE(noteAreaBlank());
}

TEST_F(WinDisplayTest, AWinMadeByClickingShowsTheSameWay) {
    // A ring of six Black stones round D4; White plays far away.
    for (const char* cell : {"C3", "O1", "C4", "O2", "D3", "O3", "D5", "O4", "E4", "O5"}) clickCell(cell);
    EXPECT_EQ(outlinePixels(), 0);
    clickCell("E5");
    EXPECT_EQ(note(), "Black wins: ring with move 11 (E5)");
    EXPECT_GT(outlinePixels(), 6 * 60);
    EXPECT_EQ(testing::cellChar(app, "D4"), '.') << "the ring holds an empty cell, not outlined";
}

TEST_F(WinDisplayTest, TheFirstIllegalMoveIsNamed) {
    paste("1.E5 2.F6 3.E5 4.G7");
    EXPECT_EQ(app.game.CurrentMove, 4);
    EXPECT_EQ(note(), "move 3 (E5) is on an occupied cell");
    EXPECT_FALSE(noteAreaBlank());
    extendedKey(keys::kLeft);
    extendedKey(keys::kLeft);
    EXPECT_EQ(note(), "");
    EXPECT_TRUE(noteAreaBlank());
}

// A move that names no cell of the board shown (I15 on base 8) leaves the
// markers where the position puts them: nothing stale is drawn later.
TEST_F(WinDisplayTest, AMoveOffTheBoardLeavesNoStoneBehind) {
    paste("1.A1 2.B1 3.I15 4.C1 5.D1");
    ASSERT_EQ(app.board.BoardSize, 8);
    EXPECT_EQ(note(), "move 3 (I15) is off the board");
    extendedKey(keys::kDelete);
    clickCell("G1");
    clickCell("H1");
    EXPECT_EQ(testing::stonesText(app), "A b\nB w\nC w\nG B\nH W\n");
    EXPECT_EQ(testing::boardText(app),
              testing::boardText(game::positionAfter(app.game.Moves, app.game.CurrentMove, app.board.Topology)));
    extendedKey(keys::kHome);
    EXPECT_EQ(testing::stonesText(app), "") << "no stone stands on the empty board";
}

}  // namespace
}  // namespace tarnwick
