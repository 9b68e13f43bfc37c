#include "app/games_database.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace tarnwick {

database::Database* openGames(GamesDatabase& games) {
    if (games.Db || !games.Problem.empty()) return games.Db.get();
    if (!games.Path.empty()) {
        // A folder that cannot be made is named by the opening that fails.
        std::error_code error;
        if (const auto folder = std::filesystem::path(games.Path).parent_path(); !folder.empty())
            std::filesystem::create_directories(folder, error);
    }
    database::Opened opened = database::Database::open(games.Path);
    games.Db = std::move(opened.database);
    if (!games.Db) {
        games.Problem = opened.problem.empty() ? "The games database cannot be opened" : opened.problem;
        games.Problem[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(games.Problem[0])));
    }
    return games.Db.get();
}

}  // namespace tarnwick
