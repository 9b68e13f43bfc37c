// The whole-game review: moves judged from searches before and after them
// (table-driven, no search), and short base-5 games reviewed by a
// deterministic engine: an ignored bridge threat, a game lost only at its
// last move, a refused move, a win on the board, stop and resume.
#include "engine/review.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <thread>

namespace tarnwick::engine {
namespace {

using havannah::Player;
using havannah::Position;

// A move list such as "A1 E5 swap A2", on base 5 (cells the rules would
// refuse are kept as they are, an unknown name as an off-board cell).
std::vector<Move> movesOf(const std::string& text, int base = 5) {
    const havannah::Topology topology(base);
    std::vector<Move> moves;
    std::istringstream words(text);
    for (std::string word; words >> word;)
        moves.push_back(word == "swap" ? kSwapMove : topology.parseCell(word).value_or(topology.cellCount() + 7));
    return moves;
}

Move cell(const std::string& name) { return movesOf(name).front(); }

ReviewSettings testSettings(bool independent = true) {
    ReviewSettings settings;
    settings.budget.playouts = 2000;
    settings.threads = 1;
    settings.seed = 5;
    settings.treeBytes = std::size_t{8} << 20;
    settings.independent = independent;
    return settings;
}

ReviewResult reviewed(const std::string& line, bool independent = true) {
    Review review(testSettings(independent));
    review.start(Position(5), movesOf(line));
    review.wait();
    return review.snapshot();
}

std::string describe(const ReviewResult& result) {
    std::ostringstream out;
    const havannah::Topology topology(5);
    for (const MoveReview& move : result.moves)
        out << move.number << ' ' << moveName(topology, move.played) << " best " << (move.best ? moveName(topology, *move.best) : "-")
            << ' ' << move.bestWinRate << " played " << move.playedWinRate << ' ' << engine::describe(move.judgement) << '\n';
    return out.str();
}

// Black builds along the edge from corner A1 towards corner A5; at move 8
// White leaves A5, the one cell that stops the bridge, to Black.
const std::string kIgnoredBridge = "A1 E5 A2 E4 A3 E6 A4 I3 A5";

// judgeMove on figures given directly.
struct JudgeCase {
    const char* title;
    PositionReview before;
    PositionReview after;
    Move played;
    Judgement judgement;
    double loss;
    int base = 8;
};

PositionReview open(Player toMove, double rate, Move best, double bestRate) {
    PositionReview position;
    position.toMove = toMove;
    position.winRate = rate;
    position.best = best;
    position.bestWinRate = bestRate;
    return position;
}

// `position` with the move played from it seen by its search at `rate`.
PositionReview seeingNext(PositionReview position, double rate) {
    position.nextWinRate = rate;
    position.nextVisits = 500;
    return position;
}

PositionReview proven(Player toMove, Player winner, std::vector<Move> winningMoves = {}) {
    PositionReview position;
    position.toMove = toMove;
    position.winner = winner;
    position.winRate = toMove == winner ? 1 : 0;
    position.winningMoves = std::move(winningMoves);
    return position;
}

TEST(ReviewJudge, MovesAreJudgedByWhatTheyGaveAway) {
    constexpr Player B = Player::Black;
    constexpr Player W = Player::White;
    const JudgeCase cases[] = {
        {"the engine's own move loses nothing", open(B, 0.5, 3, 0.6), open(W, 0.55, 4, 0.55), 3, Judgement::None, 0},
        {"a better figure after the move is no loss", open(B, 0.5, 3, 0.55), open(W, 0.4, 4, 0.6), 9, Judgement::None, 0},
        {"just under an inaccuracy", open(B, 0.5, 3, 0.55), open(W, 0.51, 4, 0.5), 9, Judgement::None, 0.06},
        {"inaccuracy", open(B, 0.5, 3, 0.55), open(W, 0.53, 4, 0.5), 9, Judgement::Inaccuracy, 0.08},
        {"the same loss on the big board", open(B, 0.5, 3, 0.55), open(W, 0.53, 4, 0.5), 9, Judgement::None, 0.08, 10},
        {"a mistake on the big board", open(B, 0.5, 3, 0.55), open(W, 0.61, 4, 0.5), 9, Judgement::Mistake, 0.16, 10},
        {"mistake", open(B, 0.5, 3, 0.55), open(W, 0.6, 4, 0.5), 9, Judgement::Mistake, 0.15},
        {"blunder", open(B, 0.5, 3, 0.55), open(W, 0.8, 4, 0.5), 9, Judgement::Blunder, 0.35},
        {"won at 85% and lost at 15%", open(W, 0.85, 3, 0.9), open(B, 0.85, 4, 0.85), 9, Judgement::Decisive, 0.75},
        {"won and still fair is a blunder", open(W, 0.85, 3, 0.9), open(B, 0.6, 4, 0.6), 9, Judgement::Blunder, 0.5},
        {"a proven win let go at 70%", proven(B, B, {3, 5}), open(W, 0.3, 4, 0.3), 9, Judgement::Decisive, 0.3},
        {"a proven win kept by another winning move", proven(B, B, {3, 5}), proven(W, B), 5, Judgement::None, 0},
        {"a proven win kept by a move not yet proven", proven(B, B, {3}), proven(W, B), 9, Judgement::None, 0},
        {"a lost position stays lost", proven(W, B), proven(B, B), 9, Judgement::None, 0},
        {"an immediate loss from an even position", open(W, 0.5, 3, 0.5), proven(B, B, {7}), 9, Judgement::Blunder, 0.5},
        // The search after a move the engine did not choose runs against its
        // mover; the search before ranked the move fairly.
        {"the search before saw the move as nearly as good", seeingNext(open(B, 0.5, 3, 0.55), 0.53), open(W, 0.56, 4, 0.5), 9,
         Judgement::None, 0.02},
        {"the search after saw it better than the rough first look", seeingNext(open(B, 0.5, 3, 0.55), 0.3),
         open(W, 0.49, 4, 0.5), 9, Judgement::None, 0.04},
        {"both searches agree on a mistake", seeingNext(open(B, 0.5, 3, 0.55), 0.42), open(W, 0.6, 4, 0.5), 9,
         Judgement::Mistake, 0.13},
        {"a proven loss after the move outweighs a hopeful first look", seeingNext(open(W, 0.5, 3, 0.5), 0.45),
         proven(B, B, {7}), 9, Judgement::Blunder, 0.5},
    };
    for (const JudgeCase& c : cases) {
        SCOPED_TRACE(c.title);
        PositionReview before = c.before;
        if (before.winner == before.toMove) {
            before.best = before.winningMoves.front();
            before.bestWinRate = 1;
        }
        const MoveReview move = judgeMove(before, c.after, c.played, c.base);
        EXPECT_EQ(move.judgement, c.judgement);
        EXPECT_NEAR(move.loss, c.loss, 1e-9);
        EXPECT_EQ(move.mover, c.before.toMove);
        const double afterBlack = c.after.toMove == Player::Black ? c.after.winRate : 1 - c.after.winRate;
        EXPECT_NEAR(move.blackWinRate, afterBlack, 1e-9);
        const double afterMover = c.before.toMove == Player::Black ? afterBlack : 1 - afterBlack;
        const bool usesNext = c.before.nextWinRate && !c.after.winner;
        EXPECT_NEAR(move.playedWinRate, usesNext ? std::max(afterMover, *c.before.nextWinRate) : afterMover, 1e-9);
    }
}

TEST(ReviewBudget, SaysWhatMadeTheReview) {
    const struct {
        Limits budget;
        const char* text;
    } cases[] = {
        {{.playouts = 2000}, "2000 playouts a position"},
        {{.time = std::chrono::milliseconds(1000)}, "1.0 s a position"},
        {{.playouts = 500, .time = std::chrono::milliseconds(2500)}, "500 playouts or 2.5 s a position"},
    };
    for (const auto& c : cases) EXPECT_EQ(describeBudget(c.budget), c.text);
    EXPECT_EQ(reviewed("A1").version, kReviewVersion);
    EXPECT_EQ(reviewed("A1").budget, "2000 playouts a position");
    Review review(ReviewSettings{});
    EXPECT_THROW(review.start(Position(5), {}), std::invalid_argument);
}

TEST(ReviewGame, AnIgnoredBridgeThreatIsTheBlunderAndTheBlockItsBestMove) {
    const ReviewResult result = reviewed(kIgnoredBridge);
    ASSERT_TRUE(result.finished());
    ASSERT_EQ(result.moves.size(), 9U);
    const MoveReview& ignored = result.moves[7];
    EXPECT_EQ(ignored.number, 8);
    EXPECT_EQ(ignored.mover, Player::White);
    EXPECT_EQ(ignored.best, cell("A5")) << describe(result);
    EXPECT_EQ(ignored.playedWinRate, 0);
    EXPECT_TRUE(ignored.judgement == Judgement::Blunder || ignored.judgement == Judgement::Decisive) << describe(result);
    EXPECT_EQ(ignored.blackWinRate, 1);
    EXPECT_GE(result.summary(Player::White).blunders + result.summary(Player::White).decisive, 1);
}

TEST(ReviewGame, AGameLostOnlyAtItsLastMoveHasNoEarlierBlunder) {
    // The ignored bridge, ended by White's move that lets it through.
    const ReviewResult result = reviewed("A1 E5 A2 E4 A3 E6 A4 I3");
    ASSERT_TRUE(result.finished());
    ASSERT_EQ(result.moves.size(), 8U);
    for (std::size_t k = 0; k + 1 < result.moves.size(); ++k) {
        EXPECT_NE(result.moves[k].judgement, Judgement::Blunder) << describe(result);
        EXPECT_NE(result.moves[k].judgement, Judgement::Decisive) << describe(result);
    }
    EXPECT_GE(result.moves.back().judgement, Judgement::Blunder);
    const JudgementCounts black = result.summary(Player::Black);
    const JudgementCounts white = result.summary(Player::White);
    EXPECT_EQ(black.blunders + black.decisive, 0);
    EXPECT_EQ(white.blunders + white.decisive, 1);
}

TEST(ReviewGame, ARefusedMoveEndsTheReviewAndIsNamed) {
    const struct {
        const char* line;
        int number;
        havannah::Refusal reason;
        const char* text;
    } cases[] = {
        {"A1 E5 A2 A1 A3", 4, havannah::Refusal::Occupied, "move 4 (A1) is on an occupied cell"},
        {"A1 E5 swap", 3, havannah::Refusal::NoSwap, "move 3 (swap) is a swap that is not allowed here"},
        {"A1 E5 Z9", 3, havannah::Refusal::OffBoard, "move 3 (cell 68) is off the board"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const ReviewResult result = reviewed(c.line);
        ASSERT_TRUE(result.refused);
        EXPECT_EQ(result.refused->number, c.number);
        EXPECT_EQ(result.refused->reason, c.reason);
        EXPECT_EQ(result.refused->text, c.text);
        EXPECT_EQ(result.total, c.number);
        EXPECT_EQ(result.moves.size(), static_cast<std::size_t>(c.number - 1));
        EXPECT_FALSE(result.wonAt);
    }
}

TEST(ReviewGame, AWinOnTheBoardEndsTheLine) {
    const ReviewResult result = reviewed(kIgnoredBridge + " E7 B5 E8");
    EXPECT_EQ(result.wonAt, 9);
    EXPECT_FALSE(result.refused);
    EXPECT_EQ(result.total, 10);
    ASSERT_EQ(result.moves.size(), 9U);
    EXPECT_TRUE(result.positions.back().wonOnBoard);
    EXPECT_EQ(result.positions.back().winner, Player::Black);
    EXPECT_EQ(result.moves.back().blackWinRate, 1);
    EXPECT_EQ(result.moves.back().loss, 0);
    EXPECT_EQ(result.moves.back().judgement, Judgement::None);
}

// The same review, made in one run and in pieces.
TEST(ReviewResume, StoppedAndResumedEqualsOneRun) {
    const std::vector<Move> line = movesOf(kIgnoredBridge);
    const ReviewResult whole = reviewed(kIgnoredBridge);
    ASSERT_TRUE(whole.finished());
    EXPECT_EQ(reviewed(kIgnoredBridge).positions, whole.positions) << "run to run";

    // Resumed from each point where a stop may leave it.
    for (std::size_t done = 0; done <= whole.positions.size(); ++done) {
        SCOPED_TRACE(done);
        ReviewResult part = whole;
        part.positions.resize(done);
        part.moves.clear();
        // A playout count no search gives marks what was kept.
        for (PositionReview& position : part.positions) position.playouts += 1;
        Review review(testSettings());
        review.start(Position(5), line, part);
        review.wait();
        ReviewResult resumed = review.snapshot();
        ASSERT_EQ(resumed.positions.size(), whole.positions.size());
        for (std::size_t i = 0; i < done; ++i) {
            EXPECT_EQ(resumed.positions[i].playouts, whole.positions[i].playouts + 1) << "kept, not searched again";
            resumed.positions[i].playouts -= 1;
        }
        EXPECT_EQ(resumed.positions, whole.positions);
        EXPECT_EQ(resumed.moves, whole.moves);
    }

    // Stopped while it runs, then resumed by the same review.
    Review review(testSettings());
    review.start(Position(5), line);
    while (review.snapshot().done() < 3 && review.snapshot().running) std::this_thread::yield();
    review.stop();
    const ReviewResult stopped = review.snapshot();
    EXPECT_FALSE(stopped.running);
    for (int i = 0; i < stopped.done(); ++i) EXPECT_EQ(stopped.positions[static_cast<std::size_t>(i)], whole.positions[static_cast<std::size_t>(i)]);
    review.start(Position(5), line, stopped);
    review.wait();
    EXPECT_EQ(review.snapshot().positions, whole.positions);
    EXPECT_EQ(review.snapshot().moves, whole.moves);
}

TEST(ReviewResume, OnlyTheSameLineAndBudgetAreKept) {
    const ReviewResult whole = reviewed(kIgnoredBridge);
    Review review(testSettings());
    review.start(Position(5), movesOf("A1 E5 A2 E4 B5"), whole);
    EXPECT_EQ(review.snapshot().done(), 5) << "the positions before the moves part";
    review.stop();
    ReviewSettings other = testSettings();
    other.budget.playouts = 2100;
    Review another(other);
    another.start(Position(5), movesOf(kIgnoredBridge), whole);
    EXPECT_EQ(another.snapshot().done(), 0);
}

TEST(ReviewResume, OneEngineKeepingItsTreeRepeatsItself) {
    const ReviewResult first = reviewed(kIgnoredBridge, false);
    const ReviewResult second = reviewed(kIgnoredBridge, false);
    EXPECT_EQ(first.positions, second.positions);
    EXPECT_EQ(first.moves, second.moves);
    EXPECT_EQ(first.moves[7].best, cell("A5"));
}

}  // namespace
}  // namespace tarnwick::engine
