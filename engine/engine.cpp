#include "engine/engine.h"

#include <algorithm>
#include <thread>
#include <array>
#include <fstream>
#include <sstream>

namespace tarnwick::engine {

using havannah::Cell;
using havannah::kNoCell;
using havannah::Player;
using havannah::Position;
using havannah::Stone;

namespace {

constexpr std::size_t kPvLength = 12;
// The clock is read once per this many playouts.
constexpr std::uint64_t kClockInterval = 16;
// How much longer leaves wait for children once the arena is half full.
constexpr std::uint32_t kCrowdedFactor = 8;
// The share of the memory bound that the solver's table takes.
constexpr std::size_t kSolverShare = 8;
// The children the proof search takes turns on, most visited first.
constexpr std::size_t kProvedChildren = 3;
// Nodes the solver may take to find the line of a root proven without one.
constexpr std::uint64_t kLineNodes = 50000;

std::size_t solverBytes(const Options& options) {
    return options.settings.proofSearch ? options.treeBytes / kSolverShare : 0;
}

std::uint32_t pointsFor(Player player, std::optional<Player> winner) {
    if (!winner) return kWinPoints / 2;
    return *winner == player ? kWinPoints : 0;
}

// Plays a tree move; the swap has no cell.
void apply(Position& position, Move move) {
    if (move == kSwapMove)
        position.swap();
    else
        position.play(move);
}

// The empty cells where `player` would win at once, in cell order.
std::vector<Move> immediateWins(const Position& position, Player player) {
    std::vector<Move> cells;
    for (Cell cell = 0; cell < position.topology().cellCount(); ++cell)
        if (position.at(cell) == Stone::Empty && position.wouldWin(cell, player)) cells.push_back(cell);
    return cells;
}

}  // namespace

std::string moveName(const havannah::Topology& topology, Move move) {
    return move == kSwapMove ? "swap" : topology.name(move);
}

int defaultThreads() {
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware > 1 ? static_cast<int>(hardware) - 1 : 1;
}

std::size_t defaultTreeBytes() {
    constexpr std::size_t kGiB = std::size_t{1} << 30;
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream words(line);
        std::string key;
        std::size_t kib = 0;
        if (words >> key >> kib && key == "MemTotal:") return std::min(kGiB, kib * 1024 / 4);
    }
    return kGiB;
}

const std::vector<Move>& Snapshot::pv() const {
    static const std::vector<Move> kNone;
    return moves.empty() ? kNone : moves.front().pv;
}

struct Engine::Worker {
    Worker(PlayoutSettings settings, std::uint64_t seed) : playout(settings, seed) {}
    Playout playout;
    std::vector<Node*> path;
    std::optional<Position> position;
    std::vector<Move> moves;  // of the node being expanded
};

Engine::Engine(Options options)
    : options_(std::move(options)), arena_(std::make_unique<NodeArena>(options_.treeBytes - solverBytes(options_))) {
    options_.threads = std::max(options_.threads, 1);
    if (options_.settings.proofSearch) solver_ = std::make_unique<Solver>(solverBytes(options_), options_.clock);
}

Engine::~Engine() { stop(); }

void Engine::joinThreads() {
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
}

void Engine::stop() {
    // Set before the lock, so that a wait() holding it ends; and again under
    // it, in case a start() in between began a new search.
    stopping_.store(true);
    const std::lock_guard lock(control_);
    stopping_.store(true);
    joinThreads();
}

void Engine::wait() {
    const std::lock_guard lock(control_);
    joinThreads();
}

