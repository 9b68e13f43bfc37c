// A Havannah position: the stones, whose turn it is, the swap, and the win.
//
// Black moves first. With the swap rule on, White may answer the first move
// with the swap: the first stone becomes White's and Black moves again. The
// swap counts as move 2.
//
// Groups of connected stones are kept in a union-find with, per group, the
// corners and sides it touches, so a bridge (two corners) and a fork (three
// sides) show as the group's masks change. A ring (a closed chain of one
// player's stones round at least one cell, whatever that cell holds) is
// looked for only when the stone just played can close a loop. play() does
// no allocation; copying a Position copies flat arrays.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "havannah/topology.h"

namespace tarnwick::havannah {

enum class Player : std::uint8_t { Black, White };
enum class Stone : std::uint8_t { Empty, Black, White };

constexpr Player opponent(Player p) { return p == Player::Black ? Player::White : Player::Black; }
constexpr Stone stoneOf(Player p) { return p == Player::Black ? Stone::Black : Stone::White; }
// "black" or "white".
std::string_view toString(Player p);

// The kinds of winning structure one move made; several at once are possible.
struct WinKinds {
    bool ring = false;
    bool bridge = false;
    bool fork = false;
    bool any() const { return ring || bridge || fork; }
    friend bool operator==(const WinKinds&, const WinKinds&) = default;
};
// "ring", "bridge", "fork", "ring and fork", "ring, bridge and fork".
std::string describe(WinKinds kinds);

// A completed win: who, which kinds, with which move (numbered from 1, the
// swap counting as move 2) and stone, and the cells of the structure itself
// (for a ring the loop, for a bridge a shortest chain between two corners
// inside the group, for a fork shortest chains joining three sides inside
// the group; the union where several kinds were made), sorted, no repeats.
struct Win {
    Player player = Player::Black;
    WinKinds kinds;
    int move = 0;
    Cell cell = 0;
    std::vector<Cell> cells;
};

// Why play() or swap() refused a move.
enum class Refusal : std::uint8_t {
    OffBoard,  // the cell is not on this board
    Occupied,  // a stone stands there
    GameOver,  // the game is already won
    NoSwap,    // the swap is allowed only as move 2, with the swap rule on
};
// "is off the board", "is on an occupied cell", "comes after the game was
// won", "is a swap that is not allowed here".
std::string_view describe(Refusal refusal);

class Position {
  public:
    explicit Position(int base, bool swapRule = true);
    explicit Position(std::shared_ptr<const Topology> topology, bool swapRule = true);

    const Topology& topology() const { return *topology_; }
    const std::shared_ptr<const Topology>& sharedTopology() const { return topology_; }
    int base() const { return topology_->base(); }

    Stone at(Cell cell) const { return stones_[static_cast<std::size_t>(cell)]; }
    Player toMove() const { return toMove_; }
    // Moves made so far, the swap included; the next move has this number + 1.
    int movesPlayed() const { return movesPlayed_; }
    bool swapRule() const { return swapRule_; }
    bool canSwap() const;

    // Plays a stone for the side to move. On a refusal nothing changes.
    std::optional<Refusal> play(Cell cell);
    std::optional<Refusal> swap();

    // The first win made on this position by play(), if any. Once won, the
    // game is over and play() refuses. winKinds()/winner() are cheap; win()
    // works out the structure's cells and is meant for display, not search.
    bool isWon() const { return winKinds_.any(); }
    std::optional<Player> winner() const;
    WinKinds winKinds() const { return winKinds_; }
    std::optional<Win> win() const;

    // Whether a stone of `player` on the empty `cell` would win, asked
    // without playing it: the search checks many cells a node, and a copy
    // of the position for each would cost more than the check.
    bool wouldWin(Cell cell, Player player) const;
    // Directions (bits 0..5 of the topology's circle) in which `cell` has
    // stones of the colour given; read off a mask kept move by move.
    unsigned stonesAround(Cell cell, Stone stone) const {
        return stone == Stone::White ? around_[idx(cell)] >> 8 : around_[idx(cell)] & 63U;
    }

    // Set-up without the rules: puts a stone (or emptiness) on a cell, the
    // side to move and the move counter untouched; no win is looked for. A
    // stone replaced or removed makes the groups be built again.
    void place(Cell cell, Stone stone);
    void setToMove(Player player) { toMove_ = player; }
    void setMovesPlayed(int moves) { movesPlayed_ = moves; }

  private:
    using Index = std::int16_t;  // a cell in the flat arrays below
    static_assert(kMaxCells <= 0x7fff);

    // The group's representative, halving the path on the way.
    Cell find(Cell cell);
    // The same without shortening paths, for const queries.
    Cell rootOf(Cell cell) const;
    // Joins two groups given by their roots; returns the new root.
    Cell join(Cell a, Cell b);
    // Sets a cell's stone (or emptiness) and what its neighbours see of it;
    // the groups are left alone.
    void setStone(Cell cell, Stone stone);
    // Puts a stone on an empty cell as a group of its own and joins it to
    // its neighbours of the same colour; returns the group's root.
    Cell addStone(Cell cell, Stone stone);
    // Builds every group again from the stones, after a stone went away.
    void rebuildGroups();
    // Whether a stone of `own` about to be put on the empty `cell` closes a
    // ring; asked before the stone joins its neighbours' groups.
    bool closesRing(Cell cell, Stone own) const;
    static std::size_t idx(Cell cell) { return static_cast<std::size_t>(cell); }

    std::shared_ptr<const Topology> topology_;
    bool swapRule_ = true;
    Player toMove_ = Player::Black;
    int movesPlayed_ = 0;
    WinKinds winKinds_;
    Player winner_ = Player::Black;
    int winMove_ = 0;
    Cell winCell_ = 0;
    std::array<Stone, kMaxCells> stones_{};
    // Union-find over the stones; size and masks are kept at the roots.
    std::array<Index, kMaxCells> parent_{};
    std::array<Index, kMaxCells> groupSize_{};
    std::array<std::uint8_t, kMaxCells> groupCorners_{};
    std::array<std::uint8_t, kMaxCells> groupSides_{};
    // Per cell, the directions of its black (bits 0..5) and white (bits 8..13)
    // neighbours: the new stone's arcs and surrounded cells are read off
    // these without visiting the neighbours.
    std::array<std::uint16_t, kMaxCells> around_{};
};

// The board as text and back, for tests and the engine's protocol. See
// havannah/text.h.

}  // namespace tarnwick::havannah
