#include "database/symmetry.h"

#include <algorithm>
#include <bit>

namespace tarnwick::database {
namespace {

constexpr std::uint64_t splitMix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// One code per cell and colour, fixed forever (see the header).
constexpr auto kStoneCodes = [] {
    std::array<std::uint64_t, 2 * havannah::kMaxCells> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = splitMix(0x7a72'6e77'6963'6b00ULL + i);
    return codes;
}();

// Mixed into every key so that boards of different bases never share one.
std::uint64_t baseCode(int base) { return splitMix(0xba5e'0000ULL + static_cast<std::uint64_t>(base)); }

// Coordinates about the centre: q is the column offset, r grows up the
// column and by one more at each column right of the middle, so that the
// six neighbours lie at (0,1), (1,1), (1,0), (0,-1), (-1,-1), (-1,0).
struct Hex {
    int q;
    int r;
};
// A turn by 60° clockwise takes each neighbour step to the next one.
constexpr Hex rotate(Hex h) { return {h.r, h.r - h.q}; }
// A reflection in the line through (0,0) and (1,1).
constexpr Hex reflect(Hex h) { return {h.r, h.q}; }

}  // namespace

std::uint64_t stoneCode(havannah::Cell cell, havannah::Stone stone) {
    const std::size_t colour = stone == havannah::Stone::White ? 1 : 0;
    return kStoneCodes[colour * havannah::kMaxCells + static_cast<std::size_t>(cell)];
}

int CanonicalKey::first() const { return std::countr_zero(static_cast<unsigned>(transforms)); }

Symmetry::Symmetry(const havannah::Topology& topology)
    : base_(topology.base()), cells_(topology.cellCount()),
      images_(static_cast<std::size_t>(kSymmetries * cells_)), preimages_(images_.size()) {
    const int middle = base_;  // the middle column, and its offset in r
    for (havannah::Cell cell = 0; cell < cells_; ++cell) {
        const int column = topology.columnOf(cell);
        Hex h{column - middle, topology.positionOf(cell) - 1 + std::max(0, column - middle) - (middle - 1)};
        for (int t = 0; t < kSymmetries; ++t) {
            Hex image = t < 6 ? h : reflect(h);
            for (int turn = 0; turn < t % 6; ++turn) image = rotate(image);
            const int imageColumn = image.q + middle;
            const int position = image.r + (middle - 1) - std::max(0, imageColumn - middle) + 1;
            const havannah::Cell target = *topology.cellAt(imageColumn, position);
            images_[index(t, cell)] = target;
            preimages_[index(t, target)] = cell;
        }
    }
}

void Symmetry::Running::add(havannah::Cell cell, havannah::Stone stone) {
    for (int t = 0; t < kSymmetries; ++t) hashes_[static_cast<std::size_t>(t)] ^= stoneCode(symmetry_->image(t, cell), stone);
}

CanonicalKey Symmetry::Running::key() const {
    const std::uint64_t least = *std::min_element(hashes_.begin(), hashes_.end());
    CanonicalKey key;
    key.key = static_cast<std::int64_t>(least ^ baseCode(symmetry_->base()));
    for (int t = 0; t < kSymmetries; ++t)
        if (hashes_[static_cast<std::size_t>(t)] == least) key.transforms = static_cast<std::uint16_t>(key.transforms | 1U << t);
    return key;
}

CanonicalKey Symmetry::key(const havannah::Position& position) const {
    Running running(*this);
    for (havannah::Cell cell = 0; cell < cells_; ++cell)
        if (position.at(cell) != havannah::Stone::Empty) running.add(cell, position.at(cell));
    return running.key();
}

havannah::Cell Symmetry::canonicalMove(const CanonicalKey& from, havannah::Cell cell) const {
    havannah::Cell least = cells_;
    for (int t = 0; t < kSymmetries; ++t)
        if (from.transforms & 1U << t) least = std::min(least, image(t, cell));
    return least;
}

havannah::Cell Symmetry::shownMove(const CanonicalKey& of, havannah::Cell canonical) const {
    return preimage(of.first(), canonical);
}

SymmetryTable::Board& SymmetryTable::board(int base) {
    Board& board = boards_.at(static_cast<std::size_t>(base));
    if (!board.symmetry) {
        board.topology = std::make_shared<const havannah::Topology>(base);
        board.symmetry = std::make_unique<Symmetry>(*board.topology);
    }
    return board;
}

const Symmetry& SymmetryTable::forBase(int base) { return *board(base).symmetry; }

const std::shared_ptr<const havannah::Topology>& SymmetryTable::topology(int base) { return board(base).topology; }

}  // namespace tarnwick::database
