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

// A position, Black's next move, and what that move makes: the kinds and
// the structure's cells ("none" and nothing when it wins nothing).
struct WinCase {
    const char* title;
    const char* position;
    const char* move;
    const char* kinds;
    const char* cells;
};
const WinCase kWinCases[] = {
    {"ring round an empty cell", R"(
      .
    .   .
  .   .   .
.   .   .   .
  .   X   .
.   .   X   .
  .   .   .
.   X   X   .
  .   X   .
.   .   .   .
  .   .   .
    .   .
      .
black to move)",
     "C4", "ring", "C3 C4 D3 D5 E3 E4"},
    {"ring round the opponent's stone", R"(
      .
    .   .
  .   .   .
.   .   .   .
  .   X   .
.   .   X   .
  .   O   .
.   X   X   .
  .   X   .
.   .   .   .
  .   .   .
    .   .
      .
black to move)",
     "C4", "ring", "C3 C4 D3 D5 E3 E4"},
    {"flower closed by its centre", R"(
      .
    .   .
  .   .   .
.   .   .   .
  .   X   .
.   X   X   .
  .   .   .
.   X   X   .
  .   X   .
.   .   .   .
  .   .   .
    .   .
      .
black to move)",
     "D4", "ring", "C3 C4 D3 D5 E3 E4"},
    {"flower closed by a petal", R"(
      .
    .   .
  .   .   .
.   .   .   .
  .   X   .
.   .   X   .
  .   X   .
.   X   X   .
  .   X   .
.   .   .   .
  .   .   .
    .   .
      .
black to move)",
     "C4", "ring", "C3 C4 D3 D5 E3 E4"},
    {"three arcs, one gap enclosed", R"(
      .
    .   .
  .   .   .
.   .   .   .
  X   X   .
.   .   X   .
  .   .   .
.   X   X   .
  .   X   .
.   .   .   .
  .   .   .
    .   .
      .
black to move)",
     "C4", "ring", "C3 C4 D3 D5 E3 E4"},
    {"ring on the edge", R"(
      .
    .   .
  .   .   .
.   .   .   .
  .   .   .
.   .   .   .
  X   .   .
.   X   .   .
  .   .   .
X   X   .   .
  X   .   .
    .   .
      .
black to move)",
     "A2", "ring", "A1 A2 B1 B3 C2 C3"},
    {"triangle", R"(
      .
    .   .
  .   .   .
.   .   .   .
  .   X   .
.   .   .   .
  .   X   .
.   .   .   .
  .   .   .
.   .   .   .
  .   .   .
    .   .
      .
black to move)",
     "E4", "none", ""},
    {"rhombus", R"(
      .
    .   .
  .   .   .
.   .   X   .
  .   X   .
.   .   .   .
  .   X   .
.   .   .   .
  .   .   .
.   .   .   .
  .   .   .
    .   .
      .
black to move)",
     "E4", "none", ""},
    {"two arcs, both gaps open", R"(
      .
    .   .
  .   X   .
.   X   .   .
  .   X   .
.   .   .   .
  .   .   .
.   .   .   .
  .   X   .
.   .   .   .
  .   X   .
    .   .
      .
black to move)",
     "D4", "none", ""},
    {"corner touching two sides", R"(
      .
    .   .
  .   .   .
.   .   .   .
  .   .   .
.   .   .   .
  .   .   .
X   .   .   .
  .   .   .
.   .   .   .
  X   .   .
    .   .
      .
black to move)",
     "A1", "none", ""},
    {"bridge", R"(
      .
    .   .
  .   .   .
X   .   .   .
  .   .   .
.   .   .   .
  .   .   .
X   .   .   .
  .   .   .
X   .   .   .
  .   .   .
    .   .
      .
black to move)",
     "A3", "bridge", "A1 A2 A3 A4"},
    {"fork", R"(
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
     "C4", "fork", "A3 B3 C1 C2 C3 C4 C5 C6"},
    {"ring and fork", R"(
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
     "E4", "ring and fork", "A3 B4 C1 C2 C3 C4 D3 D5 E3 E4 F4 G3"},
};

TEST(PositionTest, WinsMadeByOneMove) {
    for (const WinCase& c : kWinCases) {
        SCOPED_TRACE(c.title);
        auto position = parsePosition(c.position);
        ASSERT_TRUE(position.has_value());
        position->setMovesPlayed(20);
        ASSERT_EQ(position->play(cellNamed(*position, c.move)), std::nullopt);
        EXPECT_EQ(describe(position->winKinds()), c.kinds);
        const auto win = position->win();
        ASSERT_EQ(win.has_value(), position->isWon());
        if (!win) continue;
        EXPECT_EQ(win->player, Player::Black);
        EXPECT_EQ(position->winner(), Player::Black);
        EXPECT_EQ(win->move, 21);
        EXPECT_EQ(position->topology().name(win->cell), c.move);
        EXPECT_EQ(names(position->topology(), win->cells), c.cells);
    }
}

