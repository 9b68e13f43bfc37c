// What a reported win rate means. The search's rate for the side to move is
// shy: in games the engine played against itself on base 8 at 100,000
// playouts a move, positions it rated about 64 % were won 80 % of the
// time, positions rated about 36 % only 10 %. A logistic fit of the outcome on the logit of the rate,
//   won ~ sigmoid(slope * logit(rate) + offset),
// maps a reported rate to the share of games the side to move went on to
// win (tools/calibration.py; docs/calibration.md has the tables). The
// slope grows with the search's budget: 1.89 at 10,000 playouts a move,
// 2.74 at 100,000. Between the two the fit is interpolated in the
// logarithm of the playouts; outside them the nearer one is used, which
// under a larger budget corrects less than it might but never more than
// was measured.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tarnwick::engine {

// The share of games the side to move wins from a position the search
// rated `reported` after `playouts` playouts. Certain rates (0 and 1, a
// proof) stay as they are.
inline double calibratedRate(double reported, std::uint64_t playouts) {
    if (reported <= 0 || reported >= 1) return std::clamp(reported, 0.0, 1.0);
    struct Fit {
        double log10Playouts, slope, offset;
    };
    constexpr Fit kLow{4.0, 1.893, -0.145};
    constexpr Fit kHigh{5.0, 2.737, -0.138};
    const double at = std::clamp(std::log10(static_cast<double>(std::max<std::uint64_t>(playouts, 1))),
                                 kLow.log10Playouts, kHigh.log10Playouts);
    const double share = (at - kLow.log10Playouts) / (kHigh.log10Playouts - kLow.log10Playouts);
    const double slope = kLow.slope + share * (kHigh.slope - kLow.slope);
    const double offset = kLow.offset + share * (kHigh.offset - kLow.offset);
    const double logit = std::log(reported / (1 - reported));
    return 1 / (1 + std::exp(-(slope * logit + offset)));
}

}  // namespace tarnwick::engine