void Engine::start(const Position& position, Limits limits) {
    stopping_.store(true);
    const std::lock_guard lock(control_);
    stopping_.store(true);
    joinThreads();
    {
        const std::lock_guard structure(structure_);
        const NodeIndex kept = followingNode(position);
        if (kept != kNoNode) {
            keepSubtree(kept);
        } else {
            arena_->clear();
            root_ = arena_->allocate(1);
            (*arena_)[root_].reset(0);
        }
        position_ = position;
        firstStone_ = kNoCell;
        if (position.canSwap())
            for (Cell cell = 0; cell < position.topology().cellCount(); ++cell)
                if (position.at(cell) != Stone::Empty) firstStone_ = cell;
        limits_ = limits;
        playouts_.store(0);
        started_.store(0);
        provenLine_.clear();
    }
    // A root kept proven from the last search gets no search, unless its
    // side to move holds out, but its line is looked for again.
    const Node& root = (*arena_)[root_];
    const bool proven = root.proof.load() != Proof::Unknown;
    if (position.isWon() || (proven && !solver_ && !holdsOut(root))) return;
    deadline_ = options_.clock() + limits.time;
    stopping_.store(false);
    ++searches_;
    workers_.clear();
    for (int i = 0; i < options_.threads; ++i) {
        const std::uint64_t seed = options_.seed * 0x9e3779b97f4a7c15ULL + searches_ * 1000003ULL + static_cast<std::uint64_t>(i);
        workers_.push_back(std::make_unique<Worker>(options_.settings.playout, seed));
    }
    active_.store(options_.threads);
    for (int i = 0; i < options_.threads; ++i)
        threads_.emplace_back([this, i] { run(*workers_[static_cast<std::size_t>(i)], i == 0 && solver_ != nullptr); });
}

void Engine::run(Worker& worker, bool proving) {
    const Node& root = (*arena_)[root_];
    const std::uint64_t interval = std::max<std::uint64_t>(options_.settings.proofInterval, 1);
    const bool onlyProving = proving && options_.settings.proofThread && options_.threads > 1;
    bool holding = false;
    for (std::uint64_t count = 0, turn = 0;; ++count) {
        if (stopping_.load(std::memory_order_relaxed)) break;
        if (root.proof.load(std::memory_order_relaxed) != Proof::Unknown) {
            // Looked at again now and then: the open moves may all be
            // proven lost meanwhile.
            if (onlyProving) break;
            if (!holding || count % kClockInterval == 0) holding = holdsOut(root);
            if (!holding) break;
        }
        if (onlyProving) {
            // Ends with the search threads, without taking playouts of theirs.
            if (active_.load(std::memory_order_relaxed) == 1) break;
            proveSlice(turn++);
            continue;
        }
        if (limits_.playouts > 0 && started_.fetch_add(1, std::memory_order_relaxed) >= limits_.playouts) break;
        if (limits_.time.count() > 0 && count % kClockInterval == 0 && options_.clock() >= deadline_) break;
        iterate(worker, holding);
        if (proving && (count + 1) % interval == 0) proveSlice(turn++);
    }
    if (proving) proveLine();
    active_.fetch_sub(1);
}

bool Engine::holdsOut(const Node& root) const {
    // The root's move was the opponent's: its proven win is the loss of the
    // side to move.
    if (!options_.settings.holdOut || root.proof.load(std::memory_order_relaxed) != Proof::Win) return false;
    if (!root.expanded()) return true;
    const std::span<const Node> children = static_cast<const NodeArena&>(*arena_).children(root);
    return std::any_of(children.begin(), children.end(),
                       [](const Node& child) { return child.proof.load(std::memory_order_relaxed) == Proof::Unknown; });
}

void Engine::proveSlice(std::uint64_t turn) {
    NodeArena& arena = *arena_;
    Node& root = arena[root_];
    const Position& position = *position_;
    const Player mover = position.toMove();
    Node* child = nullptr;
    // A proven root has nothing left to prove; its open children do.
    const bool rootProven = root.proof.load(std::memory_order_relaxed) != Proof::Unknown;
    if ((turn % 2 == 1 || rootProven) && root.expanded()) {
        // The most visited open children, by cell; the swap has no position
        // the solver takes.
        std::array<Node*, kProvedChildren> most{};
        for (Node& candidate : arena.children(root)) {
            if (candidate.move == kSwapMove || candidate.proof.load(std::memory_order_relaxed) != Proof::Unknown) continue;
            const std::uint32_t visits = candidate.visits.load(std::memory_order_relaxed);
            for (std::size_t i = 0; i < most.size(); ++i) {
                if (most[i] != nullptr && most[i]->visits.load(std::memory_order_relaxed) >= visits) continue;
                std::copy_backward(most.begin() + static_cast<std::ptrdiff_t>(i), most.end() - 1, most.end());
                most[i] = &candidate;
                break;
            }
        }
        const auto open = static_cast<std::size_t>(most.end() - std::find(most.begin(), most.end(), nullptr));
        if (open > 0) child = most[(turn / 2) % open];
    }
    if (rootProven && child == nullptr) return;
    Position target = position;
    if (child != nullptr) target.play(child->move);
    const SolverResult result = solver_->solve(target, {.nodes = options_.settings.proofNodes}, &stopping_);
    if (!result.winner || stopping_.load(std::memory_order_relaxed)) return;
    const bool moverWins = *result.winner == mover;
    std::vector<Move> line;
    if (child != nullptr) {
        child->prove(moverWins ? Proof::Win : Proof::Loss);
        const std::array<Node*, 2> path{&root, child};
        propagateProof(arena, path);
        if (!moverWins) return;
        line.push_back(child->move);
    } else {
        // From the root's side: its move was the opponent's.
        if (moverWins && root.expanded() && !result.line.empty())
            for (Node& first : arena.children(root))
                if (first.move == result.line.front()) first.prove(Proof::Win);
        root.prove(moverWins ? Proof::Loss : Proof::Win);
    }
    // A child that is won on the board needs no line beyond its move.
    if (result.line.empty() && !target.isWon()) return;
    line.insert(line.end(), result.line.begin(), result.line.end());
    const std::lock_guard lock(structure_);
    provenLine_ = std::move(line);
}

