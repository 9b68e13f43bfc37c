// The database on real records and on small hand-made games: import,
// duplicates, endings, searches, the explorer, and files it must refuse.
#include "database/database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "havannah/tests/record_index.h"
#include "record/header.h"
#include "record/text.h"
#include "database/tests/stored.h"
#include "tests/temp_folder.h"

namespace tarnwick::database {
namespace {

const std::filesystem::path kRecords = TARNWICK_RECORDS_DIR;
using Outcome = ImportResult::Outcome;

std::vector<Incoming> gamesIn(const std::string& text, const std::string& source) {
    std::vector<Incoming> games;
    for (record::Tree& tree : record::readRecords(text).trees) games.push_back({std::move(tree), source});
    return games;
}

std::unique_ptr<Database> openAt(const std::filesystem::path& path) {
    Opened opened = Database::open(path.string());
    EXPECT_EQ(opened.problem, "");
    return std::move(opened.database);
}

// An index row's ending: "fork by W-tagged move 59 (last)", "resign by
// B-tagged". The server's records tag the first player's (Black's) moves W.
struct Expected {
    unsigned ending = kNoEnding;
    std::optional<havannah::Player> winner;
};
Expected expectedEnding(const std::string& text) {
    std::istringstream words(text);
    std::string kind, by, tag;
    words >> kind >> by >> tag;
    const havannah::Player mover = tag == "W-tagged" ? havannah::Player::Black : havannah::Player::White;
    static const std::map<std::string, unsigned> kinds{{"ring", kRing}, {"bridge", kBridge}, {"fork", kFork}};
    if (kind == "resign") return {kResignation, havannah::opponent(mover)};
    if (kinds.contains(kind)) return {kinds.at(kind), mover};
    return {};
}

TEST(DatabaseTest, EveryRealRecordOnceWithTheEndingOfTheIndex) {
    const testing::TempFolder folder("database-real");
    const std::filesystem::path path = folder.path() / "games.sqlite";
    const auto db = openAt(path);
    const auto rows = testing::readIndex(kRecords);
    std::vector<Incoming> games;
    for (const testing::IndexRow& row : rows) {
        auto read = gamesIn(testing::fileText(kRecords / row.file), row.file);
        ASSERT_EQ(read.size(), 1U) << row.file;
        games.push_back(std::move(read.front()));
    }
    const auto results = db->importGames(games, 1765000000);
    ASSERT_EQ(results.size(), rows.size());
    std::map<std::int64_t, GameRow> stored;
    Query all;
    all.limit = 100000;
    for (GameRow& row : db->games(all)) stored[row.id] = std::move(row);
    ASSERT_EQ(stored.size(), rows.size());
    EXPECT_EQ(db->countGames(all), static_cast<std::int64_t>(rows.size()));

    const auto positions = testing::positionCounts(path.string());
    std::map<int, std::int64_t> perBase;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].file);
        ASSERT_EQ(results[i].outcome, Outcome::Added) << results[i].reason;
        const GameRow& game = stored.at(results[i].id);
        const Expected expected = expectedEnding(rows[i].ending);
        EXPECT_EQ(game.ending & expected.ending, expected.ending) << endingText(game.ending);
        EXPECT_EQ(game.ending == kNoEnding, expected.ending == kNoEnding);
        if (expected.ending != kNoEnding) {
            EXPECT_EQ(game.winner, expected.winner);
        }
        EXPECT_EQ(std::to_string(game.gameNumber.value_or(0)), rows[i].number);
        EXPECT_EQ(game.base, rows[i].size);
        EXPECT_EQ(game.moves, rows[i].moves);
        EXPECT_EQ(game.source, rows[i].file);
        EXPECT_EQ(positions.at(game.id), rows[i].moves + (rows[i].resign ? 0 : 1));
        EXPECT_EQ(db->recordText(game.id), testing::fileText(kRecords / rows[i].file));
        ++perBase[rows[i].size];
    }
    for (const auto& [base, count] : perBase) {
        Query query;
        query.base = base;
        EXPECT_EQ(db->countGames(query), count) << base;
    }
    // Pages in any order put together give the whole ordered table.
    for (const Column column : {Column::Moves, Column::Black, Column::GameNumber, Column::Ending}) {
        Query query;
        query.sortBy = column;
        query.descending = column == Column::Moves;
        query.limit = 1000;
        const auto whole = db->games(query);
        std::vector<std::int64_t> paged;
        for (query.limit = 97, query.offset = 0;; query.offset += query.limit) {
            const auto page = db->games(query);
            for (const GameRow& row : page) paged.push_back(row.id);
            if (page.empty()) break;
        }
        ASSERT_EQ(paged.size(), whole.size());
        for (std::size_t i = 0; i < whole.size(); ++i) EXPECT_EQ(paged[i], whole[i].id);
        for (std::size_t i = 1; column == Column::Moves && i < whole.size(); ++i) {
            EXPECT_GE(whole[i - 1].moves, whole[i].moves);
        }
    }

    // The same files again add nothing.
    for (const ImportResult& again : db->importGames(games, 1765000001)) EXPECT_EQ(again.outcome, Outcome::AlreadyThere);
    EXPECT_EQ(db->countGames(all), static_cast<std::int64_t>(rows.size()));
}

