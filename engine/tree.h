// The game-independent half of the search: node statistics kept in a flat
// arena shared by the search threads, child selection by UCT with
// all-moves-as-first (RAVE) values, back-up of results, and proofs (a move
// that wins or loses whatever follows) carried up the tree.
//
// A node stands for the position after its move. Its statistics are seen
// from the player who made that move: `wins` counts that player's results.
// Players alternate strictly (a swap is a move too), so who made a node's
// move follows from its depth.
//
// Threads share one tree without locks. A thread going down adds one visit
// to each node on its way before the result is known, which counts as a
// loss until the back-up adds the result (a virtual loss): other threads
// then prefer other branches. Children are made once, by the thread that
// wins the claim on the node, and published with a release store.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <span>
#include <vector>

namespace tarnwick::engine {

using NodeIndex = std::uint32_t;
inline constexpr NodeIndex kNoNode = 0xffffffffU;
// firstChild while one thread makes the children.
inline constexpr NodeIndex kExpanding = 0xfffffffeU;

// A proof, from the player who made the node's move: Win when that move wins
// whatever the opponent does, Loss when it loses whatever that player does.
enum class Proof : std::uint8_t { Unknown, Win, Loss };

// A result for one player: 2 a win, 1 a draw, 0 a loss (half-points keep
// the counters integers).
inline constexpr std::uint32_t kWinPoints = 2;

struct Node {
    std::atomic<std::uint32_t> visits{0};  // including those still in flight
    std::atomic<std::uint32_t> wins{0};    // half-points
    std::atomic<std::uint32_t> raveVisits{0};
    std::atomic<std::uint32_t> raveWins{0};
    std::atomic<NodeIndex> firstChild{kNoNode};
    std::uint16_t childCount = 0;  // written before firstChild is published
    std::int16_t move = 0;         // the game's move number for this node
    std::atomic<Proof> proof{Proof::Unknown};
    // The value selection ranks the node by (without exploration), worked
    // out by refresh() whenever the statistics above change: a playout
    // changes a few dozen nodes but selection reads hundreds, so the
    // arithmetic is done on the writing side. A proof sets it beyond the
    // range of results (above for a win, below for a loss), so that
    // selection reads this one number a child.
    std::atomic<float> value{0};

    // Resets a node taken from the arena for a move.
    void reset(std::int16_t newMove);
    // Proves the node, its value with it.
    void prove(Proof newProof);
    bool expanded() const {
        const NodeIndex first = firstChild.load(std::memory_order_acquire);
        return first != kNoNode && first != kExpanding;
    }
};

// Nodes in chunks allocated on demand up to a fixed number of bytes; a block
// of children never spans two chunks, so children are contiguous. Indices
// stay valid until clear(). allocate() is safe from any thread.
class NodeArena {
  public:
    explicit NodeArena(std::size_t maxBytes);

    // The first index of `count` fresh nodes (as a default Node, to be
    // reset() by the caller), or kNoNode when the arena is full (the caller
    // then does without).
    NodeIndex allocate(std::size_t count);
    Node& operator[](NodeIndex index) { return chunk(index)[index & kChunkMask]; }
    const Node& operator[](NodeIndex index) const { return chunk(index)[index & kChunkMask]; }
    std::span<Node> children(const Node& node) { return {&(*this)[node.firstChild.load(std::memory_order_acquire)], node.childCount}; }
    std::span<const Node> children(const Node& node) const {
        return {&(*this)[node.firstChild.load(std::memory_order_acquire)], node.childCount};
    }

    std::size_t used() const { return next_.load(std::memory_order_relaxed); }
    std::size_t capacity() const { return capacity_; }
    // Bytes of node memory allocated so far.
    std::size_t bytes() const;
    // Forgets every node; only while no thread uses the arena.
    void clear();

    static constexpr unsigned kChunkBits = 16;
    static constexpr std::size_t kChunkSize = std::size_t{1} << kChunkBits;
    static constexpr std::size_t kChunkMask = kChunkSize - 1;

  private:
    Node* chunk(NodeIndex index) const { return std::launder(reinterpret_cast<Node*>(chunks_[index >> kChunkBits].get())); }