void Engine::proveLine() {
    const Node& root = (*arena_)[root_];
    if (root.proof.load() == Proof::Unknown || stopping_.load()) return;
    {
        const std::lock_guard lock(structure_);
        if (!provenLine_.empty()) return;
    }
    const SolverResult result = solver_->solve(*position_, {.nodes = kLineNodes}, &stopping_);
    const std::optional<Player> winner = root.proof.load() == Proof::Loss ? position_->toMove() : havannah::opponent(position_->toMove());
    if (result.winner != winner || result.line.empty()) return;
    const std::lock_guard lock(structure_);
    provenLine_ = result.line;
}

void Engine::iterate(Worker& worker, bool holding) {
    NodeArena& arena = *arena_;
    const SearchSettings& settings = options_.settings;
    if (!worker.position)
        worker.position = *position_;
    else
        *worker.position = *position_;
    Position& position = *worker.position;
    const Player rootPlayer = position.toMove();
    std::vector<Node*>& path = worker.path;
    path.clear();
    Node* node = &arena[root_];
    node->visits.fetch_add(1, std::memory_order_relaxed);
    path.push_back(node);
    // Once half the arena is used, leaves wait longer for their children,
    // so that a long analysis fills the rest slowly, where it matters most.
    const std::uint32_t expandAfter = arena.used() > arena.capacity() / 2 ? settings.expandAfter * kCrowdedFactor : settings.expandAfter;
    Cell last = kNoCell;
    // A root proven lost that holds out is searched as if open.
    while (node->proof.load(std::memory_order_relaxed) == Proof::Unknown || (holding && path.size() == 1)) {
        if (!node->expanded()) {
            if (node->visits.load(std::memory_order_relaxed) >= expandAfter && expand(*node, position, worker))
                continue;
            break;
        }
        Node& child = selectChild(arena, *node, settings.selection);
        // The visit counts as a loss until the result comes (see tree.h),
        // and the value shows it, so other threads turn elsewhere.
        child.visits.fetch_add(1, std::memory_order_relaxed);
        refresh(child, settings.selection);
        path.push_back(&child);
        apply(position, child.move);
        last = child.move == kSwapMove ? kNoCell : child.move;
        // A move that ends the game is a proven win, with or without the solver.
        if (position.isWon()) child.prove(Proof::Win);
        node = &child;
    }

    // The player who made the leaf's move, and the result.
    const Player leafMover = path.size() % 2 == 0 ? rootPlayer : havannah::opponent(rootPlayer);
    std::optional<Player> winner;
    const Proof proof = node->proof.load(std::memory_order_relaxed);
    if (position.isWon())
        winner = position.winner();
    else if (proof == Proof::Win)
        winner = leafMover;
    else if (proof == Proof::Loss)
        winner = havannah::opponent(leafMover);
    else
        winner = worker.playout.run(position, last);
    recordResult(path, pointsFor(rootPlayer, winner), settings.selection);
    if (settings.selection.rave) updateRave(path, position);
    if (settings.solver && proof != Proof::Unknown) propagateProof(arena, path);
    playouts_.fetch_add(1, std::memory_order_relaxed);
}

