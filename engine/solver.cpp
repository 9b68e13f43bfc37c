#include "engine/solver.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <new>

namespace tarnwick::engine {

using havannah::Cell;
using havannah::kNoCell;
using havannah::Player;
using havannah::Position;
using havannah::Stone;

namespace {

// Proof and disproof numbers of a solved node; sums of unsolved numbers
// stop one below.
constexpr std::uint32_t kInfinity = 0x7fffffffU;
// Part of every key while White is the attacker.
constexpr std::uint64_t kWhiteAttackerKey = 0xbb67ae8584caa73bULL;
// The first round's budget in nodes, for each attacker; it doubles each round.
constexpr std::uint64_t kFirstRound = 256;
// The clock is read once per this many nodes.
constexpr std::uint64_t kClockInterval = 64;
// Nodes a proven line may take to prove again children that left the table.
constexpr std::uint64_t kLineBudget = 200000;

std::uint64_t mix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

std::uint32_t saturated(std::uint64_t value) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, kInfinity));
}

// A sum of numbers: infinite when one of them is, else below infinity.
std::uint32_t addNumbers(std::uint32_t a, std::uint32_t b) {
    if (a == kInfinity || b == kInfinity) return kInfinity;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{a} + b, kInfinity - 1));
}

// The threshold a child gets from its parent's second best: a quarter more
// than the second best number (the "1 + epsilon" rule), so that the search
// does not bounce between two children of nearly equal numbers.
std::uint64_t beyondSecond(std::uint32_t second) {
    if (second >= kInfinity) return kInfinity;
    return std::uint64_t{second} + second / 4 + 1;
}

}  // namespace

std::uint64_t stoneKey(Cell cell, Stone stone) {
    return mix(static_cast<std::uint64_t>(cell) * 3 + static_cast<std::uint64_t>(stone));
}

std::uint64_t positionKey(const Position& position) {
    std::uint64_t key = position.toMove() == Player::White ? kWhiteToMoveKey : 0;
    for (Cell cell = 0; cell < position.topology().cellCount(); ++cell)
        if (position.at(cell) != Stone::Empty) key ^= stoneKey(cell, position.at(cell));
    return key;
}

Solver::Solver(std::size_t bytes, Clock clock) : clock_(std::move(clock)) {
    bucketCount_ = std::bit_floor(std::max<std::size_t>(bytes / sizeof(Bucket), 1));
    // calloc: the zeroed pages of a large table come from the system
    // untouched, and cost memory only as the search writes them.
    table_.reset(static_cast<Bucket*>(std::calloc(bucketCount_, sizeof(Bucket))));
    if (!table_) throw std::bad_alloc();
}

void Solver::clear() { std::fill_n(table_.get(), bucketCount_, Bucket{}); }

std::uint64_t Solver::keyFor(std::uint64_t key) const { return attacker_ == Player::White ? key ^ kWhiteAttackerKey : key; }

const Solver::Entry* Solver::find(std::uint64_t key) const {
    const Bucket& bucket = table_[key & (bucketCount_ - 1)];
    for (const Entry& entry : bucket.slot)
        if (entry.work != 0 && entry.key == key) return &entry;
    return nullptr;
}

void Solver::store(std::uint64_t key, Numbers numbers, std::uint64_t work) {
    Bucket& bucket = table_[key & (bucketCount_ - 1)];
    const auto worth = [](const Entry& entry) {
        return entry.pn == 0 || entry.dn == 0 ? std::numeric_limits<std::uint64_t>::max() : entry.work;
    };
    Entry* target = nullptr;
    for (Entry& entry : bucket.slot)
        if (entry.work != 0 && entry.key == key) target = &entry;
    if (target == nullptr) target = worth(bucket.slot[0]) <= worth(bucket.slot[1]) ? &bucket.slot[0] : &bucket.slot[1];
    const std::uint64_t kept = target->key == key ? target->work : 0;
    *target = Entry{key, numbers.pn, numbers.dn, static_cast<std::uint32_t>(std::clamp<std::uint64_t>(std::max(work, kept), 1, 0xffffffffU)),
                    numbers.length};
}

