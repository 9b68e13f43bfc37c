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
    value.store(0, std::memory_order_relaxed);
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

// The node's value without the exploration term.
double exploitation(const Node& node, const SelectionSettings& settings) {
    const bool rave = settings.rave;
    return mixedValue(static_cast<float>(node.visits.load(std::memory_order_relaxed)),
                      static_cast<float>(node.wins.load(std::memory_order_relaxed)),
                      rave ? static_cast<float>(node.raveVisits.load(std::memory_order_relaxed)) : 0.0F,
                      rave ? static_cast<float>(node.raveWins.load(std::memory_order_relaxed)) : 0.0F,
                      static_cast<float>(settings.raveBias * 4), static_cast<float>(settings.firstPlay));
}

// The child of highest value by `value`: a proven win at once, a proven
// loss only when nothing else is left (values are never below 0).
template <typename Value>
Node& bestBy(std::span<Node> children, Value value) {
    Node* best = nullptr;
    double bestValue = -2;
    for (Node& child : children) {
        const Proof proof = child.proof.load(std::memory_order_relaxed);
        if (proof == Proof::Win) return child;
        const double v = proof == Proof::Loss ? -1.0 : value(child);
        if (v > bestValue) {
            bestValue = v;
            best = &child;
        }
    }
    return *best;
}

// Selection values of proven nodes: a win above every result, a loss
// below.
float proofValue(Proof proof) { return proof == Proof::Win ? 2.0F : proof == Proof::Loss ? -1.0F : 0.0F; }

}  // namespace

void Node::prove(Proof newProof) {
    proof.store(newProof, std::memory_order_relaxed);
    value.store(proofValue(newProof), std::memory_order_relaxed);
}

void refresh(Node& node, const SelectionSettings& settings) {
    // A proof stored by another thread between the check and the store can
    // be overwritten here; the next refresh of the node, on its next visit,
    // puts it back, and the proof itself stays.
    const Proof proof = node.proof.load(std::memory_order_relaxed);
    const float value = proof != Proof::Unknown ? proofValue(proof) : static_cast<float>(exploitation(node, settings));
    node.value.store(value, std::memory_order_relaxed);
}

double childValue(const Node& child, double logParentVisits, const SelectionSettings& settings) {
    double value = exploitation(child, settings);
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
        return bestBy(children, [&](const Node& child) { return childValue(child, logVisits, settings); });
    }
    // Without exploration the value depends on the child alone: the one
    // stored when its statistics or proof last changed. The first of the
    // highest is taken, so a proven win still comes before anything else
    // and a proven loss after.
    Node* best = &children.front();
    float bestValue = best->value.load(std::memory_order_relaxed);
    for (Node& child : children.subspan(1)) {
        const float value = child.value.load(std::memory_order_relaxed);
        if (value > bestValue) {
            bestValue = value;
            best = &child;
        }
    }
    return *best;
}

void recordResult(std::span<Node* const> path, std::uint32_t rootPoints, const SelectionSettings& settings) {
    // The root's move was the opponent's; the players alternate down the path.
    for (std::size_t depth = 0; depth < path.size(); ++depth) {
        const std::uint32_t points = depth % 2 == 1 ? rootPoints : kWinPoints - rootPoints;
        path[depth]->wins.fetch_add(points, std::memory_order_relaxed);
        refresh(*path[depth], settings);
    }
}

void propagateProof(NodeArena& arena, std::span<Node* const> path) {
    for (std::size_t i = path.size() - 1; i > 0; --i) {
        Node& child = *path[i];
        Node& parent = *path[i - 1];
        const Proof proof = child.proof.load(std::memory_order_relaxed);
        if (proof == Proof::Win) {
            parent.prove(Proof::Loss);
            continue;
        }
        if (proof != Proof::Loss || !parent.expanded()) return;
        const auto children = arena.children(parent);
        if (!std::all_of(children.begin(), children.end(),
                         [](const Node& c) { return c.proof.load(std::memory_order_relaxed) == Proof::Loss; }))
            return;
        parent.prove(Proof::Win);
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
