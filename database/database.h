// The games database: one SQLite file of game records, the values they are
// searched by, and every position of their main lines keyed up to the
// board's symmetries for the opening explorer.
//
// A file is opened only when it is recognised: an empty or missing file
// becomes a new database; a file that is not one of ours, or that a newer
// version of the program wrote, is refused and left exactly as it was.
// Imports run in transactions (one a batch), so a crash or a kill leaves
// whole games and nothing half written. Several programs may have the file
// open (WAL: readers do not wait for an import); one Database object is for
// one thread at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "database/game_summary.h"
#include "havannah/position.h"
#include "record/tree.h"

namespace tarnwick::database {

// The schema this program writes and reads; older files are brought up to
// it step by step when opened.
inline constexpr int kSchemaVersion = 1;

// Where the database lives unless the user names one: $TARNWICK_DATABASE,
// else $XDG_DATA_HOME/tarnwick/games.sqlite (an absolute XDG_DATA_HOME
// only), else $HOME/.local/share/tarnwick/games.sqlite; empty when none of
// them is set. `environment` looks a variable up (none when unset or empty).
std::string defaultDatabasePath(const std::function<std::optional<std::string>(std::string_view)>& environment);

// A game to import: its tree (the main line is what is searched and
// explored; the whole tree is stored) and where it came from.
struct Incoming {
    record::Tree tree;
    std::string source;  // a file's path, a game number
};

struct ImportResult {
    enum class Outcome { Added, AlreadyThere, Refused };
    Outcome outcome = Outcome::Refused;
    std::int64_t id = 0;  // the game's row (added or already there)
    std::string reason;   // why it was refused
};

// A row of the table of games.
struct GameRow {
    std::int64_t id = 0;
    std::optional<std::int64_t> gameNumber;
    std::string black, white, event, result;
    int base = 0;
    int moves = 0;
    unsigned ending = kNoEnding;  // EndingKind bits
    std::optional<havannah::Player> winner;
    int endingMove = 0;
    std::string source;
    std::int64_t addedAt = 0;
};

enum class Column { Id, GameNumber, Black, White, Event, Result, Base, Moves, Ending, AddedAt };

// Which games, in which order, which page. Empty texts and unset values
// select everything.
struct Query {
    std::string player;  // a prefix of Black's or White's name, case ignored (ASCII)
    std::string event;   // a prefix of the event, case ignored
    std::optional<int> base;
    std::string result;  // the result as recorded: "B", "W"
    // Games with any of these ending bits; kNoEnding in `endingIsNone`
    // selects the games without an ending.
    unsigned ending = 0;
    bool endingIsNone = false;
    Column sortBy = Column::Id;
    bool descending = false;
    int limit = 100;
    int offset = 0;
};

// One move played from a position, in the orientation of the position
// asked about, with how the games that played it went.
struct ExplorerMove {
    std::optional<havannah::Cell> cell;  // none for the swap
    int games = 0;
    int blackWins = 0;
    int whiteWins = 0;
    int rings = 0, bridges = 0, forks = 0, resignations = 0, noEnding = 0;
};

class Database;

// What opening gives: the database, or a problem in words that names the
// file ("... is not a Tarnwick games database").
struct Opened {
    std::unique_ptr<Database> database;
    std::string problem;
};

class Database {
  public:
    // Opens or creates the file at `path` (its folder must exist).
    static Opened open(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& path() const { return path_; }

    // Imports the games in one transaction, `addedAt` (seconds since the
    // epoch, the caller's clock) their time. One result a game, in order. A
    // game already there (by its game number, else by its players and moves)
    // is not stored again. When the batch cannot be written whole (a full
    // disk), none of it is kept and every game that would have been added
    // is refused with the reason.
    std::vector<ImportResult> importGames(std::span<const Incoming> games, std::int64_t addedAt);

    std::vector<GameRow> games(const Query& query);
    std::int64_t countGames(const Query& query);
    // The record as stored (the tree written whole); none for no such game.
    std::optional<std::string> recordText(std::int64_t id);

    // The moves played from the position (from its stones, whatever the
    // order or orientation they came in), most played first. Moves equal
    // under a symmetry of the position itself (any first move has up to
    // twelve images on the empty board) are one entry, at one of their cells.
    std::vector<ExplorerMove> explore(const havannah::Position& position);

    // The last SQLite error, for a report.
    std::string lastError() const;

  private:
    struct Connection;
    Database(std::string path, std::unique_ptr<Connection> connection);
    std::string path_;
    std::unique_ptr<Connection> connection_;
    SymmetryTable symmetries_;
};

}  // namespace tarnwick::database
