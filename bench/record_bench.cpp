// The game tree on its own: reading and writing every real record, and a
// study-sized tree of 10,000 nodes built move by move and walked.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "record/moves.h"
#include "record/text.h"

namespace tarnwick::record {
namespace {

std::vector<std::string> realRecords() {
    std::vector<std::string> texts;
    for (const auto& entry : std::filesystem::directory_iterator(TARNWICK_RECORDS_DIR)) {
        if (entry.path().extension() != ".sgf") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        texts.push_back(text.str());
    }
    return texts;
}

void countRecords(benchmark::State& state, const std::vector<std::string>& texts) {
    std::size_t bytes = 0;
    for (const std::string& t : texts) bytes += t.size();
    state.counters["records/s"] =
        benchmark::Counter(static_cast<double>(texts.size() * state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
}

void BM_ReadRealRecords(benchmark::State& state) {
    const std::vector<std::string> texts = realRecords();
    for (auto _ : state) {
        for (const std::string& text : texts) benchmark::DoNotOptimize(readRecords(text));
    }
    countRecords(state, texts);
}
BENCHMARK(BM_ReadRealRecords)->Unit(benchmark::kMillisecond);

void BM_WriteRealRecords(benchmark::State& state) {
    const std::vector<std::string> texts = realRecords();
    std::vector<Tree> trees;
    for (const std::string& text : texts) trees.push_back(readRecords(text).trees.front());
    for (auto _ : state) {
        for (const Tree& tree : trees) benchmark::DoNotOptimize(writeRecord(tree));
    }
    countRecords(state, texts);
}
BENCHMARK(BM_WriteRealRecords)->Unit(benchmark::kMillisecond);

// A study of a base-10 game: a main line of 250 moves and 39 more lines of
// 250 moves, each leaving the main line five moves later than the one
// before; 10,000 moves in all, as the user adds them.
Tree study() {
    const havannah::Topology board(10);
    Tree tree;
    tree.setPropertyText(kRoot, "FF[4]SZ[10]");
    NodeId branch = kRoot;
    for (int line = 0; line < 40; ++line) {
        NodeId at = branch;
        for (int k = 0; k < 250; ++k) at = *addMove(tree, at, Move::at(board.name((line * 7 + k * 13) % board.cellCount())));
        for (int k = 0; k < 5; ++k) branch = tree.firstChild(branch);
    }
    return tree;
}

void BM_BuildStudy(benchmark::State& state) {
    std::size_t nodes = 0;
    for (auto _ : state) {
        const Tree tree = study();
        nodes = tree.size();
        benchmark::DoNotOptimize(tree);
    }
    state.counters["nodes"] = static_cast<double>(nodes);
    state.counters["node bytes"] = static_cast<double>(Tree::kNodeBytes);
    state.counters["per move"] = benchmark::Counter(static_cast<double>(nodes * state.iterations()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildStudy)->Unit(benchmark::kMillisecond);

// Every node visited in order with its move read, and the position at the
// end of every line worked out.
void BM_WalkStudy(benchmark::State& state) {
    const Tree tree = study();
    const auto board = std::make_shared<const havannah::Topology>(10);
    std::int64_t moves = 0;
    for (auto _ : state) {
        moves = 0;
        std::vector<NodeId> pending{kRoot};
        while (!pending.empty()) {
            const NodeId n = pending.back();
            pending.pop_back();
            moves += moveOf(tree, n) ? 1 : 0;
            if (tree.firstChild(n) == kNoNode) benchmark::DoNotOptimize(positionAt(tree, n, board));
            for (NodeId c = tree.firstChild(n); c != kNoNode; c = tree.nextSibling(c)) pending.push_back(c);
        }
    }
    state.counters["moves"] = static_cast<double>(moves);
}
BENCHMARK(BM_WalkStudy)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick::record
