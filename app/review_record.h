// A whole-game review kept in the game record, so that a record reviewed
// once opens with its review, and other programs show its comments.
//
// The root holds the review's version and budget and the search of the
// empty board; each move node the search of the position after its move:
//
//   TRV[tarnwick-review 2]TRB[300 playouts a position]TRP[rate=0.5 best=E5 ...]
//   ;W[E5]TRP[rate=0.43 best=swap bestrate=0.61 line=swap,D4 next=0.52 nextvisits=40 playouts=300]
//    C[Review: Black 57%.]
//
// TRP's value is key=value pairs separated by blanks: rate (the win rate
// of the side to move), best, bestrate, line (moves joined by commas),
// wins (the proven winning moves), winner (black or white), board (1 when
// won on the board), next and nextvisits (the move played next as this
// search saw it: its rate and visits) and playouts; keys without a value
// are left out. Rates are written in the shortest form that reads back as
// the same number, so
// a review read back judges every move as the one stored. The side to move
// follows from the position's number. The comment's review line, its own
// line in C starting "Review: Black ", says Black's win rate after the move
// and, for a judged move, the judgement, the loss and the better move.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/review.h"
#include "havannah/topology.h"
#include "record/tree.h"

namespace tarnwick {

// The program's properties in a record: the version, the budget, a
// position's search.
inline constexpr std::string_view kReviewVersionProperty = "TRV";
inline constexpr std::string_view kReviewBudgetProperty = "TRB";
inline constexpr std::string_view kReviewPositionProperty = "TRP";
// How the review's line in a comment begins.
inline constexpr std::string_view kReviewCommentStart = "Review: Black ";

// The moves of `line` (line[0] the root, line[k] the node of move k) as the
// engine's moves, up to the first that is neither a cell of the board nor
// the swap (a resignation, a pass).
std::vector<engine::Move> reviewMoves(const record::Tree& tree, const std::vector<record::NodeId>& line,
                                      const havannah::Topology& topology);

// Stores `review` along `line`: the version, budget and position 0 on the
// root, position k on line[k] with its review line in C. Every other
// property stays as it was, in its order, and the comment keeps the user's
// text; storing again replaces the program's properties and review line
// where they stand. Nodes of the line past the positions reviewed lose an
// earlier review's properties and line.
void storeReview(record::Tree& tree, const std::vector<record::NodeId>& line, const engine::ReviewResult& review,
                 const havannah::Topology& topology);

// The review stored along `line`, as the Review would give it: version,
// budget, start (the empty board of the topology's base, swap rule on),
// line and total, the positions stored in order (up to the first missing
// or unreadable one) and the moves judged from them. None when the root
// holds no review or one of another version (storedReviewVersion tells
// which: "reviewed by an older engine").
std::optional<engine::ReviewResult> loadReview(const record::Tree& tree, const std::vector<record::NodeId>& line,
                                               const havannah::Topology& topology);
// The version the root's review was made by; none when it holds none.
std::optional<std::string> storedReviewVersion(const record::Tree& tree);

// The review line of a comment for move k of `review` (k from 1, its
// position searched): "Review: Black 57%. Mistake: lost 12%; E5 kept 61%."
std::string reviewCommentLine(const engine::ReviewResult& review, int k, const havannah::Topology& topology);

}  // namespace tarnwick
