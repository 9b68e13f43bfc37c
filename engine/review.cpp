#include "engine/review.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "havannah/text.h"

namespace tarnwick::engine {

using havannah::Player;
using havannah::Position;

namespace {

// A move's name; a cell off the board has none on it, so it is given by
// its number.
std::string safeName(const havannah::Topology& topology, Move move) {
    if (move != kSwapMove && (move < 0 || move >= topology.cellCount())) return "cell " + std::to_string(move);
    return moveName(topology, move);
}

std::optional<havannah::Refusal> apply(Position& position, Move move) {
    return move == kSwapMove ? position.swap() : position.play(move);
}

// The win rate of `player` in a searched position.
double rateFor(const PositionReview& position, Player player) {
    return position.toMove == player ? position.winRate : 1 - position.winRate;
}

PositionReview wonPosition(const Position& position) {
    PositionReview review;
    review.toMove = position.toMove();
    review.winner = position.winner();
    review.wonOnBoard = true;
    review.winRate = review.winner == review.toMove ? 1.0 : 0.0;
    return review;
}

// The search of a position from its snapshot; `next` is the move the line
// plays from it, if any.
PositionReview fromSnapshot(const Snapshot& snap, std::optional<Move> next) {
    PositionReview review;
    review.toMove = snap.toMove;
    review.winner = snap.provenWinner;
    review.playouts = snap.playouts;
    review.winningMoves = snap.winningMoves;
    if (!snap.moves.empty()) {
        const Candidate& first = snap.moves.front();
        review.best = first.move;
        review.bestWinRate = first.winRate;
        review.line = first.pv;
    }
    const auto played = std::find_if(snap.moves.begin(), snap.moves.end(),
                                     [&](const Candidate& c) { return next && c.move == *next && c.visits > 0; });
    if (played != snap.moves.end()) {
        review.nextWinRate = played->proven ? (*played->proven ? 1.0 : 0.0) : played->winRate;
        review.nextVisits = played->visits;
    }
    // The position's rate is the average over every move searched, weighted
    // by visits: the root's own average. It is what the search of the
    // position before made of the move that led here (the same node, kept
    // and searched further), so a move's figure before and after it agree.
    // The first candidate's rate instead runs above the average by the
    // search's optimism for the side to move, which on real games made
    // every other move look a mistake.
    double visits = 0;
    double wins = 0;
    for (const Candidate& candidate : snap.moves) {
        visits += candidate.visits;
        wins += candidate.visits * candidate.winRate;
    }
    if (visits > 0) review.winRate = wins / visits;
    if (snap.provenWinner) review.winRate = *snap.provenWinner == snap.toMove ? 1.0 : 0.0;
    return review;
}

// The seed of position `index` in an independent review.
std::uint64_t positionSeed(std::uint64_t seed, std::size_t index) {
    return seed ^ ((static_cast<std::uint64_t>(index) + 1) * 0x9e3779b97f4a7c15ULL);
}

// The line's positions, up to a refused move or the first win, and the
// result with nothing searched yet.
std::pair<ReviewResult, std::vector<Position>> outline(const Position& start, const std::vector<Move>& moves) {
    ReviewResult result;
    result.start = havannah::toText(start);
    result.line = moves;
    std::vector<Position> positions{start};
    for (std::size_t i = 0; i < moves.size() && !positions.back().isWon(); ++i) {
        Position next = positions.back();
        if (const auto refusal = apply(next, moves[i])) {
            const int number = positions.back().movesPlayed() + 1;
            result.refused = RefusedMove{number, moves[i], *refusal,
                                         "move " + std::to_string(number) + " (" + safeName(start.topology(), moves[i]) +
                                             ") " + std::string(havannah::describe(*refusal))};
            break;
        }
        positions.push_back(std::move(next));
        if (positions.back().isWon()) result.wonAt = positions.back().movesPlayed();
    }
    result.total = static_cast<int>(positions.size());
    return {std::move(result), std::move(positions)};
}

}  // namespace

ReviewResult reviewOutline(const Position& start, const std::vector<Move>& moves) { return outline(start, moves).first; }

std::string_view describe(Judgement judgement) {
    switch (judgement) {
        case Judgement::None: return "";
        case Judgement::Inaccuracy: return "inaccuracy";
        case Judgement::Mistake: return "mistake";
        case Judgement::Blunder: return "blunder";
        case Judgement::Decisive: return "decisive";
    }
    return "";
}

std::string describeBudget(const Limits& budget) {
    std::string text;
    if (budget.playouts > 0) text = std::to_string(budget.playouts) + " playouts";
    if (budget.time.count() > 0) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f s", static_cast<double>(budget.time.count()) / 1e9);
        text += (text.empty() ? "" : " or ") + std::string(seconds);
    }
    return text.empty() ? "no budget" : text + " a position";
}

JudgementCounts ReviewResult::summary(Player player) const {
    JudgementCounts counts;
    for (const MoveReview& move : moves) {
        if (move.mover != player) continue;
        switch (move.judgement) {
            case Judgement::None: break;
            case Judgement::Inaccuracy: ++counts.inaccuracies; break;
            case Judgement::Mistake: ++counts.mistakes; break;
            case Judgement::Blunder: ++counts.blunders; break;
            case Judgement::Decisive: ++counts.decisive; break;
        }
    }
    return counts;
}

