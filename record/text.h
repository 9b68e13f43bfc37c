// Game records as text and back.
//
// The syntax: a game is "(" a sequence of nodes ";" then its variations,
// each again "(" ... ")"; a node holds properties, an identifier of
// upper-case letters and one or more values in brackets ("AB[a][b]"), in
// which "]" and "\" are escaped with "\". Blanks may stand between tokens.
// A text may hold several games: "(;...)(;...)". The Little Golem server's
// records are one-line games without variations.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "record/tree.h"

namespace tarnwick::record {

// Bounds on what one reading takes in: beyond them the text is refused.
inline constexpr std::size_t kMaxTextBytes = 16 * 1024 * 1024;
// Variations open inside each other.
inline constexpr std::size_t kMaxNesting = 10'000;
// Nodes of all the games together: about 13,000 games of the server's size.
inline constexpr std::size_t kMaxNodes = 1'000'000;

// Where and why a text was refused: line and column from 1 (the column
// counts bytes from the line's start; lines end at "\n").
struct ReadError {
    int line = 1;
    int column = 1;
    std::string reason;
    friend bool operator==(const ReadError&, const ReadError&) = default;
};

// Every game in the text, or none and an error: a text is taken whole or
// not at all. A game starts at a "(" followed (blanks aside) by ";"; text
// before, between and after the games is ignored (a record copied from a
// web page, with the page's words around it). Takes any bytes; the work is
// linear in the text and never recurses on its nesting.
struct ReadResult {
    std::vector<Tree> trees;
    std::optional<ReadError> error;
};
ReadResult readRecords(std::string_view text);

// The tree in the same syntax: every node's properties as stored, in order;
// a node's only child follows it in the sequence, several children are
// each written in parentheses, the first first. No blanks and no final line
// break, so a one-line server record read and written again is the same
// text byte for byte. Reading the text gives an equal tree.
std::string writeRecord(const Tree& tree);
// Several games, each on a line of its own.
std::string writeRecords(std::span<const Tree> trees);

}  // namespace tarnwick::record
