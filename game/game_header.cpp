#include "board/board.h"
#include "game/game.h"
#include "game/variations.h"
#include "platform/text_fit.h"

namespace tarnwick::game {

void clearGame(Game game) {
    GameFields& g = game.state;
    // Every entry: a record may list more moves than its board has cells,
    // and must not run on into the moves of a longer game shown before.
    for (int k = 1; k <= MaxMoveSlots; ++k) g.Moves.set(k, std::string());
    takeTree(g, record::Tree());
    g.record.eventName.clear();
    g.record.blackPlayer.clear();
    g.record.whitePlayer.clear();
    g.record.gameNumber.clear();
    g.record.resultText.assign(1, ' ');  // one blank, not empty
    game.list.HighlightText.clear();
    g.CurrentMove = 0;
    game.list.ListPenY = 246;
    game.list.ListRightLimit = 1000;
    game.list.ListPenX = 1016;
    game.list.ScrolledRows = 0;
    board::drawCellLabels(game.board);
}

void drawGameHeader(Game game) {
    const board::Palette& c = game.board.state.Colours;
    Platform& p = game.board.platform;
    const GameRecord& r = game.state.record;

    // Each text is cut off at the end of its place: the bands end before
    // x 1016 (clearInfoPanel). A name too long for its half of the players'
    // band is cut after a whole character with "...", Black's a clear gap
    // before White's.
    constexpr int kBandEnd = 1016;
    constexpr int kBlackPlayerX = 664;
    constexpr int kWhitePlayerX = 870;
    constexpr int kNameGap = 12;

    board::clearInfoPanel(game.board.platform, c);
    p.setFont(game.fonts.header);
    p.setColors(c.playersInk, c.playersBand);
    p.setPos(kBlackPlayerX, 115);
    p.drawText(shortenAtEnd(p, r.blackPlayer, kWhitePlayerX - kNameGap - kBlackPlayerX));
    p.setPos(kWhitePlayerX, 115);
    p.drawText(shortenAtEnd(p, r.whitePlayer, kBandEnd - 4 - kWhitePlayerX));

    const struct {
        int y;
        const char* label;
        const std::string& value;
    } lines[] = {
        {168, "Game #: ", r.gameNumber},
        {188, "Event:  ", r.eventName},
        {208, "Result: ", r.resultText},
    };
    for (const auto& line : lines) {
        p.setColors(c.headerInk, c.headerBand);
        p.setPos(664, line.y);
        p.drawText(line.label, kBandEnd);
        p.setColors(c.valueInk, c.headerBand);
        p.drawText(line.value, kBandEnd);  // continues where the label ended
    }
}

}  // namespace tarnwick::game
