// Search speed: playouts a second with the tree, from the empty board and
// from a middle game, bases 8 and 10, one and two threads; and the bare
// playouts alone, to tell the tree's share from the playouts'.
#include <benchmark/benchmark.h>

#include "engine/engine.h"
#include "engine/playout.h"
#include "havannah/position.h"

namespace tarnwick::engine {
namespace {

constexpr std::uint64_t kPlayouts = 20000;

// The empty board, or a third of it filled by random moves that win nothing
// (the same position every run).
havannah::Position startPosition(int base, bool middleGame) {
    havannah::Position position(base);
    Random random(7);
    const int cells = position.topology().cellCount();
    while (middleGame && position.movesPlayed() < cells / 3) {
        havannah::Position next = position;
        const auto cell = static_cast<havannah::Cell>(random.below(static_cast<std::uint32_t>(cells)));
        if (next.play(cell) || next.isWon()) continue;
        position = next;
    }
    return position;
}

void BM_Search(benchmark::State& state) {
    const auto position = startPosition(static_cast<int>(state.range(0)), state.range(1) != 0);
    Options options;
    options.threads = static_cast<int>(state.range(2));
    options.treeBytes = std::size_t{256} << 20;
    std::uint64_t playouts = 0;
    for (auto _ : state) {
        Engine engine(options);
        engine.start(position, {.playouts = kPlayouts});
        engine.wait();
        playouts += engine.snapshot().playouts;
    }
    state.counters["playouts/s"] = benchmark::Counter(static_cast<double>(playouts), benchmark::Counter::kIsRate);
}
// base, middle game, threads; real time, since the work runs on the engine's threads
BENCHMARK(BM_Search)
    ->ArgsProduct({{8, 10}, {0, 1}, {1, 2}})
    ->ArgNames({"base", "middle", "threads"})
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
