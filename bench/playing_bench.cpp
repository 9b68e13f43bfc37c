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
#include "game/variations.h"
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

// Times single steps at move 135, each undone outside the timing.
void timeSteps(benchmark::State& state, App& app, bool forward) {
    for (int i = 0; i < 135; ++i) game::stepForward(gameOf(app));
    const auto step = forward ? game::stepForward : game::stepBack;
    const auto undo = forward ? game::stepBack : game::stepForward;
    for (auto _ : state) {
        step(gameOf(app));
        state.PauseTiming();
        undo(gameOf(app));
        state.ResumeTiming();
    }
}

void BM_OneStepForward(benchmark::State& state) {
    FullGame full;
    timeSteps(state, full.app, true);
}
BENCHMARK(BM_OneStepForward)->Unit(benchmark::kMicrosecond);

void BM_OneStepBack(benchmark::State& state) {
    FullGame full;
    timeSteps(state, full.app, false);
}
BENCHMARK(BM_OneStepBack)->Unit(benchmark::kMicrosecond);

// The same game studied: a variation at move 3 and one at move 250, each a
// cell the main line plays later. Stepping costs what it does without them;
// a switch between alternatives lays out and draws the whole list anew.
struct StudiedGame : FullGame {
    StudiedGame() {
        branchAt(3, 200);
        branchAt(250, 260);
        game::clearPosition(gameOf(app));
    }
    // Shows move `k` - 1, plays there the cell of main-line move `later`,
    // and goes back to the main line.
    void branchAt(int k, int later) {
        game::clearPosition(gameOf(app));
        while (app.game.CurrentMove < k - 1) game::stepForward(gameOf(app));
        const std::string entry = app.game.Moves[later];
        const auto cell = app.board.Topology->parseCell(entry.substr(entry.find('.') + 1));
        game::recordMove(gameOf(app), *cell);
        game::switchVariation(gameOf(app), -1);
    }
};

void BM_OneStepForwardWithVariations(benchmark::State& state) {
    StudiedGame studied;
    timeSteps(state, studied.app, true);
    state.counters["nodes"] = static_cast<double>(studied.app.game.Tree.size());
}
BENCHMARK(BM_OneStepForwardWithVariations)->Unit(benchmark::kMicrosecond);

void BM_SwitchTheVariationAtMove250(benchmark::State& state) {
    StudiedGame studied;
    for (int i = 0; i < 250; ++i) game::stepForward(gameOf(studied.app));
    int step = +1;
    for (auto _ : state) {
        game::switchVariation(gameOf(studied.app), step);
        step = -step;
    }
}
BENCHMARK(BM_SwitchTheVariationAtMove250)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick
