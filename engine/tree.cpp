#include "engine/tree.h"

#include <algorithm>
#include <cmath>

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
    const std::lock_guard lock(mutex_);
    std::size_t first = next_.load(std::memory_order_relaxed);
    if ((first >> kChunkBits) != ((first + count - 1) >> kChunkBits)) first = ((first >> kChunkBits) + 1) << kChunkBits;
    if (first + count > capacity_) return kNoNode;
    auto& chunk = chunks_[first >> kChunkBits];
    if (!chunk) chunk = std::make_unique<Node[]>(kChunkSize);
    next_.store(first + count, std::memory_order_relaxed);
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

double childValue(const Node& child, double logParentVisits, const SelectionSettings& settings) {
    const double visits = child.visits.load(std::memory_order_relaxed);
    const double wins = child.wins.load(std::memory_order_relaxed) / double{kWinPoints};
    const double raveVisits = settings.rave ? child.raveVisits.load(std::memory_order_relaxed) : 0.0;
    const double raveWins = child.raveWins.load(std::memory_order_relaxed) / double{kWinPoints};
    double value = settings.firstPlay;
    if (raveVisits > 0) {
        // The weight of the RAVE value falls as real visits grow (Silver's
        // minimum-error schedule).
        const double beta = raveVisits / (raveVisits + visits + raveVisits * visits * settings.raveBias * 4);
        const double real = visits > 0 ? wins / visits : 0.0;
        value = beta * (raveWins / raveVisits) + (1 - beta) * real;
    } else if (visits > 0) {
        value = wins / visits;
    }
    if (settings.exploration > 0) value += settings.exploration * std::sqrt(logParentVisits / (visits + 1));
    return value;
}

Node& selectChild(NodeArena& arena, const Node& parent, const SelectionSettings& settings) {
    const std::span<Node> children = arena.children(parent);
    const double logVisits = std::log(double(parent.visits.load(std::memory_order_relaxed)) + 1);
    Node* best = nullptr;
    double bestValue = -1e300;
    for (Node& child : children) {
        const Proof proof = child.proof.load(std::memory_order_relaxed);
        if (proof == Proof::Win) return child;
        const double value = proof == Proof::Loss ? -1e200 : childValue(child, logVisits, settings);
        if (value > bestValue) {
            bestValue = value;
            best = &child;
        }
    }
    return *best;
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
