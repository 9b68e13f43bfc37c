#include "app/games_database.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace tarnwick {

database::Database* openGames(GamesDatabase& games) {
    if (games.Db || games.Tried) return games.Db.get();
    games.Tried = true;
    const std::filesystem::path folder = std::filesystem::path(games.Path).parent_path();
    std::error_code error;
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    if (error) {
        games.Problem = "No games database: " + folder.string() + " cannot be made (" + error.message() + ")";
        return nullptr;
    }
    database::Opened opened = database::Database::open(games.Path);
    if (!opened.database) {
        // A sentence of its own on the panel line and the Load Game page.
        games.Problem = opened.problem.empty() ? "the games database cannot be opened" : opened.problem;
        games.Problem[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(games.Problem[0])));
        return nullptr;
    }
    games.Db = std::move(opened.database);
    return games.Db.get();
}

}  // namespace tarnwick
