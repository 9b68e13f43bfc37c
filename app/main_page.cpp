#include "app/context.h"
#include "app/shell.h"
#include "board/board.h"
#include "game/game.h"

namespace tarnwick {

void redrawMainPage(App& app) {
    Platform& p = app.platform;
    p.clearWindow(colours::kWhite);
    p.drawBox(1, 1, 1024, 768, colours::kBlack, colours::kWhite);

    board::drawBoardPicture(boardOf(app));
    drawPageFrame(app);
    drawTabBar(app);
    // Taken from the bare picture, before any overlay covers the buttons.
    captureButtonImages(app);
    board::drawBoardControls(boardOf(app));
    game::drawGameHeader(gameOf(app));

    board::computeCellTable(app.board);
    board::drawCellLabels(boardOf(app));
    // The panel is bare again: whatever uses its line draws it anew.
    app.analysis.LineShown.clear();
}

void captureButtonImages(App& app) {
    for (int k = 1; k <= help::ButtonImageTable::kImages; ++k) {
        const int x0 = 10 + 36 * (k - 1);
        const int y0 = 690;
        for (int r = 1; r <= 38; ++r) {
            for (int c = 1; c <= 37; ++c) {
                app.shell.ButtonImages.set(k, c, r, app.platform.getPixel(x0 + c - 1, y0 + r - 1));
            }
        }
    }
}

}  // namespace tarnwick
