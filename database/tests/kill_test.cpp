// A process importing games killed at random moments: every game the file
// then holds is whole (its row, its record and all its positions), and the
// file still opens and takes more.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "database/database.h"
#include "havannah/tests/record_index.h"
#include "record/moves.h"
#include "record/text.h"
#include "database/tests/stored.h"
#include "tests/temp_folder.h"

namespace tarnwick::database {
namespace {

const std::filesystem::path kRecords = TARNWICK_RECORDS_DIR;

// Imports the real records over and over, each time under new game
// numbers, in batches of ten, until killed; a byte on `progress` after
// each batch.
[[noreturn]] void importForever(const std::string& path, const std::vector<std::string>& records, int round,
                                int progress) {
    Opened opened = Database::open(path);
    if (!opened.database) ::_exit(2);
    for (long number = round * 10'000'000L;; ) {
        std::vector<Incoming> batch;
        for (const std::string& text : records) {
            std::string renumbered = text;
            const std::size_t at = renumbered.find("game #");
            renumbered.replace(at + 6, renumbered.find(']', at) - at - 6, std::to_string(++number));
            batch.push_back({std::move(record::readRecords(renumbered).trees.front()), "loop"});
            if (batch.size() == 10) {
                opened.database->importGames(batch, number);
                batch.clear();
                if (::write(progress, "+", 1) != 1) ::_exit(3);
            }
        }
    }
}

TEST(KillTest, AKilledImportLeavesOnlyWholeGames) {
    const testing::TempFolder folder("database-kill");
    const std::string path = (folder.path() / "games.sqlite").string();
    std::vector<std::string> records;
    for (const testing::IndexRow& row : testing::readIndex(kRecords)) records.push_back(testing::fileText(kRecords / row.file));
    std::mt19937 random(99);
    std::int64_t before = 0;
    for (int round = 1; round <= 4; ++round) {
        int pipe[2];
        ASSERT_EQ(::pipe(pipe), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipe[0]);
            importForever(path, records, round, pipe[1]);
        }
        ::close(pipe[1]);
        // Killed at a random moment once it has begun writing.
        char byte = 0;
        EXPECT_EQ(::read(pipe[0], &byte, 1), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 300));
        ::kill(child, SIGKILL);
        ::close(pipe[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the importer stopped by itself: " << status;

        Opened opened = Database::open(path);
        ASSERT_NE(opened.database, nullptr) << opened.problem;
        Database& db = *opened.database;
        Query all;
        all.limit = 1'000'000;
        const auto games = db.games(all);
        EXPECT_GT(games.size(), static_cast<std::size_t>(before)) << "round " << round << " added nothing";
        before = static_cast<std::int64_t>(games.size());
        const auto positions = testing::positionCounts(path);
        EXPECT_EQ(positions.size(), games.size());
        for (const GameRow& game : games) {
            const auto text = db.recordText(game.id);
            ASSERT_TRUE(text);
            const auto read = record::readRecords(*text);
            ASSERT_EQ(read.trees.size(), 1U);
            const auto line = record::mainLine(read.trees.front());
            ASSERT_EQ(record::moveCount(read.trees.front(), line), game.moves);
            ASSERT_EQ(positions.at(game.id), game.moves + (game.ending == kResignation ? 0 : 1)) << game.id;
        }
    }
}

}  // namespace
}  // namespace tarnwick::database
