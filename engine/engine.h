// The analysis engine: Monte-Carlo tree search for Havannah on threads of
// its own, seen from outside through an asynchronous face.
//
//   Engine engine(options);
//   engine.start(position);          // searches in the background
//   Snapshot now = engine.snapshot(); // from any thread, at any time
//   engine.stop();                   // returns once the threads have ended
//
// start() on a position that follows from the previous search's position
// (the same stones plus moves made since, a swap included) keeps the
// subtree of what was played. The tree lives in an arena of bounded size:
// past half full, leaves need more visits before they get children; when
// full, the search goes on without growing the tree; and on the next start
// the kept part is cut back to half the arena, least visited branches
// first (the copy briefly needs that half beside the old arena).
//
// Thread count, random seed and clock are given in Options: with one
// thread and a playout limit a search is deterministic and never waits on
// the clock. The destructor stops the search.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/playout.h"
#include "engine/solver.h"
#include "engine/tree.h"
#include "havannah/position.h"

namespace tarnwick::engine {

// A move: a cell of the board, or the swap.
using Move = int;
inline constexpr Move kSwapMove = -2;
// "E5", or "swap".
std::string moveName(const havannah::Topology& topology, Move move);

using Clock = std::function<std::chrono::steady_clock::time_point()>;

struct SearchSettings {
    SelectionSettings selection;
    PlayoutSettings playout;
    // Win checks when a node gets its children (an immediate win, the one
    // cell that stops the opponent's immediate win), and proofs carried up
    // the tree.
    bool solver = true;
    // The proof-number solver (engine/solver.h) in turns with the first
    // thread's playouts: after every `proofInterval` playouts that thread
    // gives the solver `proofNodes` nodes, on the root and, every other
    // turn, on one of the three most visited children. What it proves is
    // marked on the tree, and the line of a proven root is kept for the
    // snapshot. Counted in nodes, not time, so that a search on one thread
    // with a playout limit stays repeatable.
    bool proofSearch = true;
    std::uint32_t proofInterval = 1024;
    std::uint32_t proofNodes = 200;
    // With two threads or more, the first gives all its time to the solver
    // instead (slices of `proofNodes`), and plays no playouts.
    bool proofThread = false;
    // When the side to move is proven lost, the search goes on among the
    // moves not yet proven lost, and the most searched of them is played:
    // the try most likely to hold out against an opponent who may miss the
    // win. Without it a proven root ends the search at once and the
    // snapshot leads with the longest defence the proof knows.
    bool holdOut = false;
    // A leaf gets its children on this visit. Each expansion makes a node
    // for every empty cell and runs the win checks on all of them: on the
    // second visit that was most of a playout's cost. On the fourth the
    // search is somewhat weaker for the same number of playouts but runs
    // about a third faster, which in matches at equal time makes up for it.
    std::uint32_t expandAfter = 4;
    // New children start with RAVE statistics that favour cells next to a
    // stone (of either player) over cells far from the fight: this many
    // virtual RAVE playouts, won at the given rates. The swap starts at
    // what the first stone is worth to its owner.
    std::uint32_t priorPlayouts = 20;
    double nearRate = 0.6;
    double farRate = 0.4;
};

// The smaller of 1 GiB and a quarter of the machine's memory.
std::size_t defaultTreeBytes();
// The threads a search takes unless told otherwise: every hardware thread
// but one, which the window keeps for itself.
int defaultThreads();

struct Options {
    int threads = 1;
    std::uint64_t seed = 1;
    // The search's memory: with the proof search on, an eighth of it goes
    // to the solver's table and the rest to the tree.
    std::size_t treeBytes = defaultTreeBytes();
    // At most this many nodes of the old tree are kept by a start that
    // follows on from the previous search (0: up to half the arena). The
    // copy is made inside start(), so a caller that must answer at once
    // (a window) keeps it small.
    std::size_t keptNodes = 0;
    Clock clock = [] { return std::chrono::steady_clock::now(); };
    SearchSettings settings;
};

// When a search ends by itself; zero means no limit. A search also ends
// when its position is proven.
struct Limits {
    std::uint64_t playouts = 0;
    std::chrono::nanoseconds time{0};
};

struct Candidate {
    Move move = 0;
    std::uint32_t visits = 0;
    double winRate = 0;  // for the player to move
    std::optional<bool> proven;  // true: the move wins; false: it loses
    std::vector<Move> pv;        // this move first
};

struct Snapshot {
    havannah::Player toMove = havannah::Player::Black;
    std::uint64_t playouts = 0;  // in this search
    // Proven wins first, then open moves by visits, then proven losses: a
    // loss that takes a cell where the opponent would win next ahead of
    // one that does not, then by visits. So in a lost position the first
    // is the move that holds out longest. When the proof search has a
    // proven line, its first move leads, with the line as its pv.
    std::vector<Candidate> moves;
    // Set when the position is won on the board or proven by the search.
    std::optional<havannah::Player> provenWinner;
    // The cells with which the proven winner wins, for saying so: when the
    // side to move wins, every move proven to win (all of them, however
    // many candidates were asked for); when it loses, the opponent's
    // immediate wins if it has any, else the opponent's answer to the first
    // candidate in its line when known (a deeper loss). Empty when nothing
    // is proven or the game is already won on the board.
    std::vector<Move> winningMoves;
    // The proven line when the proof search found it: the winner's moves and
    // the loser's longest defence, ending with the winning stone; its size
    // is the win's length in moves ("wins by force in 7 moves: E5 F6 ...").
    // Empty when unknown.
    std::vector<Move> provenLine;
    bool running = false;
    std::size_t nodes = 0;
    std::size_t nodeCapacity = 0;
    // The principal variation: the first candidate's.
    const std::vector<Move>& pv() const;
};

class Engine {
  public:
    explicit Engine(Options options = {});
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Stops any search and starts one on `position`.
    void start(const havannah::Position& position, Limits limits = {});
    // Ends the search and joins its threads; returns within a few
    // milliseconds. Safe from any thread, and when nothing runs.
    void stop();
    // Waits until the search ends by its limits or a proof.
    void wait();
    // The state of the search, up to `maxMoves` candidates.
    Snapshot snapshot(std::size_t maxMoves = 8) const;
    // The move the search recommends; nothing when there is no search or no
    // move.
    std::optional<Move> bestMove() const;

