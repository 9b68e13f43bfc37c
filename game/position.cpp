// Putting the position after CurrentMove on the board. The position comes
// from the Havannah model (positionAfter); the board is brought to it by
// repainting only the cells whose stone or marker differ, so stepping costs
// a cell or two and never redraws the board as a whole.
#include <string>

#include "app/context.h"
#include "board/board.h"
#include "board/geometry.h"
#include "board/layout.h"
#include "game/navigation.h"
#include "game/replay.h"

namespace tarnwick {
namespace {

using havannah::Player;

void drawSwapCaption(App& app, bool offered) {
    placeSwapCaption(app);
    app.platform.setColors(offered ? colours::kSwapOffered : colours::kWhite, colours::kWhite);
    app.platform.drawText("Swap");
}

// Where the note's text starts in the panel's note area.
constexpr Point kNoteText{664, 142};

std::string playerName(const GameRecord& record, Player player) {
    const std::string& name = player == Player::Black ? record.blackPlayer : record.whitePlayer;
    if (name.empty() || name == "Unknown") return player == Player::Black ? "Black" : "White";
    return name;
}

std::string noteFor(const App& app, const ShownPosition& shown, const std::string& winner) {
    if (shown.win) {
        const havannah::Win& w = *shown.win;
        return winner + " wins: " + havannah::describe(w.kinds) + " with move " + std::to_string(w.move) + " (" +
               app.board.Topology->name(w.cell) + ")";
    }
    if (shown.illegal) {
        return "move " + std::to_string(shown.illegal->move) + " (" + shown.illegal->cellText + ") " +
               shown.illegal->reason;
    }
    return {};
}

}  // namespace

std::string positionNote(const App& app, const ShownPosition& shown) {
    return noteFor(app, shown, shown.win ? playerName(app.game.record, shown.win->player) : std::string());
}

namespace {

// Writes the note, a long player name shortened so that the line stays
// inside the panel.
void drawNote(App& app, const ShownPosition& shown) {
    Platform& p = app.platform;
    const Area& a = kPanelNoteArea;
    const Colour panel = p.getPixel(a.x1, a.y1);
    p.drawBox(a.x1, a.y1, a.x2 + 1, a.y2 + 1, panel, panel);
    if (!app.game.WinDisplayOn) return;
    p.setFont(app.fonts.HeaderFont);
    std::string winner = shown.win ? playerName(app.game.record, shown.win->player) : std::string();
    std::string text = noteFor(app, shown, winner);
    while (!winner.empty() && kNoteText.x + p.textSize(text).width > a.x2) {
        winner.pop_back();
        text = noteFor(app, shown, winner + "...");
    }
    if (text.empty()) return;
    p.setColors(colours::kBlack, panel);
    p.setPos(kNoteText.x, kNoteText.y);
    p.drawText(text);
}

// The position after CurrentMove: carried on from the one worked out last
// when the list is unchanged and the step goes forward, else replayed anew.
const ShownPosition& currentPosition(App& app) {
    GameFields& g = app.game;
    const auto& topology = app.board.Topology;
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

void showCurrentPosition(App& app) {
    BoardFields& b = app.board;
    const ShownPosition& shown = currentPosition(app);
    const bool outline = shown.win && app.game.WinDisplayOn;
    if (!outline) eraseWinOutline(app);
    for (havannah::Cell cell = 0; cell < b.Topology->cellCount(); ++cell) {
        paintCell(app, cell, CellPaint{shown.stones.at(cell), shown.isMarked(cell), {}});
    }
    if (outline && b.UnderOutline.empty()) drawWinOutline(app, shown.win->cells);
    drawNote(app, shown);
}

void markCurrentMove(App& app) {
    const GameFields& g = app.game;
    unhighlightEntry(app);
    highlightCurrentEntry(app);
    if (g.CurrentMove == 1 && g.MoveCount == 1) {
        drawSwapCaption(app, true);
    } else if (g.CurrentMove == 2) {
        drawSwapCaption(app, false);
    }
}

void toggleWinDisplay(App& app) {
    app.game.WinDisplayOn = !app.game.WinDisplayOn;
    showCurrentPosition(app);
}

void swapMove(App& app) {
    GameFields& g = app.game;
    g.CurrentMove = 2;
    g.Moves.set(2, "swap");
    g.MoveCount += 1;
    appendListEntry(app, 2);
    showCurrentPosition(app);
    unhighlightEntry(app);
    highlightCurrentEntry(app);
    drawSwapCaption(app, false);
}

void stepBack(App& app) {
    GameFields& g = app.game;
    if (g.CurrentMove == 0) return;
    if (!g.Moves[g.CurrentMove].empty()) {
        g.CurrentMove -= 1;
        showCurrentPosition(app);
    }
    unhighlightEntry(app);
    highlightCurrentEntry(app);
}

void clearPosition(App& app) {
    GameFields& g = app.game;
    if (g.CurrentMove == 0) return;
    g.CurrentMove = 0;
    showCurrentPosition(app);
    unhighlightEntry(app);
}

}  // namespace tarnwick
