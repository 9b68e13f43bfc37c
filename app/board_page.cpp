#include "app/analysis.h"
#include "app/context.h"
#include "app/load_game.h"
#include "app/shell.h"
#include "board/board.h"
#include "board/layout.h"
#include "game/game.h"
#include "game/navigation.h"

namespace tarnwick {
namespace {

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
    } else if (s.LastKey == std::string(1, keys::kCtrlS)) {
        saveShownGame(app);
    } else if (s.LastKey == std::string(1, keys::kCtrlC)) {
        copyShownMoves(app);
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
    const ControlAreas& a = controlsFor(base);
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