Solver::Scan Solver::scan(const Position& position, Player attacker) const {
    Scan result;
    const auto solved = [&](bool proven, int length) {
        result.solved = true;
        result.numbers = proven ? Numbers{0, kInfinity, static_cast<std::uint16_t>(length)} : Numbers{kInfinity, 0, 0};
        return result;
    };
    if (position.isWon()) return solved(position.winner() == attacker, 0);
    const Player mover = position.toMove();
    const Player other = havannah::opponent(mover);
    const int cells = position.topology().cellCount();
    for (Cell cell = 0; cell < cells; ++cell) {
        if (position.at(cell) != Stone::Empty) continue;
        ++result.empty;
        if (position.wouldWin(cell, mover)) {
            result.win = cell;
            return solved(mover == attacker, 1);
        }
        if (result.threats < 2 && position.wouldWin(cell, other)) {
            if (result.threats++ == 0) result.threat = cell;
        }
    }
    // Two cells where the opponent wins: one can be stopped, the other wins.
    if (result.threats >= 2) return solved(other == attacker, 2);
    if (result.empty == 0) return solved(false, 0);
    const auto moves = static_cast<std::uint32_t>(result.threats == 1 ? 1 : result.empty);
    result.numbers = mover == attacker ? Numbers{1, moves, 0} : Numbers{moves, 1, 0};
    return result;
}

bool Solver::callOver() const {
    if (stop_ != nullptr && stop_->load(std::memory_order_relaxed)) return true;
    if (callLimit_ > 0 && nodes_ >= callLimit_) return true;
    return timed_ && clock_() >= deadline_;
}

bool Solver::outOfBudget() {
    if (aborted_) return true;
    if ((stop_ != nullptr && stop_->load(std::memory_order_relaxed)) || nodes_ >= nodeLimit_ ||
        (timed_ && ++clockReads_ % kClockInterval == 0 && clock_() >= deadline_))
        aborted_ = true;
    return aborted_;
}

void Solver::expand(std::size_t depth, const Scan& node) {
    Ply& ply = plies_[depth];
    const Position& position = *ply.position;
    ply.moves.clear();
    ply.children.clear();
    if (node.threats == 1) {
        ply.moves.push_back(node.threat);
    } else {
        for (Cell cell = 0; cell < position.topology().cellCount(); ++cell)
            if (position.at(cell) == Stone::Empty) ply.moves.push_back(cell);
    }
    const Stone own = havannah::stoneOf(position.toMove());
    Position& scratch = *plies_[depth + 1].position;
    for (const Cell move : ply.moves) {
        const std::uint64_t key = keyFor(ply.key ^ stoneKey(move, own) ^ kWhiteToMoveKey);
        if (const Entry* entry = find(key)) {
            ply.children.push_back({entry->pn, entry->dn, entry->length});
            continue;
        }
        // A new child is numbered by a scan of its own: what it threatens
        // decides which children are searched first.
        if (outOfBudget()) return;
        ++nodes_;
        scratch = position;
        scratch.play(move);
        const Scan child = scan(scratch, attacker_);
        store(key, child.numbers, 1);
        ply.children.push_back(child.numbers);
    }
}

Solver::Numbers Solver::mid(std::size_t depth, std::uint32_t pnThreshold, std::uint32_t dnThreshold) {
    Ply& ply = plies_[depth];
    const Position& position = *ply.position;
    const std::uint64_t key = keyFor(ply.key);
    const std::uint64_t before = nodes_;
    ++nodes_;
    const Scan node = scan(position, attacker_);
    if (node.solved) {
        store(key, node.numbers, 1);
        return node.numbers;
    }
    const Entry* known = find(key);
    const Numbers stored = known != nullptr ? Numbers{known->pn, known->dn, known->length} : node.numbers;
    if (outOfBudget()) return stored;
    expand(depth, node);
    if (aborted_) return stored;

    const bool attacking = position.toMove() == attacker_;
    const Stone own = havannah::stoneOf(position.toMove());
    Numbers result;
    for (;;) {
        // The attacker needs one child proven and all disproven, the
        // defender the other way round: the node's own number is the least
        // of its children's, its other number their sum.
        std::uint32_t least = kInfinity;
        std::uint32_t second = kInfinity;
        std::uint32_t sum = 0;
        std::size_t best = 0;
        for (std::size_t i = 0; i < ply.children.size(); ++i) {
            const Numbers& child = ply.children[i];
            const std::uint32_t number = attacking ? child.pn : child.dn;
            sum = addNumbers(sum, attacking ? child.dn : child.pn);
            if (number < least) {
                second = least;
                least = number;
                best = i;
            } else if (number < second) {
                second = number;
            }
        }
        result.pn = attacking ? least : sum;
        result.dn = attacking ? sum : least;
        if (result.pn == 0 || result.dn == 0 || result.pn >= pnThreshold || result.dn >= dnThreshold || aborted_) break;
        Numbers& child = ply.children[best];
        std::uint64_t childPn = 0;
        std::uint64_t childDn = 0;
        if (attacking) {
            childPn = std::min<std::uint64_t>(pnThreshold, beyondSecond(second));
            childDn = std::uint64_t{dnThreshold} - result.dn + child.dn;
        } else {
            childDn = std::min<std::uint64_t>(dnThreshold, beyondSecond(second));
            childPn = std::uint64_t{pnThreshold} - result.pn + child.pn;
        }
        Ply& next = plies_[depth + 1];
        *next.position = position;
        next.position->play(ply.moves[best]);
        next.key = ply.key ^ stoneKey(ply.moves[best], own) ^ kWhiteToMoveKey;
        child = mid(depth + 1, saturated(childPn), saturated(childDn));
    }
    if (result.pn == 0) {
        // Proven: along the attacker's shortest win, or the defender's
        // longest resistance.
        int length = attacking ? std::numeric_limits<int>::max() : 0;
        for (const Numbers& child : ply.children) {
            if (attacking && child.pn == 0) length = std::min<int>(length, child.length);
            if (!attacking) length = std::max<int>(length, child.length);
        }
        result.length = static_cast<std::uint16_t>(length + 1);
    }
    store(key, result, nodes_ - before);
    return result;
}

