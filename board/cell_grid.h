// Tables indexed by (column, position) from 1, as the board uses them.
#pragma once

#include <cstdint>
#include <vector>

namespace tarnwick::board {

// A size x size table of integers indexed (column, position), both from 1.
// Reads outside the table give 0 and writes outside it are ignored: move
// tokens come from outside text, and a token naming no cell must never touch
// memory outside the table.
class CellGrid {
  public:
    void reset(int size) {
        size_ = size > 0 ? size : 0;
        values_.assign(static_cast<std::size_t>(size_) * static_cast<std::size_t>(size_), 0);
    }
    int size() const { return size_; }
    bool contains(int column, int position) const {
        return column >= 1 && position >= 1 && column <= size_ && position <= size_;
    }
    std::int32_t at(int column, int position) const {
        return contains(column, position) ? values_[offset(column, position)] : 0;
    }
    void set(int column, int position, std::int32_t value) {
        if (contains(column, position)) values_[offset(column, position)] = value;
    }
    void fill(std::int32_t value) { std::fill(values_.begin(), values_.end(), value); }

  private:
    // The column varies fastest, as in the board's documented tables.
    std::size_t offset(int column, int position) const {
        return static_cast<std::size_t>(position - 1) * static_cast<std::size_t>(size_) +
               static_cast<std::size_t>(column - 1);
    }
    int size_ = 0;
    std::vector<std::int32_t> values_;
};

}  // namespace tarnwick::board
