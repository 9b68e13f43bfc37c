#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <string>

#include "board/board.h"
#include "board/geometry.h"
#include "board/layout.h"
#include "game/navigation.h"
#include "game/replay.h"
#include "game/variations.h"

namespace tarnwick::game {
namespace {

// Forward stepping never passes the end of the list or a resignation.
bool canStepForward(const GameFields& g) {
    const std::string& next = g.Moves[g.CurrentMove + 1];
    return !next.empty() && !isResignToken(next);
}

// Automatic play waits in slices of one main-loop poll, looking at the
// window, the keys and the buttons before each, so that a stop acts at once
// and closing the window ends even a very slow playback.
constexpr int kPlaybackSliceMs = 10;

// What automatic play has read so far: whether it stops, and a key it
// hands back to the main loop.
struct PlayInput {
    bool stop = false;
    std::string handedBack;
};

// Reads one key and one click during automatic play. The speed keys set the
// delay of the moves that follow; Pause, Start (to the empty board), End (to
// the last move) and Escape stop the play. True when the play stops. Keys
// are used up here, so an Escape never reaches the main loop; but once the
// last move is shown, any other key ends the play and is handed back to the
// main loop, which acts on it as on a key pressed after the play.
bool readPlaybackInput(Game game, PlayInput& play) {
    GameFields& g = game.state;
    Platform& p = game.board.platform;
    const Click click = p.pollMouse();
    const board::ControlAreas& buttons = board::controlsFor(game.board.state.BoardSize);
    if (click.kind == 1) {
        if (buttons.pause.holds(click.x, click.y)) {
            play.stop = true;
        } else if (buttons.start.holds(click.x, click.y)) {
            clearPosition(game);
            play.stop = true;
        } else if (buttons.end.holds(click.x, click.y)) {
            goToEnd(game);
            play.stop = true;
        }
    }
    const std::string key = p.pollKey();
    if (key == "+" || key == "=") {
        g.PlaybackDelay = std::trunc(std::nearbyint(g.PlaybackDelay) / 2);
    } else if (key == "-" || key == "_") {
        g.PlaybackDelay = g.PlaybackDelay * 1.5F;
    } else if (key == std::string(1, keys::kEscape)) {
        play.stop = true;
    } else if (!key.empty() && !canStepForward(g)) {
        play.handedBack = key;
        play.stop = true;
    }
    return play.stop;
}

// Waits out the delay after a move; false when the play stops meanwhile
// (a stop asked for, or the window closed). The delay is taken as the wait
// begins, so a speed key read during it acts from the next move on. The
// wait ends by the clock, so that the many short sleeps do not add up their
// overshoots.
bool waitAfterMove(Game game, PlayInput& play, const std::function<bool(bool moved)>& follow) {
    Platform& p = game.board.platform;
    const double delay = std::nearbyint(std::min<double>(game.state.PlaybackDelay, INT_MAX));
    const std::int64_t end = p.nowMs() + (delay > 0 ? static_cast<std::int64_t>(delay) : 0);
    do {
        if (readPlaybackInput(game, play)) return false;
        if (follow && follow(false)) p.present();
        p.sleepMs(static_cast<int>(std::clamp<std::int64_t>(end - p.nowMs(), 0, kPlaybackSliceMs)));
        if (p.windowSize().width == 0) return false;
    } while (p.nowMs() < end);
    return true;
}

// The Play button's two-pixel bevel, drawn as eight lines round its
// rectangle (both corners included): lines 1-4 make the top and left edges,
// 5-8 the right and bottom ones. Raised: light top-left, dark bottom-right.
// Each board picture has its own button row, so each base has its own
// rectangle; drawing the base-8 bevel on the base-10 picture would leave a
// stray frame across two buttons.
void drawPlayBevel(Game game, bool pressed) {
    const board::Area& b = board::controlsFor(game.board.state.BoardSize).playBevel;
    const struct {
        int x1, y1, x2, y2;
        bool topLeft;
    } lines[] = {
        {b.x1, b.y1, b.x2, b.y1, true},           {b.x1, b.y1 + 1, b.x2 - 1, b.y1 + 1, true},
        {b.x1, b.y1 + 1, b.x1, b.y2, true},       {b.x1 + 1, b.y1 + 1, b.x1 + 1, b.y2 - 1, true},
        {b.x2 - 1, b.y1 + 1, b.x2 - 1, b.y2, false}, {b.x2, b.y1, b.x2, b.y2, false},
        {b.x1 + 1, b.y2 - 1, b.x2, b.y2 - 1, false}, {b.x1, b.y2, b.x2 + 1, b.y2, false},
    };
    for (const auto& l : lines) {
        game.board.platform.setPos(l.x1, l.y1);
        game.board.platform.drawLine(l.x2, l.y2, l.topLeft != pressed ? board::kBevelLight : colours::kDarkGrey);
    }
}

}  // namespace

void stepForward(Game game) {
    GameFields& g = game.state;
    if (!canStepForward(g)) return;
    g.CurrentMove += 1;
    showCurrentPosition(game);
    markCurrentMove(game);
}

void goToEnd(Game game) {
    while (canStepForward(game.state)) stepForward(game);
}

void drawPlayButtonUp(Game game) { drawPlayBevel(game, false); }
void drawPlayButtonDown(Game game) { drawPlayBevel(game, true); }

std::string playGame(Game game, const std::function<bool(bool moved)>& follow) {
    const GameFields& g = game.state;
    Platform& p = game.board.platform;
    PlayInput play;
    drawPlayButtonDown(game);
    for (;;) {
        stepForward(game);
        if (follow) follow(true);
        p.present();
        if (!waitAfterMove(game, play, follow)) break;
        if (!canStepForward(g)) {
            readPlaybackInput(game, play);  // what came during the last slice belongs to the play too
            break;
        }
    }
    drawPlayButtonUp(game);
    p.present();
    return play.handedBack;
}

void recordMove(Game game, havannah::Cell cell) {
    const board::BoardFields& b = game.board.state;
    if (cell < 0 || cell >= b.Topology->cellCount()) return;
    if (b.Painted[static_cast<std::size_t>(cell)].stone != havannah::Stone::Empty) return;
    playMove(game, record::Move::at(b.Topology->name(cell)));
}

void takeBack(Game game) {
    GameFields& g = game.state;
    Platform& p = game.board.platform;
    if (g.CurrentMove == 0) return;
    // The move goes from the tree with what follows it on this line; other
    // variations stay.
    syncTree(g);
    g.Tree.remove(g.Line[static_cast<std::size_t>(g.CurrentMove)]);
    g.Unsaved = true;
    if (followVariationAfterTakeBack(game)) return;
    g.Line.resize(static_cast<std::size_t>(g.CurrentMove));
    stepBack(game);
    for (int k = g.CurrentMove + 1; k <= MaxMoveSlots && !g.Moves[k].empty(); ++k) g.Moves.set(k, std::string());
    g.LineRevision = g.Moves.revision();
    rebuildMoveList(game);
    // Taken back to the empty board, no entry is highlighted any more and
    // the one that was is gone from the list: it must not be drawn again.
    if (g.CurrentMove == 0) game.list.HighlightText.clear();
    unhighlightEntry(game);
    highlightCurrentEntry(game);
    if (g.moveCount() == 0) {
        p.setColors(colours::kWhite, colours::kWhite);
        board::placeSwapCaption(game.board);
        p.drawText("Swap");
    }
    if (g.CurrentMove == 1 && g.moveCount() == 1) {
        board::placeSwapCaption(game.board);
        p.setColors(colours::kSwapOffered, colours::kWhite);
        p.drawText("Swap");
    }
}

}  // namespace tarnwick::game
