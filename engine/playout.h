// Havannah playouts: the position is played to its end, one stone at a time,
// each move chosen in this order:
//  1. save a threatened bridge: when the opponent has just played into one
//     of the two empty cells between two of our stones that share them,
//     reply in the other;
//  2. last good reply: the reply that won the last playout in which the
//     opponent's last move was made, if its cell is still empty;
//  3. a uniformly random empty cell.
// The position detects wins on every move, so a playout ends at the first
// win. One Playout object per thread: its reply table and random numbers
// are its own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "havannah/position.h"

namespace tarnwick::engine {

// A small fast generator (xoshiro-style), one per thread.
class Random {
  public:
    explicit Random(std::uint64_t seed);
    std::uint64_t next();
    // Uniform in 0 .. bound-1, bound > 0.
    std::uint32_t below(std::uint32_t bound) { return static_cast<std::uint32_t>((next() >> 32) * bound >> 32); }

  private:
    std::array<std::uint64_t, 4> state_{};
};

struct PlayoutSettings {
    bool bridgeSave = true;
    bool lastGoodReply = true;
};

class Playout {
  public:
    Playout(PlayoutSettings settings, std::uint64_t seed);

    // Plays `position` to its end; `lastMove` is the cell of the move that
    // led to it (havannah::kNoCell if none or a swap). Returns the winner,
    // nothing when the board filled without one. The cells played stay on
    // the position, so the caller can read who played each.
    std::optional<havannah::Player> run(havannah::Position& position, havannah::Cell lastMove);

    Random& random() { return random_; }

  private:
    // The other empty cell of a bridge of the mover's that the opponent's
    // stone on `last` broke into; kNoCell if none.
    havannah::Cell bridgeReply(const havannah::Position& position, havannah::Cell last);
    // `played`: the playout's moves, the move that led to it first.
    void learnReplies(std::span<const havannah::Cell> played, havannah::Player winner, havannah::Player firstMover);

    PlayoutSettings settings_;
    Random random_;
    // reply_[player][cell]: the mover's reply to the opponent's move on cell.
    std::array<std::array<std::int16_t, havannah::kMaxCells>, 2> reply_{};
    // Room for one playout, kept between playouts: fixed arrays, so the
    // moves go in without the checks of a growing vector.
    std::array<havannah::Cell, havannah::kMaxCells> empty_{};       // empty cells, unordered
    std::array<std::int16_t, havannah::kMaxCells> slot_{};          // each cell's place in empty_
    std::array<havannah::Cell, havannah::kMaxCells + 1> played_{};  // this playout's moves
};

}  // namespace tarnwick::engine