TEST(PositionTest, RefusedMovesChangeNothing) {
    Position position(4);
    ASSERT_EQ(position.play(cellNamed(position, "D4")), std::nullopt);
    const std::string before = toText(position);
    EXPECT_EQ(position.play(-1), Refusal::OffBoard);
    EXPECT_EQ(position.play(position.topology().cellCount()), Refusal::OffBoard);
    EXPECT_EQ(position.play(cellNamed(position, "D4")), Refusal::Occupied);
    EXPECT_EQ(toText(position), before);
    EXPECT_EQ(position.movesPlayed(), 1);

    // Black builds column A while White plays elsewhere; after the bridge
    // every move is refused.
    for (const char* move : {"F3", "A1", "F4", "A2", "F5", "A3", "E2"})
        ASSERT_EQ(position.play(cellNamed(position, move)), std::nullopt);
    ASSERT_EQ(position.play(cellNamed(position, "A4")), std::nullopt);
    ASSERT_EQ(position.winner(), Player::Black);
    const std::string won = toText(position);
    EXPECT_EQ(position.play(cellNamed(position, "B2")), Refusal::GameOver);
    EXPECT_EQ(position.play(cellNamed(position, "A4")), Refusal::GameOver);
    EXPECT_EQ(position.play(-5), Refusal::OffBoard);
    EXPECT_EQ(position.swap(), Refusal::NoSwap);
    EXPECT_EQ(toText(position), won);
    EXPECT_EQ(position.movesPlayed(), 9);
    EXPECT_EQ(describe(Refusal::GameOver), "comes after the game was won");
}

TEST(PositionTest, SwapOnlyAsTheSecondMove) {
    Position position(5);
    EXPECT_FALSE(position.canSwap());
    EXPECT_EQ(position.swap(), Refusal::NoSwap);
    ASSERT_EQ(position.play(cellNamed(position, "E5")), std::nullopt);
    EXPECT_TRUE(position.canSwap());
    ASSERT_EQ(position.swap(), std::nullopt);
    EXPECT_EQ(position.at(cellNamed(position, "E5")), Stone::White);
    EXPECT_EQ(position.toMove(), Player::Black);
    EXPECT_EQ(position.movesPlayed(), 2);
    EXPECT_EQ(position.swap(), Refusal::NoSwap);
    ASSERT_EQ(position.play(cellNamed(position, "A1")), std::nullopt);
    EXPECT_EQ(position.at(cellNamed(position, "A1")), Stone::Black);
    EXPECT_EQ(position.swap(), Refusal::NoSwap);

    Position noSwap(5, false);
    ASSERT_EQ(noSwap.play(cellNamed(noSwap, "E5")), std::nullopt);
    EXPECT_FALSE(noSwap.canSwap());
    EXPECT_EQ(noSwap.swap(), Refusal::NoSwap);
    EXPECT_EQ(noSwap.at(cellNamed(noSwap, "E5")), Stone::Black);

    // The swapped stone is White's: White's bridge along column A, made
    // with the eighth move, counts the swap.
    Position swapped(4);
    for (const char* move : {"A1", "swap", "G1", "A2", "G2", "A3", "G3"}) {
        ASSERT_EQ(std::string_view(move) == "swap" ? swapped.swap() : swapped.play(cellNamed(swapped, move)), std::nullopt);
    }
    EXPECT_FALSE(swapped.isWon());
    ASSERT_EQ(swapped.play(cellNamed(swapped, "A4")), std::nullopt);
    ASSERT_EQ(swapped.winner(), Player::White);
    EXPECT_EQ(swapped.win()->move, 8);
}

TEST(PositionTest, PlaceRebuildsGroups) {
    // A chain along column A cut by a White stone and mended again.
    auto position = parsePosition(R"(
      .
    .   .
  .   .   .
.   .   .   .
  .   .   .
X   .   .   .
  .   .   .
X   .   .   .
  .   .   .
.   .   .   .
  .   .   .
    .   .
      .
black to move)");
    ASSERT_TRUE(position.has_value());
    const Cell a1 = cellNamed(*position, "A1");
    const Cell a2 = cellNamed(*position, "A2");
    position->place(a1, Stone::Black);
    position->place(a2, Stone::White);
    Position cut = *position;
    ASSERT_EQ(cut.play(cellNamed(cut, "A4")), std::nullopt);
    EXPECT_FALSE(cut.isWon());
    position->place(a2, Stone::Empty);
    position->place(a2, Stone::Black);
    EXPECT_EQ(position->movesPlayed(), 2);
    ASSERT_EQ(position->play(cellNamed(*position, "A4")), std::nullopt);
    EXPECT_TRUE(position->winKinds().bridge);
    EXPECT_EQ(names(position->topology(), position->win()->cells), "A1 A2 A3 A4");
}

}  // namespace
}  // namespace tarnwick::havannah
