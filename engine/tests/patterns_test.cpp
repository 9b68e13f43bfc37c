// Local patterns: the symmetries that make one pattern, and what a cell's
// surrounding looks like to each player.
#include "engine/patterns.h"

#include <gtest/gtest.h>

#include <set>

#include "havannah/position.h"

namespace tarnwick::engine {
namespace {

using havannah::Position;

// Swaps the mover's and the opponent's places: the same surrounding seen by
// the other player.
PatternCode otherSide(PatternCode code) {
    PatternCode out = 0;
    for (int i = 0; i < 6; ++i) {
        unsigned digit = (code >> (2 * i)) & 3U;
        if (digit == 1 || digit == 2) digit ^= 3U;
        out = static_cast<PatternCode>(out | digit << (2 * i));
    }
    return out;
}

TEST(PatternsTest, RotationsAndReflectionsMakeOnePattern) {
    // Six places of four kinds up to the twelve symmetries of the hexagon:
    // 430 patterns (fewer with a symmetry missed, more with a false one).
    std::set<PatternCode> canonical;
    for (PatternCode code = 0; code < kPatternCodes; ++code) {
        const PatternCode c = canonicalPattern(code);
        ASSERT_LE(c, code);
        ASSERT_EQ(canonicalPattern(c), c);
        canonical.insert(c);
    }
    EXPECT_EQ(canonical.size(), 430U);
}

TEST(PatternsTest, ACellsSurroundingAsEachPlayerSeesIt) {
    Position position(4);
    const auto cell = [&](const char* name) { return *position.topology().parseCell(name); };
    for (const char* move : {"D4", "D5", "C3"}) ASSERT_FALSE(position.play(cell(move)));
    const auto off = static_cast<PatternCode>(3 + 3 * 4 + 3 * 16);  // three places off the board in a row
    // A corner: three places off the board, three empty.
    EXPECT_EQ(canonicalPattern(localPattern(position, cell("A1"), havannah::Player::Black)), canonicalPattern(off));
    // Next to stones of both: Black's own places are White's opponent's.
    for (const char* name : {"C4", "E5", "D3", "A1"}) {
        SCOPED_TRACE(name);
        const PatternCode black = localPattern(position, cell(name), havannah::Player::Black);
        EXPECT_EQ(black, otherSide(localPattern(position, cell(name), havannah::Player::White)));
    }
    // C4 touches Black's D4 and C3 and White's D5.
    const PatternCode c4 = localPattern(position, cell("C4"), havannah::Player::Black);
    int own = 0, opponent = 0;
    for (int i = 0; i < 6; ++i) {
        own += ((c4 >> (2 * i)) & 3U) == 1;
        opponent += ((c4 >> (2 * i)) & 3U) == 2;
    }
    EXPECT_EQ(own, 2);
    EXPECT_EQ(opponent, 1);
    // The fitted weights know every pattern of a cell on the board.
    EXPECT_GT(PatternTable::fitted().gamma(c4), 1.0F);
}

}  // namespace
}  // namespace tarnwick::engine
