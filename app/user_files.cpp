// The user's own games: opened from the command line or dropped on the
// window, saved with Ctrl+S, copied with Ctrl+C.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/context.h"
#include "app/games_page.h"
#include "app/load_game.h"
#include "app/shell.h"
#include "board/board.h"
#include "game/variations.h"
#include "record/text.h"

namespace tarnwick {
namespace {

// A file name part made of the game number, when it is one.
bool isGameNumber(std::string_view text) {
    return !text.empty() && text.size() <= 12 && std::all_of(text.begin(), text.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
}

CommandLine refused(std::string problem) {
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.problem = std::move(problem) + " (see tarnwick --help)";
    return line;
}

// A whole number from `low` to `high`, nothing around it.
std::optional<long long> numberIn(std::string_view text, long long low, long long high) {
    long long value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

// --help and --version win over whatever else a command line asks.
std::optional<CommandLine> helpOrVersion(const std::string& argument) {
    if (argument != "--help" && argument != "-h" && argument != "--version") return std::nullopt;
    CommandLine other;
    other.action = argument == "--version" ? CommandLine::Action::Version : CommandLine::Action::Help;
    return other;
}

// --review FILE... [--seconds S | --playouts N] [--threads N] [--output DIR];
// --help and --version still win.
CommandLine parseReviewLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    line.action = CommandLine::Action::Review;
    ReviewBatch& batch = line.review;
    bool seconds = false, playouts = false, threads = false, output = false, review = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (const auto other = helpOrVersion(argument)) return *other;
        if (argument == "--review") {
            if (review) return refused("--review is given twice");
            review = true;
            continue;
        }
        if (argument == "--seconds" || argument == "--playouts" || argument == "--threads" || argument == "--output") {
            bool& seen = argument == "--seconds" ? seconds : argument == "--playouts" ? playouts : argument == "--threads" ? threads : output;
            if (seen) return refused(argument + " is given twice");
            seen = true;
            if (i + 1 == arguments.size()) return refused(argument + " needs a value");
            const std::string& value = arguments[++i];
            if (argument == "--seconds") {
                // Tenths of a second, from 0.1 to an hour: "1", "2.5".
                const std::size_t dot = value.find('.');
                const auto whole = numberIn(value.substr(0, dot), 0, 3600);
                const auto tenth = dot == std::string::npos ? std::optional<long long>(0)
                                   : value.size() == dot + 2 ? numberIn(value.substr(dot + 1), 0, 9)
                                                            : std::nullopt;
                if (!whole || !tenth || *whole * 10 + *tenth == 0 || *whole * 10 + *tenth > 36000)
                    return refused("--seconds takes a number of seconds from 0.1 to 3600, not \"" + value + "\"");
                batch.budget.time = std::chrono::milliseconds(*whole * 1000 + *tenth * 100);
            } else if (argument == "--playouts") {
                const auto number = numberIn(value, 1, 1'000'000'000);
                if (!number) return refused("--playouts takes a number from 1 to 1000000000, not \"" + value + "\"");
                batch.budget.playouts = static_cast<std::uint64_t>(*number);
            } else if (argument == "--threads") {
                const auto number = numberIn(value, 1, 1024);
                if (!number) return refused("--threads takes a number from 1 to 1024, not \"" + value + "\"");
                batch.threads = static_cast<int>(*number);
            } else {
                if (value.empty()) return refused("--output needs a folder");
                batch.outputFolder = value;
            }
            continue;
        }
        if (argument.starts_with("-") && argument != "-") return refused("unknown option \"" + argument + "\"");
        batch.files.push_back(argument);
    }
    if (seconds && playouts) return refused("--seconds or --playouts, not both");
    if (batch.files.empty()) return refused("--review needs at least one file");
    return line;
}

// --import PATH... [--database FILE]; --help and --version still win.
CommandLine parseImportLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    line.action = CommandLine::Action::Import;
    bool import = false, database = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (const auto other = helpOrVersion(argument)) return *other;
        if (argument == "--import" || argument == "--database") {
            bool& seen = argument == "--import" ? import : database;
            if (seen) return refused(argument + " is given twice");
            seen = true;
            if (argument == "--import") continue;
            if (i + 1 == arguments.size() || arguments[i + 1].empty()) return refused("--database needs a file");
            line.import.database = arguments[++i];
            continue;
        }
        if (argument.starts_with("-") && argument != "-") return refused("unknown option \"" + argument + "\"");
        line.import.paths.push_back(argument);
    }
    if (line.import.paths.empty()) return refused("--import needs at least one file or folder");
    return line;
}

}  // namespace

std::string recordText(game::GameFields& g) {
    // The whole tree: every property as it was read, every variation; only
    // what the user added is new.
    game::syncTree(g);
    return record::writeRecord(g.Tree) + "\n";
}