void Engine::updateRave(std::span<Node* const> path, const Position& final) {
    NodeArena& arena = *arena_;
    const SelectionSettings& selection = options_.settings.selection;
    const auto raveWeight = static_cast<float>(selection.raveBias * 4);
    const auto firstPlay = static_cast<float>(selection.firstPlay);
    Player mover = position_->toMove();
    // Each stone on the final board that was not there at a node was played
    // after it: its player's result counts for that move at the node.
    for (std::size_t depth = 0; depth + 1 < path.size(); ++depth, mover = havannah::opponent(mover)) {
        const Stone own = havannah::stoneOf(mover);
        const std::uint32_t points = final.isWon() ? pointsFor(mover, final.winner()) : kWinPoints / 2;
        // About half the children match, at random: tested and updated in
        // one loop, the branch would be mispredicted half the time. The
        // matches are listed first, without a branch (each index is
        // written and the count steps on a match), then updated.
        const std::span<Node> children = arena.children(*path[depth]);
        std::array<std::uint16_t, havannah::kMaxCells + 1> matches;
        std::size_t count = 0;
        for (std::size_t i = 0; i < children.size(); ++i) {
            const Move move = children[i].move;
            matches[count] = static_cast<std::uint16_t>(i);
            count += static_cast<std::size_t>(move != kSwapMove && final.at(std::max(move, 0)) == own);
        }
        for (std::size_t k = 0; k < count; ++k) addRaveResult(children[matches[k]], points, raveWeight, firstPlay);
        // The swap has no cell of its own. It gives the first stone to the
        // player who swaps, so it is worth to that player what the stone is
        // worth to its owner: it takes the result of whoever owns the first
        // stone at the end, swapped or not. Every playout through the node
        // updates it, which lets the swap compete with the cells from the
        // start instead of living on its first few real results.
        if (children.back().move != kSwapMove) continue;
        const Cell first = depth == 0 ? firstStone_ : path[1]->move;
        if (first < 0) continue;
        const Player owner = final.at(first) == Stone::Black ? Player::Black : Player::White;
        const std::uint32_t swapPoints = final.isWon() ? pointsFor(owner, final.winner()) : kWinPoints / 2;
        addRaveResult(children.back(), swapPoints, raveWeight, firstPlay);
    }
}

bool Engine::expand(Node& node, const Position& position, Worker& worker) {
    if (position.isWon()) return false;
    NodeIndex expected = kNoNode;
    if (!node.firstChild.compare_exchange_strong(expected, kExpanding, std::memory_order_acq_rel)) return false;
    const havannah::Topology& topology = position.topology();
    std::vector<Move>& moves = worker.moves;
    moves.clear();
    for (Cell cell = 0; cell < topology.cellCount(); ++cell)
        if (position.at(cell) == Stone::Empty) moves.push_back(cell);
    if (position.canSwap()) moves.push_back(kSwapMove);
    const NodeIndex first = moves.empty() ? kNoNode : arena_->allocate(moves.size());
    if (first == kNoNode) {
        node.firstChild.store(kNoNode, std::memory_order_release);
        return false;
    }
    NodeArena& arena = *arena_;
    const SearchSettings& settings = options_.settings;
    const auto nearWins = static_cast<std::uint32_t>(settings.nearRate * kWinPoints * settings.priorPlayouts + 0.5);
    const auto farWins = static_cast<std::uint32_t>(settings.farRate * kWinPoints * settings.priorPlayouts + 0.5);
    for (std::size_t i = 0; i < moves.size(); ++i) {
        Node& child = arena[first + static_cast<NodeIndex>(i)];
        child.reset(static_cast<std::int16_t>(moves[i]));
        if (settings.priorPlayouts > 0 && moves[i] != kSwapMove) {
            const bool near = (position.stonesAround(moves[i], Stone::Black) | position.stonesAround(moves[i], Stone::White)) != 0;
            child.raveVisits.store(settings.priorPlayouts, std::memory_order_relaxed);
            child.raveWins.store(near ? nearWins : farWins, std::memory_order_relaxed);
        } else if (settings.priorPlayouts > 0) {
            // The swap starts at what the first stone is worth to its owner:
            // when the search began before the first move, this node is that
            // move's and its all-moves-as-first rate is the stone's worth to
            // the first player; an even rate otherwise.
            const std::uint32_t raveVisits = node.raveVisits.load(std::memory_order_relaxed);
            const double rate = raveVisits > 0 ? node.raveWins.load(std::memory_order_relaxed) / double{kWinPoints} / raveVisits : 0.5;
            child.raveVisits.store(settings.priorPlayouts, std::memory_order_relaxed);
            child.raveWins.store(static_cast<std::uint32_t>(rate * kWinPoints * settings.priorPlayouts + 0.5), std::memory_order_relaxed);
        }
        refresh(child, settings.selection);
    }

    Proof nodeProof = Proof::Unknown;
    if (settings.solver) {
        const Player mover = position.toMove();
        bool winning = false;
        for (std::size_t i = 0; i < moves.size(); ++i) {
            if (moves[i] == kSwapMove || !position.wouldWin(moves[i], mover)) continue;
            arena[first + static_cast<NodeIndex>(i)].prove(Proof::Win);
            winning = true;
        }
        if (winning) {
            nodeProof = Proof::Loss;
        } else {
            // Cells where the opponent would win next: any other move loses,
            // and with two of them every move does.
            int threats = 0;
            Move threat = kSwapMove;
            for (const Move move : moves) {
                if (move == kSwapMove || !position.wouldWin(move, havannah::opponent(mover))) continue;
                ++threats;
                threat = move;
            }
            if (threats > 0) {
                for (std::size_t i = 0; i < moves.size(); ++i) {
                    const bool blocks = threats == 1 && moves[i] == threat;
                    if (!blocks) arena[first + static_cast<NodeIndex>(i)].prove(Proof::Loss);
                }
                if (threats > 1) nodeProof = Proof::Win;
            }
        }
    }
    node.childCount = static_cast<std::uint16_t>(moves.size());
    node.firstChild.store(first, std::memory_order_release);
    if (nodeProof != Proof::Unknown) node.prove(nodeProof);
    return true;
}

