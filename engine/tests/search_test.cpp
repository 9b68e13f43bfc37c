// The search on positions as text: wins in one of each kind, the one move
// that stops an immediate loss, lost positions proven and held out in, the
// winner's cells named; the swap; real games before their winning move; the
// asynchronous face (start, stop, snapshots from another thread, the tree
// kept between moves, the size cap).
#include "engine/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <sstream>
#include <thread>

#include "engine/gtp/gtp.h"
#include "havannah/tests/record_index.h"
#include "havannah/text.h"

namespace tarnwick::engine {
namespace {

using havannah::Player;
using havannah::Position;

Options testOptions(int threads = 1) {
    Options options;
    options.threads = threads;
    options.seed = 3;
    options.treeBytes = std::size_t{16} << 20;
    return options;
}

Snapshot searched(Engine& engine, const Position& position, std::uint64_t playouts) {
    engine.start(position, {.playouts = playouts});
    engine.wait();
    return engine.snapshot();
}

// Plays a move of the search's, the swap included.
void playMove(Position& position, Move move) {
    ASSERT_EQ(move == kSwapMove ? position.swap() : position.play(move), std::nullopt);
}

// Whether `move` is one of the space-separated `moves`.
::testing::AssertionResult isOneOf(const std::string& move, const std::string& moves) {
    if ((" " + moves + " ").find(" " + move + " ") != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << move << " is not one of " << moves;
}

// A position, the moves that answer it (any one of them will do; unchecked
// when empty), whom the search must prove the winner (unchecked when empty)
// and the winner's winning cells that it names, in cell order.
struct TacticCase {
    const char* title;
    const char* position;
    const char* moves;
    const char* winner;
    const char* winningMoves;
};
const TacticCase kTactics[] = {
    {"ring round an empty cell", R"(
        .
      .   .
    .   .   .
  .   .   .   .
.   .   .   O   .
  .   .   .   .
.   O   X   .   .
  .   X   .   .
O   .   .   .   .
  .   X   X   O
.   .   X   .   .
  O   .   O   .
.   .   .   .   .
  .   .   .   .
    .   .   .
      .   .
        .
black to move)",
     "F5", "black", "F5"},
    {"bridge by either of two cells", R"(
        .
      .   .
    .   .   .
  .   .   .   .
.   .   .   .   .
  .   O   .   O
.   O   O   .   .
  O   .   .   .
.   .   .   O   .
  .   .   .   .
.   .   .   .   .
  X   .   X   .
X   X   X   X   X
  .   X   O   .
    .   O   .
      .   .
        O
black to move)",
     "H1 H2", "black", "H1 H2"},
    {"fork on the third side", R"(
        .
      .   .
    .   .   .
  .   .   .   .
.   O   O   O   .
  O   O   O   .
.   .   .   .   .
  .   .   .   .
X   .   .   .   .
  X   .   O   X
.   X   .   X   O
  .   X   X   O
.   .   X   .   .
  .   X   .   .
    O   O   .
      X   .
        .
black to move)",
     "I3", "black", "I3"},
    {"the one cell that stops White's fork", R"(
        .
      .   .
    O   O   .
  .   .   .   .
.   X   X   X   O
  X   X   X   .
.   .   .   .   .
  .   .   .   X
O   .   O   .   .
  O   .   X   O
X   O   .   O   X
  .   O   O   X
.   .   O   X   O
  .   O   X   .
    X   X   .
      O   .
        X
black to move)",
     "I3", "", ""},
    {"two fork threats: lost, Black blocks one", R"(
        .
      .   .
    .   .   .
  .   .   .   .
.   X   X   X   X
  X   X   X   .
.   .   .   .   .
  .   .   .   .
O   .   .   .   .
  O   .   X   O
.   O   .   O   .
  .   O   O   X
.   .   O   .   .
  .   O   .   .
    X   X   .
      O   .
        .
black to move)",
     "I2 I3", "white", "I2 I3"},
    {"lost deeper: White's answer in the proven line is named", R"(
        X
      .   .
    .   .   .
  O   O   .   .
.   .   .   X   O
  X   O   .   .
.   O   O   X   X
  .   O   .   .
O   .   .   .   X
  O   X   .   .
X   .   X   X   .
  O   O   .   X
.   O   .   X   .
  .   .   .   .
    .   .   X
      O   O
        X
black to move)",
     "", "white", "C6"},
};

