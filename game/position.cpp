// Putting the position after CurrentMove on the board. The position comes
// from the Havannah model (positionAfter); the board is brought to it by
// repainting only the cells whose stone or marker differ, so stepping costs
// a cell or two and never redraws the board as a whole.
#include <string>

#include "board/board.h"
#include "board/geometry.h"
#include "board/layout.h"
#include "game/navigation.h"
#include "game/replay.h"
#include "game/variations.h"

namespace tarnwick::game {
namespace {

using havannah::Player;

void drawSwapCaption(Game game, bool offered) {
    board::placeSwapCaption(game.board);
    game.board.platform.setColors(offered ? colours::kSwapOffered : colours::kWhite, colours::kWhite);
    game.board.platform.drawText("Swap");
}

// Where the note's text starts in the panel's note area.
constexpr Point kNoteText{board::kPanelTextLeft, board::kPanelNoteTop};

std::string playerName(const GameRecord& record, Player player) {
    const std::string& name = player == Player::Black ? record.blackPlayer : record.whitePlayer;
    if (name.empty() || name == "Unknown") return player == Player::Black ? "Black" : "White";
    return name;
}

std::string noteFor(const ShownPosition& shown, const std::string& winner) {
    if (shown.win) {
        const havannah::Win& w = *shown.win;
        return winner + " wins: " + havannah::describe(w.kinds) + " with move " + std::to_string(w.move) + " (" +
               shown.stones.topology().name(w.cell) + ")";
    }
    if (shown.illegal) {
        return "move " + std::to_string(shown.illegal->move) + " (" + shown.illegal->cellText + ") " +
               shown.illegal->reason;
    }
    return {};
}

}  // namespace

std::string positionNote(const GameRecord& record, const ShownPosition& shown) {
    return noteFor(shown, shown.win ? playerName(record, shown.win->player) : std::string());
}

namespace {

// Writes the note, a long player name shortened so that the line stays
// inside the panel.
void drawNote(Game game, const ShownPosition& shown) {
    Platform& p = game.board.platform;
    const board::Area& a = board::kPanelNoteArea;
    const Colour panel = p.getPixel(a.x1, a.y1);
    p.drawBox(a.x1, a.y1, a.x2 + 1, a.y2 + 1, panel, panel);
    if (!game.state.WinDisplayOn) return;
    p.setFont(game.fonts.header);
    std::string winner = shown.win ? playerName(game.state.record, shown.win->player) : std::string();
    std::string text = noteFor(shown, winner);
    while (!winner.empty() && kNoteText.x + p.textSize(text).width > a.x2) {
        winner.pop_back();
        text = noteFor(shown, winner + "...");
    }
    if (text.empty()) return;
    p.setColors(game.board.state.Colours.panelInk, panel);
    p.setPos(kNoteText.x, kNoteText.y);
    p.drawText(text);
}

// The position after CurrentMove: carried on from the one worked out last
// when the list is unchanged and the step goes forward, else replayed anew.
const ShownPosition& currentPosition(Game game) {
    GameFields& g = game.state;
    const auto& topology = game.board.state.Topology;
    const bool reusable = g.Shown && g.ShownRevision == g.Moves.revision() &&
                          &g.Shown->stones.topology() == topology.get() && g.Shown->entries <= g.CurrentMove;
    if (reusable) {
        replayTo(*g.Shown, g.Moves, g.CurrentMove);
    } else {
        g.Shown = positionAfter(g.Moves, g.CurrentMove, topology);
        g.ShownRevision = g.Moves.revision();
    }
    return *g.Shown;
}

}  // namespace

void showCurrentPosition(Game game) {
    board::BoardFields& b = game.board.state;
    const ShownPosition& shown = currentPosition(game);
    const bool outline = shown.win && game.state.WinDisplayOn;
    if (!outline) board::eraseWinOutline(game.board);
    for (havannah::Cell cell = 0; cell < b.Topology->cellCount(); ++cell) {
        board::paintCell(game.board, cell, board::CellPaint{shown.stones.at(cell), shown.isMarked(cell), {}});
    }
    if (outline && b.UnderOutline.empty()) board::drawWinOutline(game.board, shown.win->cells);
    drawNote(game, shown);
}

void markCurrentMove(Game game) {
    const GameFields& g = game.state;
    unhighlightEntry(game);
    highlightCurrentEntry(game);
    if (g.CurrentMove == 1 && g.moveCount() == 1) {
        drawSwapCaption(game, true);
    } else if (g.CurrentMove == 2) {
        drawSwapCaption(game, false);
    }
}

void toggleWinDisplay(Game game) {
    game.state.WinDisplayOn = !game.state.WinDisplayOn;
    showCurrentPosition(game);
}

void swapMove(Game game) { playMove(game, record::Move::swap()); }

void stepBack(Game game) {
    GameFields& g = game.state;
    if (g.CurrentMove == 0) return;
    if (!g.Moves[g.CurrentMove].empty()) {
        g.CurrentMove -= 1;
        showCurrentPosition(game);
    }
    unhighlightEntry(game);
    highlightCurrentEntry(game);
}

void clearPosition(Game game) {
    GameFields& g = game.state;
    if (g.CurrentMove == 0) return;
    g.CurrentMove = 0;
    showCurrentPosition(game);
    unhighlightEntry(game);
}

}  // namespace tarnwick::game
