// A whole-game review: every position of a game's line searched for a
// budget, forward from the start, and each move judged by how much of its
// mover's win rate it gave away against the engine's best move.
//
//   Review review(settings);
//   review.start(startPosition, moves);   // searches in the background
//   ReviewResult now = review.snapshot(); // from any thread, at any time
//   review.stop();                        // keeps every position finished
//   review.start(startPosition, moves, now);  // goes on where it stopped
//
// Position i is the one before move i + 1 (position 0 before the first
// move, the last one after the last move). Move k is judged from the
// searches of positions k - 1 and k:
//   best move and its win rate: the first candidate of position k - 1's
//     search, for the mover;
//   the played move's win rate for the mover: 1 or 0 where position k is
//     won on the board or proven; else the better of two estimates, the
//     played move as a candidate of position k - 1's search (where it was
//     tried) and 1 - position k's own win rate for its side to move;
//   loss: best minus played, never below 0, and 0 when the move played is
//     the engine's best.
// Why two estimates: a search is optimistic for its own side to move (its
// replies are chosen, the opponent's answers deep down are not all found),
// so the search of position k, made mostly afresh when the move played was
// not the engine's choice, puts the mover about 5% lower than the search
// before it put the same move. Compared with the best move's rate from the
// other search, that bias alone made a mistake of every second move. The
// same search ranks the two moves fairly, but a move it hardly tried has a
// rough figure; the search after it then gives the better one. A move is
// only marked where both say it lost.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/engine.h"
#include "havannah/position.h"

namespace tarnwick::engine {

// Changes whenever the way a review is made changes its figures, so that a
// stored review says what made it.
inline constexpr std::string_view kReviewVersion = "tarnwick-review 2";

// How much of the mover's win rate a move may give away before it is
// called an inaccuracy, a mistake or a blunder: larger on the big boards,
// where the engine disagrees more with every move. Chosen on real games
// reviewed at the viewer's budget (1 s a position, one thread): on base 8
// (284 moves of six games) half the moves lose less than 0.025, nine in
// ten less than 0.095, and then the figures jump: the 14 moves of 0.20 and
// more were all real (a threat left unanswered, a proven win let go). On
// base 10 (246 moves of three games) the engine finds fault with nearly
// every human move: half lose 0.04 or more and nine in ten up to 0.11, in
// long runs of both players, so only 0.10 marks an inaccuracy there; the
// few of 0.15 and more stood out on the board.
struct Thresholds {
    double inaccuracy = 0;
    double mistake = 0;
    double blunder = 0;
};
inline constexpr Thresholds kSmallBoardThresholds{0.07, 0.12, 0.20};  // base 8 and smaller
inline constexpr Thresholds kLargeBoardThresholds{0.10, 0.15, 0.25};  // base 9 and larger
constexpr Thresholds thresholdsFor(int base) { return base <= 8 ? kSmallBoardThresholds : kLargeBoardThresholds; }
// A move is decisive when its mover stood at least this well before it...
inline constexpr double kWonRate = 0.80;
// ... and at most this well after it; or when it threw a proven win away
// (the move is none of the proven winning moves, and the position after it
// is not proven won for the mover), whatever the percentages.
inline constexpr double kLostRate = 0.20;

enum class Judgement : std::uint8_t { None, Inaccuracy, Mistake, Blunder, Decisive };
// "", "inaccuracy", "mistake", "blunder", "decisive".
std::string_view describe(Judgement judgement);

// "2000 playouts a position", "1.0 s a position", "2000 playouts or 1.0 s
// a position".
std::string describeBudget(const Limits& budget);

struct ReviewSettings {
    // A playout count or a time per position (or both: whichever ends
    // first); one of them must be set.
    Limits budget;
    int threads = 1;
    std::uint64_t seed = 1;
    std::size_t treeBytes = defaultTreeBytes();
    // Each position searched on a fresh tree, with a seed made from `seed`
    // and the position's index: with one thread and a playout budget the
    // result of every position then depends on nothing else, and a review
    // stopped and resumed anywhere equals one made in a single run. Without
    // it one engine goes through the line keeping the subtree of each move
    // played (stronger for the same budget); a single run is then still
    // repeatable with one thread and playouts, but a resumed one is not
    // the same as a single run after the point where it stopped.
    bool independent = false;
};

// The search of one position of the line.
struct PositionReview {
    havannah::Player toMove = havannah::Player::Black;
    double winRate = 0.5;  // for the side to move
    // Won on the board, or proven by the search.
    std::optional<havannah::Player> winner;
    bool wonOnBoard = false;
    // The engine's first candidate and its win rate for the side to move,
    // with its line; none where the position is won on the board.
    std::optional<Move> best;
    double bestWinRate = 0;
    std::vector<Move> line;
    // Every move proven to win when the side to move is the proven winner.
    std::vector<Move> winningMoves;
    std::uint64_t playouts = 0;
    // The move the line plays next as this search saw it: its win rate for
    // the side to move and its visits; none for the last position, or when
    // the search never tried it.
    std::optional<double> nextWinRate;
    std::uint64_t nextVisits = 0;
    friend bool operator==(const PositionReview&, const PositionReview&) = default;
};

struct MoveReview {
    int number = 0;  // from 1, the swap counting as move 2
    havannah::Player mover = havannah::Player::Black;
    Move played = 0;
    double blackWinRate = 0.5;  // after the move
    std::optional<Move> best;   // before the move
    double bestWinRate = 0;     // for the mover
    double playedWinRate = 0;   // for the mover
    double loss = 0;
    Judgement judgement = Judgement::None;
    friend bool operator==(const MoveReview&, const MoveReview&) = default;
};

struct JudgementCounts {
    int inaccuracies = 0;
    int mistakes = 0;
    int blunders = 0;
    int decisive = 0;
    friend bool operator==(const JudgementCounts&, const JudgementCounts&) = default;
};

// A move of the line that the rules refuse: the review ends before it.
struct RefusedMove {
    int number = 0;
    Move move = 0;
    havannah::Refusal reason = havannah::Refusal::OffBoard;
    std::string text;  // "move 31 (E5) is on an occupied cell"
    friend bool operator==(const RefusedMove&, const RefusedMove&) = default;
};

struct ReviewResult {
    std::string version{kReviewVersion};
    std::string budget;  // describeBudget of the budget that made it
    // The line reviewed: the start position as text and the moves given.
    std::string start;
    std::vector<Move> line;
    // Positions to search: one more than the moves reviewed.
    int total = 0;
    // The positions searched so far, in order from the start, and the
    // moves whose positions before and after are both searched.
    std::vector<PositionReview> positions;
    std::vector<MoveReview> moves;
    std::optional<RefusedMove> refused;
    // The move that won on the board; the line's moves after it are not
    // reviewed.
    std::optional<int> wonAt;
    bool running = false;

