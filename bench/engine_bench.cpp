// Search speed: playouts a second with the tree, from the empty board and
// from a real game's middle, bases 8 and 10, one and two threads; and the bare
// playouts alone, to tell the tree's share from the playouts'.
#include <benchmark/benchmark.h>

#include <ctime>

#include "engine/engine.h"
#include "engine/gtp/gtp.h"
#include "engine/playout.h"
#include "havannah/position.h"

namespace tarnwick::engine {
namespace {

constexpr std::uint64_t kPlayouts = 20000;

// The empty board, or a real game's middle: 30 moves into a base-8 game,
// 40 into a base-10 one, both games still open there.
havannah::Position startPosition(int base, bool middleGame) {
    if (!middleGame) return havannah::Position(base);
    gtp::Session session({});
    const std::string record = base == 8 ? "1011576.sgf 31" : "1010443.sgf 41";
    session.handle(std::string("loadsgf ") + TARNWICK_RECORDS_DIR + "/" + record);
    return session.position();
}

void BM_Search(benchmark::State& state) {
    const auto position = startPosition(static_cast<int>(state.range(0)), state.range(1) != 0);
    Options options;
    options.threads = static_cast<int>(state.range(2));
    options.settings.proofSearch = state.range(3) != 0;
    options.treeBytes = std::size_t{256} << 20;
    std::uint64_t playouts = 0;
    // The machine is shared: processor time (all threads) tells the cost of
    // a playout when other programs take turns on the cores.
    const std::clock_t began = std::clock();
    std::size_t nodes = 0;
    for (auto _ : state) {
        Engine engine(options);
        engine.start(position, {.playouts = kPlayouts});
        engine.wait();
        const Snapshot snap = engine.snapshot();
        playouts += snap.playouts;
        nodes = snap.nodes;
    }
    const double cpuSeconds = double(std::clock() - began) / CLOCKS_PER_SEC;
    state.counters["playouts/s"] = benchmark::Counter(static_cast<double>(playouts), benchmark::Counter::kIsRate);
    state.counters["playouts/cpu-s"] = static_cast<double>(playouts) / cpuSeconds;
    state.counters["nodes"] = static_cast<double>(nodes);
}
// base, middle game, threads, the proof search in turns; real time, since
// the work runs on the engine's threads. Without the proof search on one
// thread, for the share of the time it takes.
BENCHMARK(BM_Search)
    ->ArgsProduct({{8, 10}, {0, 1}, {1, 2}, {1}})
    ->ArgsProduct({{8, 10}, {0, 1}, {1}, {0}})
    ->ArgNames({"base", "middle", "threads", "proofs"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_PlayoutOnly(benchmark::State& state) {
    const auto position = startPosition(static_cast<int>(state.range(0)), false);
    Playout playout({}, 1);
    havannah::Position scratch = position;
    for (auto _ : state) {
        scratch = position;
        benchmark::DoNotOptimize(playout.run(scratch, havannah::kNoCell));
    }
    state.counters["playouts/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlayoutOnly)->Arg(8)->Arg(10)->ArgName("base");

}  // namespace
}  // namespace tarnwick::engine
