#include "app/context.h"
#include "app/shell.h"
#include "board/board.h"
#include "game/game.h"

namespace tarnwick {

void redrawMainPage(App& app) {
    Platform& p = app.platform;
    board::BoardFields& b = app.board;

    p.clearWindow(colours::kWhite);
    p.drawBox(1, 1, 1024, 768, colours::kBlack, colours::kWhite);

    // The picture is read again at every full redraw; the previous one is
    // let go first so its slot is reused.
    p.releaseBitmap(b.BoardImage);
    b.BoardImage = p.loadBitmap(b.BoardImageFile, 1024, 739);
    p.copyBitmap(b.BoardImage, 1, 1);
    board::forgetPaintedBoard(b);

    drawPageFrame(app);
    drawTabBar(app);
    // Sampled from the bare picture, before any overlay covers these points.
    captureButtonImages(app);
    b.SizeButtonFace = p.getPixel(41, 642);
    board::drawSizeCaption(boardOf(app));
    game::drawGameHeader(gameOf(app));
    b.LabelsButtonFace = p.getPixel(41, 591);

    // Toggling twice over restores the C1 button and names in their state.
    b.LabelsShown = !b.LabelsShown;
    board::toggleCellLabels(boardOf(app));

    board::computeCellTable(app.board);
    board::drawCellLabels(boardOf(app));
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
