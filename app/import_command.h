// `tarnwick --import PATH...`: game files, and folders of them, added to
// the games database without a window, with a progress bar on the terminal
// and a summary.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "database/database.h"
#include "platform/platform.h"

namespace tarnwick {

struct ImportBatch {
    // Files (records, several records, move lists) and folders, searched
    // through for .sgf, .hgf and .txt files.
    std::vector<std::string> paths;
    // The database file; empty: --database was not given.
    std::string database;
};

// The largest file an import reads: a file may hold many records.
inline constexpr std::size_t kMaxImportFileBytes = 16 * 1024 * 1024;
// Games a transaction: a killed import loses at most the batch under way,
// and larger batches write the positions' index less often.
inline constexpr std::size_t kImportBatchGames = 1000;

// The files named, folders replaced by the game files found in them
// (recursively, in name order); a path that does not exist stays, for
// its reading to name the problem.
std::vector<std::string> filesToImport(const std::vector<std::string>& paths);

// The games of a file's text: its records, or the move list it holds; or
// why none ("line 3, column 7: ...", "holds no game").
struct FileGames {
    std::vector<record::Tree> trees;
    std::string problem;
};
FileGames gamesInFile(std::string_view path, std::string_view text);

// What an import did, game by game and file by file.
struct ImportSummary {
    int files = 0;
    int added = 0;
    int alreadyThere = 0;
    int refused = 0;  // games, and files with no game read
};

// A text to import games from, and the name its games and problems go by:
// a file's path, or where a fetched text came from.
struct NamedText {
    std::string name;
    FileText text;
};

// Imports the games of `count` texts, `text(i)` giving the i-th, into the
// open database: the games in batches of kImportBatchGames, `addedAt`
// their time; each refused text or game is named with its reason on `err`,
// a progress bar on `err` when `progress`.
ImportSummary importTexts(database::Database& db, std::size_t count, const std::function<NamedText(std::size_t)>& text,
                          std::int64_t addedAt, std::FILE* err, bool progress);
// The same for files, `readFile` reading a file as the program does.
ImportSummary importFiles(database::Database& db, const std::vector<std::string>& files,
                          const std::function<FileText(std::string_view)>& readFile, std::int64_t addedAt,
                          std::FILE* err, bool progress);

// The command: opens the database at `databasePath` (making its folder),
// imports, prints the summary on `out`. 0 when every file was read and no
// game was refused, 1 otherwise.
int runImport(const ImportBatch& batch, const std::string& databasePath, std::int64_t addedAt, std::FILE* out,
              std::FILE* err);

}  // namespace tarnwick
