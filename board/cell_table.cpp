#include "app/context.h"
#include "board/board.h"
#include "board/geometry.h"

namespace tarnwick {

void setUpBoardSize(App& app) {
    BoardFields& b = app.board;
    if (b.BoardSize == 8) {
        b.GridSize = 15;
        b.BoardImageFile = "tk-board-base-08.bmp";
    } else if (b.BoardSize == 10) {
        b.GridSize = 19;
        b.BoardImageFile = "tk-board-base-10.bmp";
    }
    b.CellTableX.reset(b.GridSize);
    b.CellTableY.reset(b.GridSize);
    b.BoardState.reset(b.GridSize);
}

void computeCellTable(App& app) {
    BoardFields& b = app.board;
    if (b.BoardSize != 8 && b.BoardSize != 10) return;
    for (int c = 1; c <= b.GridSize; ++c) {
        for (int p = 1; p <= b.GridSize; ++p) {
            const auto origin = stoneSquareOrigin(b.BoardSize, c, p);
            b.CellTableX.set(c, p, origin ? origin->x : 0);
            b.CellTableY.set(c, p, origin ? origin->y : 0);
        }
    }
}

bool cellAt(App& app, int px, int py) {
    const BoardFields& b = app.board;
    app.game.CellColumn = 0;
    app.game.CellPosition = 0;
    for (int c = 1; c <= b.GridSize; ++c) {
        for (int p = 1; p <= b.GridSize; ++p) {
            const int x = b.CellTableX.at(c, p);
            const int y = b.CellTableY.at(c, p);
            if (x == 0 || y == 0) continue;
            if (px >= x - kClickLeft && px <= x + kClickRight && py >= y - kClickTop && py <= y + kClickBottom) {
                app.game.CellColumn = c;
                app.game.CellPosition = p;
                return true;
            }
        }
    }
    return false;
}

}  // namespace tarnwick
