#include "engine/playout.h"

#include <bit>

namespace tarnwick::engine {

using havannah::Cell;
using havannah::kNoCell;
using havannah::Player;
using havannah::Position;
using havannah::Stone;

namespace {

std::uint64_t splitMix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

std::size_t index(Player p) { return static_cast<std::size_t>(p); }

}  // namespace

Random::Random(std::uint64_t seed) {
    for (auto& word : state_) word = splitMix(seed);
}

std::uint64_t Random::next() {
    const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
}

Playout::Playout(PlayoutSettings settings, std::uint64_t seed) : settings_(settings), random_(seed) {}

Cell Playout::bridgeReply(const Position& position, Cell last) {
    const Player mover = position.toMove();
    const auto& circle = position.topology().circle(last);
    // The position keeps each cell's neighbours as masks: read, not counted.
    const unsigned ours = position.stonesAround(last, havannah::stoneOf(mover));
    const unsigned empty = ~(ours | position.stonesAround(last, havannah::stoneOf(havannah::opponent(mover)))) & 63U;
    // An empty place round `last` between two of ours, both next to it and
    // to `last`: the opponent has taken one of the bridge's two cells, that
    // place is the other.
    const unsigned before = ((ours << 1) | (ours >> 5)) & 63U;
    const unsigned after = ((ours >> 1) | (ours << 5)) & 63U;
    unsigned replies = empty & before & after;
    if (replies == 0) return kNoCell;
    // Directions off the board hold no stone either.
    for (unsigned d = 0; d < 6; ++d)
        if (circle[d] == kNoCell) replies &= ~(1U << d);
    if (replies == 0) return kNoCell;
    for (auto skip = random_.below(static_cast<std::uint32_t>(std::popcount(replies))); skip > 0; --skip)
        replies &= replies - 1;
    return circle[static_cast<std::size_t>(std::countr_zero(replies))];
}

std::optional<Player> Playout::run(Position& position, Cell lastMove) {
    const int cells = position.topology().cellCount();
    std::size_t empties = 0;
    for (Cell cell = 0; cell < cells; ++cell) {
        if (position.at(cell) != Stone::Empty) continue;
        slot_[static_cast<std::size_t>(cell)] = static_cast<std::int16_t>(empties);
        empty_[empties++] = cell;
    }
    std::size_t moves = 0;
    played_[moves++] = lastMove;
    const Player firstMover = position.toMove();
    Cell last = lastMove;
    while (empties > 0 && !position.isWon()) {
        const Player mover = position.toMove();
        Cell cell = kNoCell;
        if (last != kNoCell) {
            if (settings_.bridgeSave) cell = bridgeReply(position, last);
            if (cell == kNoCell && settings_.lastGoodReply) {
                const Cell reply = reply_[index(mover)][static_cast<std::size_t>(last)] - 1;
                if (reply >= 0 && position.at(reply) == Stone::Empty) cell = reply;
            }
        }
        if (cell == kNoCell) cell = empty_[random_.below(static_cast<std::uint32_t>(empties))];
        // Take the cell out of the empty list by moving the last one into its place.
        const auto at = static_cast<std::size_t>(slot_[static_cast<std::size_t>(cell)]);
        empty_[at] = empty_[--empties];
        slot_[static_cast<std::size_t>(empty_[at])] = static_cast<std::int16_t>(at);
        position.play(cell);
        played_[moves++] = cell;
        last = cell;
    }
    if (!position.isWon()) return std::nullopt;
    const Player winner = *position.winner();
    if (settings_.lastGoodReply) learnReplies(std::span(played_).first(moves), winner, firstMover);
    return winner;
}

void Playout::learnReplies(std::span<const Cell> played, Player winner, Player firstMover) {
    // played[k] for k >= 1 was made by firstMover when k is odd.
    for (std::size_t k = 1; k < played.size(); ++k) {
        const Cell previous = played[k - 1];
        if (previous == kNoCell) continue;
        const Player mover = k % 2 == 1 ? firstMover : havannah::opponent(firstMover);
        std::int16_t& reply = reply_[index(mover)][static_cast<std::size_t>(previous)];
        const auto code = static_cast<std::int16_t>(played[k] + 1);
        if (mover == winner)
            reply = code;
        else if (reply == code)
            reply = 0;  // the loser forgets a reply that failed
    }
}

}  // namespace tarnwick::engine
