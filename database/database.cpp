#include "database/database.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>

#include "record/text.h"

namespace tarnwick::database {
namespace {

// A position's next move after the game's last.
constexpr int kNoMove = -2;

// PRAGMA application_id of our files: "Trnw".
constexpr int kApplicationId = 0x54726e77;

// The schema, one step a version: step i brings a file from version i to
// version i + 1. A released step is never changed; a change of the schema
// is a new step.
//
// Every column the table of games is sorted by has an index, so that a
// page of it reads only its rows. A position row repeats its game's winner and ending, so that the
// explorer's count over tens of thousands of games at the start never
// visits the games themselves; the rows of a position come grouped by the
// move played from it (kNoMove after the last), which the count reads in
// order.
constexpr std::array<const char*, kSchemaVersion> kMigrations{{
    R"(CREATE TABLE games(
         id INTEGER PRIMARY KEY,
         identity TEXT NOT NULL UNIQUE,
         game_number INTEGER,
         black TEXT NOT NULL COLLATE NOCASE,
         white TEXT NOT NULL COLLATE NOCASE,
         event TEXT NOT NULL COLLATE NOCASE,
         result TEXT NOT NULL,
         base INTEGER NOT NULL,
         moves INTEGER NOT NULL,
         ending INTEGER NOT NULL,
         winner INTEGER,
         ending_move INTEGER NOT NULL,
         source TEXT NOT NULL,
         added_at INTEGER NOT NULL,
         record TEXT NOT NULL);
       CREATE INDEX games_black ON games(black);
       CREATE INDEX games_white ON games(white);
       CREATE INDEX games_event ON games(event);
       CREATE INDEX games_number ON games(game_number);
       CREATE INDEX games_result ON games(result);
       CREATE INDEX games_base ON games(base);
       CREATE INDEX games_moves ON games(moves);
       CREATE INDEX games_ending ON games(ending);
       CREATE INDEX games_added ON games(added_at);
       CREATE TABLE positions(
         key INTEGER NOT NULL,
         game INTEGER NOT NULL,
         ply INTEGER NOT NULL,
         next INTEGER NOT NULL,
         winner INTEGER,
         ending INTEGER NOT NULL,
         PRIMARY KEY(key, next, game, ply)) WITHOUT ROWID;)",
}};

