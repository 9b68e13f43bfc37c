// The games database at 100,000 games: the import rate, the size a game,
// a search by player and the explorer's query. The games are random legal
// games of real length (40 to 120 moves) from a seeded generator, made here
// into a temporary file that is removed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "database/database.h"
#include "record/header.h"
#include "record/text.h"

namespace tarnwick::database {
namespace {

constexpr int kGames = 100'000;
constexpr int kPlayers = 2'000;
constexpr int kBatch = 1000;

std::string playerName(int n) {
    char name[16];
    std::snprintf(name, sizeof name, "player%04d", n);
    return name;
}

// A game of base 8 (one in ten of base 10) played at random to a length
// drawn from 40 to 120 moves or to an earlier win; a game won before move
// 40 is played again. Sometimes the swap, sometimes a resignation.
std::string randomGame(std::mt19937_64& random, int number) {
    const int base = random() % 10 == 0 ? 10 : 8;
    const auto topology = std::make_shared<const havannah::Topology>(base);
    for (;;) {
        havannah::Position position(topology);
        const int length = 40 + static_cast<int>(random() % 81);
        std::string moves;
        std::vector<havannah::Cell> empty(static_cast<std::size_t>(topology->cellCount()));
        for (havannah::Cell c = 0; c < topology->cellCount(); ++c) empty[static_cast<std::size_t>(c)] = c;
        while (position.movesPlayed() < length && !position.isWon()) {
            const char* tag = position.movesPlayed() % 2 == 0 ? ";W[" : ";B[";
            if (position.canSwap() && random() % 20 == 0) {
                position.swap();
                moves += std::string(tag) + "swap]";
                continue;
            }
            const std::size_t pick = random() % empty.size();
            const havannah::Cell cell = empty[pick];
            empty[pick] = empty.back();
            empty.pop_back();
            position.play(cell);
            moves += std::string(tag) + topology->name(cell) + "]";
        }
        if (position.movesPlayed() < 40) continue;
        std::string result = position.isWon() ? (position.winner() == havannah::Player::Black ? "B" : "W")
                                              : (random() % 2 == 0 ? "B" : "W");
        if (!position.isWon()) moves += std::string(position.movesPlayed() % 2 == 0 ? ";W[" : ";B[") + "resign]";
        return "(;FF[4]EV[event " + std::to_string(random() % 50) + "]PB[" + playerName(static_cast<int>(random() % kPlayers)) +
               "]PW[" + playerName(static_cast<int>(random() % kPlayers)) + "]SZ[" + std::to_string(base) +
               "]RU[LG]RE[" + result + "]GC[ game #" + std::to_string(2'000'000 + number) + "]SO[bench]" + moves + ")";
    }
}

// The database of generated games, made once for all the benchmarks.
class GeneratedDatabase {
  public:
    GeneratedDatabase()
        : path_((std::filesystem::temp_directory_path() / ("tarnwick-bench-" + std::to_string(::getpid()) + ".sqlite")).string()) {}
    ~GeneratedDatabase() {
        db_.reset();
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path_ + suffix);
    }

    Database& database() {
        if (!db_) build();
        return *db_;
    }
    double importSeconds() const { return importSeconds_; }
    double bytesPerGame() const { return bytesPerGame_; }

  private:
    void build() {
        db_ = std::move(Database::open(path_).database);
        std::mt19937_64 random(20261207);
        for (int first = 0; first < kGames; first += kBatch) {
            std::vector<Incoming> batch;
            for (int n = first; n < first + kBatch; ++n)
                batch.push_back({std::move(record::readRecords(randomGame(random, n)).trees.front()), "bench"});
            const auto start = std::chrono::steady_clock::now();
            db_->importGames(batch, 0);
            importSeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        // Closed, the file holds everything (the log is emptied into it).
        db_.reset();
        std::error_code error;
        bytesPerGame_ = static_cast<double>(std::filesystem::file_size(path_, error)) / kGames;
        db_ = std::move(Database::open(path_).database);
    }

    std::string path_;
    std::unique_ptr<Database> db_;
    double importSeconds_ = 0;
    double bytesPerGame_ = 0;
};

// Records read into trees and stored with their positions, 100,000 of them.
void importRate(benchmark::State& state, GeneratedDatabase& generated) {
    for (auto _ : state) {
        generated.database();
        state.SetIterationTime(generated.importSeconds());
    }
    state.counters["records/s"] = kGames / generated.importSeconds();
    state.counters["bytes/game"] = generated.bytesPerGame();
}

// One page of the Load Game table: games of players whose name starts so
// (about one in twenty of them), by game number, and their count.
void playerQuery(benchmark::State& state, GeneratedDatabase& generated) {
    Database& db = generated.database();
    Query query;
    query.player = "player01";
    query.sortBy = Column::GameNumber;
    query.descending = true;
    query.limit = 30;
    std::int64_t found = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.games(query));
        found = db.countGames(query);
    }
    state.counters["games found"] = static_cast<double>(found);
}

// A page of the whole table in the order of a column: the players' names
// have an index, the number of moves has none.
void tablePage(benchmark::State& state, GeneratedDatabase& generated, Column column) {
    Database& db = generated.database();
    Query query;
    query.sortBy = column;
    query.limit = 30;
    query.offset = 50'000;
    for (auto _ : state) benchmark::DoNotOptimize(db.games(query));
}

// The explorer at the start (every game of the base passes there) and
// after the first two moves of a generated game.
void explorerQuery(benchmark::State& state, GeneratedDatabase& generated, int moves) {
    Database& db = generated.database();
    std::mt19937_64 random(20261207);
    const record::Tree tree = std::move(record::readRecords(randomGame(random, 0)).trees.front());
    havannah::Position position(*record::base(tree));
    const auto line = record::mainLine(tree);
    for (int k = 1; k <= moves; ++k) {
        const auto value = tree.firstValue(line[static_cast<std::size_t>(k)], {"W", "B"});
        if (value->value == "swap") position.swap();
        else position.play(*position.topology().parseCell(value->value));
    }
    int games = 0;
    for (auto _ : state) {
        games = 0;
        for (const ExplorerMove& move : db.explore(position)) games += move.games;
    }
    state.counters["games"] = games;
}

}  // namespace
}  // namespace tarnwick::database

int main(int argc, char** argv) {
    using namespace tarnwick::database;
    benchmark::Initialize(&argc, argv);
    GeneratedDatabase generated;
    benchmark::RegisterBenchmark("Import100000Games", importRate, std::ref(generated))
        ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("PlayerQuery", playerQuery, std::ref(generated))->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("TablePageByBlack", tablePage, std::ref(generated), Column::Black)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("TablePageByMoves", tablePage, std::ref(generated), Column::Moves)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ExplorerStart", explorerQuery, std::ref(generated), 0)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ExplorerAfterTwoMoves", explorerQuery, std::ref(generated), 2)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
