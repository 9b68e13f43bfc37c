// How long the drawing the user waits for takes: a full Main page redraw
// with its present, start-up, and the primitives the board code leans on.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/context.h"
#include "app/shell.h"
#include "board/board.h"
#include "platform/headless/headless_platform.h"

namespace tarnwick {
namespace {

std::string besideExecutable() { return std::filesystem::read_symlink("/proc/self/exe").parent_path().string(); }

struct Program {
    Program() : app(platform) {
        platform.setDataFolder(besideExecutable());
        startUp(app);
    }
    HeadlessPlatform platform;
    App app;
};

void BM_StartUp(benchmark::State& state) {
    for (auto _ : state) {
        Program program;
        benchmark::DoNotOptimize(program.app.board.GridSize);
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

void BM_RedrawMainPageAndPresent(benchmark::State& state) {
    Program program;
    program.app.board.BoardSize = static_cast<int>(state.range(0));
    board::setUpBoardSize(program.app.board);
    for (auto _ : state) {
        redrawMainPage(program.app);
        program.platform.present();
    }
}
BENCHMARK(BM_RedrawMainPageAndPresent)->Arg(8)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_ToggleCellLabels(benchmark::State& state) {
    Program program;
    for (auto _ : state) board::toggleCellLabels(boardOf(program.app));
}
BENCHMARK(BM_ToggleCellLabels)->Unit(benchmark::kMicrosecond);

void BM_GetPixel(benchmark::State& state) {
    Program program;
    int x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(program.platform.getPixel(x, 400));
        x = (x + 7) & 1023;
    }
}
BENCHMARK(BM_GetPixel);

void BM_CellName(benchmark::State& state) {
    Program program;
    program.platform.setFont(program.app.fonts.LabelFont);
    program.platform.setColors(colours::kBlack, colours::kWhite);
    for (auto _ : state) {
        program.platform.setPos(100, 100);
        program.platform.drawText("H15");
    }
}
BENCHMARK(BM_CellName)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarnwick
