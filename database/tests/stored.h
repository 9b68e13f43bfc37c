// What a database file holds, read straight from it for the checks.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <string>

namespace tarnwick::testing {

// Positions stored for each game, by the game's id.
inline std::map<std::int64_t, int> positionCounts(const std::string& path) {
    std::map<std::int64_t, int> counts;
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT game, count(*) FROM positions GROUP BY game", -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW)
            counts[sqlite3_column_int64(statement, 0)] = sqlite3_column_int(statement, 1);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return counts;
}

}  // namespace tarnwick::testing