void showPanelMessage(App& app, std::string_view message) {
    board::drawPanelMessage(app.platform, app.board.Colours, app.fonts.HeaderFont, message);
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    const bool review = std::find(arguments.begin(), arguments.end(), "--review") != arguments.end();
    const bool import = std::find(arguments.begin(), arguments.end(), "--import") != arguments.end();
    if (review && import) return refused("--review or --import, not both");
    if (review) return parseReviewLine(arguments);
    if (import) return parseImportLine(arguments);
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // The games database of the Load Game page.
        if (argument == "--database") {
            if (!line.import.database.empty()) return refused("--database is given twice");
            if (i + 1 == arguments.size() || arguments[i + 1].empty()) return refused("--database needs a file");
            line.import.database = arguments[++i];
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (argument == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (argument.starts_with("-") && argument != "-" && argument != "--last") {
            line.action = CommandLine::Action::Refuse;
            line.problem = "unknown option \"" + argument + "\" (see tarnwick --help)";
            return line;
        }
        if (!line.file.empty() || !line.gameNumber.empty() || line.last) {
            line.action = CommandLine::Action::Refuse;
            line.problem = "one game at a time: \"" + argument + "\" is one too many (see tarnwick --help)";
            return line;
        }
        // Digits alone are a game number; a file of such a name opens as
        // ./NAME.
        if (argument == "--last") {
            line.last = true;
        } else if (isGameNumber(argument)) {
            line.gameNumber = argument;
        } else {
            line.file = argument;
        }
    }
    return line;
}

std::string usageText() {
    return "Usage: tarnwick [FILE | NUMBER] [--database FILE]\n"
           "       tarnwick --review FILE... [--seconds S | --playouts N] [--threads N] [--output DIR]\n"
           "       tarnwick --import PATH... [--database FILE]\n"
           "A viewer for recorded games of Havannah.\n"
           "\n"
           "  FILE       open a game record (.sgf, .hgf, .txt: as the game server gives it)\n"
           "             or a text file holding a Little Golem or It's Your Turn move list\n"
           "  NUMBER     fetch that Little Golem game (a file named by digits: ./NAME)\n"
           "  --last     open the game kept when the last session ended with moves\n"
           "             or variations never saved\n"
           "  --database FILE  the games database of the Load Game page (as for --import)\n"
           "  --help     show this text\n"
           "  --version  show the version\n"
           "\n"
           "  --review FILE...  review each game without a window: every position searched\n"
           "                    (1 s each, or --seconds S, or --playouts N; --threads N, by\n"
           "                    default all but one), written as NAME.reviewed.sgf beside\n"
           "                    the file or in --output DIR (NAME.reviewed-2.sgf, ... when\n"
           "                    taken), a table of the moves on standard output\n"
           "\n"
           "  --import PATH...  add the games of record files, move lists and folders (their\n"
           "                    .sgf, .hgf and .txt files, recursively) to the games database:\n"
           "                    --database FILE, else $TARNWICK_DATABASE, else\n"
           "                    $XDG_DATA_HOME/tarnwick/games.sqlite (~/.local/share/...)\n"
           "\n"
           "In the window: Ctrl+S saves the shown game in the documents folder,\n"
           "Ctrl+C copies its moves, Ctrl+V loads a copied move list or record,\n"
           "and the About/Help tab explains the rest.\n";
}

void openAtStart(App& app, const CommandLine& line) {
    const std::string file = line.last ? app.platform.stateFolder() + "/" + kLastGameFile : line.file;
    if (!file.empty()) {
        if (const std::string problem = openGameFile(app, file); !problem.empty()) {
            app.platform.reportProblem(problem);
            showPanelMessage(app, problem);
        }
    } else if (!line.gameNumber.empty()) {
        fetchGameByNumber(app, line.gameNumber);
    } else {
        return;
    }
    // The game asked for stays: what the clipboard holds at start is not
    // loaded over it.
    app.shell.SeenClipboardText = app.shell.ClipboardText;
    app.platform.present();
}

void keepUnsavedGame(App& app) {
    Platform& p = app.platform;
    const std::string folder = p.stateFolder();
    if (!app.game.Unsaved || folder.empty()) return;
    const SavedFile kept = p.replaceFile(folder, kLastGameFile, kEarlierGameFile, recordText(app.game));
    if (!kept.ok) p.reportProblem("the unsaved game was not kept: " + kept.problem);
}

void openDropped(App& app, const Drop& dropped) {
    if (app.shell.ActiveTab != MainTab) {
        app.shell.ActiveTab = MainTab;
        showMainPage(app);
    }
    if (!dropped.isFile) {
        loadGameText(app, dropped.content);
    } else if (const std::string problem = openGameFile(app, dropped.content); !problem.empty()) {
        app.platform.reportProblem(problem);
        showPanelMessage(app, problem);
    }
    app.platform.present();
}

void saveShownGame(App& app) {
    Platform& p = app.platform;
    const std::string& number = app.game.record.gameNumber;
    // An empty board with no game loaded is nothing to keep.
    if (app.game.moveCount() == 0 && number.empty() && app.game.record.blackPlayer.empty()) {
        p.beep();
        return;
    }
    const std::string stem = "tarnwick-" + (isGameNumber(number) ? number : p.timeStampText());
    const SavedFile saved = p.saveNewFile(p.documentsFolder(), stem, ".sgf", recordText(app.game));
    if (saved.ok) {
        app.game.Unsaved = false;
        showPanelMessage(app, "Saved " + saved.path);
        addShownGame(app, saved.path);
    } else {
        p.beep();
        showPanelMessage(app, "Not saved: " + saved.problem);
        p.reportProblem("not saved: " + saved.problem);
    }
}

void copyShownMoves(App& app) {
    Platform& p = app.platform;
    std::string text = acquire::moveListOfGame(app.game.Moves);
    if (text.empty()) {
        p.beep();
        return;
    }
    // The main loop must not load the program's own text back as a new one
    // when the clipboard watcher reports it.
    app.shell.OwnClipboardText = text;
    p.writeClipboardText(std::move(text));
}

}  // namespace tarnwick
