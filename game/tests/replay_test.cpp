// Reading move-list entries.
#include <gtest/gtest.h>

#include "game/replay.h"

namespace tarnwick::game {
namespace {

// Entries decode as the list gives them: the player from the number's
// parity, the cell from its letter and one or two digits; nothing outside
// text can put in breaks the decoding.
TEST(MoveEntryTest, EntriesDecodeToPlayerAndCell) {
    using Kind = MoveEntry::Kind;
    using havannah::Player;
    const struct {
        const char* token;
        Kind kind;
        Player player;
        int column, position;
    } cases[] = {
        {"12.C10", Kind::Stone, Player::White, 3, 10},
        {"7.O8", Kind::Stone, Player::Black, 15, 8},
        {" 3 . D4 ", Kind::Stone, Player::Black, 4, 4},
        {"2.swap", Kind::Swap, Player::White, 0, 0},
        {"swap", Kind::Swap, Player::White, 0, 0},
        {"x.A1", Kind::Stone, Player::White, 1, 1},  // no number reads as 0: even
        {"99999999999999999999999.A1", Kind::Stone, Player::Black, 1, 1},  // parity survives
        {"99999999999999999999998.A1", Kind::Stone, Player::White, 1, 1},
        {"4", Kind::Stone, Player::White, 0, 0},  // no point: no cell
        {"5.", Kind::Stone, Player::Black, 0, 0},
        {"6.C", Kind::Stone, Player::White, 3, 0},
        {"7.C1x", Kind::Stone, Player::Black, 3, 1},
        {"8.\xC3\xA9", Kind::Stone, Player::White, 0xC3 - 64, 0},
    };
    for (const auto& c : cases) {
        const MoveEntry e = decodeMove(c.token);
        EXPECT_EQ(e.kind, c.kind) << c.token;
        EXPECT_EQ(e.player, c.player) << c.token;
        EXPECT_EQ(e.column, c.column) << c.token;
        EXPECT_EQ(e.position, c.position) << c.token;
    }
    EXPECT_EQ(decodeMove("12.C10").cellText, "C10");
    EXPECT_EQ(decodeMove("31.Resign").kind, Kind::Resign);
}

}  // namespace
}  // namespace tarnwick::game
