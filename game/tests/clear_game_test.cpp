// Clearing the loaded game, on the game layer alone over a headless canvas.
#include <gtest/gtest.h>

#include "game/game.h"
#include "platform/headless/headless_platform.h"

namespace tarnwick::game {
namespace {

// Every entry goes, not only those of the game's own length: a record may
// list more moves than its board has cells, and the next game must not run
// on into them. The result reads one blank, which the header draws as such.
TEST(ClearGameTest, EveryEntryAndHeaderFieldIsEmptied) {
    HeadlessPlatform platform;
    board::BoardFields board;
    GameFields state;
    MoveListFields list;
    for (int k = 1; k <= MaxMoveSlots; ++k) state.Moves.set(k, std::to_string(k) + ".A1");
    state.CurrentMove = 7;
    state.record = {"(;FF[4])", "123", "Event", "Black", "White", "2-0"};
    list.HighlightText = "7.A1";

    clearGame(Game{{platform, board, {}}, state, list, {}});

    for (int k = 1; k <= MaxMoveSlots; ++k) EXPECT_TRUE(state.Moves[k].empty()) << k;
    EXPECT_EQ(state.moveCount(), 0);
    EXPECT_EQ(state.CurrentMove, 0);
    EXPECT_EQ(state.record.resultText, " ");
    EXPECT_TRUE(state.record.blackPlayer.empty() && state.record.whitePlayer.empty());
    EXPECT_TRUE(state.record.gameNumber.empty() && state.record.eventName.empty());
    EXPECT_TRUE(list.HighlightText.empty());
    EXPECT_EQ(list.ScrolledRows, 0);
}


// Names too long for their half of the players' band end in "..." after a
// whole character, with a clear gap between Black's name and White's.
TEST(GameHeaderTest, LongNamesAreCutCleanlyWithAGapBetweenThem) {
    HeadlessPlatform platform;
    board::BoardFields board;
    GameFields state;
    MoveListFields list;
    const FontId header = platform.createFont("Arial", 8, kBold);
    state.record.blackPlayer = std::string(60, 'W');
    state.record.whitePlayer = "Someone with a name far too long for the band";
    drawGameHeader(Game{{platform, board, {}}, state, list, {kNoFont, kNoFont, header}});
    const Colour band{255, 255, 128};
    const auto inkInColumns = [&](int x1, int x2) {
        int ink = 0;
        for (int y = 110; y < 132; ++y)
            for (int x = x1; x < x2; ++x) ink += platform.getPixel(x, y) == band ? 0 : 1;
        return ink;
    };
    EXPECT_EQ(inkInColumns(858, 870), 0) << "the gap before White's name";
    EXPECT_GT(inkInColumns(820, 858), 0) << "Black's name runs up to the gap";
    EXPECT_EQ(inkInColumns(1012, 1016), 0) << "White's name ends inside the band";
}
}  // namespace
}  // namespace tarnwick::game
