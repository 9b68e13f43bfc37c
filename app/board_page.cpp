#include "app/analysis.h"
#include "app/context.h"
#include "app/explorer.h"
#include "app/load_game.h"
#include "app/review_view.h"
#include "app/shell.h"
#include "board/board.h"
#include "board/layout.h"
#include "game/game.h"
#include "game/navigation.h"
#include "game/variations.h"

namespace tarnwick {

void handleBoardPage(App& app) {
    const ShellFields& s = app.shell;
    if (s.LastKey == s.EscapeKey && (app.analysis.On || reviewRunning(app))) {
        // Escape stops the engine's work, as it stops automatic play; only
        // with nothing running does it end the program.
        if (app.analysis.On) endAnalysis(app);
        stopReview(app);
        followReview(app);
        app.platform.present();
        app.shell.LastKey.clear();
    } else if (s.ExtendedKey == std::string(1, keys::kLeft)) {
        game::stepBack(gameOf(app));
    } else if (s.ExtendedKey == std::string(1, keys::kRight)) {
        game::stepForward(gameOf(app));
    } else if (s.ExtendedKey == std::string(1, keys::kHome)) {
        game::clearPosition(gameOf(app));
    } else if (s.ExtendedKey == std::string(1, keys::kEnd)) {
        game::goToEnd(gameOf(app));
    } else if (s.LastKey == std::string(1, keys::kCtrlV)) {
        importClipboardGame(app);
    } else if (s.LastKey == std::string(1, keys::kCtrlS)) {
        saveShownGame(app);
    } else if (s.LastKey == std::string(1, keys::kCtrlC)) {
        copyShownMoves(app);
    } else if (s.ExtendedKey == std::string(1, keys::kDelete)) {
        game::takeBack(gameOf(app));
    } else if (s.ExtendedKey == std::string(1, keys::kUp)) {
        game::switchVariation(gameOf(app), -1);
    } else if (s.ExtendedKey == std::string(1, keys::kDown)) {
        game::switchVariation(gameOf(app), +1);
    } else if (s.LastKey == "p" || s.LastKey == "P") {
        game::promoteShownLine(gameOf(app));
    } else if (s.LastKey == "b" || s.LastKey == "B") {
        addEngineLine(app);
    } else if (s.LastKey == "w" || s.LastKey == "W") {
        game::toggleWinDisplay(gameOf(app));
    } else if ((s.LastKey == "a" || s.LastKey == "A") && reviewRunning(app)) {
        drawAnalysisLine(app, "The review is running: R stops it, then A analyses");
    } else if (s.LastKey == "a" || s.LastKey == "A") {
        toggleAnalysis(app);
    } else if (s.LastKey == "r" || s.LastKey == "R") {
        toggleReview(app);
    } else if (s.LastKey == "n") {
        goToJudgedMove(app, +1);
    } else if (s.LastKey == "N") {
        goToJudgedMove(app, -1);
    } else if (s.LastKey == "g" || s.LastKey == "G") {
        playEngineMove(app);
    } else if (s.LastKey == "v" || s.LastKey == "V") {
        toggleVariationSteps(app);
    } else if (s.LastKey == "o" || s.LastKey == "O") {
        toggleExplorer(app);
    } else if (s.ClickKind == 1) {
        handleBoardClick(app);
    }
}

void handleBoardClick(App& app) {
    const int base = app.board.BoardSize;
    if (base != 8 && base != 10) return;
    const board::ControlAreas& a = board::controlsFor(base);
    const int x = app.shell.ClickX;
    const int y = app.shell.ClickY;
    game::GameFields& g = app.game;

    if (a.numberField.holds(x, y)) {
        loadGameByNumber(app);
    } else if (a.start.holds(x, y)) {
        game::clearPosition(gameOf(app));
    } else if (a.back.holds(x, y)) {
        game::stepBack(gameOf(app));
    } else if (a.play.holds(x, y)) {
        if (!g.Moves[g.CurrentMove + 1].empty()) {
            // The analysis and the explorer follow each step as the game
            // plays, and the analysis's marks and line are refreshed in the
            // waits between moves.
            app.shell.HandedBackKey = game::playGame(gameOf(app), [&app](bool moved) {
                if (!moved) return analysisRefreshDue(app) && refreshAnalysis(app);
                const bool analysisDrew = followShownPosition(app);
                return followExplorer(app) || analysisDrew;
            });
            app.shell.LastKey.clear();
        }
    } else if (a.pause.holds(x, y)) {
        // The Pause button acts only while a game plays.
    } else if (a.forward.holds(x, y)) {
        game::stepForward(gameOf(app));
    } else if (a.end.holds(x, y)) {
        game::goToEnd(gameOf(app));
    } else if (a.labels.holds(x, y)) {
        board::toggleCellLabels(boardOf(app));
    } else if (a.size.holds(x, y)) {
        switchBoardSize(app);
    } else if (a.swap.holds(x, y) && g.moveCount() == 1) {
        game::swapMove(gameOf(app));
    } else if (clickOnGraph(app, x, y)) {
        // The review's graph took the click.
    } else if (const auto cell = board::cellAt(app.board, x, y)) {
        game::recordMove(gameOf(app), *cell);
    } else if (g.CurrentMove > 0) {
        game::selectListEntry(gameOf(app), x, y);
    }
}

void switchBoardSize(App& app) {
    app.board.BoardSize = app.board.BoardSize == 8 ? 10 : 8;
    board::setUpBoardSize(app.board);
    clearShownGame(app);
    redrawMainPage(app);
}

}  // namespace tarnwick
