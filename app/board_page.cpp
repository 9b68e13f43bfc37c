#include "acquire/acquire.h"
#include "app/analysis.h"
#include "app/context.h"
#include "app/shell.h"
#include "board/board.h"
#include "game/game.h"
#include "game/navigation.h"

namespace tarnwick {
namespace {

struct Area {
    int x1, y1, x2, y2;
    bool holds(int x, int y) const { return x >= x1 && x <= x2 && y >= y1 && y <= y2; }
};

// The board page's controls. The two pictures place them differently.
struct ControlAreas {
    Area numberField, start, back, play, pause, forward, end, labels, size, swap;
};

constexpr ControlAreas kBase8Controls{
    {41, 59, 155, 76},    {12, 691, 44, 725},  {48, 691, 80, 725},  {84, 691, 116, 725},
    {120, 691, 152, 725}, {156, 691, 188, 725}, {192, 691, 224, 725}, {24, 561, 55, 596},
    {21, 630, 61, 658},   {118, 640, 150, 651},
};

constexpr ControlAreas kBase10Controls{
    {41, 59, 155, 76},    {16, 696, 47, 728},  {52, 696, 83, 728},  {88, 696, 119, 728},
    {124, 696, 155, 728}, {161, 696, 192, 728}, {197, 696, 228, 728}, {24, 586, 55, 622},
    {21, 638, 61, 675},   {97, 655, 128, 666},
};

}  // namespace

void handleBoardPage(App& app) {
    const ShellFields& s = app.shell;
    if (s.ExtendedKey == std::string(1, keys::kLeft)) {
        stepBack(app);
    } else if (s.ExtendedKey == std::string(1, keys::kRight)) {
        stepForward(app);
    } else if (s.ExtendedKey == std::string(1, keys::kHome)) {
        clearPosition(app);
    } else if (s.ExtendedKey == std::string(1, keys::kEnd)) {
        goToEnd(app);
    } else if (s.LastKey == std::string(1, keys::kCtrlV)) {
        importClipboardGame(app);
    } else if (s.ExtendedKey == std::string(1, keys::kDelete)) {
        takeBack(app);
    } else if (s.LastKey == "w" || s.LastKey == "W") {
        toggleWinDisplay(app);
    } else if (s.LastKey == "a" || s.LastKey == "A") {
        toggleAnalysis(app);
    } else if (s.LastKey == "g" || s.LastKey == "G") {
        playEngineMove(app);
    } else if (s.LastKey == "v" || s.LastKey == "V") {
        toggleVariationSteps(app);
    } else if (s.ClickKind == 1) {
        handleBoardClick(app);
    }
}

void handleBoardClick(App& app) {
    const int base = app.board.BoardSize;
    if (base != 8 && base != 10) return;
    const ControlAreas& a = base == 8 ? kBase8Controls : kBase10Controls;
    const int x = app.shell.ClickX;
    const int y = app.shell.ClickY;
    GameFields& g = app.game;

    if (a.numberField.holds(x, y)) {
        loadGameByNumber(app);
    } else if (a.start.holds(x, y)) {
        clearPosition(app);
    } else if (a.back.holds(x, y)) {
        stepBack(app);
    } else if (a.play.holds(x, y)) {
        if (!g.Moves[g.CurrentMove + 1].empty()) playGame(app);
    } else if (a.pause.holds(x, y)) {
        // The Pause button acts only while a game plays.
    } else if (a.forward.holds(x, y)) {
        stepForward(app);
    } else if (a.end.holds(x, y)) {
        goToEnd(app);
    } else if (a.labels.holds(x, y)) {
        toggleCellLabels(app);
    } else if (a.size.holds(x, y)) {
        switchBoardSize(app);
    } else if (a.swap.holds(x, y) && g.MoveCount == 1) {
        swapMove(app);
    } else if (const auto cell = cellAt(app, x, y)) {
        recordMove(app, *cell);
    } else if (g.CurrentMove > 0) {
        selectListEntry(app);
    }
}

void switchBoardSize(App& app) {
    app.board.BoardSize = app.board.BoardSize == 8 ? 10 : 8;
    setUpBoardSize(app);
    clearGame(app);
    redrawMainPage(app);
}

}  // namespace tarnwick
