// The board's twelve symmetries (six rotations about the centre, each with
// or without a reflection) as permutations of a topology's cells, and a key
// for a position that is the same for all its images under them.
//
// Keys are stored in the database, so the stone codes and how they combine
// must never change without a migration that computes every key again.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "havannah/position.h"

namespace tarnwick::database {

inline constexpr int kSymmetries = 12;

// A position's key and the transforms that carry it to its canonical form:
// bit t set when transform t gives the smallest hash (several for a
// position that is symmetric itself).
struct CanonicalKey {
    std::int64_t key = 0;
    std::uint16_t transforms = 0;
    int first() const;  // the lowest transform of the set
};

class Symmetry {
  public:
    explicit Symmetry(const havannah::Topology& topology);

    int base() const { return base_; }
    // Transform t (0..11) maps cell c to image(t, c); transform 0 is the
    // identity, 1..5 the rotations by 60° steps, 6..11 those after a
    // reflection.
    havannah::Cell image(int t, havannah::Cell cell) const { return images_[index(t, cell)]; }
    havannah::Cell preimage(int t, havannah::Cell cell) const { return preimages_[index(t, cell)]; }

    // The key of the stones on the board (the side to move follows from
    // them: only after the swap does White have more stones), equal for
    // positions equal under a symmetry, whatever the order of their moves.
    CanonicalKey key(const havannah::Position& position) const;

    // A key built stone by stone along a game, without reading the whole
    // board at each move.
    class Running {
      public:
        explicit Running(const Symmetry& symmetry) : symmetry_(&symmetry) {}
        void add(havannah::Cell cell, havannah::Stone stone);
        void remove(havannah::Cell cell, havannah::Stone stone) { add(cell, stone); }
        CanonicalKey key() const;

      private:
        const Symmetry* symmetry_;
        std::array<std::uint64_t, kSymmetries> hashes_{};
    };

    // A move in the canonical orientation of the position it is played
    // from: the smallest image among the transforms of the key's set, so
    // that moves equal under the position's own symmetry count as one.
    havannah::Cell canonicalMove(const CanonicalKey& from, havannah::Cell cell) const;
    // A canonical move back in the orientation of the position whose key
    // this is.
    havannah::Cell shownMove(const CanonicalKey& of, havannah::Cell canonical) const;

  private:
    std::size_t index(int t, havannah::Cell cell) const {
        return static_cast<std::size_t>(t) * static_cast<std::size_t>(cells_) + static_cast<std::size_t>(cell);
    }
    int base_;
    int cells_;
    std::vector<havannah::Cell> images_;
    std::vector<havannah::Cell> preimages_;
};

// The symmetries of each base, made when first asked for.
class SymmetryTable {
  public:
    const Symmetry& forBase(int base);
    const std::shared_ptr<const havannah::Topology>& topology(int base);

  private:
    struct Board {
        std::shared_ptr<const havannah::Topology> topology;
        std::unique_ptr<Symmetry> symmetry;
    };
    Board& board(int base);
    std::array<Board, havannah::kMaxBase + 1> boards_;
};

// The stone code of a stone on a cell (a fixed pseudo-random number).
std::uint64_t stoneCode(havannah::Cell cell, havannah::Stone stone);

}  // namespace tarnwick::database
