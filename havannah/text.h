// Positions as text, laid out as the board is drawn: column A on the left,
// each column's first cell at the bottom, neighbouring columns half a cell
// apart. "." is an empty cell, "X" a Black stone, "O" a White one. A last
// line "black to move" or "white to move" (optional in parsePosition, where
// the side follows from the stone counts when it is missing).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "havannah/position.h"

namespace tarnwick::havannah {

std::string toText(const Position& position);
// Total: any text in, a position or nothing out. The base follows from the
// number of cells given.
std::optional<Position> parsePosition(std::string_view text);

}  // namespace tarnwick::havannah