// A game of the server's kind on base 8: moves tagged W, B, W, ...
std::string game(const std::string& header, std::initializer_list<const char*> moves) {
    std::string text = "(;FF[4]" + header + "SZ[8]RU[LG]";
    int k = 0;
    for (const char* move : moves) text += std::string(k++ % 2 == 0 ? ";W[" : ";B[") + move + "]";
    return text + ")";
}

// D5 and L7, E6 and K7, F7 and J7 are images under the half turn; F7 E6 D5
// reaches the position of D5 E6 F7.
const std::string kHandMade =
    game("EV[spring cup]PB[Ann]PW[bob]RE[B]GC[ game #1]", {"D5", "E6", "F7", "G8", "C3", "resign"}) +
    game("EV[Spring open]PB[cat]PW[Dan]RE[W]GC[ game #2]", {"L7", "K7", "B2", "C2", "resign"}) +
    game("EV[null]PB[anna]PW[dan]RE[W]GC[ game #3]", {"F7", "E6", "D5", "G8", "resign"}) +
    game("EV[null]PB[bob]PW[100xyz]RE[B]GC[ game #4]", {"D5", "swap", "A1"}) +
    game("PB[100%_sure]PW[cat]RE[B]", {"H8"});

havannah::Position after(std::initializer_list<const char*> moves) {
    havannah::Position position(8);
    for (const char* move : moves) {
        if (std::string_view(move) == "swap") position.swap();
        else position.play(*position.topology().parseCell(move));
    }
    return position;
}

std::string cellName(const ExplorerMove& move) {
    return move.cell ? havannah::Topology(8).name(*move.cell) : "swap";
}

