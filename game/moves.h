// The move list of the loaded game: tokens as the record or the pasted list
// gives them, numbered from 1.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tarnwick::game {

inline constexpr int MaxMoveSlots = 274;  // 271 cells of base 10, plus 3

// Move tokens 1..MaxMoveSlots ("12.C10", "2.swap", "31.resign"). The first
// empty entry ends the game. Entries outside 1..MaxMoveSlots read as empty
// and cannot be written, whatever index outside text produces.
class MoveList {
  public:
    const std::string& operator[](int k) const {
        static const std::string kNone;
        return k >= 1 && k <= MaxMoveSlots ? entries_[static_cast<std::size_t>(k)] : kNone;
    }
    void set(int k, std::string token) {
        if (k >= 1 && k <= MaxMoveSlots) entries_[static_cast<std::size_t>(k)] = std::move(token);
        ++revision_;
    }
    // Changes with every set(): work derived from the list (the position
    // after some moves) is still good while this is unchanged.
    std::uint64_t revision() const { return revision_; }
    // Number of entries before the first empty one.
    int length() const {
        int k = 0;
        while (k < MaxMoveSlots && !entries_[static_cast<std::size_t>(k) + 1].empty()) ++k;
        return k;
    }

  private:
    std::array<std::string, MaxMoveSlots + 1> entries_{};  // [0] unused
    std::uint64_t revision_ = 0;
};

}  // namespace tarnwick::game
