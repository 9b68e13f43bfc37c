// The rules library on its own: whole random games with the win looked for
// after every move, as a search's playouts play them, and the replay of a
// long recorded game from the empty board.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "havannah/position.h"

namespace tarnwick::havannah {
namespace {

// A small, fast generator (xorshift64*), seeded per benchmark so that every
// run plays the same games.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    // Uniform in 0 .. bound-1 by a multiply and shift rather than a division.
    std::uint32_t below(std::uint32_t bound) {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        const auto bits = static_cast<std::uint32_t>((state_ * 2685821657736338717ULL) >> 32);
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(bits) * bound) >> 32);
    }

  private:
    std::uint64_t state_;
};

// Plays uniformly random empty cells until a win or a full board; returns
// the number of moves.
int playRandomGame(const Position& start, Random& random, Position& position) {
    position = start;
    const int cells = position.topology().cellCount();
    std::array<Cell, kMaxCells> empty;
    for (Cell c = 0; c < cells; ++c) empty[static_cast<std::size_t>(c)] = c;
    int left = cells;
    while (left > 0 && !position.isWon()) {
        const std::uint32_t pick = random.below(static_cast<std::uint32_t>(left));
        position.play(empty[pick]);
        empty[pick] = empty[static_cast<std::size_t>(--left)];
    }
    return position.movesPlayed();
}

void BM_RandomGame(benchmark::State& state) {
    const Position start(static_cast<int>(state.range(0)), false);
    Position position = start;
    Random random(0x9e3779b97f4a7c15ULL);
    std::int64_t moves = 0;
    std::int64_t won = 0;
    for (auto _ : state) {
        moves += playRandomGame(start, random, position);
        won += position.isWon() ? 1 : 0;
        benchmark::DoNotOptimize(position);
    }
    const auto games = static_cast<double>(state.iterations());
    state.counters["games/s"] = benchmark::Counter(games, benchmark::Counter::kIsRate);
    // Shown as time per move (an inverted rate, in seconds with a prefix).
    state.counters["per move"] =
        benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["moves/game"] = static_cast<double>(moves) / games;
    state.counters["won"] = static_cast<double>(won) / games;
}
BENCHMARK(BM_RandomGame)->Arg(8)->Arg(10)->Unit(benchmark::kMicrosecond);

// A base-10 game of 271 moves covering every cell column by column (it
// ends with a full board and no win), replayed as the viewer replays a
// record: a move after a win would be put down as the record has it.
void BM_ReplayFullBase10Game(benchmark::State& state) {
    const auto topology = std::make_shared<const Topology>(10);
    int wonAt = 0;
    for (auto _ : state) {
        Position position(topology);
        for (Cell cell = 0; cell < topology->cellCount(); ++cell) {
            if (position.play(cell)) position.place(cell, cell % 2 == 0 ? Stone::Black : Stone::White);
        }
        wonAt = position.isWon() ? position.win()->move : 0;
        benchmark::DoNotOptimize(position);
    }
    state.counters["moves"] = topology->cellCount();
    state.counters["won at"] = wonAt;
}
BENCHMARK(BM_ReplayFullBase10Game)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarnwick::havannah
