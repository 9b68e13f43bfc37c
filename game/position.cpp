// Putting moves on the board and taking them off again. Stones are drawn
// straight onto the board picture one cell at a time; the board is never
// redrawn from BoardState as a whole.
//
// Marker rule: for each player, the stone of that player's latest move up to
// CurrentMove carries the red marker dot, and no other stone of theirs does.
// After a swap the first stone is White's.
#include "app/context.h"
#include "board/board.h"
#include "game/navigation.h"

namespace tarnwick {
namespace {

// The cell of the move in ShownMoveText (decoded into CellColumn and
// CellPosition); nullopt when the token names no cell of this board, in
// which case nothing is drawn, erased or recorded for it.
std::optional<Point> shownCell(App& app) {
    moveCellOf(app);
    return cellOrigin(app, app.game.CellColumn, app.game.CellPosition);
}

Point& lastStoneOf(App& app, int player) {
    return player == White ? app.board.LastWhiteStone : app.board.LastBlackStone;
}

void setBoardState(App& app, int state) {
    app.board.BoardState.set(app.game.CellColumn, app.game.CellPosition, state);
}

void drawSwapCaption(App& app, bool offered) {
    placeSwapCaption(app);
    app.platform.setColors(offered ? colours::kSwapOffered : colours::kWhite, colours::kWhite);
    app.platform.drawText("Swap");
}

// Empties the shown cell (stone and state) and writes its name back when the
// names are shown.
void emptyShownCell(App& app, Point origin) {
    eraseStone(app, origin);
    setBoardState(app, Empty);
    if (app.board.LabelsShown) drawCellLabel(app, app.game.CellColumn, app.game.CellPosition);
}

}  // namespace

void showMove(App& app) {
    GameFields& g = app.game;
    movePlayerOf(app);
    const int player = g.MovePlayer;
    if (const auto origin = shownCell(app)) {
        Point& last = lastStoneOf(app, player);
        // The player's previous stone loses its marker, except Black's at move
        // 3 after a swap: that stone is the first one, now White's.
        const bool firstStoneSwapped = player == Black && g.CurrentMove == 3 && isSwapToken(g.Moves[2]);
        if (last.x != 0 && g.CurrentMove >= 3 && !firstStoneSwapped) placeStone(app, player, last, false);
        placeStone(app, player, *origin, true);
        last = *origin;
        setBoardState(app, player);
    }
    unhighlightEntry(app);
    highlightCurrentEntry(app);
    if (g.CurrentMove == 1 && g.MoveCount == 1) {
        drawSwapCaption(app, true);
    } else if (g.CurrentMove == 2) {
        drawSwapCaption(app, false);
    }
}

void swapMove(App& app) {
    GameFields& g = app.game;
    g.CurrentMove = 2;
    g.ShownMoveText = "swap";
    const auto origin = shownCell(app);
    g.MovePlayer = White;
    g.Moves.set(2, "swap");
    if (origin) {
        placeStone(app, White, *origin, true);
        app.board.LastWhiteStone = *origin;
        setBoardState(app, White);
    }
    g.MoveCount += 1;
    appendListEntry(app, 2);
    unhighlightEntry(app);
    highlightCurrentEntry(app);
    drawSwapCaption(app, false);
}

void stepBack(App& app) {
    GameFields& g = app.game;
    if (g.CurrentMove == 0) return;
    if (g.Moves[g.CurrentMove].empty()) {
        unhighlightEntry(app);
        highlightCurrentEntry(app);
        return;
    }
    g.ShownMoveText = g.Moves[g.CurrentMove];
    const auto removed = shownCell(app);
    if (removed) emptyShownCell(app, *removed);

    if (g.CurrentMove == 2 && isSwapToken(g.Moves[2])) {
        // Back over the swap: the first stone is Black's again.
        if (removed) {
            placeStone(app, Black, *removed, true);
            app.board.LastBlackStone = *removed;
            setBoardState(app, Black);
        }
        g.CurrentMove = 1;
    } else if (g.CurrentMove > 2) {
        // The stone two moves back (same player) gets its marker back.
        g.CurrentMove -= 2;
        g.ShownMoveText = g.Moves[g.CurrentMove];
        movePlayerOf(app);
        int player = g.MovePlayer;
        if (isSwapToken(g.Moves[g.CurrentMove + 1])) player = White;  // the first stone after a swap
        if (const auto origin = shownCell(app)) {
            placeStone(app, player, *origin, true);
            lastStoneOf(app, player) = *origin;
            setBoardState(app, player);
        }
        g.CurrentMove += 1;
    } else {
        g.CurrentMove -= 1;  // the other player's stone keeps its marker
    }
    unhighlightEntry(app);
    highlightCurrentEntry(app);
}

void clearPosition(App& app) {
    GameFields& g = app.game;
    if (g.CurrentMove == 0) return;
    // Every move's cell is repainted, also those after CurrentMove (they show
    // no stone; repainting an empty cell changes nothing).
    for (int k = 1; k <= MaxMoveSlots && !g.Moves[k].empty(); ++k) {
        if (isResignToken(g.Moves[k])) continue;
        g.ShownMoveText = g.Moves[k];
        if (const auto origin = shownCell(app)) emptyShownCell(app, *origin);
    }
    g.CurrentMove = 0;
    app.board.LastBlackStone.x = 0;
    app.board.LastWhiteStone.x = 0;
    unhighlightEntry(app);
}

}  // namespace tarnwick
