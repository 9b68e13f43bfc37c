// The games database as the window uses it: where it is, and the database
// opened there at its first use, so that a session that never asks for it
// never pays for opening it.
#pragma once

#include <memory>
#include <string>

#include "database/database.h"

namespace tarnwick {

struct GamesDatabase {
    // The file: --database, $TARNWICK_DATABASE or the data folder's, as main
    // resolves it; empty when none of them is known.
    std::string Path;
    std::unique_ptr<database::Database> Db;  // open once asked for
    // Why it cannot be opened, in a sentence for the panel; once set, no
    // later use tries again.
    std::string Problem;
};

// The open database, opened (its folder made) at the first call; none, with
// Problem saying why, when there is no path or the file is refused.
database::Database* openGames(GamesDatabase& games);

}  // namespace tarnwick
