// Local patterns: what surrounds an empty cell, seen by the player about to
// move, and how much stronger players like to play into each surrounding.
//
// A pattern is the six places round a cell in the topology's circle order,
// each empty, the mover's, the opponent's or off the board: a code of six
// base-4 digits (0..4095). Rotations and reflections of a surrounding are
// one pattern; `canonicalPattern` names it by its smallest code.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "havannah/position.h"

namespace tarnwick::engine {

using PatternCode = std::uint16_t;
inline constexpr std::size_t kPatternCodes = 4096;

// The digits of a place: what the mover sees there.
enum class PatternPlace : std::uint8_t { Empty = 0, Own = 1, Opponent = 2, Off = 3 };

PatternCode localPattern(const havannah::Position& position, havannah::Cell cell, havannah::Player mover);
PatternCode canonicalPattern(PatternCode code);

// A pattern's weight as fitted by tools/fit_patterns.cpp: how much more
// often a player chose a cell with it than an average cell (1.0), in the
// Bradley-Terry sense.
struct PatternWeight {
    PatternCode canonical;
    float gamma;
};

// The fitted weights, for every code (patterns the fit never saw weigh 1).
class PatternTable {
  public:
    explicit PatternTable(std::span<const PatternWeight> weights);
    // The weights of tools/fit_patterns.cpp's last fit on the real records.
    static const PatternTable& fitted();
    float gamma(PatternCode code) const { return gamma_[code]; }

  private:
    std::array<float, kPatternCodes> gamma_{};
};

}  // namespace tarnwick::engine