TEST(DatabaseTest, ExplorerMergesImagesAndTranspositions) {
    const testing::TempFolder folder("database-explorer");
    const auto db = openAt(folder.path() / "games.sqlite");
    db->importGames(gamesIn(kHandMade, "hand"), 0);

    struct Case {
        havannah::Position position;
        std::vector<std::string> moves;  // "cell games black-wins white-wins resignations none"
    };
    const auto summary = [](const ExplorerMove& m) {
        return cellName(m) + " " + std::to_string(m.games) + " " + std::to_string(m.blackWins) + " " +
               std::to_string(m.whiteWins) + " " + std::to_string(m.resignations) + " " + std::to_string(m.noEnding);
    };
    const std::vector<Case> cases{
        {after({"D5"}), {"E6 2 1 1 2 0", "swap 1 1 0 0 1"}},
        {after({"L7"}), {"K7 2 1 1 2 0", "swap 1 1 0 0 1"}},
        {after({"D5", "E6", "F7"}), {"G8 2 1 1 2 0"}},
        {after({"J7", "K7", "L7"}), {"I7 2 1 1 2 0"}},
        {after({"D5", "swap"}), {"A1 1 1 0 0 1"}},
        {after({"H8"}), {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> found;
        for (const ExplorerMove& move : db->explore(c.position)) found.push_back(summary(move));
        EXPECT_EQ(found, c.moves) << havannah::toString(c.position.toMove());
    }
    // From the start: D5's class (3 games), F7's and H8 (1 each), in some
    // orientation of each.
    const auto start = db->explore(havannah::Position(8));
    ASSERT_EQ(start.size(), 3U);
    EXPECT_EQ(start[0].games, 3);
    EXPECT_EQ(start[1].games + start[2].games, 2);
}

TEST(DatabaseTest, SearchesByPlayerEventBaseResultAndEnding) {
    const testing::TempFolder folder("database-search");
    const auto db = openAt(folder.path() / "games.sqlite");
    const auto games = gamesIn(kHandMade, "hand");
    for (const ImportResult& result : db->importGames(games, 1)) EXPECT_EQ(result.outcome, Outcome::Added) << result.reason;

    const auto query = [](std::string player, std::string event, std::string result, unsigned ending, bool none) {
        Query q;
        q.player = std::move(player);
        q.event = std::move(event);
        q.result = std::move(result);
        q.ending = ending;
        q.endingIsNone = none;
        q.sortBy = Column::GameNumber;
        return q;
    };
    struct Case {
        Query query;
        std::vector<std::string> blackPlayers;  // in game number order (no number first)
    };
    const std::vector<Case> cases{
        {query("AN", "", "", 0, false), {"Ann", "anna"}},
        {query("dan", "", "", 0, false), {"cat", "anna"}},
        {query("100%", "", "", 0, false), {"100%_sure"}},
        {query("100", "", "", 0, false), {"100%_sure", "bob"}},
        {query("", "spring", "", 0, false), {"Ann", "cat"}},
        {query("", "", "W", 0, false), {"cat", "anna"}},
        {query("", "", "", kResignation, false), {"Ann", "cat", "anna"}},
        {query("", "", "", 0, true), {"100%_sure", "bob"}},
        {query("c", "spring o", "W", kResignation | kRing, false), {"cat"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> found;
        for (const GameRow& row : db->games(c.query)) found.push_back(row.black);
        EXPECT_EQ(found, c.blackPlayers) << c.query.player << "/" << c.query.event;
        EXPECT_EQ(db->countGames(c.query), static_cast<std::int64_t>(c.blackPlayers.size()));
    }
    Query base10;
    base10.base = 10;
    EXPECT_EQ(db->countGames(base10), 0);

    // Without a game number a game is known by its players and moves.
    for (const ImportResult& again : db->importGames(games, 2)) EXPECT_EQ(again.outcome, Outcome::AlreadyThere);
    const auto other = gamesIn(game("PB[100%_sure]PW[dog]RE[B]", {"H8"}), "other");
    EXPECT_EQ(db->importGames(other, 3).front().outcome, Outcome::Added);
}

TEST(DatabaseTest, GamesTheRulesRefuseAreNamedAndNotStored) {
    const testing::TempFolder folder("database-refused");
    const auto db = openAt(folder.path() / "games.sqlite");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"(;FF[4]PB[a]PW[b];W[D5])", "has no board size (SZ)"},
        {"(;FF[4]SZ[1];W[A1])", "is on a board of base 1, which Havannah does not have"},
        {game("", {"D5", "D5"}), "move 2 (D5) is on an occupied cell"},
        {game("", {"D5", "pass"}), "move 2 (pass) is not a move"},
        {game("", {"D5", "Z9"}), "move 2 (Z9) is off the board"},
        {game("", {"D5", "E6", "swap"}), "move 3 (swap) is a swap that is not allowed here"},
        {game("", {"D5", "resign", "E6"}), "move 3 comes after a resignation"},
    };
    for (const auto& [text, reason] : cases) {
        const auto results = db->importGames(gamesIn(text, "bad"), 0);
        ASSERT_EQ(results.size(), 1U) << text;
        EXPECT_EQ(results.front().outcome, Outcome::Refused);
        EXPECT_EQ(results.front().reason, reason);
    }
    EXPECT_EQ(db->countGames({}), 0);
}

TEST(DatabaseTest, ABatchThatCannotBeWrittenWholeLeavesNothing) {
    const testing::TempFolder folder("database-rollback");
    const std::filesystem::path path = folder.path() / "games.sqlite";
    const auto db = openAt(path);
    // A write that fails half-way through the positions, as a full disk would.
    const auto sql = [&](const char* statement) {
        sqlite3* raw = nullptr;
        sqlite3_open(path.c_str(), &raw);
        EXPECT_EQ(sqlite3_exec(raw, statement, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    };
    sql("CREATE TRIGGER failing BEFORE INSERT ON positions WHEN NEW.ply = 3 BEGIN SELECT RAISE(ABORT, 'no room'); END");
    std::vector<Incoming> games = gamesIn(kHandMade, "hand");
    games.push_back(gamesIn(kHandMade, "again").front());
    games.push_back(gamesIn("(;FF[4]PB[a];W[D5])", "no size").front());
    std::vector<std::string> outcomes;
    for (const ImportResult& result : db->importGames(games, 0)) outcomes.push_back(result.reason);
    std::vector<std::string> expected(6, "not stored: no room");
    expected.push_back("has no board size (SZ)");
    EXPECT_EQ(outcomes, expected);
    EXPECT_EQ(db->countGames({}), 0);
    EXPECT_TRUE(testing::positionCounts(path.string()).empty());

    sql("DROP TRIGGER failing");
    int added = 0;
    for (const ImportResult& result : db->importGames(games, 0)) added += result.outcome == Outcome::Added;
    EXPECT_EQ(added, 5);
}

std::string bytesOf(const std::filesystem::path& path) { return testing::fileText(path); }

TEST(DatabaseTest, FilesNotOursOrNewerAreRefusedAndLeftAsTheyWere) {
    const testing::TempFolder folder("database-refuse-files");
    const auto sql = [](const std::filesystem::path& path, const char* statements) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        EXPECT_EQ(sqlite3_exec(db, statements, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
        std::string problem;  // after the quoted path
    };
    const std::vector<Case> cases{
        {"random bytes",
         [](const std::filesystem::path& path) {
             std::mt19937 random(7);
             std::ofstream out(path, std::ios::binary);
             for (int i = 0; i < 10000; ++i) out.put(static_cast<char>(random()));
         },
         " is not a Tarnwick games database (file is not a database)"},
        {"newer schema",
         [&](const std::filesystem::path& path) {
             openAt(path);
             sql(path, "PRAGMA user_version = 99");
         },
         " was written by a newer version of Tarnwick (schema 99; this version reads up to 1)"},
        {"another program's",
         [&](const std::filesystem::path& path) { sql(path, "CREATE TABLE notes(text)"); },
         " is a database of another program, not a Tarnwick games database"},
    };
    for (const Case& c : cases) {
        const std::filesystem::path path = folder.path() / (std::string(c.name) + ".sqlite");
        c.make(path);
        const std::string before = bytesOf(path);
        ASSERT_FALSE(before.empty()) << c.name;
        const Opened opened = Database::open(path.string());
        EXPECT_EQ(opened.database, nullptr) << c.name;
        EXPECT_EQ(opened.problem, "\"" + path.string() + "\"" + c.problem);
        EXPECT_EQ(bytesOf(path), before) << c.name;
    }
    // An empty file is a new database.
    const std::filesystem::path empty = folder.path() / "empty.sqlite";
    std::ofstream{empty};
    EXPECT_NE(openAt(empty), nullptr);
}

TEST(DatabaseTest, DefaultPathFromTheEnvironment) {
    using Environment = std::map<std::string, std::string>;
    const std::vector<std::pair<Environment, std::string>> cases{
        {{{"HOME", "/home/u"}}, "/home/u/.local/share/tarnwick/games.sqlite"},
        {{{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/data"}}, "/data/tarnwick/games.sqlite"},
        {{{"HOME", "/home/u"}, {"XDG_DATA_HOME", "relative"}}, "/home/u/.local/share/tarnwick/games.sqlite"},
        {{{"HOME", "/home/u"}, {"TARNWICK_DATABASE", "my.sqlite"}}, "my.sqlite"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        const Environment& environment = c.first;
        const auto lookup = [&](std::string_view name) -> std::optional<std::string> {
            const auto found = environment.find(std::string(name));
            if (found == environment.end()) return std::nullopt;
            return found->second;
        };
        EXPECT_EQ(defaultDatabasePath(lookup), c.second);
    }
}

}  // namespace
}  // namespace tarnwick::database
