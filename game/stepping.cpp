#include <algorithm>
#include <climits>
#include <cmath>

#include "app/context.h"
#include "board/board.h"
#include "board/geometry.h"
#include "game/navigation.h"
#include "game/replay.h"

namespace tarnwick {
namespace {

// Forward stepping never passes the end of the list or a resignation.
bool canStepForward(const GameFields& g) {
    const std::string& next = g.Moves[g.CurrentMove + 1];
    return !next.empty() && !isResignToken(next);
}

// Automatic play sleeps in slices no longer than this, looking at the window
// between them, so closing the window ends even a very slow playback soon.
constexpr int kPlaybackSliceMs = 100;

// Sleeps for the playback delay; false when the window was closed meanwhile.
bool sleepPlaybackDelay(App& app) {
    const double delay = std::nearbyint(std::min<double>(app.game.PlaybackDelay, INT_MAX));
    int remaining = delay > 0 ? static_cast<int>(delay) : 0;
    do {
        const int slice = std::min(remaining, kPlaybackSliceMs);
        app.platform.sleepMs(slice);
        remaining -= slice;
        if (app.platform.windowSize().width == 0) return false;
    } while (remaining > 0);
    return true;
}

struct Range {
    int x1, y1, x2, y2;
    bool holds(const Click& c) const { return c.x >= x1 && c.x <= x2 && c.y >= y1 && c.y <= y2; }
};

// The buttons that stop automatic play; the same places on both bases.
constexpr Range kPauseButton{120, 692, 150, 724};
constexpr Range kStartButton{13, 692, 42, 724};
constexpr Range kEndButton{192, 692, 222, 724};

// The Play button's two-pixel bevel, drawn as eight lines round its
// rectangle (both corners included): lines 1-4 make the top and left edges,
// 5-8 the right and bottom ones. Raised: light top-left, dark bottom-right.
// Each board picture has its own button row, so each base has its own
// rectangle; drawing the base-8 bevel on the base-10 picture would leave a
// stray frame across two buttons.
struct ButtonRect {
    int x1, y1, x2, y2;
};
constexpr ButtonRect kPlayButton8{83, 691, 116, 726};
constexpr ButtonRect kPlayButton10{88, 696, 119, 728};

void drawPlayBevel(App& app, bool pressed) {
    const ButtonRect& b = app.board.BoardSize == 10 ? kPlayButton10 : kPlayButton8;
    const struct {
        int x1, y1, x2, y2;
        bool topLeft;
    } lines[] = {
        {b.x1, b.y1, b.x2, b.y1, true},           {b.x1, b.y1 + 1, b.x2 - 1, b.y1 + 1, true},
        {b.x1, b.y1 + 1, b.x1, b.y2, true},       {b.x1 + 1, b.y1 + 1, b.x1 + 1, b.y2 - 1, true},
        {b.x2 - 1, b.y1 + 1, b.x2 - 1, b.y2, false}, {b.x2, b.y1, b.x2, b.y2, false},
        {b.x1 + 1, b.y2 - 1, b.x2, b.y2 - 1, false}, {b.x1, b.y2, b.x2 + 1, b.y2, false},
    };
    const Colour light(app.shell.BevelLight, app.shell.BevelLight, app.shell.BevelLight);
    for (const auto& l : lines) {
        app.platform.setPos(l.x1, l.y1);
        app.platform.drawLine(l.x2, l.y2, l.topLeft != pressed ? light : colours::kDarkGrey);
    }
}

}  // namespace

void stepForward(App& app) {
    GameFields& g = app.game;
    if (!canStepForward(g)) return;
    g.CurrentMove += 1;
    showCurrentPosition(app);
    markCurrentMove(app);
}

void goToEnd(App& app) {
    while (canStepForward(app.game)) stepForward(app);
}

void drawPlayButtonUp(App& app) { drawPlayBevel(app, false); }
void drawPlayButtonDown(App& app) { drawPlayBevel(app, true); }

void playGame(App& app) {
    GameFields& g = app.game;
    Platform& p = app.platform;
    g.PlaybackStop = 0;
    drawPlayButtonDown(app);
    for (;;) {
        stepForward(app);
        if (app.hooks.positionShown) app.hooks.positionShown(app);
        p.present();
        app.shell.LastKey = p.pollKey();
        if (!sleepPlaybackDelay(app)) break;
        const Click click = p.pollMouse();
        if (click.kind == 1) {
            if (kPauseButton.holds(click)) {
                g.PlaybackStop = 1;
            } else if (kStartButton.holds(click)) {
                clearPosition(app);
                g.PlaybackStop = 1;
            } else if (kEndButton.holds(click)) {
                goToEnd(app);
                g.PlaybackStop = 1;
            }
        }
        const std::string& key = app.shell.LastKey;
        if (key == "+" || key == "=") {
            g.PlaybackDelay = std::trunc(std::nearbyint(g.PlaybackDelay) / 2);
        } else if (key == "-" || key == "_") {
            g.PlaybackDelay = g.PlaybackDelay * 1.5F;
        }
        app.shell.LastKey.clear();
        if (g.PlaybackStop == 1 || !canStepForward(g)) break;
    }
    drawPlayButtonUp(app);
    p.present();
}

void recordMove(App& app, havannah::Cell cell) {
    GameFields& g = app.game;
    const BoardFields& b = app.board;
    if (cell < 0 || cell >= b.Topology->cellCount()) return;
    if (b.Painted[static_cast<std::size_t>(cell)].stone != havannah::Stone::Empty || g.CurrentMove != g.MoveCount) return;
    if (g.CurrentMove >= MaxMoveSlots) return;  // the list is full
    g.CurrentMove += 1;
    const int k = g.CurrentMove;
    g.Moves.set(k, std::to_string(k) + "." + b.Topology->name(cell));
    g.MoveCount += 1;
    appendListEntry(app, k);
    showCurrentPosition(app);
    markCurrentMove(app);
}

void takeBack(App& app) {
    GameFields& g = app.game;
    Platform& p = app.platform;
    if (g.CurrentMove == 0) return;
    stepBack(app);
    for (int k = g.CurrentMove + 1; k <= MaxMoveSlots && !g.Moves[k].empty(); ++k) g.Moves.set(k, std::string());
    g.MoveCount = g.CurrentMove;
    p.drawBox(655, 255, 1018, 275, colours::kGrey, colours::kGrey);
    p.drawBox(653, 286, 1019, 736, colours::kWhite, colours::kWhite);
    rebuildMoveList(app);
    // Taken back to the empty board, no entry is highlighted any more and
    // the one that was is gone from the list: it must not be drawn again.
    if (g.CurrentMove == 0) app.list.HighlightText.clear();
    unhighlightEntry(app);
    highlightCurrentEntry(app);
    if (g.MoveCount == 0) {
        p.setColors(colours::kWhite, colours::kWhite);
        placeSwapCaption(app);
        p.drawText("Swap");
    }
    if (g.CurrentMove == 1 && g.MoveCount == 1) {
        placeSwapCaption(app);
        p.setColors(colours::kSwapOffered, colours::kWhite);
        p.drawText("Swap");
    }
}

}  // namespace tarnwick
