// A proof-number solver for Havannah: depth-first proof-number search
// (df-pn) over a transposition table, proving that one player wins
// whatever the other does.
//
// Why df-pn rather than a best-first proof-number search with a second
// level (PN²): df-pn keeps no tree, only the table, so its memory is the
// byte budget it is given, and it works well with small slices of work
// taken in turns with the Monte-Carlo search: the table keeps what a slice
// learnt, and the next slice goes down to the same frontier again.
//
// A search is for one attacker, who must win; a draw (a full board) counts
// as a failure. The side to move's immediate wins end a node; a side that
// cannot win at once but faces two immediate wins of the opponent's loses;
// facing one it has a single move, the cell that stops it. Every other node
// tries every empty cell. New nodes are numbered by their moves (an
// attacker's node needs one move to be proven and as many as it has to be
// disproven, the defender's the other way round), so moves that make a
// threat and leave the defender one reply are searched first. The swap is
// not searched: a position where it may be played is never solved.
//
// Positions are keyed by a Zobrist hash of their stones and side to move.
// The table is a fixed array of two-entry buckets; a newcomer displaces the
// entry of the two that cost the least work, a solved entry counting as
// the most. It is kept between calls, so that calls with small budgets add
// up, and cleared when the board's base changes.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "havannah/position.h"

namespace tarnwick::engine {

// The Zobrist key of a stone on a cell, mixed from the cell and the stone
// (no table): the same on every board of a base, in every run.
std::uint64_t stoneKey(havannah::Cell cell, havannah::Stone stone);
// Toggled by a change of the side to move.
inline constexpr std::uint64_t kWhiteToMoveKey = 0x6a09e667f3bcc909ULL;
// The key of the stones on the board and the side to move.
std::uint64_t positionKey(const havannah::Position& position);

// Zero means no limit; without either limit a call runs until solved or stopped.
struct SolverLimits {
    std::uint64_t nodes = 0;
    std::chrono::nanoseconds time{0};
};

struct SolverResult {
    // The player proven to win; nothing when neither was within the budget.
    std::optional<havannah::Player> winner;
    // The proven line: the winner's moves and the loser's longest defence,
    // ending with the winning stone. Its size is the win's length in moves.
    // Empty when nothing is proven or the game is already won.
    std::vector<havannah::Cell> line;
    std::uint64_t nodes = 0;  // searched in this call
    // Whether the side to move was shown unable to force a win (it may still
    // draw); set only when `winner` is not the side to move.
    bool moverCannotWin = false;
};

class Solver {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // `bytes`: the table's size (at least one bucket). The table's memory is
    // taken zeroed from the system, so pages never written cost nothing.
    explicit Solver(std::size_t bytes, Clock clock = [] { return std::chrono::steady_clock::now(); });
    Solver(const Solver&) = delete;
    Solver& operator=(const Solver&) = delete;

    // Tries to prove a win for either side, the side to move first, in
    // rounds of doubling budgets. Returns within a few milliseconds of
    // `stop` becoming true.
    SolverResult solve(const havannah::Position& position, SolverLimits limits, const std::atomic<bool>* stop = nullptr);

    std::size_t tableBytes() const { return bucketCount_ * sizeof(Bucket); }
    // Forgets every entry.
    void clear();

  private:
    // Proof and disproof numbers for the attacker; kInfinity when solved.
    struct Numbers {
        std::uint32_t pn = 1;
        std::uint32_t dn = 1;
        // For a proven node, the moves from it to the winning stone along
        // the attacker's shortest and the defender's longest known line.
        std::uint16_t length = 0;
    };
    struct Entry {
        std::uint64_t key = 0;
        std::uint32_t pn = 0;
        std::uint32_t dn = 0;
        std::uint32_t work = 0;  // nodes searched below; 0 for an empty slot
        std::uint16_t length = 0;
    };
    struct Bucket {
        Entry slot[2];
    };
    // What a scan of a node's empty cells says.
    struct Scan {
        Numbers numbers;
        bool solved = false;
        havannah::Cell win = havannah::kNoCell;     // the mover's immediate win
        havannah::Cell threat = havannah::kNoCell;  // the opponent's, the first of them
        int threats = 0;                             // the opponent's, counted up to two
        int empty = 0;
    };
    struct Ply {
        std::optional<havannah::Position> position;
        std::uint64_t key = 0;
        std::vector<havannah::Cell> moves;
        std::vector<Numbers> children;
    };
    struct FreeTable {
        void operator()(Bucket* table) const { std::free(table); }
    };

    Scan scan(const havannah::Position& position, havannah::Player attacker) const;
    // Searches the node at `depth` until its numbers reach the thresholds,
    // it is solved or the budget ends; stores and returns its numbers.
    Numbers mid(std::size_t depth, std::uint32_t pnThreshold, std::uint32_t dnThreshold);
    // The moves of the node at `depth` with their numbers from the table or
    // from a scan of each child.
    void expand(std::size_t depth, const Scan& node);
    std::vector<havannah::Cell> provenLine(const havannah::Position& position);
    bool outOfBudget();
    // Whether the whole call's budget is spent (or a stop was asked for),
    // as opposed to one round's.
    bool callOver() const;

    const Entry* find(std::uint64_t key) const;
    void store(std::uint64_t key, Numbers numbers, std::uint64_t work);
    // The attacker is part of every key, so both searches share the table.
    std::uint64_t keyFor(std::uint64_t positionKey) const;

    Clock clock_;
    std::size_t bucketCount_ = 1;
    std::unique_ptr<Bucket[], FreeTable> table_;
    int base_ = 0;
    // Per call.
    std::vector<Ply> plies_;
    havannah::Player attacker_ = havannah::Player::Black;
    const std::atomic<bool>* stop_ = nullptr;
    std::uint64_t nodes_ = 0;
    std::uint64_t nodeLimit_ = 0;   // this round's
    std::uint64_t callLimit_ = 0;   // the call's; 0 for none
    std::uint64_t clockReads_ = 0;
    std::chrono::steady_clock::time_point deadline_{};
    bool timed_ = false;
    bool aborted_ = false;
};

}  // namespace tarnwick::engine
