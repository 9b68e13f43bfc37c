// The proof-number solver: forced wins from real games (data/forced_wins.txt)
// proven with a legal line that ends in the win; small nearly full boards
// against an exhaustive search, so that a win is claimed exactly where one
// is forced; a stop obeyed at once; real endgames; and the engine marking
// a proof and giving its line.
#include "engine/solver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <thread>

#include "engine/engine.h"
#include "engine/gtp/gtp.h"
#include "havannah/tests/record_index.h"
#include "havannah/text.h"

namespace tarnwick::engine {
namespace {

using havannah::Cell;
using havannah::Player;
using havannah::Position;
using havannah::Stone;

struct ForcedWin {
    std::string kind;  // ring, bridge, fork, or double: two threats at once
    std::size_t length = 0;
    std::string game;
    Position position;
};

std::vector<ForcedWin> readForcedWins() {
    std::vector<ForcedWin> wins;
    std::istringstream in(testing::fileText(std::filesystem::path(TARNWICK_ENGINE_TEST_DATA) / "forced_wins.txt"));
    std::string heading;
    std::string board;
    const auto finish = [&] {
        if (heading.empty()) return;
        std::istringstream words(heading);
        ForcedWin win{"", 0, "", Position(4)};
        words >> win.kind >> win.length >> win.game;
        const auto position = havannah::parsePosition(board);
        if (position) win.position = *position;
        wins.push_back(std::move(win));
        heading.clear();
        board.clear();
    };
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('#')) continue;
        if (line.empty()) {
            finish();
        } else if (heading.empty()) {
            heading = line;
        } else {
            board += line + '\n';
        }
    }
    finish();
    return wins;
}

int immediateWins(const Position& position, Player player) {
    int count = 0;
    for (Cell cell = 0; cell < position.topology().cellCount(); ++cell)
        count += position.at(cell) == Stone::Empty && position.wouldWin(cell, player) ? 1 : 0;
    return count;
}

// Plays the line on a copy of `start`; fails unless every move is legal and
// the last one wins for `winner`.
::testing::AssertionResult endsInAWin(const Position& start, const std::vector<Cell>& line, Player winner) {
    Position position = start;
    for (const Cell move : line) {
        if (position.isWon()) return ::testing::AssertionFailure() << "a move after the win";
        if (position.play(move)) return ::testing::AssertionFailure() << "refused " << move;
    }
    if (position.winner() != winner) return ::testing::AssertionFailure() << "the line ends without the win";
    return ::testing::AssertionSuccess();
}

TEST(SolverTest, ProvesForcedWinsOfRealGames) {
    const std::vector<ForcedWin> wins = readForcedWins();
    ASSERT_EQ(wins.size(), 10U);
    Solver solver(std::size_t{32} << 20);
    for (const ForcedWin& win : wins) {
        SCOPED_TRACE(win.kind + " in " + std::to_string(win.length) + " from game " + win.game);
        const Position& position = win.position;
        solver.clear();
        const SolverResult result = solver.solve(position, {.nodes = 500000});
        ASSERT_EQ(result.winner, position.toMove());
        EXPECT_EQ(result.line.size(), win.length);
        EXPECT_TRUE(endsInAWin(position, result.line, position.toMove()));
        Position end = position;
        for (const Cell move : result.line) end.play(move);
        const havannah::WinKinds kinds = end.winKinds();
        if (win.kind == "double") {
            Position afterFirst = position;
            afterFirst.play(result.line.front());
            EXPECT_GE(immediateWins(afterFirst, position.toMove()), 2);
        } else {
            EXPECT_TRUE(win.kind == "ring" ? kinds.ring : win.kind == "bridge" ? kinds.bridge : kinds.fork);
        }
    }
}

// The side to move's result under perfect play: 1 a win, 0 a draw (the
// board fills), -1 a loss. Every move is tried; only an immediate win cuts
// the search short.
int exhaustive(const Position& position) {
    const Player mover = position.toMove();
    for (Cell cell = 0; cell < position.topology().cellCount(); ++cell)
        if (position.at(cell) == Stone::Empty && position.wouldWin(cell, mover)) return 1;
    int best = -2;
    for (Cell cell = 0; cell < position.topology().cellCount() && best < 1; ++cell) {
        if (position.at(cell) != Stone::Empty) continue;
        Position next = position;
        next.play(cell);
        best = std::max(best, -exhaustive(next));
    }
    return best == -2 ? 0 : best;
}

