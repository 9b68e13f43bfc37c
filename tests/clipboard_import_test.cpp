// Pasting move lists: which texts are read as which list and base, how the
// moves come out, the results, and every real record pasted as a list.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "acquire/acquire.h"
#include "acquire/import.h"
#include "board/geometry.h"
#include "board_text.h"
#include "game/game.h"
#include "game/navigation.h"
#include "screen_fixture.h"

namespace tarnwick {
namespace {

using testing::boardText;
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
    paste("1.D4 2.swap 3.E5");
    EXPECT_EQ(moves(), (Strings{"1.D4", "2.swap", "3.E5"}));
    EXPECT_EQ(app.game.MoveCount, 3);
    EXPECT_EQ(app.game.CurrentMove, 3);
    EXPECT_EQ(app.board.BoardSize, 8);
    EXPECT_EQ(app.game.record.eventName, "Little Golem Havannah Game (pasted from clipboard)");
    EXPECT_EQ(app.game.record.blackPlayer + app.game.record.whitePlayer + app.game.record.gameNumber,
              "UnknownUnknownUnknown");
    EXPECT_EQ(app.game.record.resultText, "Unknown");
    EXPECT_EQ(cellChar(app, "D4"), 'W') << "swapped";
    EXPECT_EQ(cellChar(app, "E5"), 'B');
}

TEST_F(ClipboardImportTest, SpacesLineBreaksAndTabs) {
    paste("a   b    c\td\r\ne");  // no numbered point: refused, but normalised
    EXPECT_EQ(app.shell.ClipboardText, "a b  c d  e ") << "three spaces become one, four become two";
    paste("  1.D4   2.E5    3.F6\t4.G5  ");
    EXPECT_EQ(moves(), (Strings{"1.D4", "2.E5", "3.F6", "4.G5"}));
    // A line break with no space before it leaves two spaces: no move is lost.
    paste("1.D4\r\n2.E5\r\n3.F6\n4.G5");
    EXPECT_EQ(moves(), (Strings{"1.D4", "2.E5", "3.F6", "4.G5"}));
    EXPECT_EQ(app.game.MoveCount, 4);
    EXPECT_EQ(app.game.CurrentMove, 4);
}

TEST_F(ClipboardImportTest, OtherTextBeepsAndLeavesTheShownGame) {
    paste("1.D4 2.E5 3.F6");
    const auto shown = platform.canvas().pixels();
    for (const std::string text : {"the quick brown fox", "1.D4 2.T5", "1.Q5 2.E5 note", "D4 E5", "", "Hello",
                                   "Ok, a bad idea."}) {
        SCOPED_TRACE(text);
        const int beeps = platform.beepCount();
        paste(text);
        EXPECT_EQ(platform.beepCount(), beeps + 1);
        EXPECT_EQ(moves(), (Strings{"1.D4", "2.E5", "3.F6"}));
        EXPECT_EQ(app.game.CurrentMove, 3);
        EXPECT_EQ(app.board.BoardSize, 8);
        EXPECT_TRUE(platform.canvas().pixels() == shown);
    }
    paste("1.D4 2.swap 3.E5 with words");  // a swap lets letters t to z through
    EXPECT_EQ(app.game.MoveCount, 5);
}

TEST_F(ClipboardImportTest, CellsOnlyBase10HasChooseIt) {
    paste("1.D4 2.swap 3.E5 4.Q5");
    EXPECT_EQ(app.board.BoardSize, 10);
    EXPECT_EQ(app.board.GridSize, 19);
    EXPECT_EQ(cellChar(app, "Q5"), 'W') << "the page was laid out anew";
    // Every base-10-only cell but I15, each alone after base 8.
    for (int c = 1; c <= 19; ++c)
        for (int p = board::columnLength(8, c) + 1; p <= board::columnLength(10, c); ++p) {
            if (board::cellName(c, p) == "I15") continue;
            SCOPED_TRACE(board::cellName(c, p));
            showBase(8);
            paste("1.D4 2." + board::cellName(c, p));
            EXPECT_EQ(app.board.BoardSize, 10);
        }
    // No base-8 cell is taken for a marker; nor I15, nor a cell after ". ".
    for (const std::string& text : {listOfCells(8, 169), std::string("1.I15 2.D4"), std::string("1. D4 2. Q5")}) {
        showBase(8);
        paste(text);
        EXPECT_EQ(app.board.BoardSize, 8) << text;
    }
    showBase(10);
    paste("1.I15 2.D4");
    EXPECT_EQ(app.board.BoardSize, 10);
    EXPECT_EQ(cellChar(app, "I15"), 'B');
}

TEST_F(ClipboardImportTest, AnItsYourTurnListIsBase8InBoardNames) {
    showBase(10);
    paste("1. a8 b9\r\n2. h1");
    EXPECT_EQ(app.board.BoardSize, 8);
    EXPECT_EQ(app.acquire.PerMoveNumbered, 0);
    EXPECT_EQ(app.acquire.PairedMoveText, "a8 b9 h1 )");
    EXPECT_EQ(moves(), (Strings{"1.A1", "2.B3", "3.H1"}));
    EXPECT_EQ(app.game.record.eventName, "It's Your Turn Havannah Game");
    EXPECT_EQ(app.game.record.resultText, "Unknown");
    EXPECT_EQ(std::string() + cellChar(app, "A1") + cellChar(app, "B3") + cellChar(app, "H1"), "bWB");
    paste("1. a15 g2 2. b15  d5 3. g15 a7 o8 4. A15");  // the third move of a number is not a move
    EXPECT_EQ(moves(), (Strings{"1.A8", "2.G1", "3.B9", "4.D1", "5.G14", "6.A7", "7.A15"}));
}

TEST_F(ClipboardImportTest, TheNotationTableFollowsTheRowRule) {
    int converted = 0;
    for (char letter = 'a'; letter <= 'o'; ++letter)
        for (int row = 0; row <= 20; ++row) {
            const std::string name = letter + std::to_string(row);
            const int c = letter - 'a' + 1;
            const bool inTable = c <= 7 && row >= 9 - c && row <= 15;
            app.game.Moves.set(1, name);
            toBoardNotation(app);
            const std::string board = static_cast<char>(letter - 32) + std::to_string(row + c - 8);
            EXPECT_EQ(app.game.Moves[1], inTable ? board : name);
            converted += inTable ? 1 : 0;
        }
    EXPECT_EQ(converted, 77);
    const Strings kept{"A15", "a8 ", "swap", "resign"};
    for (int k = 1; k <= 4; ++k) app.game.Moves.set(k, kept[static_cast<std::size_t>(k - 1)]);
    toBoardNotation(app);
    EXPECT_EQ(moves(), kept);
    app.game.Moves.set(1, "a8");
    app.game.Moves.set(2, "");
    app.game.Moves.set(3, "b7");
    toBoardNotation(app);
    EXPECT_EQ(app.game.Moves[1] + "," + app.game.Moves[3], "A1,b7") << "the first empty entry ends the scan";
}

TEST_F(ClipboardImportTest, TheMoveBoxLinksAndHeadingsEndTheList) {
    paste("1.D4 2.E5 <<  <  >  >> 3.F6");
    EXPECT_EQ(moves(), (Strings{"1.D4", "2.E5"}));
    for (const std::string heading : {"txt", "hgf"}) {
        paste("1.D4 2.swap 3.E5\nList of moves  " + heading + "   <<  <  >  >>\n1.A1 whatever");
        EXPECT_EQ(moves(), (Strings{"1.D4", "2.swap", "3.E5"}));
    }
}

TEST_F(ClipboardImportTest, AtMost274MovesAndNothingLeftOfALongerGame) {
    std::string list;
    for (int k = 1; k <= 300; ++k) list += std::to_string(k) + ".Q5 ";
    paste(list);
    EXPECT_EQ(app.game.MoveCount, game::MaxMoveSlots);
    EXPECT_EQ(app.game.Moves[274], "274.Q5");
    std::string pairs;
    for (int k = 1; k <= 100; ++k) pairs += std::to_string(k) + ". a8 b9 ";
    paste(pairs);  // base 8 now, after a full base-10 list
    EXPECT_EQ(app.game.MoveCount, 200);
    EXPECT_EQ(moves().size(), 200U);
}

TEST_F(ClipboardImportTest, ResultsFollowTheResigningMovesNumber) {
    const std::pair<std::string, std::string> cases[] = {
        {"1.D4 24.resign", "Black wins (White resigned)"}, {"1.D4 23.resign", "White wins (Black resigned)"},
        {"1.D4 23.Resign", "White wins (Black resigned)"}, {"1.D4 24.Resign", "Black wins (White resigned)"},
        {"1.D4 24.RESIGN", "Black wins (White resigned)"}, {"1.D4 2.E5", "Unknown"},
        // It's Your Turn: by the resignation's entry, not by a cell's digit.
        {"1. a8 b9 2. h1 resign", "Black wins (White resigned)"}, {"1. a8 b9 2. resign", "White wins (Black resigned)"},
        {"1. a8 b9 2. h1 g2 Black resigned", "White wins (Black resigned)"},
    };
    for (const auto& [text, result] : cases) {
        paste(text);
        EXPECT_EQ(app.game.record.resultText, result) << text;
    }
}

TEST_F(ClipboardImportTest, AResignationInAnyCaseEndsStepping) {
    EXPECT_TRUE(game::isResignToken("24.RESIGN") && game::isResignToken("23.Resign") && game::isResignToken("rEsIgNs"));
    EXPECT_FALSE(game::isResignToken("resig") || game::isResignToken("1.D4"));
    // Its letters do not make a Little Golem list look like a lowercase one.
    paste("1.D4 2.E5 3.resign");
    EXPECT_EQ(app.acquire.PerMoveNumbered, 1);
    EXPECT_EQ(app.acquire.LowercaseCount, 0);
    EXPECT_EQ(moves(), (Strings{"1.D4", "2.E5", "3.resign"}));
    EXPECT_EQ(app.game.CurrentMove, 2);
    for (const std::string word : {"Resign", "RESIGN"}) {
        paste(listOfCells(8, 22) + "23." + word);
        EXPECT_EQ(app.game.MoveCount, 23);
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

// Every real record of base 8 or 10, written out as a Little Golem list and
// pasted over an emptied game of its base, shows what the record shows.
TEST_F(ClipboardImportTest, EveryRealRecordPastedAsAListShowsTheSamePosition) {
    const std::filesystem::path folder = TARNWICK_RECORDS_DIR;
    ASSERT_TRUE(std::filesystem::exists(folder / "index.tsv")) << "no records at " << folder;
    int pasted = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".sgf") continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream record;
        record << in.rdbuf();
        app.game.record.recordText = record.str();
        loadRecordText(app);
        if (app.acquire.GameValid != 1 || app.game.MoveCount == 0) continue;
        std::string list;
        for (int k = 1; !app.game.Moves[k].empty(); ++k) list += app.game.Moves[k] + " ";
        const int count = app.game.MoveCount;
        const int shown = app.game.CurrentMove;
        const std::string position = boardText(app);
        game::clearPosition(gameOf(app));
        game::clearGame(gameOf(app));
        paste(list);
        ASSERT_EQ(app.game.record.eventName, "Little Golem Havannah Game (pasted from clipboard)");
        EXPECT_EQ(app.game.MoveCount, count);
        EXPECT_EQ(app.game.CurrentMove, shown);
        EXPECT_EQ(boardText(app), position);
        ++pasted;
    }
    EXPECT_EQ(pasted, 693);  // the 706 of base 8 or 10 less the 13 with no moves
}

}  // namespace
}  // namespace tarnwick