TEST(SearchTest, FindsWinsAndTheOnlyDefence) {
    for (const TacticCase& c : kTactics) {
        SCOPED_TRACE(c.title);
        const auto position = havannah::parsePosition(c.position);
        ASSERT_TRUE(position);
        Engine engine(testOptions());
        const Snapshot snap = searched(engine, *position, 3000);
        ASSERT_FALSE(snap.moves.empty());
        const std::string best = moveName(position->topology(), snap.moves.front().move);
        if (*c.moves != '\0') {
            EXPECT_TRUE(isOneOf(best, c.moves));
        }
        EXPECT_EQ(engine.bestMove(), snap.moves.front().move);
        const std::string winner = snap.provenWinner ? std::string(havannah::toString(*snap.provenWinner)) : "";
        if (*c.winner != '\0') {
            EXPECT_EQ(winner, c.winner) << "best " << best;
        }
        std::vector<Move> winning = snap.winningMoves;
        std::sort(winning.begin(), winning.end());
        std::string names;
        for (const Move move : winning) names += (names.empty() ? "" : " ") + moveName(position->topology(), move);
        EXPECT_EQ(names, c.winningMoves);
        EXPECT_FALSE(snap.running);
    }
}

// White's answer to a lone first stone: the swap for one in the centre,
// a cell for one on the edge of a big board. On the empty board the search
// expects the swap after its first move, which is then worth less to the
// first player than without the swap rule.
struct SwapCase {
    const char* title;
    const char* position;
    bool swaps;
};
const SwapCase kSwaps[] = {
    {"centre of base 5", R"(
        .
      .   .
    .   .   .
  .   .   .   .
.   .   .   .   .
  .   .   .   .
.   .   .   .   .
  .   .   .   .
.   .   X   .   .
  .   .   .   .
.   .   .   .   .
  .   .   .   .
.   .   .   .   .
  .   .   .   .
    .   .   .
      .   .
        .
white to move)",
     true},
    {"edge of base 8", R"(
              .
            .   .
          .   .   .
        .   .   .   .
      .   .   .   .   .
    .   .   .   .   .   .
  .   .   .   .   .   .   .
.   .   .   .   .   .   .   .
  .   .   .   .   .   .   .
.   .   .   .   .   .   .   .
  .   .   .   .   .   .   .
.   .   .   .   .   .   .   .
  .   .   .   .   .   .   .
.   .   .   .   .   .   .   .
  .   .   .   .   .   .   .
X   .   .   .   .   .   .   .
  .   .   .   .   .   .   .
.   .   .   .   .   .   .   .
  .   .   .   .   .   .   .
.   .   .   .   .   .   .   .
  .   .   .   .   .   .   .
.   .   .   .   .   .   .   .
  .   .   .   .   .   .   .
    .   .   .   .   .   .
      .   .   .   .   .
        .   .   .   .
          .   .   .
            .   .
              .
white to move)",
     false},
};

TEST(SearchTest, SwapsACentralFirstStoneOnly) {
    for (const SwapCase& c : kSwaps) {
        SCOPED_TRACE(c.title);
        const auto position = havannah::parsePosition(c.position);
        ASSERT_TRUE(position && position->canSwap());
        Engine engine(testOptions());
        const Snapshot snap = searched(engine, *position, 5000);
        ASSERT_FALSE(snap.moves.empty());
        EXPECT_EQ(snap.moves.front().move == kSwapMove, c.swaps) << moveName(position->topology(), snap.moves.front().move);
        EXPECT_EQ(engine.bestMove(), snap.moves.front().move);
    }
    // The first move's worth to the first player, with and without the swap.
    double worth[2] = {};
    for (const bool rule : {false, true}) {
        Engine engine(testOptions());
        const Snapshot empty = searched(engine, Position(5, rule), 5000);
        ASSERT_GE(empty.pv().size(), 2U);
        EXPECT_EQ(empty.pv()[1] == kSwapMove, rule);
        worth[rule] = empty.moves.front().winRate;
    }
    EXPECT_LT(worth[1], worth[0] - 0.02);
}

// White has just played E5, into Black's bridge E6-F4: a playout that saves
// bridges answers F5 at once, one that does not leaves it to chance.
// Without the win checks the search still finds each win in one, from
// the playouts and the wins it meets in the tree.
TEST(SearchTest, FindsWinsInOneWithoutTheWinChecks) {
    Options options = testOptions();
    options.settings.solver = false;
    for (const TacticCase& c : std::span(kTactics, 3)) {
        SCOPED_TRACE(c.title);
        const Position position = *havannah::parsePosition(c.position);
        Engine engine(options);
        const Snapshot snap = searched(engine, position, 3000);
        ASSERT_FALSE(snap.moves.empty());
        EXPECT_TRUE(isOneOf(moveName(position.topology(), snap.moves.front().move), c.moves));
    }
}

