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
        setUpBoardSize(app);
        redrawMainPage(app);
        int k = 0;
        for (int c = 1; c <= gridSizeFor(10); ++c)
            for (int p = 1; p <= columnLength(10, c); ++p) {
                ++k;
                app.game.Moves.set(k, std::to_string(k) + "." + cellName(c, p));
            }
        app.game.MoveCount = k;
        rebuildMoveList(app);
    }
    HeadlessPlatform platform;
    App app;
};

void BM_GoToEndOfAFullBase10Game(benchmark::State& state) {
    FullGame game;
    for (auto _ : state) {
        state.PauseTiming();
        clearPosition(game.app);
        state.ResumeTiming();
        goToEnd(game.app);
    }
    state.counters["moves"] = game.app.game.CurrentMove;
}
BENCHMARK(BM_GoToEndOfAFullBase10Game)->Unit(benchmark::kMillisecond);

void BM_ReturnToTheBoardPageWithAFullGame(benchmark::State& state) {
    FullGame game;
    goToEnd(game.app);
    for (auto _ : state) showMainPage(game.app);
}
BENCHMARK(BM_ReturnToTheBoardPageWithAFullGame)->Unit(benchmark::kMillisecond);

void BM_OneStepForward(benchmark::State& state) {
    FullGame game;
    for (int i = 0; i < 135; ++i) stepForward(game.app);
    for (auto _ : state) {
        stepForward(game.app);
        state.PauseTiming();
        stepBack(game.app);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OneStepForward)->Unit(benchmark::kMicrosecond);

void BM_OneStepBack(benchmark::State& state) {
    FullGame game;
    for (int i = 0; i < 135; ++i) stepForward(game.app);
    for (auto _ : state) {
        stepBack(game.app);
        state.PauseTiming();
        stepForward(game.app);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OneStepBack)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarnwick
