// The lowercase cell names of base 8 and their board names.
//
// In the lowercase notation a cell's number is its row: rows rise half a cell
// per column to the right, and row 1 runs through the lowest cells of the
// middle column h and of every column right of it. There the row equals the
// position within the column, so only the case differs. Left of the middle
// (columns a to g, index c = 1..7) the lowest cell of column c lies on row
// 9 - c, so row r is position r + c - 8; the top cell of every column is on
// row 15.
#include <array>
#include <string>
#include <string_view>

#include "acquire/import.h"

namespace tarnwick::acquire {
namespace {

// A letter followed by a number of one or two digits, with no leading zero.
class CellName {
  public:
    constexpr CellName() = default;
    constexpr CellName(char letter, int number) {
        text_[length_++] = letter;
        if (number >= 10) text_[length_++] = static_cast<char>('0' + number / 10);
        text_[length_++] = static_cast<char>('0' + number % 10);
    }
    constexpr std::string_view view() const { return {text_.data(), length_}; }

  private:
    std::array<char, 3> text_{};
    std::size_t length_ = 0;
};

struct NamePair {
    CellName lowercase;
    CellName board;
};

constexpr int kLeftColumns = 7;  // a..g, left of the middle column of base 8
constexpr int kTopRow = 15;
constexpr std::size_t kPairCount = 77;  // columns of 8, 9, ..., 14 cells

// Column by column from a to g, each from row 15 down.
constexpr std::array<NamePair, kPairCount> makeTable() {
    std::array<NamePair, kPairCount> table{};
    std::size_t i = 0;
    for (int c = 1; c <= kLeftColumns; ++c) {
        for (int row = kTopRow; row >= 9 - c; --row) {
            table[i++] = {CellName(static_cast<char>('a' + c - 1), row),
                          CellName(static_cast<char>('A' + c - 1), row + c - 8)};
        }
    }
    return table;
}

constexpr std::array<NamePair, kPairCount> LowercaseNameTable = makeTable();

static_assert(LowercaseNameTable.front().lowercase.view() == "a15" && LowercaseNameTable.front().board.view() == "A8");
static_assert(LowercaseNameTable.back().lowercase.view() == "g2" && LowercaseNameTable.back().board.view() == "G1");

}  // namespace

std::string toBoardNotation(std::string_view name) {
    for (const NamePair& pair : LowercaseNameTable)
        if (name == pair.lowercase.view()) return std::string(pair.board.view());
    return std::string(name);
}

}  // namespace tarnwick::acquire
