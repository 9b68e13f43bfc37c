// Board geometry: which cells a base has, their names, and where each cell's
// stone square lies in window pixels. Pure functions with no drawing, so the
// artwork generator and the board code share one source of truth.
//
// A cell is (column, position): columns 1..2*base-1 from the left, positions
// 1..columnLength(column) from the lowest cell of the column upward.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/colour.h"

namespace tarnwick::board {

inline constexpr int kMaxGridSize = 19;

constexpr int gridSizeFor(int base) { return 2 * base - 1; }

// Cells in column c of a board of this base (0 outside the board).
constexpr int columnLength(int base, int column) {
    if (column < 1 || column > gridSizeFor(base)) return 0;
    return column <= base ? base - 1 + column : 3 * base - 1 - column;
}

constexpr bool isCell(int base, int column, int position) {
    return position >= 1 && position <= columnLength(base, column);
}

// Top-left corner of the cell's stone square (26 x 27 pixels) for base 8 or
// 10; nullopt for any other base or for a pair that is no cell.
std::optional<Point> stoneSquareOrigin(int base, int column, int position);

// "A1", "H15", "S10": the letter with code 64 + column, then the position.
std::string cellName(int column, int position);

// The click box of a cell reaches 3 pixels left of and above its stone
// square's origin, and 26 right and 28 below it (both ends included).
inline constexpr int kClickLeft = 3;
inline constexpr int kClickTop = 3;
inline constexpr int kClickRight = 26;
inline constexpr int kClickBottom = 28;

// The flat-to-centre distance of each cell's hexagon on the board picture
// of base 8 or 10; the hexagon is centred on the middle of the stone square.
constexpr double hexInradius(int base) { return base == 10 ? 19.0 : 20.0; }
// Distance from a hexagon's centre measured in flat-topped hexagons: the
// hexagon of inradius r is the set where this is at most r.
double hexNorm(double dx, double dy);

// The pixels of a band along the cell's hexagon edge, two pixels wide, that
// leave its stone square alone; empty for a pair that is no cell.
std::vector<Point> cellOutlinePixels(int base, int column, int position);

// Stone square size drawn for a stone (x .. x + 25, y .. y + 26).
inline constexpr int kStoneWidth = 26;
inline constexpr int kStoneHeight = 27;

}  // namespace tarnwick::board
