// The board's state: base, cell tables, stones, labels and button faces.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "board/cell_grid.h"
#include "havannah/position.h"
#include "platform/colour.h"
#include "platform/platform.h"

namespace tarnwick::board {

// The colours that tell marks apart: analysis discs by rank, the last-stone
// marker, the win outline and a reviewed move's judgement (also its dot on
// the review's graph). Today's set, or one whose colours stay apart with
// red-green colour blindness (colourSafeMarks).
struct MarkColours {
    std::array<Colour, 5> ranks{{
        {34, 150, 60}, {96, 178, 64}, {156, 204, 80}, {208, 224, 112}, {246, 238, 160},  // green to pale yellow
    }};
    Colour lastStone = colours::kMarker;
    Colour winOutline{32, 160, 255};
    std::array<Colour, 4> judgements{{
        {250, 230, 40},  // inaccuracy
        {255, 140, 0},   // mistake
        {220, 0, 0},     // blunder
        {150, 0, 150},   // decisive
    }};
    friend bool operator==(const MarkColours&, const MarkColours&) = default;
};
// Blues from dark to light for the ranks; vermillion, wine, yellow, orange,
// blue and purple, which every kind of colour vision tells apart, for the
// rest.
inline MarkColours colourSafeMarks() {
    MarkColours c;
    c.ranks = {{{0, 84, 147}, {30, 120, 190}, {86, 160, 220}, {150, 200, 238}, {210, 232, 250}}};
    // Dark enough for a white stone, light enough for a black one.
    c.lastStone = {196, 78, 0};
    c.winOutline = {136, 34, 85};
    c.judgements = {{{240, 228, 66}, {230, 159, 0}, {0, 114, 178}, {204, 121, 167}}};
    return c;
}

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
    MarkColours Colours;
};

}  // namespace tarnwick::board