std::vector<Cell> Solver::provenLine(const Position& start) {
    std::vector<Cell> line;
    Position position = start;
    const int cells = position.topology().cellCount();
    nodeLimit_ = nodes_ + kLineBudget;
    aborted_ = false;
    // Proves the position again; the table then holds its children.
    const auto prove = [&](const Position& at) {
        *plies_[0].position = at;
        plies_[0].key = positionKey(at);
        return mid(0, kInfinity, kInfinity).pn == 0;
    };
    while (!position.isWon() && static_cast<int>(line.size()) < cells) {
        const Scan node = scan(position, attacker_);
        Cell move = node.win != kNoCell ? node.win : node.threat;
        if (move == kNoCell) {
            const bool attacking = position.toMove() == attacker_;
            const Stone own = havannah::stoneOf(position.toMove());
            const std::uint64_t key = positionKey(position);
            int bestLength = attacking ? std::numeric_limits<int>::max() : -1;
            for (int attempt = 0; attempt < 2 && move == kNoCell; ++attempt) {
                for (Cell cell = 0; cell < cells; ++cell) {
                    if (position.at(cell) != Stone::Empty) continue;
                    const Entry* entry = find(keyFor(key ^ stoneKey(cell, own) ^ kWhiteToMoveKey));
                    if (!attacking && (entry == nullptr || entry->pn != 0)) {
                        Position child = position;
                        child.play(cell);
                        if (!prove(child)) return {};
                        entry = find(keyFor(positionKey(child)));
                        if (entry == nullptr) return {};
                    }
                    if (entry == nullptr || entry->pn != 0) continue;
                    if (attacking ? entry->length < bestLength : entry->length > bestLength) {
                        bestLength = entry->length;
                        move = cell;
                    }
                }
                if (move == kNoCell && !prove(position)) return {};
            }
            if (move == kNoCell) return {};
        }
        position.play(move);
        line.push_back(move);
    }
    if (position.winner() != attacker_) return {};
    return line;
}

SolverResult Solver::solve(const Position& position, SolverLimits limits, const std::atomic<bool>* stop) {
    SolverResult result;
    if (position.isWon()) {
        result.winner = position.winner();
        return result;
    }
    if (position.canSwap()) return result;
    const int cells = position.topology().cellCount();
    if (position.base() != base_ || plies_.size() < static_cast<std::size_t>(cells) + 2) {
        if (position.base() != base_ && base_ != 0) clear();
        base_ = position.base();
        plies_.clear();
        plies_.resize(static_cast<std::size_t>(cells) + 2);
        for (Ply& ply : plies_) ply.position = position;
    }
    stop_ = stop;
    nodes_ = 0;
    callLimit_ = limits.nodes;
    timed_ = limits.time.count() > 0;
    if (timed_) deadline_ = clock_() + limits.time;
    const Player mover = position.toMove();
    const std::uint64_t rootKey = positionKey(position);
    bool disproven[2] = {false, false};
    for (std::uint64_t round = kFirstRound; !result.winner; round *= 2) {
        for (const Player attacker : {mover, havannah::opponent(mover)}) {
            if (disproven[static_cast<int>(attacker)] || callOver()) continue;
            attacker_ = attacker;
            nodeLimit_ = callLimit_ > 0 ? std::min(callLimit_, nodes_ + round) : nodes_ + round;
            aborted_ = false;
            *plies_[0].position = position;
            plies_[0].key = rootKey;
            const Numbers root = mid(0, kInfinity, kInfinity);
            if (root.pn == 0) {
                result.winner = attacker;
                result.line = provenLine(position);
                break;
            }
            if (root.dn == 0) disproven[static_cast<int>(attacker)] = true;
        }
        if (callOver() || (disproven[0] && disproven[1])) break;
    }
    result.moverCannotWin = disproven[static_cast<int>(mover)];
    result.nodes = nodes_;
    stop_ = nullptr;
    return result;
}

}  // namespace tarnwick::engine