NodeIndex Engine::followingNode(const Position& position) const {
    if (!position_ || root_ == kNoNode || position.base() != position_->base()) return kNoNode;
    const int depth = position.movesPlayed() - position_->movesPlayed();
    if (depth < 0 || depth > 6) return kNoNode;
    const int cells = position.topology().cellCount();
    const auto same = [&](const Position& p) {
        if (p.toMove() != position.toMove()) return false;
        for (Cell cell = 0; cell < cells; ++cell)
            if (p.at(cell) != position.at(cell)) return false;
        return true;
    };
    // Depth-first along moves whose stones stand on the new position. The
    // first stone may stand there in the other colour, handed over by a
    // swap.
    const std::function<NodeIndex(NodeIndex, const Position&, int)> search = [&](NodeIndex index, const Position& at,
                                                                                 int left) -> NodeIndex {
        if (left == 0) return same(at) ? index : kNoNode;
        const Node& node = (*arena_)[index];
        if (!node.expanded()) return kNoNode;
        const Stone own = havannah::stoneOf(at.toMove());
        const NodeIndex first = node.firstChild.load(std::memory_order_acquire);
        for (NodeIndex i = 0; i < node.childCount; ++i) {
            const Node& child = (*arena_)[first + i];
            if (child.move != kSwapMove) {
                const Stone stone = position.at(child.move);
                if (stone != own && (at.movesPlayed() > 0 || stone == Stone::Empty)) continue;
            }
            Position next = at;
            apply(next, child.move);
            const NodeIndex found = search(first + i, next, left - 1);
            if (found != kNoNode) return found;
        }
        return kNoNode;
    };
    return search(root_, *position_, depth);
}

