// Pasted move lists: splitting them into move tokens and rewriting the
// lowercase cell names of It's Your Turn lists in board notation.
// readMoveList (acquire/acquire.h) runs these on a normalised text: line
// breaks and tabs made spaces, "1. D4" written "1.D4".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::acquire {

// Little Golem: the list without the page's move-box headings and navigation
// links (and everything after them), split into its space-separated tokens
// ("1.D4", "2.swap"), each keeping its own number. Runs of spaces separate
// tokens too: no move is ever empty. At most game::MaxMoveSlots tokens, the rest of
// the list is ignored.
std::vector<std::string> splitNumberedMoves(std::string_view text);

// It's Your Turn: the two moves after each numbered point, up to a move
// starting with ")", in board names, upper-cased and numbered one by one:
// "1.a8 b9 2.h1" gives 1.A1, 2.B3, 3.H1.
std::vector<std::string> splitPairedMoves(std::string_view text);

// A lowercase name of base 8 with columns a to g as its board name: "a8" ->
// "A1", "g15" -> "G14". Anything else (h..o names, upper-case names, words,
// cells outside the table) comes back as it is.
std::string toBoardNotation(std::string_view name);

}  // namespace tarnwick::acquire