TEST(SearchTest, PlayoutsSaveAThreatenedBridge) {
    const Position position = *havannah::parsePosition(R"(
        .
      .   .
    .   .   .
  .   .   .   .
.   .   .   .   .
  .   .   .   .
.   .   X   .   .
  .   .   .   .
.   .   O   .   .
  .   .   X   .
.   .   .   .   .
  .   .   .   .
.   .   .   .   .
  .   .   .   .
    .   .   .
      .   .
        .
black to move)");
    const havannah::Cell intrusion = *position.topology().parseCell("E5");
    const havannah::Cell other = *position.topology().parseCell("F5");
    int saved[2] = {0, 0};
    for (const bool bridgeSave : {false, true}) {
        for (std::uint64_t seed = 1; seed <= 40; ++seed) {
            Playout playout({.bridgeSave = bridgeSave, .lastGoodReply = false}, seed);
            Position played = position;
            playout.run(played, intrusion);
            saved[bridgeSave] += played.at(other) == havannah::Stone::Black;
        }
    }
    EXPECT_EQ(saved[1], 40);
    EXPECT_LT(saved[0], 35);
}

TEST(SearchTest, OnePlayoutLimitedThreadIsRepeatable) {
    const Position position(6);
    Engine first(testOptions());
    Engine second(testOptions());
    const Snapshot a = searched(first, position, 2000);
    const Snapshot b = searched(second, position, 2000);
    ASSERT_EQ(a.moves.size(), b.moves.size());
    for (std::size_t i = 0; i < a.moves.size(); ++i) {
        EXPECT_EQ(a.moves[i].move, b.moves[i].move);
        EXPECT_EQ(a.moves[i].visits, b.moves[i].visits);
    }
    EXPECT_EQ(a.playouts, 2000U);
}

// Real games that ended with a win on the board, each taken just before the
// winning move: the search finds a winning move. Every tenth such game
// of the index, about thirty.
TEST(SearchTest, FindsTheWinningMoveOfRealGames) {
    const std::filesystem::path records = TARNWICK_RECORDS_DIR;
    const auto rows = testing::readIndex(records);
    ASSERT_FALSE(rows.empty()) << "no records at " << records;
    int checked = 0;
    int row = 0;
    for (const testing::IndexRow& entry : rows) {
        // "fork by W-tagged move 59 (last)"
        std::istringstream ending(entry.ending);
        std::string kind, by, tag, moveWord;
        int move = 0;
        ending >> kind >> by >> tag >> moveWord >> move;
        if (kind != "ring" && kind != "bridge" && kind != "fork") continue;
        if (row++ % 10 != 0) continue;
        SCOPED_TRACE(entry.file);
        gtp::Session session({});
        const auto reply = session.handle("loadsgf " + (records / entry.file).string() + " " + std::to_string(move));
        ASSERT_EQ(reply.text, "= \n\n");
        const Position& position = session.position();
        EXPECT_EQ(position.toMove(), tag == "W-tagged" ? Player::Black : Player::White);
        Engine engine(testOptions());
        const Snapshot snap = searched(engine, position, 1000);
        ASSERT_FALSE(snap.moves.empty());
        Position after = position;
        ASSERT_EQ(after.play(snap.moves.front().move), std::nullopt);
        EXPECT_EQ(after.winner(), position.toMove()) << moveName(position.topology(), snap.moves.front().move);
        ++checked;
    }
    EXPECT_GE(checked, 30);
}

// The clock is the injected one: a search limited by time ends when that
// clock says so, without waiting on the real one.
TEST(SearchTest, ATimeLimitFollowsTheInjectedClock) {
    std::atomic<int> reads{0};
    Options options = testOptions();
    const auto epoch = std::chrono::steady_clock::time_point{};
    options.clock = [&] { return epoch + std::chrono::milliseconds(reads.fetch_add(1)); };
    Engine engine(options);
    engine.start(Position(6), {.time = std::chrono::milliseconds(10)});
    engine.wait();
    // Read once at the start, then once every sixteen playouts up to the tenth read.
    EXPECT_EQ(reads.load(), 11);
    EXPECT_EQ(engine.snapshot().playouts, 9U * 16U);
}

// Each stop, restart and destruction of a running search returns at once
// (the bound allows for the sanitizers on a busy machine; a search that
// ignored the stop would run on for ever), and nothing is left behind.
TEST(SearchTest, StartStopAndDestroyEndQuickly) {
    const Position position(8);
    std::chrono::steady_clock::duration slowest{};
    const auto timed = [&](const auto& step) {
        const auto began = std::chrono::steady_clock::now();
        step();
        slowest = std::max(slowest, std::chrono::steady_clock::now() - began);
    };
    for (int i = 0; i < 10; ++i) {
        auto engine = std::make_unique<Engine>(testOptions(2));
        engine->start(position);
        if (i % 2 == 0) timed([&] { engine->stop(); });
        timed([&] { engine->start(position); });  // over the running search
        timed([&] { engine.reset(); });
    }
    EXPECT_LT(slowest, std::chrono::seconds(2));
    Engine engine(testOptions(2));
    engine.stop();  // nothing running
    EXPECT_FALSE(engine.snapshot().running);
    EXPECT_EQ(engine.bestMove(), std::nullopt);
}

