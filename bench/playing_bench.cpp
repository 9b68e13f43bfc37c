// Playing through a full game: the whole of a base-10 board filled move by
// move, the return to the board page that replays it, and single steps (a
// held arrow key repeats about 30 times a second).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/context.h"
#include "app/shell.h"
#include "board/board.h"
#include "board/geometry.h"
#include "game/navigation.h"
#include "platform/headless/headless_platform.h"

namespace tarnwick {
namespace {

// A base-10 game of 271 moves that covers every cell, loaded on an empty board.
struct FullGame {
    FullGame() : app(platform) {
        platform.setDataFolder(std::filesystem::read_symlink("/proc/self/exe").parent_path().string());
        startUp(app);
        app.board.BoardSize = 10;
        board::setUpBoardSize(app.board);
        redrawMainPage(app);
        int k = 0;
        for (int c = 1; c <= board::gridSizeFor(10); ++c)
            for (int p = 1; p <= board::columnLength(10, c); ++p) {
                ++k;
                app.game.Moves.set(k, std::to_string(k) + "." + board::cellName(c, p));
            }
        game::rebuildMoveList(gameOf(app));
    }
    HeadlessPlatform platform;
    App app;
};

void BM_GoToEndOfAFullBase10Game(benchmark::State& state) {
    FullGame full;
    for (auto _ : state) {
        state.PauseTiming();
        game::clearPosition(gameOf(full.app));
        state.ResumeTiming();
        game::goToEnd(gameOf(full.app));
    }
    state.counters["moves"] = full.app.game.CurrentMove;
}
BENCHMARK(BM_GoToEndOfAFullBase10Game)->Unit(benchmark::kMillisecond);

void BM_ReturnToTheBoardPageWithAFullGame(benchmark::State& state) {
    FullGame full;
    game::goToEnd(gameOf(full.app));
    for (auto _ : state) showMainPage(full.app);
}
BENCHMARK(BM_ReturnToTheBoardPageWithAFullGame)->Unit(benchmark::kMillisecond);

void BM_OneStepForward(benchmark::State& state) {
    FullGame full;
    for (int i = 0; i < 135; ++i) game::stepForward(gameOf(full.app));
    for (auto _ : state) {
        game::stepForward(gameOf(full.app));
        state.PauseTiming();
        game::stepBack(gameOf(full.app));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OneStepForward)->Unit(benchmark::kMicrosecond);

void BM_OneStepBack(benchmark::State& state) {
    FullGame full;
    for (int i = 0; i < 135; ++i) game::stepForward(gameOf(full.app));
    for (auto _ : state) {
        game::stepBack(gameOf(full.app));
        state.PauseTiming();
        game::stepForward(gameOf(full.app));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OneStepBack)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarnwick
