// The loaded game as a tree of variations: which line of it the board and
// the list show, and the moves the user adds, takes back and rearranges in
// it. Nothing here throws a move away except takeBack, and that only on the
// line shown.
#pragma once

#include <string>
#include <vector>

#include "game/game.h"
#include "record/moves.h"
#include "record/tree.h"

namespace tarnwick::game {

// The root and the nodes with a move from the root down to `node`, then on
// along first children: the line a list shows, at most MaxMoveSlots moves.
std::vector<record::NodeId> lineThrough(const record::Tree& tree, record::NodeId node);
// The list entry for the k-th move of a line: "12.C10", "2.swap".
std::string entryText(const record::Tree& tree, record::NodeId node, int k);

// Takes `tree` as the loaded game, its main line in Moves (nothing drawn).
void takeTree(GameFields& g, record::Tree tree);
// Brings the tree into agreement with Moves when the list was written
// directly: a line of the list's entries under the same root.
void syncTree(GameFields& g);

// How entry k is marked in the list: it lies off the main line, or its move
// has alternatives.
struct EntryMarks {
    bool offMainLine = false;
    bool hasAlternatives = false;
    int judged = 0;  // a review's judgement of the move, 1 to 4; 0 for none
};
EntryMarks entryMarks(const GameFields& g, int k);

// Plays `move` at the position shown: with the last move shown, the line
// grows by one entry as it always has; at an earlier move it starts a
// variation, or goes into the one that already plays it. The game's own
// moves stay. True when the move was played.
bool playMove(Game game, const record::Move& move);
// The shown move's previous (step -1) or next (+1) alternative: the line
// follows it down its first children. True when there is one.
bool switchVariation(Game game, int step);
// After takeBack removed the shown move from the tree: when another
// variation goes on from the move before, the board shows that move and the
// line follows the variation (true); otherwise nothing changes (false).
bool followVariationAfterTakeBack(Game game);
// The line shown becomes the main line. True when it was not already.
bool promoteShownLine(Game game);
// `moves`, from the position shown, as a variation that the line then
// follows (the position shown stays). True when any move was added.
bool addVariation(Game game, const std::vector<record::Move>& moves);

// Where the line shown leaves another: "variation 2 of 3 at move 14" for the
// last move up to the one shown that has alternatives; empty for none.
std::string variationNote(const GameFields& g);
// The comment on the move shown (or on the game, at the empty board),
// unescaped; empty for none.
std::string shownComment(const GameFields& g);

}  // namespace tarnwick::game