    const Options& options() const { return options_; }

  private:
    struct Worker;
    void run(Worker& worker, bool proving);
    // One turn of the proof search: the root, or one of the most visited
    // children.
    void proveSlice(std::uint64_t turn);
    // The line of a root proven without one, for the snapshot.
    void proveLine();
    void iterate(Worker& worker, bool holding);
    // Whether a search of a root proven lost for its side to move goes on.
    bool holdsOut(const Node& root) const;
    bool expand(Node& node, const havannah::Position& position, Worker& worker);
    void updateRave(std::span<Node* const> path, const havannah::Position& final);
    // The node reached from the root by the moves that lead from the old
    // root position to `position`, if the tree holds them.
    NodeIndex followingNode(const havannah::Position& position) const;
    void keepSubtree(NodeIndex newRoot);
    void joinThreads();

    Options options_;
    std::unique_ptr<NodeArena> arena_;
    // Used by the first thread alone.
    std::unique_ptr<Solver> solver_;
    NodeIndex root_ = kNoNode;
    std::optional<havannah::Position> position_;
    // The first stone's cell when the search starts where the swap may
    // follow; havannah::kNoCell otherwise.
    havannah::Cell firstStone_ = havannah::kNoCell;
    Limits limits_;
    std::chrono::steady_clock::time_point deadline_{};
    std::atomic<bool> stopping_{false};
    std::atomic<int> active_{0};
    std::atomic<std::uint64_t> started_{0};
    std::atomic<std::uint64_t> playouts_{0};
    std::uint64_t searches_ = 0;
    std::vector<std::thread> threads_;
    std::vector<std::unique_ptr<Worker>> workers_;
    std::mutex control_;            // start, stop and wait, one at a time
    mutable std::mutex structure_;  // the tree's root and arena while they change; provenLine_
    std::vector<Move> provenLine_;
};

}  // namespace tarnwick::engine
