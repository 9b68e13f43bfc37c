// The shape of a Havannah board of any base from 2 to 12: its cells, their
// neighbours, corners and sides, and their names in the board notation.
//
// Cells are dense indices 0 .. cellCount()-1. In the notation a cell is a
// column letter (A on the left) and its position within the column, counted
// from 1 at the bottom: A1, H15, J19. A column holds base..2*base-1 cells;
// columns left of the middle one start one half-cell higher than their right
// neighbour, columns right of it one half-cell lower.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::havannah {

using Cell = int;
// Stands for "no cell": beyond the board's edge in circle().
inline constexpr Cell kNoCell = -1;

inline constexpr int kMinBase = 2;
inline constexpr int kMaxBase = 12;
// 3*b*b - 3*b + 1 cells for base b.
inline constexpr int cellCountFor(int base) { return 3 * base * base - 3 * base + 1; }
inline constexpr int kMaxCells = cellCountFor(kMaxBase);

class Topology {
  public:
    // A base outside kMinBase..kMaxBase throws std::invalid_argument.
    explicit Topology(int base);

    int base() const { return base_; }
    int cellCount() const { return cellCount_; }
    int columnCount() const { return 2 * base_ - 1; }
    // Cells in a column (1-based); 0 outside the board.
    int columnLength(int column) const;

    // (column, position), both from 1; nullopt for a pair that is no cell.
    std::optional<Cell> cellAt(int column, int position) const;
    int columnOf(Cell cell) const { return column_[static_cast<std::size_t>(cell)]; }
    int positionOf(Cell cell) const { return position_[static_cast<std::size_t>(cell)]; }

    // Up to six neighbours, in clockwise order round the cell.
    std::span<const Cell> neighbours(Cell cell) const;
    // The six places round a cell in clockwise order, starting with the one
    // above it, kNoCell where the board ends: the neighbours with their gaps,
    // for telling whether a stone joins its group from separate sides.
    const std::array<Cell, 6>& circle(Cell cell) const { return circle_[static_cast<std::size_t>(cell)]; }

    // Bit i set when the cell is corner i (0..5); a corner has three
    // neighbours and belongs to no side.
    std::uint8_t cornerMask(Cell cell) const { return cornerMask_[static_cast<std::size_t>(cell)]; }
    // Bit i set when the cell lies on side i (0..5), corners excluded.
    std::uint8_t sideMask(Cell cell) const { return sideMask_[static_cast<std::size_t>(cell)]; }
    const std::array<Cell, 6>& corners() const { return corners_; }

    // "A1", "H15": the column letter, then the position.
    std::string name(Cell cell) const;
    // Total: any text in, a cell of this board or nothing out. Letters in
    // either case, no sign, no leading zero, no surrounding blanks.
    std::optional<Cell> parseCell(std::string_view text) const;

  private:
    int base_;
    int cellCount_;
    std::vector<int> column_, position_;
    std::vector<std::uint8_t> cornerMask_, sideMask_;
    std::vector<std::array<Cell, 6>> neighbours_;
    std::vector<std::array<Cell, 6>> circle_;
    std::vector<std::uint8_t> neighbourCount_;
    std::vector<int> columnStart_;  // index of each column's first cell
    std::array<Cell, 6> corners_{};
};

}  // namespace tarnwick::havannah
