#include "havannah/topology.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace tarnwick::havannah {

namespace {

// Axial coordinates: x is the column from 0, y grows up the column and by
// one more at each column right of the middle, so that every cell's six
// neighbours lie at the same offsets. On screen a cell stands 2y - x
// half-cells above the bottom corner's level.
struct Axial {
    int x;
    int y;
};

// Clockwise from the cell above: above, upper right, lower right, below,
// lower left, upper left.
constexpr std::array<Axial, 6> kSteps{{{0, 1}, {1, 1}, {1, 0}, {0, -1}, {-1, -1}, {-1, 0}}};

}  // namespace

Topology::Topology(int base) : base_(base), cellCount_(0) {
    if (base < kMinBase || base > kMaxBase)
        throw std::invalid_argument("a Havannah base must lie in 2..12, not " + std::to_string(base));
    cellCount_ = cellCountFor(base);
    const auto cells = static_cast<std::size_t>(cellCount_);
    column_.reserve(cells);
    position_.reserve(cells);
    columnStart_.assign(static_cast<std::size_t>(columnCount() + 1), 0);
    for (int c = 1; c <= columnCount(); ++c) {
        columnStart_[static_cast<std::size_t>(c)] = static_cast<int>(column_.size());
        for (int p = 1; p <= columnLength(c); ++p) {
            column_.push_back(c);
            position_.push_back(p);
        }
    }

    const int last = 2 * base - 2;
    const auto cellOf = [&](Axial a) -> Cell {
        if (a.x < 0 || a.y < 0 || a.x > last || a.y > last || std::abs(a.x - a.y) > base - 1) return kNoCell;
        const int column = a.x + 1;
        return *cellAt(column, a.y - std::max(0, column - base) + 1);
    };
    const std::array<Axial, 6> cornerPlaces{
        {{0, 0}, {0, base - 1}, {base - 1, last}, {last, last}, {last, base - 1}, {base - 1, 0}}};
    for (std::size_t i = 0; i < 6; ++i) corners_[i] = cellOf(cornerPlaces[i]);

    neighbours_.assign(cells, {});
    circle_.assign(cells, {});
    neighbourCount_.assign(cells, 0);
    cornerMask_.assign(cells, 0);
    sideMask_.assign(cells, 0);
    for (Cell cell = 0; cell < cellCount_; ++cell) {
        const auto i = static_cast<std::size_t>(cell);
        const int column = column_[i];
        const Axial a{column - 1, position_[i] - 1 + std::max(0, column - base)};
        for (std::size_t d = 0; d < 6; ++d) {
            const Cell n = cellOf({a.x + kSteps[d].x, a.y + kSteps[d].y});
            circle_[i][d] = n;
            if (n != kNoCell) neighbours_[i][neighbourCount_[i]++] = n;
        }
        // Side i runs from corner i to corner i + 1, clockwise from A1.
        const std::array<bool, 6> onSide{a.x == 0,    a.y - a.x == base - 1, a.y == last,
                                         a.x == last, a.x - a.y == base - 1, a.y == 0};
        std::uint8_t sides = 0;
        for (std::size_t s = 0; s < 6; ++s)
            if (onSide[s]) sides = static_cast<std::uint8_t>(sides | 1U << s);
        const auto corner = std::find(corners_.begin(), corners_.end(), cell);
        if (corner != corners_.end())
            cornerMask_[i] = static_cast<std::uint8_t>(1U << (corner - corners_.begin()));
        else
            sideMask_[i] = sides;
    }
}

int Topology::columnLength(int column) const {
    if (column < 1 || column > columnCount()) return 0;
    return column <= base_ ? base_ - 1 + column : 3 * base_ - 1 - column;
}

std::optional<Cell> Topology::cellAt(int column, int position) const {
    if (position < 1 || position > columnLength(column)) return std::nullopt;
    return columnStart_[static_cast<std::size_t>(column)] + position - 1;
}

std::span<const Cell> Topology::neighbours(Cell cell) const {
    const auto i = static_cast<std::size_t>(cell);
    return {neighbours_[i].data(), neighbourCount_[i]};
}

std::string Topology::name(Cell cell) const {
    if (cell < 0 || cell >= cellCount_) throw std::out_of_range("no cell " + std::to_string(cell) + " on this board");
    return static_cast<char>('A' + columnOf(cell) - 1) + std::to_string(positionOf(cell));
}

std::optional<Cell> Topology::parseCell(std::string_view text) const {
    // The longest name is a letter and two digits (positions reach 23).
    if (text.size() < 2 || text.size() > 3) return std::nullopt;
    char letter = text[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'A' || letter > 'Z') return std::nullopt;
    if (text[1] < '1' || text[1] > '9') return std::nullopt;
    int position = 0;
    for (const char digit : text.substr(1)) {
        if (digit < '0' || digit > '9') return std::nullopt;
        position = position * 10 + (digit - '0');
    }
    return cellAt(letter - 'A' + 1, position);
}

}  // namespace tarnwick::havannah
