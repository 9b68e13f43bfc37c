#include "board/board.h"
#include "board/geometry.h"

namespace tarnwick::board {

void drawCellLabels(Board board) {
    const BoardFields& b = board.state;
    if (!b.LabelsErasing && !b.LabelsShown) return;
    for (int c = 1; c <= b.GridSize; ++c) {
        for (int p = 1; p <= b.GridSize; ++p) {
            const auto cell = b.Topology->cellAt(c, p);
            if (!cell || b.Painted[static_cast<std::size_t>(*cell)].stone != havannah::Stone::Empty) continue;
            if (b.CellTableX.at(c, p) == 0 || b.CellTableY.at(c, p) == 0) continue;
            drawCellLabel(board, c, p);
        }
    }
}

void drawCellLabel(Board board, int column, int position) {
    const BoardFields& b = board.state;
    const int x = b.CellTableX.at(column, position);
    const int y = b.CellTableY.at(column, position);
    if (x == 0 || y == 0) return;
    // A marked cell shows its name on the mark's disc.
    if (const auto cell = b.Topology->cellAt(column, position);
        cell && b.Painted[static_cast<std::size_t>(*cell)].mark.any()) {
        drawCellMark(board, *cell);
        return;
    }
    const std::string text = cellName(column, position);
    // Offset of the name inside the stone square: 9 in the column left of
    // the middle, else 7 for a one-digit position and 4 for two digits.
    int d = 4;
    if (column == b.BoardSize - 1) {
        d = 9;
    } else if (text.size() == 2) {
        d = 7;
    }
    Platform& p = board.platform;
    const Colour cell = p.getPixel(x + d, y + 7);
    // Erasing writes the name again in the cell's own colour on that colour.
    p.setColors(b.LabelsErasing ? cell : b.Colours.labelInk, cell);
    p.setFont(board.fonts.label);
    p.setPos(x + d, y + 7);
    p.drawText(text);
}

}  // namespace tarnwick::board