// A board of `base` filled at random until `empty` cells are left, each
// move one after which neither side could win at once where there is such
// a move (so that the result lies deeper than one move), else one that
// does not win; nothing when every move wins.
std::optional<Position> nearlyFull(int base, int empty, std::mt19937& random) {
    Position position(base, false);
    while (position.topology().cellCount() - position.movesPlayed() > empty) {
        std::vector<Cell> quiet;
        std::vector<Cell> calm;
        for (Cell cell = 0; cell < position.topology().cellCount(); ++cell) {
            if (position.at(cell) != Stone::Empty || position.wouldWin(cell, position.toMove())) continue;
            quiet.push_back(cell);
            Position next = position;
            next.play(cell);
            if (immediateWins(next, Player::Black) + immediateWins(next, Player::White) == 0) calm.push_back(cell);
        }
        const std::vector<Cell>& choice = calm.empty() ? quiet : calm;
        if (choice.empty()) return std::nullopt;
        position.play(choice[random() % choice.size()]);
    }
    return position;
}

// On small boards the solver has the whole game tree within reach: it must
// prove exactly the positions the exhaustive search finds won, for the
// right side, and claim nothing where neither side can force a win.
TEST(SolverTest, AgreesWithAnExhaustiveSearchOnSmallBoards) {
    std::mt19937 random(7);
    int outcomes[3] = {0, 0, 0};  // loss, draw, win for the side to move
    Solver solver(std::size_t{8} << 20);
    for (const int base : {4, 5}) {
        for (int i = 0; i < 80; ++i) {
            const auto position = nearlyFull(base, 1 + i % 7, random);
            if (!position) continue;
            SCOPED_TRACE(havannah::toText(*position));
            const int truth = exhaustive(*position);
            ++outcomes[truth + 1];
            solver.clear();
            const SolverResult result = solver.solve(*position, {.nodes = 1000000});
            const Player mover = position->toMove();
            const std::optional<Player> expected =
                truth == 1 ? std::optional(mover) : truth == -1 ? std::optional(havannah::opponent(mover)) : std::nullopt;
            ASSERT_EQ(result.winner, expected);
            EXPECT_EQ(result.moverCannotWin, truth < 1);
            if (expected) {
                EXPECT_TRUE(endsInAWin(*position, result.line, *expected));
            }
        }
    }
    // Wins and losses are met often enough for the comparison to mean
    // something; draws are rare in Havannah even on a nearly full board.
    EXPECT_GE(outcomes[0], 10);
    EXPECT_GE(outcomes[1], 1);
    EXPECT_GE(outcomes[2], 10);
}

// A stop is obeyed within milliseconds on an open board that cannot be
// solved. The solver's clock, read every few dozen nodes, tells when it is
// under way; the bound allows for sanitizers on a busy machine.
TEST(SolverTest, StopsSoonAfterAStop) {
    Position position(8);
    for (const char* cell : {"E5", "F6", "G7", "H8"}) position.play(*position.topology().parseCell(cell));
    std::atomic<int> reads{0};
    Solver solver(std::size_t{8} << 20, [&] {
        reads.fetch_add(1);
        return std::chrono::steady_clock::now();
    });
    std::atomic<bool> stop{false};
    SolverResult result;
    std::chrono::steady_clock::time_point returned;
    std::thread thread([&] {
        result = solver.solve(position, {.time = std::chrono::hours(1)}, &stop);
        returned = std::chrono::steady_clock::now();
    });
    while (reads.load() < 20) std::this_thread::yield();
    const auto asked = std::chrono::steady_clock::now();
    stop.store(true);
    thread.join();
    EXPECT_LT(returned - asked, std::chrono::milliseconds(50));
    EXPECT_FALSE(result.winner);
    EXPECT_GT(result.nodes, 0U);
}

