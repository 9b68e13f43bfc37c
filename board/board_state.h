// The board's state: base, cell tables, stones, labels and button faces.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "board/cell_grid.h"
#include "board/palette.h"
#include "havannah/position.h"
#include "platform/colour.h"
#include "platform/platform.h"

namespace tarnwick::board {

// The analysis mark on an empty cell: a disc in the stone square coloured by
// the candidate's rank with its win percentage, or, for a move of the
// principal variation, a disc in its player's colour with its number.
// The marks on an empty cell: the analysis's disc in the stone square
// coloured by the candidate's rank with its win percentage, or, for a move
// of the principal variation, a disc in its player's colour with its number;
// and the opening explorer's tag with the number of games that played the
// cell, on its own or under the disc.
struct CellMark {
    int rank = 0;     // 1 (best) to 5; 0 for no candidate disc
    int percent = 0;  // the candidate's win rate for the player to move
    int step = 0;     // 1, 2, 3 along the principal variation; 0 for none
    havannah::Player stepPlayer = havannah::Player::Black;
    int games = 0;    // games of the database that played here; 0 for no tag
    bool any() const { return rank > 0 || step > 0 || games > 0; }
    friend bool operator==(const CellMark&, const CellMark&) = default;
};

// What one cell of the board picture shows.
struct CellPaint {
    havannah::Stone stone = havannah::Stone::Empty;
    bool marked = false;  // the red last-stone marker
    CellMark mark;        // only on an empty cell
    friend bool operator==(const CellPaint&, const CellPaint&) = default;
};

struct BoardFields {
    int BoardSize = 8;   // the base: 8 or 10
    int GridSize = 15;   // 2 x BoardSize - 1: columns, and length of the middle one
    // Top-left of each cell's stone square in window pixels; 0 = no cell.
    CellGrid CellTableX;
    CellGrid CellTableY;
    // The rules' view of this base (cells, neighbours, names).
    std::shared_ptr<const havannah::Topology> Topology = std::make_shared<const havannah::Topology>(8);
    // What the picture shows now, per cell of Topology: stones are painted
    // one cell at a time, and only where this differs from what is wanted.
    // A full redraw makes every cell empty again.
    std::vector<CellPaint> Painted = std::vector<CellPaint>(static_cast<std::size_t>(Topology->cellCount()));
    // The pixels under the win outline, saved when it was drawn and put back
    // when it is taken away; empty while no outline is drawn.
    std::vector<std::pair<Point, Colour>> UnderOutline;

    bool LabelsShown = false;    // cell names shown (the C1 button is pressed)
    bool LabelsErasing = false;  // true only while the names are being erased
    Colour LabelsButtonFace{};   // C1 face colour sampled from the picture
    Colour SizeButtonFace{};     // Size face colour sampled from the picture

    std::string BoardImageFile = "tk-board-base-08.bmp";
    ImageId BoardImage = -1;
    ImageId BlackStoneImage = -1;
    ImageId WhiteStoneImage = -1;
    // How stones and the last stone's marker look (the settings): flat discs
    // with an outline instead of the pictures; a ring instead of the dot.
    bool FlatStones = false;
    bool RingMarker = false;
    // The look the page is drawn in (the settings' theme).
    Palette Colours;
};

}  // namespace tarnwick::board
