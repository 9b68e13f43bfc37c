// Pasted move lists: splitting them into move tokens and rewriting the
// lowercase cell names of It's Your Turn lists in board notation.
// importClipboardGame (acquire/acquire.h) runs these on ClipboardText.
#pragma once

namespace tarnwick {

struct App;

// Little Golem: shortens ClipboardText to the move list (trims it and drops
// the page's move-box headings and navigation links with everything after
// them), then stores its space-separated tokens ("1.D4", "2.swap") as entries
// 1, 2, ... in order, each keeping its own number. Runs of spaces separate
// tokens too: no entry is ever left empty between moves. Sets MoveCount;
// at most MaxMoveSlots entries, the rest of the list is ignored.
void splitNumberedMoves(App& app);

// It's Your Turn: collects the two moves after each numbered point into
// PairedMoveText ("a8 b9 h1 )"), stores them as entries 1, 2, ..., converts
// them with toBoardNotation, then upper-cases and numbers them one by one:
// "1.a8 b9 2.h1" gives 1.A1, 2.B3, 3.H1. Sets MoveCount.
void splitPairedMoves(App& app);

// Rewrites the bare entries 1, 2, ... up to the first empty one from the
// lowercase notation of base 8 (columns a to g) to board names: "a8" -> "A1",
// "g15" -> "G14". Anything else (h..o names, upper-case names, words, cells
// outside the table) is left as it is.
void toBoardNotation(App& app);

}  // namespace tarnwick