    std::size_t capacity_;
    // Sized once; each chunk's memory is taken on demand and left
    // uninitialised, its nodes made as they are handed out: building a whole
    // chunk up front would write every node twice, the second time after
    // the first write had left the cache.
    std::vector<std::unique_ptr<std::byte[]>> chunks_;
    mutable std::mutex mutex_;            // for allocate() and clear()
    std::atomic<std::size_t> next_{0};  // read without the lock by used()
};

struct SelectionSettings {
    double exploration = 0.0;  // UCT constant; RAVE does most of the exploring
    // How soon real results outweigh RAVE ones: b squared in the weight
    // beta = r / (r + n + 4 b^2 r n) of r RAVE and n real playouts.
    double raveBias = 0.00005;
    bool rave = true;
    // Value of a child without any statistics, real or RAVE.
    double firstPlay = 0.6;
};

// The value of RAVE and real results mixed, beta (raveWins / raveVisits) +
// (1 - beta) (wins / visits), the weight of the RAVE value falling as real
// visits grow (Silver's minimum-error schedule, beta = r / (r + n +
// raveWeight r n), raveWeight = 4 b^2), brought over one denominator: one
// division instead of three. Wins in half-points.
inline float mixedValue(float visits, float winPoints, float raveVisits, float raveWinPoints, float raveWeight,
                        float firstPlay) {
    constexpr float kHalf = 1.0F / kWinPoints;
    if (raveVisits > 0) {
        const float scaled = raveVisits * raveWeight;
        return (raveWinPoints + winPoints * (1 + scaled)) * kHalf / (raveVisits + visits + scaled * visits);
    }
    return visits > 0 ? winPoints * kHalf / visits : firstPlay;
}

// Works out the node's stored value again from its statistics.
void refresh(Node& node, const SelectionSettings& settings);

// Adds a RAVE result (half-points) to the node and its value. A plain load
// and store, not an atomic add: a playout updates dozens of siblings at
// every level, and locked adds would cost more than the rest of the update.
// Another thread's update of the same node in between is lost, which the
// statistics bear.
inline void addRaveResult(Node& node, std::uint32_t points, float raveWeight, float firstPlay) {
    const std::uint32_t raveVisits = node.raveVisits.load(std::memory_order_relaxed) + 1;
    const std::uint32_t raveWins = node.raveWins.load(std::memory_order_relaxed) + points;
    node.raveVisits.store(raveVisits, std::memory_order_relaxed);
    node.raveWins.store(raveWins, std::memory_order_relaxed);
    // A proven node keeps the value of its proof.
    if (node.proof.load(std::memory_order_relaxed) != Proof::Unknown) return;
    node.value.store(mixedValue(static_cast<float>(node.visits.load(std::memory_order_relaxed)),
                                static_cast<float>(node.wins.load(std::memory_order_relaxed)), static_cast<float>(raveVisits),
                                static_cast<float>(raveWins), raveWeight, firstPlay),
                     std::memory_order_relaxed);
}

// The child to go down to: a proven win at once, never a proven loss while
// another child remains, otherwise the best value plus exploration. The
// parent must be expanded with at least one child.
Node& selectChild(NodeArena& arena, const Node& parent, const SelectionSettings& settings);

// The value a child is selected by, from the player choosing it.
double childValue(const Node& child, double logParentVisits, const SelectionSettings& settings);

// Adds a finished playout to the nodes of `path` (path[0] the root; their
// visits were added on the way down): `rootPoints` is the result of the
// player to move at the root, in half-points.
void recordResult(std::span<Node* const> path, std::uint32_t rootPoints, const SelectionSettings& settings);

// Proves `path` upwards after its last node was proven: a child that wins
// makes its parent a loss for the player who moved into the parent; a parent
// whose children all lose is a win. Stops at the first node left unproven.
// path[0] is the root.
void propagateProof(NodeArena& arena, std::span<Node* const> path);

// The most visited child, preferring a proven win and avoiding proven
// losses; nullptr for a leaf.
const Node* bestChild(const NodeArena& arena, const Node& node);

}  // namespace tarnwick::engine
