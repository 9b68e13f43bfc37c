#include "havannah/position.h"

#include <gtest/gtest.h>

#include "havannah/text.h"

namespace tarnwick::havannah {
namespace {

std::string names(const Topology& topology, const std::vector<Cell>& cells) {
    std::string text;
    for (const Cell cell : cells) text += (text.empty() ? "" : " ") + topology.name(cell);
    return text;
}

Cell cellNamed(const Position& position, std::string_view name) { return *position.topology().parseCell(name); }

// Boards holding several shapes apart from each other, and for each shape
// Black's next move with what it makes: the kinds and the structure's cells
// ("none" and nothing when it wins nothing).
struct WinCase {
    const char* title;
    const char* move;
    const char* kinds;
    const char* cells;
};
struct WinBoard {
    const char* position;
    std::vector<WinCase> cases;
};
const WinBoard kWinBoards[] = {
    {R"(
              .
            .   .
          .   .   .
        .   .   .   .
      .   .   .   .   .
    .   .   .   .   .   .
  .   .   .   .   .   X   .
.   .   X   .   .   X   .   .
  .   .   X   .   .   X   .
.   .   O   .   X   .   .   .
  .   X   X   .   X   .   .
.   .   X   .   X   .   .   .
  .   .   .   X   X   X   .
.   .   .   .   X   .   .   .
  .   X   .   .   .   X   .
.   .   X   .   .   .   .   .
  .   .   .   .   .   .   .
.   X   X   .   .   X   X   .
  .   X   .   .   .   .   X
.   .   .   .   X   .   .   .
  .   .   .   X   X   X   X
.   .   X   .   .   .   X   .
  .   .   X   X   X   .   .
    .   X   .   X   .   .
      .   .   .   .   .
        .   .   .   .
          .   .   .
            .   .
              .
black to move)",
     {
         {"ring round an empty cell", "C5", "ring", "C4 C5 D4 D6 E5 E6"},
         {"ring round the opponent's stone", "D9", "ring", "D8 D9 E8 E10 F9 F10"},
         {"flower closed by its centre", "I4", "ring", "H4 H5 I3 I5 J3 J4"},
         {"flower closed by a petal", "H10", "ring", "H9 H10 I8 I10 J8 J9"},
         {"three arcs, one gap enclosed", "L4", "ring", "L3 L4 M2 M4 N2 N3"},
         {"rhombus", "F2", "none", ""},
         {"two arcs, both gaps open", "L8", "none", ""},
     }},
    {R"(
          X
        .   X
      .   .   .
    .   X   X   .
  .   .   X   .   .
.   .   .   .   .   X
  .   .   .   .   .
.   .   .   .   .   X
  .   .   .   .   .
.   .   .   .   .   X
  .   .   .   .   .
.   .   .   .   .   .
  .   .   .   .   .
X   .   .   .   .   X
  .   .   .   .   .
.   .   .   .   .   X
  X   .   .   .   .
    .   .   .   .
      .   .   .
        .   .
          .
black to move)",
     {
         {"corner touching two sides", "A1", "none", ""},
         {"bridge", "K3", "bridge", "K1 K2 K3 K4 K5 K6"},
         {"ring on the edge", "E10", "ring", "E9 E10 F9 F11 G9 G10"},
     }},
    {R"(
      .
    X   .
  .   .   .
.   X   .   .
  .   .   .
X   .   .   .
  X   .   .
.   X   .   .
  .   X   .
.   X   .   .
  .   .   .
    X   .
      .
black to move)",
     {
         {"fork", "C4", "fork", "A3 B3 C1 C2 C3 C4 C5 C6"},
     }},
    {R"(
      .
    .   .
  .   .   .
.   .   .   .
  X   X   X
X   X   .   X
  .   .   .
.   X   X   .
  .   X   .
.   X   .   .
  .   .   .
    X   .
      .
black to move)",
     {
         {"ring and fork", "E4", "ring and fork", "A3 B4 C1 C2 C3 C4 D3 D5 E3 E4 F4 G3"},
     }},
};

