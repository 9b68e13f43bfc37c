// The import of game files from the command line: the files through the
// program's own file reading, the database through its library, plain
// terminal output.
#include "app/import_command.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "acquire/acquire.h"
#include "record/text.h"

namespace tarnwick {
namespace {

bool isGameFileName(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".sgf" || extension == ".hgf" || extension == ".txt";
}

// "[#########...........]  312/720 files", redrawn in place.
void drawProgress(std::FILE* err, std::size_t done, std::size_t total, const ImportSummary& summary) {
    constexpr std::size_t kBarWidth = 30;
    const std::size_t filled = total == 0 ? kBarWidth : done * kBarWidth / total;
    std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
    std::fprintf(err, "\r[%s]  %zu/%zu files, %d added", bar.c_str(), done, total, summary.added);
    std::fflush(err);
}

}  // namespace

std::vector<std::string> filesToImport(const std::vector<std::string>& paths) {
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code error;
        if (!std::filesystem::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> found;
        const auto options = std::filesystem::directory_options::skip_permission_denied;
        for (auto entry = std::filesystem::recursive_directory_iterator(path, options, error);
             !error && entry != std::filesystem::recursive_directory_iterator(); entry.increment(error)) {
            if (entry->is_regular_file(error) && isGameFileName(entry->path())) found.push_back(entry->path().string());
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

FileGames gamesInFile(std::string_view path, std::string_view text) {
    FileGames games;
    record::ReadResult read = record::readRecords(text);
    // Text with a record start is read as records, and a record the syntax
    // refuses is named with where and why, as opening the file does.
    if (acquire::recordInText(text)) {
        if (read.error) {
            games.problem = "line " + std::to_string(read.error->line) + ", column " + std::to_string(read.error->column) +
                            ": " + read.error->reason;
        } else {
            games.trees = std::move(read.trees);
        }
        return games;
    }
    const std::string_view name = path.substr(path.find_last_of('/') + 1);
    if (std::optional<acquire::GameValues> list = acquire::readMoveList(text, 8, name)) {
        games.trees.push_back(std::move(list->tree));
    } else if (!read.error && !read.trees.empty()) {
        games.trees = std::move(read.trees);
    } else {
        games.problem = "holds no game record or move list";
    }
    return games;
}

ImportSummary importTexts(database::Database& db, std::size_t count, const std::function<NamedText(std::size_t)>& text,
                          std::int64_t addedAt, std::FILE* err, bool progress) {
    ImportSummary summary;
    const auto refuse = [&](const std::string& line) {
        if (progress) std::fputc('\n', err);
        std::fprintf(err, "tarnwick: %s\n", line.c_str());
        ++summary.refused;
    };
    // Games of several files share a transaction: a folder of one-game
    // files is imported as fast as one file of many games.
    std::vector<database::Incoming> pending;
    std::vector<std::string> names;  // how a refused game is named: "\"a.sgf\" game 3"
    const auto flush = [&] {
        const auto results = db.importGames(pending, addedAt);
        for (std::size_t i = 0; i < results.size(); ++i) {
            switch (results[i].outcome) {
                case database::ImportResult::Outcome::Added: ++summary.added; break;
                case database::ImportResult::Outcome::AlreadyThere: ++summary.alreadyThere; break;
                case database::ImportResult::Outcome::Refused: refuse(names[i] + ": " + results[i].reason); break;
            }
        }
        pending.clear();
        names.clear();
    };
    for (std::size_t f = 0; f < count; ++f) {
        const NamedText named = text(f);
        const std::string& path = named.name;
        const FileText& file = named.text;
        ++summary.files;
        FileGames games = file.ok ? gamesInFile(path, file.text) : FileGames{{}, file.problem};
        if (!games.problem.empty()) refuse("\"" + path + "\": " + games.problem);
        for (std::size_t g = 0; g < games.trees.size(); ++g) {
            pending.push_back({std::move(games.trees[g]), path});
            names.push_back("\"" + path + "\"" + (games.trees.size() == 1 ? "" : " game " + std::to_string(g + 1)));
            if (pending.size() == kImportBatchGames) flush();
        }
        if (f + 1 == count) flush();
        if (progress) drawProgress(err, f + 1, count, summary);
    }
    if (progress) std::fputc('\n', err);
    return summary;
}

ImportSummary importFiles(database::Database& db, const std::vector<std::string>& files,
                          const std::function<FileText(std::string_view)>& readFile, std::int64_t addedAt,
                          std::FILE* err, bool progress) {
    return importTexts(
        db, files.size(), [&](std::size_t i) { return NamedText{files[i], readFile(files[i])}; }, addedAt, err,
        progress);
}

int runImport(const ImportBatch& batch, const std::string& databasePath, std::int64_t addedAt, std::FILE* out,
              std::FILE* err) {
    if (const std::filesystem::path folder = std::filesystem::path(databasePath).parent_path(); !folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
    }
    const database::Opened opened = database::Database::open(databasePath);
    if (!opened.database) {
        std::fprintf(err, "tarnwick: %s; nothing was imported\n", opened.problem.c_str());
        return 1;
    }
    const std::vector<std::string> files = filesToImport(batch.paths);
    if (files.empty()) {
        std::fprintf(err, "tarnwick: no .sgf, .hgf or .txt files in the folders given; nothing was imported\n");
        return 1;
    }
    const bool progress = ::isatty(::fileno(err)) == 1;
    const ImportSummary summary = importFiles(
        *opened.database, files, [](std::string_view path) { return readRegularFile(path, kMaxImportFileBytes); },
        addedAt, err, progress);
    std::fprintf(out, "%d added, %d already there, %d refused, from %d files, into %s\n", summary.added,
                 summary.alreadyThere, summary.refused, summary.files, databasePath.c_str());
    return summary.refused == 0 ? 0 : 1;
}

}  // namespace tarnwick
