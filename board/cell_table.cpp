#include "board/board.h"
#include "board/geometry.h"

namespace tarnwick::board {

void setUpBoardSize(BoardFields& b) {
    if (b.BoardSize == 8) {
        b.GridSize = 15;
        b.BoardImageFile = "tk-board-base-08.bmp";
    } else if (b.BoardSize == 10) {
        b.GridSize = 19;
        b.BoardImageFile = "tk-board-base-10.bmp";
    }
    b.CellTableX.reset(b.GridSize);
    b.CellTableY.reset(b.GridSize);
    if (b.Topology->base() != b.BoardSize && (b.BoardSize == 8 || b.BoardSize == 10))
        b.Topology = std::make_shared<const havannah::Topology>(b.BoardSize);
    forgetPaintedBoard(b);
}

void computeCellTable(BoardFields& b) {
    if (b.BoardSize != 8 && b.BoardSize != 10) return;
    for (int c = 1; c <= b.GridSize; ++c) {
        for (int p = 1; p <= b.GridSize; ++p) {
            const auto origin = stoneSquareOrigin(b.BoardSize, c, p);
            b.CellTableX.set(c, p, origin ? origin->x : 0);
            b.CellTableY.set(c, p, origin ? origin->y : 0);
        }
    }
}

std::optional<havannah::Cell> cellAt(const BoardFields& b, int px, int py) {
    for (int c = 1; c <= b.GridSize; ++c) {
        for (int p = 1; p <= b.GridSize; ++p) {
            const int x = b.CellTableX.at(c, p);
            const int y = b.CellTableY.at(c, p);
            if (x == 0 || y == 0) continue;
            if (px >= x - kClickLeft && px <= x + kClickRight && py >= y - kClickTop && py <= y + kClickBottom) {
                return b.Topology->cellAt(c, p);
            }
        }
    }
    return std::nullopt;
}

}  // namespace tarnwick::board
