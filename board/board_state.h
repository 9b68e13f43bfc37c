// The board's state: base, cell tables, stones, labels and button faces.
#pragma once

#include <string>

#include "board/cell_grid.h"
#include "platform/colour.h"
#include "platform/platform.h"

namespace tarnwick {

// Stone codes held in BoardState and used as move players.
inline constexpr int Empty = 0;
inline constexpr int Black = 1;
inline constexpr int White = 2;

struct BoardFields {
    int BoardSize = 8;   // the base: 8 or 10
    int GridSize = 15;   // 2 x BoardSize - 1: columns, and length of the middle one
    // Top-left of each cell's stone square in window pixels; 0 = no cell.
    CellGrid CellTableX;
    CellGrid CellTableY;
    CellGrid BoardState;  // Empty, Black or White per cell

    bool LabelsShown = false;    // cell names shown (the C1 button is pressed)
    bool LabelsErasing = false;  // true only while the names are being erased
    Colour LabelsButtonFace{};   // C1 face colour sampled from the picture
    Colour SizeButtonFace{};     // Size face colour sampled from the picture

    std::string BoardImageFile = "tk-board-base-08.bmp";
    ImageId BoardImage = -1;
    ImageId BlackStoneImage = -1;
    ImageId WhiteStoneImage = -1;

    // Stone-square origins of the stone of each player that carries the
    // last-stone marker; x = 0 means none.
    Point LastBlackStone{};
    Point LastWhiteStone{};
};

}  // namespace tarnwick