void Engine::keepSubtree(NodeIndex newRoot) {
    const NodeArena& old = *arena_;
    const std::size_t half = old.capacity() / 2;
    const std::size_t budget = options_.keptNodes > 0 ? std::min(options_.keptNodes, half) : half;
    // The fewest visits a node needs to keep its children so that the kept
    // tree fits in half the arena.
    const auto keptSize = [&](std::uint32_t minVisits) {
        std::size_t size = 1;
        std::vector<NodeIndex> stack{newRoot};
        while (!stack.empty() && size <= budget) {
            const Node& node = old[stack.back()];
            stack.pop_back();
            if (!node.expanded() || node.visits.load() < minVisits) continue;
            size += node.childCount;
            const NodeIndex first = node.firstChild.load();
            for (NodeIndex i = 0; i < node.childCount; ++i) stack.push_back(first + i);
        }
        return size;
    };
    std::uint32_t minVisits = 1;
    while (keptSize(minVisits) > budget) minVisits *= 2;

    // The kept nodes are read out breadth first (each node's children
    // together, in the order of their parents), then written back from the
    // start of the same arena. Its memory is reused, not freed and taken
    // again: freeing a big tree costs start() time in proportion to its size,
    // and two trees at once would double the memory.
    struct Saved {
        std::int16_t move;
        std::uint32_t visits, wins, raveVisits, raveWins;
        Proof proof;
        std::uint16_t childCount;  // 0 when its children are not kept
    };
    const auto save = [](const Node& node, std::uint16_t children) {
        return Saved{node.move,          node.visits.load(),    node.wins.load(), node.raveVisits.load(),
                     node.raveWins.load(), node.proof.load(), children};
    };
    std::vector<NodeIndex> order{newRoot};
    std::vector<Saved> saved;
    for (std::size_t head = 0; head < order.size(); ++head) {
        const Node& node = old[order[head]];
        const bool keepChildren = node.expanded() && node.visits.load() >= minVisits;
        saved.push_back(save(node, keepChildren ? node.childCount : 0));
        if (!keepChildren) continue;
        const NodeIndex first = node.firstChild.load();
        for (NodeIndex i = 0; i < node.childCount; ++i) order.push_back(first + i);
    }

    NodeArena& arena = *arena_;
    arena.clear();
    std::vector<NodeIndex> at(saved.size(), kNoNode);
    at[0] = arena.allocate(1);
    const auto restore = [&](std::size_t k) {
        Node& node = arena[at[k]];
        node.reset(saved[k].move);
        node.visits.store(saved[k].visits);
        node.wins.store(saved[k].wins);
        node.raveVisits.store(saved[k].raveVisits);
        node.raveWins.store(saved[k].raveWins);
        node.proof.store(saved[k].proof);
        refresh(node, options_.settings.selection);
    };
    restore(0);
    std::size_t next = 1;  // the first child of the next node with children
    for (std::size_t k = 0; k < saved.size(); ++k) {
        const std::uint16_t count = saved[k].childCount;
        if (count == 0) continue;
        const NodeIndex first = at[k] == kNoNode ? kNoNode : arena.allocate(count);
        if (first != kNoNode) {
            for (std::uint16_t i = 0; i < count; ++i) {
                at[next + i] = first + i;
                restore(next + i);
            }
            arena[at[k]].childCount = count;
            arena[at[k]].firstChild.store(first);
        }
        next += count;
    }
    const NodeIndex root = at[0];
    // A proof made when the node's parent got its children (the win checks)
    // comes without children of its own: the new root gets them again and
    // with them the move that carries the proof.
    if (!arena[root].expanded()) arena[root].proof.store(Proof::Unknown);
    root_ = root;
}

