// Pasted move lists: which texts are read as which list and base, how the
// moves come out, the results, and every real record written as a list.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "acquire/acquire.h"
#include "acquire/import.h"
#include "havannah/tests/record_index.h"
#include "havannah/topology.h"

namespace tarnwick::acquire {
namespace {

using Strings = std::vector<std::string>;

Strings movesOf(std::string_view text, int shownBase = 8) {
    const std::optional<GameValues> game = readMoveList(text, shownBase);
    return game ? game->moves : Strings{"(refused)"};
}
int baseOf(std::string_view text, int shownBase) {
    const std::optional<GameValues> game = readMoveList(text, shownBase);
    return game ? game->base : 0;
}

// "1.A1 2.A2 ..." over the first cells of a base.
std::string listOfCells(int base, int count) {
    const havannah::Topology topology(base);
    std::string text;
    for (havannah::Cell cell = 0; cell < count && cell < topology.cellCount(); ++cell)
        text += std::to_string(cell + 1) + "." + topology.name(cell) + " ";
    return text;
}

TEST(MoveListTest, ALittleGolemList) {
    const std::optional<GameValues> game = readMoveList("1.D4 2.swap 3.E5", 8);
    ASSERT_TRUE(game);
    EXPECT_EQ(game->moves, (Strings{"1.D4", "2.swap", "3.E5"}));
    EXPECT_EQ(game->base, 8);
    const game::GameRecord& r = game->record;
    EXPECT_EQ(r.eventName, "Little Golem Havannah Game (pasted from clipboard)");
    EXPECT_EQ(r.blackPlayer + r.whitePlayer + r.gameNumber, "UnknownUnknownUnknown");
    EXPECT_EQ(r.resultText, "Unknown");
    EXPECT_EQ(r.recordText, "");
}

TEST(MoveListTest, SpacesLineBreaksAndTabsSeparateMoves) {
    EXPECT_EQ(movesOf("  1.D4   2.E5    3.F6\t4.G5  "), (Strings{"1.D4", "2.E5", "3.F6", "4.G5"}));
    // A line break with no space before it leaves two spaces: no move is lost.
    EXPECT_EQ(movesOf("1.D4\r\n2.E5\r\n3.F6\n4.G5"), (Strings{"1.D4", "2.E5", "3.F6", "4.G5"}));
    EXPECT_EQ(movesOf("1. D4 2. E5"), (Strings{"1.D4", "2.E5"}));
}

TEST(MoveListTest, OtherTextIsNoList) {
    for (const char* text : {"the quick brown fox", "1.D4 2.T5", "1.Q5 2.E5 note", "D4 E5", "", "Hello",
                             "Ok, a bad idea.", "a   b    c\td\r\ne", "abc def"}) {
        EXPECT_FALSE(readMoveList(text, 8)) << text;
    }
    // A swap lets letters t to z through.
    EXPECT_EQ(movesOf("1.D4 2.swap 3.E5 with words").size(), 5U);
}

TEST(MoveListTest, CellsOnlyBase10HasChooseIt) {
    EXPECT_EQ(baseOf("1.D4 2.swap 3.E5 4.Q5", 8), 10);
    // Every base-10-only cell but I15, each alone after a base-8 one.
    const havannah::Topology base8(8), base10(10);
    for (havannah::Cell cell = 0; cell < base10.cellCount(); ++cell) {
        const std::string name = base10.name(cell);
        if (base8.parseCell(name) || name == "I15") continue;
        EXPECT_EQ(baseOf("1.D4 2." + name, 8), 10) << name;
    }
    // No base-8 cell is taken for a marker; nor I15, nor a cell after ". ".
    for (const std::string& text : {listOfCells(8, 169), std::string("1.I15 2.D4"), std::string("1. D4 2. Q5")})
        EXPECT_EQ(baseOf(text, 8), 8) << text;
    EXPECT_EQ(baseOf("1.I15 2.D4", 10), 10) << "a Little Golem list keeps the base shown";
}

TEST(MoveListTest, AnItsYourTurnListIsBase8InBoardNames) {
    const std::optional<GameValues> game = readMoveList("1. a8 b9\r\n2. h1", 10);
    ASSERT_TRUE(game);
    EXPECT_EQ(game->base, 8);
    EXPECT_EQ(game->moves, (Strings{"1.A1", "2.B3", "3.H1"}));
    EXPECT_EQ(game->record.eventName, "It's Your Turn Havannah Game");
    EXPECT_EQ(game->record.resultText, "Unknown");
    // The third move of a number is not a move; a move from ")" on ends them.
    EXPECT_EQ(movesOf("1. a15 g2 2. b15  d5 3. g15 a7 o8 4. A15"),
              (Strings{"1.A8", "2.G1", "3.B9", "4.D1", "5.G14", "6.A7", "7.A15"}));
    EXPECT_EQ(movesOf("1. a8 b9 2. )c h1"), (Strings{"1.A1", "2.B3"}));
}

TEST(MoveListTest, TheNotationTableFollowsTheRowRule) {
    int converted = 0;
    for (char letter = 'a'; letter <= 'o'; ++letter)
        for (int row = 0; row <= 20; ++row) {
            const std::string name = letter + std::to_string(row);
            const int c = letter - 'a' + 1;
            const bool inTable = c <= 7 && row >= 9 - c && row <= 15;
            const std::string board = static_cast<char>(letter - 32) + std::to_string(row + c - 8);
            EXPECT_EQ(toBoardNotation(name), inTable ? board : name);
            converted += inTable ? 1 : 0;
        }
    EXPECT_EQ(converted, 77);
    for (const char* kept : {"A15", "a8 ", "swap", "resign", ""}) EXPECT_EQ(toBoardNotation(kept), kept);
}

TEST(MoveListTest, TheMoveBoxLinksAndHeadingsEndTheList) {
    EXPECT_EQ(movesOf("1.D4 2.E5 <<  <  >  >> 3.F6"), (Strings{"1.D4", "2.E5"}));
    for (const std::string heading : {"txt", "hgf"}) {
        EXPECT_EQ(movesOf("1.D4 2.swap 3.E5\nList of moves  " + heading + "   <<  <  >  >>\n1.A1 whatever"),
                  (Strings{"1.D4", "2.swap", "3.E5"}));
    }
}

TEST(MoveListTest, AtMost274MovesOfAtMost64Characters) {
    std::string list;
    for (int k = 1; k <= 300; ++k) list += std::to_string(k) + ".Q5 ";
    const Strings numbered = movesOf(list);
    ASSERT_EQ(numbered.size(), static_cast<std::size_t>(game::MaxMoveSlots));
    EXPECT_EQ(numbered.back(), "274.Q5");
    std::string pairs;
    for (int k = 1; k <= 200; ++k) pairs += std::to_string(k) + ". a8 b9 ";
    EXPECT_EQ(movesOf(pairs).size(), static_cast<std::size_t>(game::MaxMoveSlots));
    EXPECT_EQ(movesOf("1.D4 2." + std::string(100, 'Q')).back().size(), 64U);
}

TEST(MoveListTest, ResultsFollowTheResigningMovesNumber) {
    const std::pair<std::string, std::string> cases[] = {
        {"1.D4 24.resign", "Black wins (White resigned)"}, {"1.D4 23.resign", "White wins (Black resigned)"},
        {"1.D4 23.Resign", "White wins (Black resigned)"}, {"1.D4 24.Resign", "Black wins (White resigned)"},
        {"1.D4 24.RESIGN", "Black wins (White resigned)"}, {"1.D4 2.E5", "Unknown"},
        {"1.D4 2.E5 <<  <  >  >> 4.resign", "Unknown"},
        // It's Your Turn: by the resignation's entry, not by a cell's digit.
        {"1. a8 b9 2. h1 resign", "Black wins (White resigned)"}, {"1. a8 b9 2. resign", "White wins (Black resigned)"},
        {"1. a8 b9 2. h1 g2 Black resigned", "White wins (Black resigned)"},
    };
    for (const auto& [text, result] : cases) {
        const std::optional<GameValues> game = readMoveList(text, 8);
        ASSERT_TRUE(game) << text;
        EXPECT_EQ(game->record.resultText, result) << text;
    }
}

TEST(MoveListTest, AResignationDoesNotMakeALowercaseList) {
    const std::optional<GameValues> game = readMoveList("1.D4 2.E5 3.resign", 10);
    ASSERT_TRUE(game);
    EXPECT_EQ(game->base, 10) << "read as a Little Golem list";
    EXPECT_EQ(game->moves, (Strings{"1.D4", "2.E5", "3.resign"}));
    EXPECT_EQ(movesOf("1. a8 b9 2. h1 resign").back(), "4.RESIGN");
}

// Every real record of base 8 or 10, written out as a Little Golem list,
// reads as the same moves on the same base.
TEST(MoveListTest, EveryRealRecordAsAList) {
    const std::filesystem::path folder = TARNWICK_RECORDS_DIR;
    int pasted = 0;
    for (const testing::IndexRow& row : testing::readIndex(folder)) {
        const std::optional<GameValues> record = readRecord(testing::fileText(folder / row.file));
        if (!record || record->moves.empty()) continue;
        SCOPED_TRACE(row.file);
        std::string list;
        for (const std::string& move : record->moves) list += move + " ";
        const std::optional<GameValues> game = readMoveList(list, record->base);
        ASSERT_TRUE(game);
        EXPECT_EQ(game->base, record->base);
        EXPECT_EQ(game->moves, record->moves);
        ++pasted;
    }
    EXPECT_EQ(pasted, 693);  // the 706 of base 8 or 10 less the 13 with no moves
}

}  // namespace
}  // namespace tarnwick::acquire