MoveReview judgeMove(const PositionReview& before, const PositionReview& after, Move played, int base) {
    MoveReview review;
    review.mover = before.toMove;
    review.played = played;
    review.blackWinRate = rateFor(after, Player::Black);
    review.best = before.best;
    review.bestWinRate = before.bestWinRate;
    review.playedWinRate = rateFor(after, review.mover);
    if (!after.winner && before.nextWinRate) review.playedWinRate = std::max(review.playedWinRate, *before.nextWinRate);
    if (before.best != played) review.loss = std::max(0.0, review.bestWinRate - review.playedWinRate);

    const bool provenWin = before.winner == review.mover;
    const bool stillProven = after.winner == review.mover;
    const bool thrownAway = provenWin && !stillProven &&
                            std::find(before.winningMoves.begin(), before.winningMoves.end(), played) == before.winningMoves.end();
    const bool wasWon = provenWin || (!before.winner && rateFor(before, review.mover) >= kWonRate);
    const bool isLost = after.winner == havannah::opponent(review.mover) || (!after.winner && review.playedWinRate <= kLostRate);
    const Thresholds thresholds = thresholdsFor(base);
    if (thrownAway || (wasWon && isLost))
        review.judgement = Judgement::Decisive;
    else if (review.loss >= thresholds.blunder)
        review.judgement = Judgement::Blunder;
    else if (review.loss >= thresholds.mistake)
        review.judgement = Judgement::Mistake;
    else if (review.loss >= thresholds.inaccuracy)
        review.judgement = Judgement::Inaccuracy;
    return review;
}

Review::Review(ReviewSettings settings) : settings_(std::move(settings)) {}

Review::~Review() { stop(); }

void Review::signalStop() {
    const std::lock_guard lock(engineMutex_);
    stopping_.store(true);
    if (engine_) engine_->stop();
}

void Review::stop() {
    // Signalled before the lock, so that a wait() holding it ends; and again
    // under it, in case a start() in between began a new review.
    signalStop();
    const std::lock_guard lock(control_);
    signalStop();
    if (thread_.joinable()) thread_.join();
}

void Review::wait() {
    const std::lock_guard lock(control_);
    if (thread_.joinable()) thread_.join();
}

ReviewResult Review::snapshot() const {
    const std::lock_guard lock(resultMutex_);
    return result_;
}

void Review::start(const Position& start, std::vector<Move> moves, ReviewResult sofar) {
    if (settings_.budget.playouts == 0 && settings_.budget.time.count() <= 0)
        throw std::invalid_argument("a review needs a playout count or a time per position");
    signalStop();
    const std::lock_guard lock(control_);
    signalStop();
    if (thread_.joinable()) thread_.join();

    auto [result, positions] = outline(start, moves);
    result.budget = describeBudget(settings_.budget);

    // What `sofar` has of this line, made the same way, is kept: position i
    // follows from the start and the first i moves.
    if (sofar.version == result.version && sofar.budget == result.budget && sofar.start == result.start) {
        std::size_t same = 0;
        while (same < sofar.positions.size() && same < positions.size() &&
               (same == 0 || (same <= sofar.line.size() && sofar.line[same - 1] == moves[same - 1])))
            ++same;
        sofar.positions.resize(same);
        result.positions = std::move(sofar.positions);
        for (std::size_t k = 1; k < result.positions.size(); ++k) {
            MoveReview move = judgeMove(result.positions[k - 1], result.positions[k], moves[k - 1], start.base());
            move.number = positions[k].movesPlayed();
            result.moves.push_back(move);
        }
    }
    result.running = result.done() < result.total;
    {
        const std::lock_guard resultLock(resultMutex_);
        result_ = std::move(result);
    }
    stopping_.store(false);
    thread_ = std::thread([this, positions = std::move(positions), moves = std::move(moves)]() mutable {
        run(std::move(positions), std::move(moves));
    });
}

void Review::run(std::vector<Position> positions, std::vector<Move> moves) {
    std::size_t index = 0;
    {
        const std::lock_guard lock(resultMutex_);
        index = result_.positions.size();
    }
    for (; index < positions.size(); ++index) {
        const Position& position = positions[index];
        PositionReview review;
        if (position.isWon()) {
            review = wonPosition(position);
        } else {
            {
                const std::lock_guard lock(engineMutex_);
                if (stopping_.load()) break;
                if (settings_.independent || !engine_) {
                    Options options;
                    options.threads = settings_.threads;
                    options.seed = settings_.independent ? positionSeed(settings_.seed, index) : settings_.seed;
                    options.treeBytes = settings_.treeBytes;
                    engine_ = std::make_unique<Engine>(std::move(options));
                }
                engine_->start(position, settings_.budget);
            }
            // Only this thread replaces the engine, so it may use it
            // unlocked; stop() only ends its search.
            engine_->wait();
            // A search ended by stop() is cut short: it is dropped, and
            // made again whole when the review resumes.
            if (stopping_.load()) break;
            const auto next = index < moves.size() ? std::optional<Move>(moves[index]) : std::nullopt;
            review = fromSnapshot(engine_->snapshot(havannah::kMaxCells + 1), next);
        }
        const std::lock_guard lock(resultMutex_);
        result_.positions.push_back(std::move(review));
        if (index > 0) {
            MoveReview move = judgeMove(result_.positions[index - 1], result_.positions[index], moves[index - 1], position.base());
            move.number = position.movesPlayed();
            result_.moves.push_back(move);
        }
    }
    const std::lock_guard lock(resultMutex_);
    result_.running = false;
}

}  // namespace tarnwick::engine
