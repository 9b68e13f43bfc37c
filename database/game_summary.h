// What the database keeps of a game besides its record: the header values,
// the ending the rules find on the main line, and the key of every position
// on it with the move played from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "database/symmetry.h"
#include "record/tree.h"

namespace tarnwick::database {

// How a game ended; bits, several win kinds at once being possible.
enum EndingKind : unsigned {
    kNoEnding = 0,
    kRing = 1,
    kBridge = 2,
    kFork = 4,
    kResignation = 8,
};
// "ring", "bridge and fork", "resignation", "none".
std::string endingText(unsigned kinds);

// The move played from a position, as stored: a cell in the canonical
// orientation of that position, or the swap.
inline constexpr int kSwapCode = -1;

struct PositionRow {
    std::int64_t key = 0;
    std::optional<int> next;  // none after the last move
};

struct GameSummary {
    std::string identity;  // "#1009692" by game number, else "h" and a hash of players and moves
    std::optional<std::int64_t> gameNumber;
    std::string black, white, event, result;
    int base = 0;
    int moves = 0;         // on the main line, the swap and a resignation included
    unsigned ending = kNoEnding;
    std::optional<havannah::Player> winner;  // by the ending, else by the result
    int endingMove = 0;    // the winning move or the resignation; 0 for none
    // The start and the position after each move played on the board: one
    // more than the moves, a resignation aside.
    std::vector<PositionRow> positions;
};

// A game the database does not take, and why: "has no board size", "move
// 12 (E5) is on an occupied cell".
struct NotStored {
    std::string reason;
};

// Plays the main line through the rules. Not stored: a game without a base
// the rules know (kMinBase..kMaxBase), with a move they refuse or that is
// no move, or with a move after a resignation. A resignation after a win
// on the board leaves the win as the ending.
std::variant<GameSummary, NotStored> summarize(const record::Tree& tree, SymmetryTable& symmetries);

}  // namespace tarnwick::database