    int done() const { return static_cast<int>(positions.size()); }
    bool finished() const { return total > 0 && done() == total; }
    JudgementCounts summary(havannah::Player player) const;
};

// The judgement of one move from the searches before and after it (the
// figures that go into a MoveReview besides its number and mover), on a
// board of `base`.
MoveReview judgeMove(const PositionReview& before, const PositionReview& after, Move played, int base);

// A review of `moves` from `start` with nothing searched yet, as start()
// begins one: the start as text, the line, the positions to search (total)
// and where the line ends early (refused, wonAt); no budget.
ReviewResult reviewOutline(const havannah::Position& start, const std::vector<Move>& moves);

class Review {
  public:
    explicit Review(ReviewSettings settings);
    // Stops the review and joins its thread.
    ~Review();
    Review(const Review&) = delete;
    Review& operator=(const Review&) = delete;

    // Stops any review and starts one of `moves` from `start`. The
    // positions of `sofar` are kept, not searched again, where it was made
    // by this version with the same budget, from the same start, along the
    // same moves; the rest is searched. Throws std::invalid_argument when
    // the budget sets neither playouts nor time.
    void start(const havannah::Position& start, std::vector<Move> moves, ReviewResult sofar = {});
    // Ends the review, keeping the positions finished; the one being
    // searched is dropped. Returns within a few milliseconds of the
    // engine's stop. Safe from any thread, and when nothing runs.
    void stop();
    // Waits until the review ends by itself or is stopped.
    void wait();
    ReviewResult snapshot() const;

    const ReviewSettings& settings() const { return settings_; }

  private:
    void run(std::vector<havannah::Position> positions, std::vector<Move> moves);
    // Asks the review's thread and its search to end.
    void signalStop();

    ReviewSettings settings_;
    std::thread thread_;
    std::mutex control_;  // start, stop and wait, one at a time
    // Held while the review's thread starts a search or replaces the
    // engine, and by stop() while it ends one: a search begun just after a
    // stop would otherwise run its whole budget.
    std::mutex engineMutex_;
    std::unique_ptr<Engine> engine_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex resultMutex_;
    ReviewResult result_;
};

}  // namespace tarnwick::engine