TEST(PositionTest, WinsMadeByOneMove) {
    for (const WinBoard& board : kWinBoards) {
        const auto start = parsePosition(board.position);
        ASSERT_TRUE(start.has_value());
        for (const WinCase& c : board.cases) {
            SCOPED_TRACE(c.title);
            Position position = *start;
            position.setMovesPlayed(20);
            ASSERT_EQ(position.play(cellNamed(position, c.move)), std::nullopt);
            EXPECT_EQ(describe(position.winKinds()), c.kinds);
            const auto win = position.win();
            ASSERT_EQ(win.has_value(), position.isWon());
            if (!win) continue;
            EXPECT_EQ(win->player, Player::Black);
            EXPECT_EQ(win->move, 21);
            EXPECT_EQ(position.topology().name(win->cell), c.move);
            EXPECT_EQ(names(position.topology(), win->cells), c.cells);
        }
    }
}

// Plays moves given by name ("swap" for the swap); true when none is refused.
bool playAll(Position& position, std::initializer_list<std::string_view> moves) {
    for (const std::string_view move : moves) {
        if ((move == "swap" ? position.swap() : position.play(cellNamed(position, move))).has_value()) return false;
    }
    return true;
}

TEST(PositionTest, RefusedMovesChangeNothing) {
    Position position(4);
    ASSERT_TRUE(playAll(position, {"D4"}));
    const std::string before = toText(position);
    EXPECT_EQ(position.play(-1), Refusal::OffBoard);
    EXPECT_EQ(position.play(position.topology().cellCount()), Refusal::OffBoard);
    EXPECT_EQ(position.play(cellNamed(position, "D4")), Refusal::Occupied);
    EXPECT_EQ(toText(position), before);

    // Black's bridge along column A ends the game.
    ASSERT_TRUE(playAll(position, {"F3", "A1", "F4", "A2", "F5", "A3", "E2", "A4"}));
    ASSERT_EQ(position.winner(), Player::Black);
    const std::string won = toText(position);
    EXPECT_EQ(position.play(cellNamed(position, "B2")), Refusal::GameOver);
    EXPECT_EQ(position.play(cellNamed(position, "A4")), Refusal::GameOver);
    EXPECT_EQ(position.play(-5), Refusal::OffBoard);
    EXPECT_EQ(position.swap(), Refusal::NoSwap);
    EXPECT_EQ(toText(position), won);
    EXPECT_EQ(position.movesPlayed(), 9);
}

TEST(PositionTest, SwapOnlyAsTheSecondMoveWithTheRuleOn) {
    Position position(4);
    EXPECT_EQ(position.swap(), Refusal::NoSwap);
    ASSERT_TRUE(playAll(position, {"A1"}));
    EXPECT_TRUE(position.canSwap());
    ASSERT_TRUE(playAll(position, {"swap"}));
    EXPECT_EQ(position.at(cellNamed(position, "A1")), Stone::White);
    EXPECT_EQ(position.toMove(), Player::Black);
    EXPECT_EQ(position.movesPlayed(), 2);
    EXPECT_EQ(position.swap(), Refusal::NoSwap);
    // The swapped stone is White's own: White's bridge on column A comes
    // with the eighth move, the swap counted.
    ASSERT_TRUE(playAll(position, {"G1", "A2", "G2", "A3", "G3"}));
    EXPECT_FALSE(position.isWon());
    ASSERT_TRUE(playAll(position, {"A4"}));
    ASSERT_EQ(position.winner(), Player::White);
    EXPECT_EQ(position.win()->move, 8);

    Position noSwap(4, false);
    ASSERT_TRUE(playAll(noSwap, {"D4"}));
    EXPECT_FALSE(noSwap.canSwap());
    EXPECT_EQ(noSwap.swap(), Refusal::NoSwap);
    EXPECT_EQ(noSwap.at(cellNamed(noSwap, "D4")), Stone::Black);
}

TEST(PositionTest, PlaceRebuildsGroups) {
    // A chain along column A cut by a White stone, then mended.
    Position position(4);
    for (const char* name : {"A1", "A2", "A3"}) position.place(cellNamed(position, name), Stone::Black);
    position.place(cellNamed(position, "A2"), Stone::White);
    Position cut = position;
    ASSERT_TRUE(playAll(cut, {"A4"}));
    EXPECT_FALSE(cut.isWon());
    position.place(cellNamed(position, "A2"), Stone::Empty);
    position.place(cellNamed(position, "A2"), Stone::Black);
    EXPECT_EQ(position.movesPlayed(), 0);
    ASSERT_TRUE(playAll(position, {"A4"}));
    ASSERT_TRUE(position.winKinds().bridge);
    EXPECT_EQ(names(position.topology(), position.win()->cells), "A1 A2 A3 A4");
}

}  // namespace
}  // namespace tarnwick::havannah
