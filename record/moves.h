// The moves of a game tree and the positions they make, through the rules.
//
// A node's move is its first B or W property (the root holds none). Which
// player made it follows from its number on the line, not from its tag:
// odd moves are Black's (the first player, named in PB), even ones White's.
// Records of the Little Golem server tag the first player's moves W, others
// tag them B; the tag is kept as read and only decides how new moves are
// tagged. A move value that is no move ("pass", "") stays in the tree as it
// is, counts as a move of the line, and is reported when a position is
// asked for.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "havannah/position.h"
#include "record/tree.h"

namespace tarnwick::record {

struct Move {
    enum class Kind : std::uint8_t { Cell, Swap, Resign };
    Kind kind = Kind::Cell;
    std::string cell;  // for a Cell, its name with the letter in upper case: "H3"

    static Move at(std::string_view cellName);
    static Move swap() { return {Kind::Swap, {}}; }
    static Move resign() { return {Kind::Resign, {}}; }
    friend bool operator==(const Move&, const Move&) = default;
};

// A move value (unescaped): a cell name as the board notation writes it, in
// either case (a letter, then a number from 1 to 99 without a leading zero;
// whether the cell is on the board is for the rules to say), "swap" or
// "resign" in any case. Anything else is no move.
std::optional<Move> parseMove(std::string_view value);
// How a new move's value is written: "H3", "swap", "resign".
std::string moveValue(const Move& move);

// The move property of a node as read: its tag ("B" or "W"), its raw value
// and what that says; none for the root and for a node without B or W.
struct NodeMove {
    std::string_view tag;
    std::string_view value;
    std::optional<Move> move;
};
std::optional<NodeMove> moveOf(const Tree& tree, NodeId id);

// Moves on the line up to the node, itself included: the node's number when
// it holds a move.
int moveNumber(const Tree& tree, NodeId id);
// Nodes with a move among those given (a line, typically).
int moveCount(const Tree& tree, std::span<const NodeId> nodes);
constexpr havannah::Player playerOfMove(int number) {
    return number % 2 == 1 ? havannah::Player::Black : havannah::Player::White;
}

// The tag a new move with that number gets below `parent`: the first move
// on the line to the parent sets the convention (W first: odd moves W,
// even B; otherwise odd B); without one, the first move of the main line,
// then the server's rules tag RU[LG] (W first), then B first.
std::string_view tagFor(const Tree& tree, NodeId parent, int number);

// Adds the move as the parent's last child, tagged by tagFor, unless a
// child already plays it (the same cell in whatever case, the swap, the
// resignation): then that child. None for a parent not in the tree and for
// a cell whose name parseMove would not read as one.
std::optional<NodeId> addMove(Tree& tree, NodeId parent, const Move& move);

// The first move on a line that cannot be played: the rules refuse it, it
// follows a resignation, or its value is no move.
struct RefusedMove {
    NodeId node = kNoNode;
    int number = 0;      // on the line, from 1
    std::string value;   // the value, unescaped: "E5", "pass"
    std::string reason;  // "is on an occupied cell", "is not a move", "comes after a resignation"
};

// The position at a node: the moves of the line from the root played by
// the rules (a resignation puts nothing down), stopping before the first
// one refused, which is named. An id not in the tree gives the empty board.
struct NodePosition {
    havannah::Position position;
    std::optional<RefusedMove> refused;
};
NodePosition positionAt(const Tree& tree, NodeId id, const std::shared_ptr<const havannah::Topology>& topology);

}  // namespace tarnwick::record
