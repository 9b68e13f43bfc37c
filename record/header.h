// The game's header, read from the root's properties as they stand: the
// tree keeps them verbatim and these only interpret them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "havannah/position.h"
#include "record/tree.h"

namespace tarnwick::record {

// The first value of a root property, unescaped; none when absent.
std::optional<std::string> headerValue(const Tree& tree, std::string_view id);

// The board's base from SZ[8]: a plain decimal number (no sign, blanks or
// other text); none otherwise. Whether this program plays it is the
// caller's question (havannah::kMinBase .. kMaxBase, the viewer's 8 and 10).
std::optional<int> base(const Tree& tree);
// The name of a player: PB for Black (the first player), PW for White.
std::optional<std::string> playerName(const Tree& tree, havannah::Player player);
// EV, as written ("null" for the server's unrated games).
std::optional<std::string> event(const Tree& tree);
// The digits after "game #" in GC ("GC[ game #1009692]" -> "1009692").
std::optional<std::string> gameNumber(const Tree& tree);
// The winner by the first letter of RE: "B..." Black, "W..." White; none
// for any other result (a game in progress, a draw, no RE).
std::optional<havannah::Player> winner(const Tree& tree);

}  // namespace tarnwick::record
