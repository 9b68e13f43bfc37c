// The games database as the window uses it: opened on first use (never at
// start-up), so that a large database costs the first frame nothing.
#pragma once

#include <memory>
#include <string>

#include "database/database.h"

namespace tarnwick {

struct GamesDatabase {
    // The file; empty when there is none to use (no home folder).
    std::string Path;
    std::unique_ptr<database::Database> Db;
    // Why there is no database, once opening was tried.
    std::string Problem;
    bool Tried = false;
    // Games opened, fetched or saved in the viewer are added.
    bool AddOpenedGames = true;
};

// The open database, opening it (and making its folder) the first time;
// nothing when it cannot be had, with the reason in Problem.
database::Database* openGames(GamesDatabase& games);

}  // namespace tarnwick