// One prepared statement, finalized with its owner.
class Statement {
  public:
    Statement(sqlite3* db, std::string_view sql) {
        if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) != SQLITE_OK)
            statement_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return statement_ != nullptr; }
    Statement& bind(int index, std::int64_t value) {
        sqlite3_bind_int64(statement_, index, value);
        return *this;
    }
    Statement& bind(int index, std::string_view text) {
        sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bindNull(int index) {
        sqlite3_bind_null(statement_, index);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step() { return statement_ == nullptr ? SQLITE_MISUSE : sqlite3_step(statement_); }
    void reset() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    bool isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
    std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string text(int column) const {
        const auto* bytes = sqlite3_column_text(statement_, column);
        return bytes == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(bytes),
                                                               static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
    }

  private:
    sqlite3_stmt* statement_ = nullptr;
};

bool execute(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

std::optional<std::int64_t> pragmaValue(sqlite3* db, const char* sql) {
    Statement statement(db, sql);
    if (statement.step() != SQLITE_ROW) return std::nullopt;
    return statement.integer(0);
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

// Looks at an existing file through a read-only connection, so that
// nothing is written to a file that is refused. Empty when it may be
// opened for writing.
std::string checkExisting(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return {};
    if (std::filesystem::is_directory(path, error)) return quoted(path) + " is a folder, not a games database";
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string problem;
    if (opened != SQLITE_OK) {
        problem = quoted(path) + " cannot be opened: " + sqlite3_errstr(opened);
    } else {
        const auto application = pragmaValue(db, "PRAGMA application_id");
        const auto version = pragmaValue(db, "PRAGMA user_version");
        const auto tables = pragmaValue(db, "SELECT count(*) FROM sqlite_master");
        if (!application || !version || !tables) {
            problem = quoted(path) + " is not a Tarnwick games database (" + sqlite3_errmsg(db) + ")";
        } else if (*application != kApplicationId && (*application != 0 || *version != 0 || *tables != 0)) {
            problem = quoted(path) + " is a database of another program, not a Tarnwick games database";
        } else if (*version > kSchemaVersion) {
            problem = quoted(path) + " was written by a newer version of Tarnwick (schema " + std::to_string(*version) +
                      "; this version reads up to " + std::to_string(kSchemaVersion) + ")";
        }
    }
    sqlite3_close(db);
    return problem;
}

// Brings the schema to kSchemaVersion in one transaction.
bool migrate(sqlite3* db) {
    if (!execute(db, "BEGIN IMMEDIATE")) return false;
    const auto version = pragmaValue(db, "PRAGMA user_version");
    bool ok = version && *version <= kSchemaVersion;
    for (auto step = version.value_or(0); ok && step < kSchemaVersion; ++step)
        ok = execute(db, kMigrations[static_cast<std::size_t>(step)]);
    if (ok && version != kSchemaVersion) {
        const std::string stamp = "PRAGMA application_id = " + std::to_string(kApplicationId) +
                                  "; PRAGMA user_version = " + std::to_string(kSchemaVersion);
        ok = execute(db, stamp.c_str());
    }
    if (ok && execute(db, "COMMIT")) return true;
    execute(db, "ROLLBACK");
    return false;
}

std::optional<havannah::Player> playerOf(const Statement& row, int column) {
    if (row.isNull(column)) return std::nullopt;
    return row.integer(column) == 0 ? havannah::Player::Black : havannah::Player::White;
}

// A LIKE pattern for a prefix: the wildcards in it stand for themselves.
std::string prefixPattern(std::string_view prefix) {
    std::string pattern;
    for (const char c : prefix) {
        if (c == '%' || c == '_' || c == '\\') pattern += '\\';
        pattern += c;
    }
    return pattern + '%';
}

const char* columnName(Column column) {
    switch (column) {
        case Column::Id: return "id";
        case Column::GameNumber: return "game_number";
        case Column::Black: return "black";
        case Column::White: return "white";
        case Column::Event: return "event";
        case Column::Result: return "result";
        case Column::Base: return "base";
        case Column::Moves: return "moves";
        case Column::Ending: return "ending";
        case Column::AddedAt: return "added_at";
    }
    return "id";
}

// The WHERE clause of a query and its values, bound in order.
struct Filter {
    std::string sql;
    std::vector<std::string> texts;
    std::optional<int> base;
    std::optional<unsigned> ending;
};

Filter filterOf(const Query& query) {
    Filter filter;
    std::vector<std::string> terms;
    if (!query.player.empty()) {
        terms.push_back("(black LIKE ?1 ESCAPE '\\' OR white LIKE ?1 ESCAPE '\\')");
        filter.texts.push_back(prefixPattern(query.player));
    } else {
        filter.texts.emplace_back();
    }
    if (!query.event.empty()) terms.push_back("event LIKE ?2 ESCAPE '\\'");
    filter.texts.push_back(prefixPattern(query.event));
    if (!query.result.empty()) terms.push_back("result = ?3");
    filter.texts.push_back(query.result);
    if (query.base) terms.push_back("base = ?4");
    if (query.endingIsNone) terms.push_back("ending = 0");
    else if (query.ending != 0) terms.push_back("(ending & ?5) != 0");
    for (std::size_t i = 0; i < terms.size(); ++i) filter.sql += (i == 0 ? " WHERE " : " AND ") + terms[i];
    filter.base = query.base;
    filter.ending = query.ending;
    return filter;
}

void bindFilter(Statement& statement, const Filter& filter) {
    for (std::size_t i = 0; i < filter.texts.size(); ++i) statement.bind(static_cast<int>(i) + 1, filter.texts[i]);
    statement.bind(4, static_cast<std::int64_t>(filter.base.value_or(0)));
    statement.bind(5, static_cast<std::int64_t>(filter.ending.value_or(0)));
}

}  // namespace

std::string defaultDatabasePath(const std::function<std::optional<std::string>(std::string_view)>& environment) {
    if (auto chosen = environment("TARNWICK_DATABASE")) return *chosen;
    if (auto data = environment("XDG_DATA_HOME"); data && data->starts_with('/')) return *data + "/tarnwick/games.sqlite";
    if (auto home = environment("HOME")) return *home + "/.local/share/tarnwick/games.sqlite";
    return {};
}

struct Database::Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
    // Prepared once, used for every game of every import.
    std::unique_ptr<Statement> findIdentity, insertGame, insertPosition;
};

Database::Database(std::string path, std::unique_ptr<Connection> connection)
    : path_(std::move(path)), connection_(std::move(connection)) {}

Database::~Database() = default;

Opened Database::open(const std::string& path) {
    Opened opened;
    if (path.empty()) {
        opened.problem = "no games database: neither TARNWICK_DATABASE, XDG_DATA_HOME nor HOME is set";
        return opened;
    }
    if (opened.problem = checkExisting(path); !opened.problem.empty()) return opened;
    auto connection = std::make_unique<Connection>();
    const int status = sqlite3_open_v2(path.c_str(), &connection->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3* db = connection->db;
    if (status != SQLITE_OK) {
        opened.problem = quoted(path) + " cannot be opened: " + (db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(status));
        return opened;
    }
    sqlite3_busy_timeout(db, 5000);
    // In WAL mode a committed transaction survives a killed process; NORMAL
    // syncs at checkpoints, which is what makes imports fast.
    // The positions' index takes its rows at random places: a cache of 64 MiB
    // (taken only as pages are read) keeps an import from reading the same
    // pages again and again.
    if (!execute(db, "PRAGMA journal_mode = WAL") || !execute(db, "PRAGMA synchronous = NORMAL") ||
        !execute(db, "PRAGMA cache_size = -65536") || !migrate(db)) {
        opened.problem = quoted(path) + " cannot be set up as a games database: " + sqlite3_errmsg(db);
        return opened;
    }
    connection->findIdentity = std::make_unique<Statement>(db, "SELECT id FROM games WHERE identity = ?1");
    connection->insertGame = std::make_unique<Statement>(
        db,
        "INSERT INTO games(identity, game_number, black, white, event, result, base, moves, ending, winner, "
        "ending_move, source, added_at, record) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
    connection->insertPosition =
        std::make_unique<Statement>(db, "INSERT INTO positions(key, game, ply, next, winner, ending) VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    opened.database.reset(new Database(path, std::move(connection)));
    return opened;
}

std::string Database::lastError() const { return sqlite3_errmsg(connection_->db); }

std::vector<ImportResult> Database::importGames(std::span<const Incoming> games, std::int64_t addedAt) {
    sqlite3* db = connection_->db;
    std::vector<ImportResult> results(games.size());
    // When the batch is rolled back: every game it would have added, or
    // found added earlier in it, or did not reach.
    std::int64_t firstAdded = INT64_MAX;
    const auto refuseAdded = [&](const std::string& reason) {
        for (ImportResult& result : results) {
            const bool lost = result.outcome == ImportResult::Outcome::Refused ? result.reason.empty() : result.id >= firstAdded;
            if (lost) result = {ImportResult::Outcome::Refused, 0, reason};
        }
        return results;
    };
    if (!execute(db, "BEGIN IMMEDIATE")) {
        for (ImportResult& result : results) result.reason = "the database is not writable: " + lastError();
        return results;
    }
    Statement& find = *connection_->findIdentity;
    Statement& insertGame = *connection_->insertGame;
    Statement& insertPosition = *connection_->insertPosition;
    // The positions of the whole batch, written in key order: their index
    // is then walked once from end to end instead of at random.
    struct Stored {
        std::int64_t key;
        std::int64_t game;
        int ply;
        std::optional<int> next;
        std::optional<int> winner;
        unsigned ending;
        bool operator<(const Stored& other) const { return key < other.key; }
    };
    std::vector<Stored> positions;
    bool ok = true;
    for (std::size_t i = 0; i < games.size(); ++i) {
        ImportResult& result = results[i];
        auto summary = summarize(games[i].tree, symmetries_);
        if (auto* refused = std::get_if<NotStored>(&summary)) {
            result.reason = refused->reason;
            continue;
        }
        const GameSummary& game = std::get<GameSummary>(summary);
        find.bind(1, game.identity);
        const bool there = find.step() == SQLITE_ROW;
        const std::int64_t existing = there ? find.integer(0) : 0;
        find.reset();
        if (there) {
            result = {ImportResult::Outcome::AlreadyThere, existing, {}};
            continue;
        }
        insertGame.bind(1, game.identity);
        if (game.gameNumber) insertGame.bind(2, *game.gameNumber);
        insertGame.bind(3, game.black).bind(4, game.white).bind(5, game.event).bind(6, game.result);
        insertGame.bind(7, std::int64_t{game.base}).bind(8, std::int64_t{game.moves}).bind(9, std::int64_t{game.ending});
        std::optional<int> winner;
        if (game.winner) winner = *game.winner == havannah::Player::Black ? 0 : 1;
        if (winner) insertGame.bind(10, std::int64_t{*winner});
        insertGame.bind(11, std::int64_t{game.endingMove}).bind(12, games[i].source).bind(13, addedAt);
        insertGame.bind(14, record::writeRecord(games[i].tree));
        ok = insertGame.step() == SQLITE_DONE;
        insertGame.reset();
        if (!ok) break;
        const std::int64_t id = sqlite3_last_insert_rowid(db);
        firstAdded = std::min(firstAdded, id);
        result = {ImportResult::Outcome::Added, id, {}};
        for (std::size_t ply = 0; ply < game.positions.size(); ++ply)
            positions.push_back({game.positions[ply].key, id, static_cast<int>(ply), game.positions[ply].next, winner,
                                 game.ending});
    }
    std::sort(positions.begin(), positions.end());
    for (std::size_t p = 0; ok && p < positions.size(); ++p) {
        const Stored& position = positions[p];
        insertPosition.bind(1, position.key).bind(2, position.game).bind(3, std::int64_t{position.ply});
        insertPosition.bind(4, std::int64_t{position.next.value_or(kNoMove)});
        if (position.winner) insertPosition.bind(5, std::int64_t{*position.winner});
        insertPosition.bind(6, std::int64_t{position.ending});
        ok = insertPosition.step() == SQLITE_DONE;
        insertPosition.reset();
    }
    // Nothing of a batch that cannot be written whole is kept.
    if (!ok || !execute(db, "COMMIT")) {
        const std::string reason = "not stored: " + lastError();
        execute(db, "ROLLBACK");
        return refuseAdded(reason);
    }
    return results;
}

std::vector<GameRow> Database::games(const Query& query) {
    const Filter filter = filterOf(query);
    const char* direction = query.descending ? " DESC" : "";
    const std::string sql = std::string("SELECT id, game_number, black, white, event, result, base, moves, ending, winner, "
                                        "ending_move, source, added_at FROM games") +
                            filter.sql + " ORDER BY " + columnName(query.sortBy) + direction + ", id" + direction +
                            " LIMIT ?6 OFFSET ?7";
    Statement statement(connection_->db, sql);
    bindFilter(statement, filter);
    statement.bind(6, std::int64_t{query.limit}).bind(7, std::int64_t{query.offset});
    std::vector<GameRow> rows;
    while (statement.step() == SQLITE_ROW) {
        GameRow row;
        row.id = statement.integer(0);
        if (!statement.isNull(1)) row.gameNumber = statement.integer(1);
        row.black = statement.text(2);
        row.white = statement.text(3);
        row.event = statement.text(4);
        row.result = statement.text(5);
        row.base = static_cast<int>(statement.integer(6));
        row.moves = static_cast<int>(statement.integer(7));
        row.ending = static_cast<unsigned>(statement.integer(8));
        row.winner = playerOf(statement, 9);
        row.endingMove = static_cast<int>(statement.integer(10));
        row.source = statement.text(11);
        row.addedAt = statement.integer(12);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::int64_t Database::countGames(const Query& query) {
    const Filter filter = filterOf(query);
    Statement statement(connection_->db, "SELECT count(*) FROM games" + filter.sql);
    bindFilter(statement, filter);
    return statement.step() == SQLITE_ROW ? statement.integer(0) : 0;
}

std::optional<std::string> Database::recordText(std::int64_t id) {
    Statement statement(connection_->db, "SELECT record FROM games WHERE id = ?1");
    statement.bind(1, id);
    if (statement.step() != SQLITE_ROW) return std::nullopt;
    return statement.text(0);
}

std::vector<ExplorerMove> Database::explore(const havannah::Position& position) {
    const Symmetry& symmetry = symmetries_.forBase(position.base());
    const CanonicalKey key = symmetry.key(position);
    Statement statement(connection_->db,
                        "SELECT next, count(*), sum(winner = 0), sum(winner = 1), sum((ending & 1) != 0), "
                        "sum((ending & 2) != 0), sum((ending & 4) != 0), sum((ending & 8) != 0), sum(ending = 0) "
                        "FROM positions WHERE key = ?1 AND next != ?2 GROUP BY next ORDER BY count(*) DESC, next");
    statement.bind(1, key.key).bind(2, std::int64_t{kNoMove});
    std::vector<ExplorerMove> moves;
    while (statement.step() == SQLITE_ROW) {
        const auto next = static_cast<int>(statement.integer(0));
        if (next != kSwapCode && (next < 0 || next >= position.topology().cellCount())) continue;
        ExplorerMove move;
        if (next != kSwapCode) move.cell = symmetry.shownMove(key, next);
        const auto count = [&](int column) { return static_cast<int>(statement.integer(column)); };
        move.games = count(1);
        move.blackWins = count(2);
        move.whiteWins = count(3);
        move.rings = count(4);
        move.bridges = count(5);
        move.forks = count(6);
        move.resignations = count(7);
        move.noEnding = count(8);
        moves.push_back(move);
    }
    return moves;
}

}  // namespace tarnwick::database
