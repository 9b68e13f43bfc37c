// Move values, the position at a node through the rules, and the header.
#include <gtest/gtest.h>

#include <string>

#include "record/header.h"
#include "record/moves.h"
#include "record/text.h"

namespace tarnwick::record {
namespace {

Tree treeOf(const std::string& text) {
    ReadResult read = readRecords(text);
    EXPECT_FALSE(read.error) << text;
    return read.trees.empty() ? Tree() : std::move(read.trees.front());
}

TEST(MovesTest, Values) {
    const struct {
        const char* value;
        std::optional<Move> move;
    } cases[] = {
        {"H3", Move::at("H3")},     {"h3", Move::at("H3")},     {"j19", Move::at("J19")},
        {"Z99", Move::at("Z99")},   {"swap", Move::swap()},     {"SWAP", Move::swap()},
        {"Resign", Move::resign()}, {"A0", std::nullopt},       {"A01", std::nullopt},
        {"A100", std::nullopt},     {"3H", std::nullopt},       {" H3", std::nullopt},
        {"", std::nullopt},         {"pass", std::nullopt},     {"swap ", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(parseMove(c.value), c.move) << c.value;
}

// The position at the end of the main line: the first move that cannot be
// played is named ("number value reason"), the position stops before it.
TEST(MovesTest, PositionAtTheEndOfTheLine) {
    const auto topology = std::make_shared<const havannah::Topology>(8);
    const struct {
        const char* record;
        const char* refused;
        int played;
        const char* whiteCell;  // a cell holding a white stone, or ""
    } cases[] = {
        {"(;SZ[8];W[E5];B[F5];W[e5])", "3 e5 is on an occupied cell", 2, "F5"},
        {"(;SZ[8];W[E5];B[Z9])", "2 Z9 is off the board", 1, ""},
        {"(;SZ[8];W[E5];B[F5];W[swap])", "3 swap is a swap that is not allowed here", 2, "F5"},
        {"(;SZ[8];W[E5];B[pass];W[F6])", "2 pass is not a move", 1, ""},
        {"(;SZ[8];W[E5];B[resign];W[F6])", "3 F6 comes after a resignation", 1, ""},
        {"(;SZ[8];W[E5];B[swap];W[F6])", "", 3, "E5"},
        {"(;SZ[8];B[E5];B[F6])", "", 2, "F6"},
        {"(;SZ[8];W[E\\5];C[a comment, no move];B[F6]W[G7])", "", 2, "F6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        const Tree tree = treeOf(c.record);
        const std::vector<NodeId> line = mainLine(tree);
        const NodePosition at = positionAt(tree, line.back(), topology);
        std::string refused;
        if (at.refused) {
            const RefusedMove& r = *at.refused;
            refused = std::to_string(r.number) + " " + r.value + " " + r.reason;
            EXPECT_EQ(moveNumber(tree, r.node), r.number);
            EXPECT_EQ(unescape(moveOf(tree, r.node)->value), r.value);
        }
        EXPECT_EQ(refused, c.refused);
        EXPECT_EQ(at.position.movesPlayed(), c.played);
        if (*c.whiteCell) {
            EXPECT_EQ(at.position.at(*topology->parseCell(c.whiteCell)), havannah::Stone::White);
        }
    }
}

TEST(MovesTest, Header) {
    using havannah::Player;
    const Tree server = treeOf(
        "(;FF[4]EV[null]PB[Nagy Fathy]PW[kpatrick]SZ[8]RU[LG]RE[B]GC[ game #1009692]SO[http://www.littlegolem.com])");
    EXPECT_EQ(base(server), 8);
    EXPECT_EQ(playerName(server, Player::Black), "Nagy Fathy");
    EXPECT_EQ(playerName(server, Player::White), "kpatrick");
    EXPECT_EQ(event(server), "null");
    EXPECT_EQ(gameNumber(server), "1009692");
    EXPECT_EQ(winner(server), Player::Black);

    const Tree other = treeOf("(;SZ[ 8]PB[a\\]b]RE[W+R]GC[game #765, round 2])");
    EXPECT_EQ(base(other), std::nullopt);
    EXPECT_EQ(playerName(other, Player::Black), "a]b");
    EXPECT_EQ(playerName(other, Player::White), std::nullopt);
    EXPECT_EQ(gameNumber(other), "765");
    EXPECT_EQ(winner(other), Player::White);

    const Tree bare = treeOf("(;SZ[10]RE[?]GC[friendly])");
    EXPECT_EQ(base(bare), 10);
    EXPECT_EQ(gameNumber(bare), std::nullopt);
    EXPECT_EQ(winner(bare), std::nullopt);
}

}  // namespace
}  // namespace tarnwick::record