// Real games that ended with a win on the board, three moves before the
// end, the winner to move: most are forced wins in three that the solver
// proves at once (the rest were not forced: the loser went wrong at the
// last). Every tenth such game of the index.
TEST(SolverTest, ProvesMostRealEndgamesThreeMovesBeforeTheEnd) {
    const std::filesystem::path records = TARNWICK_RECORDS_DIR;
    Solver solver(std::size_t{16} << 20);
    int games = 0;
    int proven = 0;
    int row = 0;
    for (const testing::IndexRow& entry : testing::readIndex(records)) {
        std::istringstream ending(entry.ending);
        std::string kind, by, tag, moveWord;
        int move = 0;
        ending >> kind >> by >> tag >> moveWord >> move;
        if ((kind != "ring" && kind != "bridge" && kind != "fork") || row++ % 10 != 0) continue;
        SCOPED_TRACE(entry.file);
        gtp::Session session({});
        ASSERT_EQ(session.handle("loadsgf " + (records / entry.file).string() + " " + std::to_string(move - 2)).text, "= \n\n");
        const Position& position = session.position();
        const SolverResult result = solver.solve(position, {.nodes = 5000});
        ++games;
        if (!result.winner) continue;
        EXPECT_TRUE(endsInAWin(position, result.line, *result.winner));
        proven += result.winner == position.toMove() ? 1 : 0;
    }
    EXPECT_GE(games, 30);
    EXPECT_GE(proven * 10, games * 8);
}

// The engine's search proves a win in five through the solver, marks the
// winning move and gives the line: taking turns with the playouts on one
// thread, and with a thread of its own beside a search thread.
TEST(SolverTest, TheEngineMarksTheProofAndGivesTheLine) {
    const std::vector<ForcedWin> wins = readForcedWins();
    const auto found = std::find_if(wins.begin(), wins.end(), [](const ForcedWin& w) { return w.game == "1043991"; });
    ASSERT_NE(found, wins.end());
    const Position& position = found->position;
    Move first = 0;
    for (const int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        Options options;
        options.threads = threads;
        options.treeBytes = std::size_t{16} << 20;
        options.settings.proofInterval = 16;
        options.settings.proofNodes = 2000;
        options.settings.proofThread = threads > 1;
        Engine engine(options);
        engine.start(position, {.playouts = 20000});
        engine.wait();
        const Snapshot snap = engine.snapshot();
        ASSERT_EQ(snap.provenWinner, position.toMove());
        EXPECT_LT(snap.playouts, 20000U);
        EXPECT_EQ(snap.provenLine.size(), 5U);
        EXPECT_TRUE(endsInAWin(position, std::vector<Cell>(snap.provenLine.begin(), snap.provenLine.end()), position.toMove()));
        ASSERT_FALSE(snap.moves.empty());
        EXPECT_EQ(snap.moves.front().move, snap.provenLine.front());
        EXPECT_EQ(snap.moves.front().proven, true);
        EXPECT_EQ(snap.winningMoves.size(), 1U);
        first = snap.provenLine.front();
    }
    // From the losing side, after the line's first move: the search ends at
    // the proof and leads with the longest defence, or holds out, using all
    // its playouts, and leads with the open move it searched most.
    Position lost = position;
    ASSERT_EQ(lost.play(first), std::nullopt);
    for (const bool holdOut : {false, true}) {
        SCOPED_TRACE(holdOut);
        Options options;
        options.treeBytes = std::size_t{16} << 20;
        options.settings.holdOut = holdOut;
        Engine engine(options);
        engine.start(lost, {.playouts = 20000});
        engine.wait();
        const Snapshot snap = engine.snapshot();
        ASSERT_EQ(snap.provenWinner, position.toMove());
        ASSERT_FALSE(snap.provenLine.empty());
        EXPECT_EQ(snap.playouts == 20000, holdOut);
        ASSERT_FALSE(snap.moves.empty());
        EXPECT_EQ(snap.moves.front().proven, holdOut ? std::nullopt : std::optional<bool>(false));
    }
}

}  // namespace
}  // namespace tarnwick::engine