TEST(SearchTest, SnapshotsFromAnotherThreadWhileSearching) {
    const Position position(6);
    Engine engine(testOptions(2));
    engine.start(position, {.playouts = 5000});
    std::uint64_t seen = 0;
    // Every candidate, ranked while the search threads change the counts:
    // the ranking must stay a consistent order of what it read.
    std::thread viewer([&] {
        for (int i = 0; i < 2000; ++i) {
            const Snapshot snap = engine.snapshot(1000);
            EXPECT_GE(snap.playouts, seen);  // playouts only grow
            seen = snap.playouts;
            for (std::size_t k = 0; k < snap.moves.size(); ++k) {
                const Candidate& c = snap.moves[k];
                EXPECT_FALSE(c.pv.empty());
                if (k > 0 && !c.proven && !snap.moves[k - 1].proven) {
                    EXPECT_LE(c.visits, snap.moves[k - 1].visits);
                }
            }
        }
    });
    viewer.join();
    engine.wait();
    EXPECT_EQ(engine.snapshot().playouts, 5000U);
}

TEST(SearchTest, KeepsTheSubtreeOfThePlayedMoves) {
    Position position(6);
    Engine engine(testOptions());
    const Snapshot before = searched(engine, position, 5000);
    ASSERT_GE(before.moves.size(), 1U);
    const std::vector<Move>& pv = before.moves.front().pv;
    ASSERT_GE(pv.size(), 3U);
    playMove(position, pv[0]);
    playMove(position, pv[1]);
    // One more playout: the rest of what the new root shows was kept.
    const Snapshot after = searched(engine, position, 1);
    std::uint64_t visits = 0;
    for (const Candidate& c : after.moves) visits += c.visits;
    EXPECT_GT(visits, 50U);
    EXPECT_EQ(after.moves.front().move, pv[2]);

    // A position that does not follow starts afresh.
    const Snapshot fresh = searched(engine, Position(6), 1);
    visits = 0;
    for (const Candidate& c : fresh.moves) visits += c.visits;
    EXPECT_LE(visits, 1U);
}

// A reply proven lost by the win checks has no children yet: when the game
// follows it, the kept tree must still give the winning answer.
TEST(SearchTest, AfterAMoveProvenLostTheWinIsPlayed) {
    Position position = *havannah::parsePosition(kTactics[3].position);
    Engine engine(testOptions());
    searched(engine, position, 200);
    ASSERT_EQ(position.play(*position.topology().parseCell("A1")), std::nullopt);  // not the block
    const Snapshot snap = searched(engine, position, 200);
    ASSERT_FALSE(snap.moves.empty());
    EXPECT_EQ(moveName(position.topology(), snap.moves.front().move), "I3");
    EXPECT_EQ(snap.provenWinner, Player::White);
}

TEST(SearchTest, TheTreeStaysWithinItsCap) {
    Options options = testOptions();
    options.treeBytes = 64 << 10;
    Engine engine(options);
    const Snapshot snap = searched(engine, Position(8), 5000);
    EXPECT_EQ(snap.playouts, 5000U);
    EXPECT_LE(snap.nodes, snap.nodeCapacity);
    EXPECT_GT(snap.nodes, snap.nodeCapacity / 2);
    EXPECT_FALSE(snap.moves.empty());
    // Re-rooting a full tree keeps at most half of it.
    Position next(8);
    playMove(next, snap.moves.front().move);
    playMove(next, snap.moves.front().pv.size() > 1 ? snap.moves.front().pv[1] : 0);
    EXPECT_LE(searched(engine, next, 1).nodes, snap.nodeCapacity / 2 + 400);

    // A start asked to keep fewer nodes keeps the top of the subtree only.
    Options capped = testOptions();
    capped.keptNodes = 300;
    Engine small(capped);
    const Snapshot first = searched(small, Position(8), 2000);
    Position reply(8);
    reply.play(first.moves.front().move);
    const Snapshot kept = searched(small, reply, 1);
    EXPECT_LE(kept.nodes, 300U + 217) << "and the children one playout may add";
    ASSERT_FALSE(kept.moves.empty());
    EXPECT_GT(kept.moves.front().visits, 1U);
}

TEST(SearchTest, AGameOverHasNoSearch) {
    const auto position = havannah::parsePosition(kTactics[0].position);
    Position won = *position;
    ASSERT_EQ(won.play(*won.topology().parseCell("F5")), std::nullopt);
    Engine engine(testOptions());
    const Snapshot snap = searched(engine, won, 100);
    EXPECT_EQ(snap.provenWinner, Player::Black);
    EXPECT_TRUE(snap.moves.empty());
    EXPECT_EQ(engine.bestMove(), std::nullopt);
}

}  // namespace
}  // namespace tarnwick::engine
