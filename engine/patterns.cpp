#include "engine/patterns.h"

#include <algorithm>

namespace tarnwick::engine {

namespace {

using havannah::Cell;
using havannah::Stone;

PatternCode digitAt(PatternCode code, int place) { return static_cast<PatternCode>((code >> (2 * place)) & 3U); }

// The code with place i moved to place (i + turn) % 6, read backwards first
// when `mirrored`.
PatternCode turned(PatternCode code, int turn, bool mirrored) {
    PatternCode out = 0;
    for (int i = 0; i < 6; ++i) {
        const int from = mirrored ? 5 - i : i;
        out = static_cast<PatternCode>(out | digitAt(code, from) << (2 * ((i + turn) % 6)));
    }
    return out;
}

#include "engine/pattern_weights.inc"

}  // namespace

PatternCode localPattern(const havannah::Position& position, Cell cell, havannah::Player mover) {
    const Stone own = havannah::stoneOf(mover);
    const unsigned mine = position.stonesAround(cell, own);
    const unsigned theirs = position.stonesAround(cell, own == Stone::Black ? Stone::White : Stone::Black);
    const auto& circle = position.topology().circle(cell);
    PatternCode code = 0;
    for (int i = 0; i < 6; ++i) {
        PatternPlace place = PatternPlace::Empty;
        if (circle[static_cast<std::size_t>(i)] == havannah::kNoCell) place = PatternPlace::Off;
        else if (mine >> i & 1U) place = PatternPlace::Own;
        else if (theirs >> i & 1U) place = PatternPlace::Opponent;
        code = static_cast<PatternCode>(code | static_cast<unsigned>(place) << (2 * i));
    }
    return code;
}

PatternCode canonicalPattern(PatternCode code) {
    PatternCode best = code;
    for (int turn = 0; turn < 6; ++turn)
        for (const bool mirrored : {false, true}) best = std::min(best, turned(code, turn, mirrored));
    return best;
}

PatternTable::PatternTable(std::span<const PatternWeight> weights) {
    std::array<float, kPatternCodes> byCanonical;
    byCanonical.fill(1.0F);
    for (const PatternWeight& weight : weights) byCanonical[weight.canonical] = weight.gamma;
    for (std::size_t code = 0; code < kPatternCodes; ++code)
        gamma_[code] = byCanonical[canonicalPattern(static_cast<PatternCode>(code))];
}

const PatternTable& PatternTable::fitted() {
    static const PatternTable table(kFittedWeights);
    return table;
}

}  // namespace tarnwick::engine
