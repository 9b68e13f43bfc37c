#include <algorithm>
#include <climits>
#include <cmath>

#include "app/context.h"
#include "board/board.h"
#include "board/geometry.h"
#include "game/navigation.h"

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

// The Play button's bevel: lines 1-4 are its top and left edges, 5-8 its
// right and bottom edges. Raised: light top-left, dark bottom-right.
struct BevelLine {
    int x1, y1, x2, y2;
    bool topLeft;
};
constexpr BevelLine kPlayBevel[] = {
    {83, 691, 116, 691, true},   {83, 692, 115, 692, true},   {83, 692, 83, 726, true},
    {84, 692, 84, 725, true},    {115, 692, 115, 726, false}, {116, 691, 116, 726, false},
    {84, 725, 116, 725, false},  {83, 726, 117, 726, false},
};

void drawPlayBevel(App& app, bool pressed) {
    const Colour light(app.shell.BevelLight, app.shell.BevelLight, app.shell.BevelLight);
    for (const BevelLine& l : kPlayBevel) {
        app.platform.setPos(l.x1, l.y1);
        app.platform.drawLine(l.x2, l.y2, l.topLeft != pressed ? light : colours::kDarkGrey);
    }
}

}  // namespace

void stepForward(App& app) {
    GameFields& g = app.game;
    if (!canStepForward(g)) return;
    g.CurrentMove += 1;
    g.ShownMoveText = g.Moves[g.CurrentMove];
    showMove(app);
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

void recordMove(App& app) {
    GameFields& g = app.game;
    if (app.board.BoardState.at(g.CellColumn, g.CellPosition) != Empty || g.CurrentMove != g.MoveCount) return;
    if (g.CurrentMove >= MaxMoveSlots) return;  // the list is full
    g.CurrentMove += 1;
    const int k = g.CurrentMove;
    g.Moves.set(k, std::to_string(k) + "." + cellName(g.CellColumn, g.CellPosition));
    g.ShownMoveText = g.Moves[k];
    g.MoveCount += 1;
    appendListEntry(app, k);
    showMove(app);
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
