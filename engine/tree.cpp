#include "engine/tree.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace tarnwick::engine {

void Node::reset(std::int16_t newMove) {
    visits.store(0, std::memory_order_relaxed);
    wins.store(0, std::memory_order_relaxed);
    raveVisits.store(0, std::memory_order_relaxed);
    raveWins.store(0, std::memory_order_relaxed);
    firstChild.store(kNoNode, std::memory_order_relaxed);
    childCount = 0;
    move = newMove;
    proof.store(Proof::Unknown, std::memory_order_relaxed);
}

NodeArena::NodeArena(std::size_t maxBytes)
    : capacity_(std::max<std::size_t>(maxBytes / sizeof(Node), 1)),
      chunks_((capacity_ + kChunkSize - 1) / kChunkSize) {}

NodeIndex NodeArena::allocate(std::size_t count) {
    if (count == 0 || count > kChunkSize) return kNoNode;
    std::size_t first = 0;
    {
        const std::lock_guard lock(mutex_);
        first = next_.load(std::memory_order_relaxed);
        if ((first >> kChunkBits) != ((first + count - 1) >> kChunkBits)) first = ((first >> kChunkBits) + 1) << kChunkBits;
        if (first + count > capacity_) return kNoNode;
        auto& memory = chunks_[first >> kChunkBits];
        if (!memory) memory = std::make_unique_for_overwrite<std::byte[]>(kChunkSize * sizeof(Node));
        next_.store(first + count, std::memory_order_relaxed);
    }
    // The block is this thread's alone now; its nodes are made outside the lock.
    static_assert(std::is_trivially_destructible_v<Node>, "nodes are never destroyed, only overwritten");
    Node* nodes = chunk(static_cast<NodeIndex>(first)) + (first & kChunkMask);
    for (std::size_t i = 0; i < count; ++i) new (nodes + i) Node();
    return static_cast<NodeIndex>(first);
}

std::size_t NodeArena::bytes() const {
    const std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count_if(chunks_.begin(), chunks_.end(), [](const auto& c) { return c != nullptr; })) *
           kChunkSize * sizeof(Node);
}

void NodeArena::clear() {
    const std::lock_guard lock(mutex_);
    next_.store(0, std::memory_order_relaxed);
}

namespace {

// A value as a fraction with a positive denominator: selection compares
// values by cross-multiplying, without dividing, since it values every
// child of every node on the way down and a division costs several
// multiplications.
struct Fraction {
    double num;
    double den;
};

// The child's value without the exploration term: RAVE and real results
// mixed, beta (raveWins / raveVisits) + (1 - beta) (wins / visits), the
// weight of the RAVE value falling as real visits grow (Silver's
// minimum-error schedule, beta = r / (r + n + raveWeight r n) with
// raveWeight = 4 b^2), brought over one denominator.
inline Fraction exploitation(const Node& child, bool rave, double raveWeight, double firstPlay) {
    const double visits = child.visits.load(std::memory_order_relaxed);
    const double wins = child.wins.load(std::memory_order_relaxed) * (1.0 / kWinPoints);
    const double raveVisits = rave ? child.raveVisits.load(std::memory_order_relaxed) : 0.0;
    if (raveVisits > 0) {
        const double raveWins = child.raveWins.load(std::memory_order_relaxed) * (1.0 / kWinPoints);
        const double scaled = raveVisits * raveWeight;
        return {raveWins + wins * (1 + scaled), raveVisits + visits + scaled * visits};
    }
    return visits > 0 ? Fraction{wins, visits} : Fraction{firstPlay, 1};
}

// The child of highest value: a proven win at once, a proven loss only when
// nothing else is left (values are never below 0). Inlined with each way of
// valuing, so that the loop over the children carries no test of the
// settings.
template <typename Value>
Node& bestBy(std::span<Node> children, Value value) {
    Node* best = nullptr;
    Fraction bestValue{-2, 1};
    for (Node& child : children) {
        const Proof proof = child.proof.load(std::memory_order_relaxed);
        if (proof == Proof::Win) return child;
        const Fraction v = proof == Proof::Loss ? Fraction{-1, 1} : value(child);
        if (v.num * bestValue.den > bestValue.num * v.den) {
            bestValue = v;
            best = &child;
        }
    }
    return *best;
}

}  // namespace

double childValue(const Node& child, double logParentVisits, const SelectionSettings& settings) {
    const Fraction mixed = exploitation(child, settings.rave, settings.raveBias * 4, settings.firstPlay);
    double value = mixed.num / mixed.den;
    if (settings.exploration > 0) {
        const double visits = child.visits.load(std::memory_order_relaxed);
        value += settings.exploration * std::sqrt(logParentVisits / (visits + 1));
    }
    return value;
}

Node& selectChild(NodeArena& arena, const Node& parent, const SelectionSettings& settings) {
    const std::span<Node> children = arena.children(parent);
    if (settings.exploration > 0) {
        const double logVisits = std::log(double(parent.visits.load(std::memory_order_relaxed)) + 1);
        return bestBy(children, [&](const Node& child) { return Fraction{childValue(child, logVisits, settings), 1}; });
    }
    const double raveWeight = settings.raveBias * 4;
    const double firstPlay = settings.firstPlay;
    if (settings.rave)
        return bestBy(children, [=](const Node& child) { return exploitation(child, true, raveWeight, firstPlay); });
    return bestBy(children, [=](const Node& child) { return exploitation(child, false, raveWeight, firstPlay); });
}

void recordResult(std::span<Node* const> path, std::uint32_t rootPoints) {
    // The root's move was the opponent's; the players alternate down the path.
    for (std::size_t depth = 0; depth < path.size(); ++depth) {
        const std::uint32_t points = depth % 2 == 1 ? rootPoints : kWinPoints - rootPoints;
        path[depth]->wins.fetch_add(points, std::memory_order_relaxed);
    }
}

void propagateProof(NodeArena& arena, std::span<Node* const> path) {
    for (std::size_t i = path.size() - 1; i > 0; --i) {
        Node& child = *path[i];
        Node& parent = *path[i - 1];
        const Proof proof = child.proof.load(std::memory_order_relaxed);
        if (proof == Proof::Win) {
            parent.proof.store(Proof::Loss, std::memory_order_relaxed);
            continue;
        }
        if (proof != Proof::Loss || !parent.expanded()) return;
        const auto children = arena.children(parent);
        if (!std::all_of(children.begin(), children.end(),
                         [](const Node& c) { return c.proof.load(std::memory_order_relaxed) == Proof::Loss; }))
            return;
        parent.proof.store(Proof::Win, std::memory_order_relaxed);
    }
}

const Node* bestChild(const NodeArena& arena, const Node& node) {
    if (!node.expanded()) return nullptr;
    const Node* best = nullptr;
    const auto rank = [](const Node& c) {
        const Proof proof = c.proof.load(std::memory_order_relaxed);
        // Proven wins first, proven losses last, visits between.
        const int tier = proof == Proof::Win ? 2 : proof == Proof::Loss ? 0 : 1;
        return std::pair{tier, c.visits.load(std::memory_order_relaxed)};
    };
    for (const Node& child : arena.children(node))
        if (best == nullptr || rank(child) > rank(*best)) best = &child;
    return best;
}

}  // namespace tarnwick::engine