Snapshot Engine::snapshot(std::size_t maxMoves) const {
    const std::lock_guard lock(structure_);
    Snapshot snap;
    snap.running = active_.load() > 0;
    snap.nodes = arena_->used();
    snap.nodeCapacity = arena_->capacity();
    if (!position_ || root_ == kNoNode) return snap;
    const NodeArena& arena = *arena_;
    const Node& root = arena[root_];
    snap.toMove = position_->toMove();
    snap.playouts = playouts_.load();
    const Proof rootProof = root.proof.load();
    if (position_->isWon())
        snap.provenWinner = position_->winner();
    else if (rootProof == Proof::Win)
        snap.provenWinner = havannah::opponent(snap.toMove);
    else if (rootProof == Proof::Loss)
        snap.provenWinner = snap.toMove;
    if (snap.provenWinner && !position_->isWon()) snap.provenLine = provenLine_;
    if (!root.expanded()) {
        // Proven by the solver before the root had children: the line's
        // first move is the one candidate.
        if (snap.provenLine.empty() || maxMoves == 0) return snap;
        const bool wins = snap.provenWinner == snap.toMove;
        snap.moves.push_back({snap.provenLine.front(), 0, wins ? 1.0 : 0.0, wins, snap.provenLine});
        if (wins)
            snap.winningMoves = {snap.provenLine.front()};
        else
            snap.winningMoves = immediateWins(*position_, *snap.provenWinner);
        if (snap.winningMoves.empty() && snap.provenLine.size() > 1) snap.winningMoves = {snap.provenLine[1]};
        return snap;
    }

    // The search threads go on changing visits and proofs while this runs:
    // each child's values are read once, and the copies are sorted, so the
    // order stays consistent (a comparison reading live values could break
    // the sort's ordering and send it past the end).
    struct Ranked {
        const Node* node;
        int order;  // proven win 3, open 2, proven loss that blocks 1, other proven loss 0
        std::uint32_t visits;
        Proof proof;
    };
    // Among moves that lose anyway, those that take a cell where the
    // opponent would win next hold out longest; then the most searched.
    std::vector<Move> threats;
    bool threatsKnown = false;
    std::vector<Ranked> ranked;
    for (const Node& child : arena.children(root)) {
        const std::uint32_t visits = child.visits.load();
        const Proof proof = child.proof.load();
        if (visits == 0 && proof == Proof::Unknown) continue;
        int order = proof == Proof::Win ? 3 : proof == Proof::Loss ? 0 : 2;
        if (proof == Proof::Loss) {
            if (!threatsKnown) threats = immediateWins(*position_, havannah::opponent(snap.toMove));
            threatsKnown = true;
            order = std::binary_search(threats.begin(), threats.end(), Move{child.move}) ? 1 : 0;
        }
        ranked.push_back({&child, order, visits, proof});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        return std::pair{a.order, a.visits} > std::pair{b.order, b.visits};
    });

    // A proven line leads with its first move, a win or the longest
    // defence known, and gives that candidate its line; but a search that
    // holds out leads with the most searched open move, if it has one.
    const bool holdingOut = options_.settings.holdOut && !ranked.empty() && ranked.front().order == 2;
    if (!snap.provenLine.empty() && !(holdingOut && snap.provenWinner != snap.toMove)) {
        const Move first = snap.provenLine.front();
        const auto found = std::find_if(ranked.begin(), ranked.end(), [&](const Ranked& entry) { return entry.node->move == first; });
        if (found != ranked.end()) {
            std::rotate(ranked.begin(), found, found + 1);
        } else {
            for (const Node& child : arena.children(root))
                if (child.move == first) ranked.insert(ranked.begin(), Ranked{&child, 0, child.visits.load(), child.proof.load()});
        }
    }
    if (snap.provenWinner == snap.toMove) {
        for (const Ranked& entry : ranked)
            if (entry.proof == Proof::Win) snap.winningMoves.push_back(entry.node->move);
    } else if (snap.provenWinner) {
        if (!threatsKnown) threats = immediateWins(*position_, *snap.provenWinner);
        snap.winningMoves = threats;
    }
    if (ranked.size() > maxMoves) ranked.resize(maxMoves);
    for (const Ranked& entry : ranked) {
        const Node* child = entry.node;
        Candidate candidate;
        candidate.move = child->move;
        candidate.visits = entry.visits;
        const Proof proof = entry.proof;
        if (proof != Proof::Unknown) candidate.proven = proof == Proof::Win;
        candidate.winRate = proof == Proof::Win    ? 1.0
                            : proof == Proof::Loss ? 0.0
                            : candidate.visits > 0 ? child->wins.load() / double{kWinPoints} / candidate.visits
                                                   : 0.5;
        for (const Node* step = child; step != nullptr && candidate.pv.size() < kPvLength;) {
            candidate.pv.push_back(step->move);
            step = bestChild(arena, *step);
            if (step != nullptr && step->visits.load() == 0 && step->proof.load() == Proof::Unknown) break;
        }
        snap.moves.push_back(std::move(candidate));
    }
    if (!snap.moves.empty() && !snap.provenLine.empty() && snap.moves.front().move == snap.provenLine.front())
        snap.moves.front().pv = snap.provenLine;
    // A loss proven deeper: the winner's answer to the move that holds out
    // longest.
    if (snap.provenWinner && *snap.provenWinner != snap.toMove && snap.winningMoves.empty() && !holdingOut && snap.pv().size() > 1)
        snap.winningMoves.push_back(snap.pv()[1]);
    return snap;
}

std::optional<Move> Engine::bestMove() const {
    const Snapshot snap = snapshot(1);
    if (snap.moves.empty()) return std::nullopt;
    return snap.moves.front().move;
}

}  // namespace tarnwick::engine
