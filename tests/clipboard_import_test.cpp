// Pasting move lists through the program: what the board shows after a list
// is loaded, and that any other text leaves the shown game alone. How texts
// are read into moves is tested with the acquire library.
#include <gtest/gtest.h>

#include <vector>

#include "app/load_game.h"
#include "board/geometry.h"
#include "board_text.h"
#include "game/replay.h"
#include "game/game.h"
#include "game/navigation.h"
#include "screen_fixture.h"

namespace tarnwick {
namespace {

using testing::cellChar;

class ClipboardImportTest : public testing::ScreenTest {
  protected:
    void SetUp() override { start(); }

    void paste(std::string text) {
        app.shell.ClipboardText = std::move(text);
        importClipboardGame(app);
    }
    void showBase(int base) {
        if (app.board.BoardSize != base) switchBoardSize(app);
    }
    std::vector<std::string> moves() const {
        std::vector<std::string> out;
        for (int k = 1; !app.game.Moves[k].empty(); ++k) out.push_back(app.game.Moves[k]);
        return out;
    }
    // "1.A1 2.A2 ..." over the cells of a base, column by column.
    static std::string listOfCells(int base, int count) {
        std::string text;
        int k = 0;
        for (int c = 1; c <= board::gridSizeFor(base); ++c)
            for (int p = 1; p <= board::columnLength(base, c) && k < count; ++p)
                text += std::to_string(++k) + "." + board::cellName(c, p) + " ";
        return text;
    }
};

using Strings = std::vector<std::string>;

TEST_F(ClipboardImportTest, ALittleGolemList) {
    const std::string pasted = "1.D4 2.swap 3.E5";
    paste(pasted);
    EXPECT_EQ(app.shell.ClipboardText, pasted) << "the clipboard's text is left as it is";
    EXPECT_EQ(moves(), (Strings{"1.D4", "2.swap", "3.E5"}));
    EXPECT_EQ(app.game.moveCount(), 3);
    EXPECT_EQ(app.game.CurrentMove, 3);
    EXPECT_EQ(app.board.BoardSize, 8);
    EXPECT_EQ(app.game.record.eventName, "Little Golem Havannah Game (pasted from clipboard)");
    EXPECT_EQ(cellChar(app, "D4"), 'W') << "swapped";
    EXPECT_EQ(cellChar(app, "E5"), 'B');
}

TEST_F(ClipboardImportTest, OtherTextBeepsAndLeavesTheShownGame) {
    paste("1.D4 2.E5 3.F6");
    const auto shown = platform.canvas().pixels();
    for (const std::string text : {"the quick brown fox", "1.D4 2.T5", "D4 E5", "", "abc def"}) {
        SCOPED_TRACE(text);
        const int beeps = platform.beepCount();
        paste(text);
        EXPECT_EQ(platform.beepCount(), beeps + 1);
        EXPECT_EQ(moves(), (Strings{"1.D4", "2.E5", "3.F6"}));
        EXPECT_EQ(app.game.CurrentMove, 3);
        EXPECT_EQ(app.board.BoardSize, 8);
        EXPECT_TRUE(platform.canvas().pixels() == shown);
    }
}

TEST_F(ClipboardImportTest, AListOfTheOtherBaseLaysThePageOutAnew) {
    paste("1.D4 2.swap 3.E5 4.Q5");
    EXPECT_EQ(app.board.BoardSize, 10);
    EXPECT_EQ(app.board.GridSize, 19);
    EXPECT_EQ(cellChar(app, "Q5"), 'W');
    paste("1. a8 b9\r\n2. h1");
    EXPECT_EQ(app.board.BoardSize, 8);
    EXPECT_EQ(std::string() + cellChar(app, "A1") + cellChar(app, "B3") + cellChar(app, "H1"), "bWB");
    showBase(10);
    paste("1.I15 2.D4");
    EXPECT_EQ(app.board.BoardSize, 10);
    EXPECT_EQ(cellChar(app, "I15"), 'B');
}

TEST_F(ClipboardImportTest, NothingIsLeftOfALongerGame) {
    std::string list;
    for (int k = 1; k <= 300; ++k) list += std::to_string(k) + ".Q5 ";
    paste(list);
    EXPECT_EQ(app.game.moveCount(), game::MaxMoveSlots);
    std::string pairs;
    for (int k = 1; k <= 100; ++k) pairs += std::to_string(k) + ". a8 b9 ";
    paste(pairs);  // base 8 now, after a full base-10 list
    EXPECT_EQ(app.game.moveCount(), 200);
    EXPECT_EQ(moves().size(), 200U);
}

TEST_F(ClipboardImportTest, AResignationInAnyCaseEndsStepping) {
    EXPECT_TRUE(game::isResignToken("24.RESIGN") && game::isResignToken("23.Resign") && game::isResignToken("rEsIgNs"));
    EXPECT_FALSE(game::isResignToken("resig") || game::isResignToken("1.D4"));
    paste("1.D4 2.E5 3.resign");
    EXPECT_EQ(app.game.CurrentMove, 2);
    for (const std::string word : {"Resign", "RESIGN"}) {
        paste(listOfCells(8, 22) + "23." + word);
        EXPECT_EQ(app.game.moveCount(), 23);
        EXPECT_EQ(app.game.CurrentMove, 22);
        game::stepForward(gameOf(app));
        EXPECT_EQ(app.game.CurrentMove, 22);
        game::clearPosition(gameOf(app));
        EXPECT_EQ(testing::stonesText(app), "");
    }
    paste("1. a8 b9 2. h1 resign");
    EXPECT_EQ(app.game.Moves[4], "4.RESIGN");
    EXPECT_EQ(app.game.CurrentMove, 3);
}

}  // namespace
}  // namespace tarnwick
