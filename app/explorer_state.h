// The opening explorer: what the games database says about the position on
// the board page.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "database/database.h"
#include "havannah/position.h"

namespace tarnwick {

struct ExplorerFields {
    bool On = false;  // the O key
    // The position last asked about and the moves played from it.
    std::optional<havannah::Position> Asked;
    std::vector<database::ExplorerMove> Moves;
    // The empty board's moves by base: the one slow question (every game
    // passes there), asked once each time the explorer is shown.
    std::map<int, std::vector<database::ExplorerMove>> EmptyBoard;
    // What the board page should show: the games a cell was played in (one
    // a cell of the board shown; empty while nothing is shown) and the
    // panel line.
    std::vector<int> Games;
    std::string Line;
};

}  // namespace tarnwick
