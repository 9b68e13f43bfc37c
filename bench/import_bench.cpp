// Pasting move lists: a full-length list as the user pastes it, and 10 MB
// clipboards (random bytes, lists repeated far past the 274 moves kept, one
// endless token) that must still be handled in a fraction of a second.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "app/context.h"
#include "app/load_game.h"
#include "app/shell.h"
#include "board/geometry.h"
#include "bench_program.h"

namespace tarnwick {
namespace {

constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;

using Program = bench::StartedProgram;

// Pastes `text` once per iteration.
void pasteRepeatedly(benchmark::State& state, const std::string& text) {
    Program program;
    for (auto _ : state) {
        program.app.shell.ClipboardText = text;
        importClipboardGame(program.app);
    }
    state.counters["moves"] = program.app.game.moveCount();
    state.counters["beeps"] = benchmark::Counter(program.platform.beepCount(), benchmark::Counter::kAvgIterations);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

std::string repeatedTo(std::string_view unit, std::size_t size) {
    std::string text;
    text.reserve(size + unit.size());
    while (text.size() < size) text += unit;
    return text;
}

// Every cell of base 10, then three more moves: 274, the most a game keeps.
void BM_PasteA274MoveList(benchmark::State& state) {
    std::string list;
    int k = 0;
    for (int c = 1; c <= board::gridSizeFor(10); ++c)
        for (int p = 1; p <= board::columnLength(10, c); ++p) list += std::to_string(++k) + "." + board::cellName(c, p) + " ";
    list += "272.A1 273.A2 274.resign";
    pasteRepeatedly(state, list);
}
BENCHMARK(BM_PasteA274MoveList)->Unit(benchmark::kMillisecond);

void BM_Paste10MBOfRandomBytes(benchmark::State& state) {
    std::mt19937 random(20240601);
    std::string junk(kTenMegabytes, '\0');
    for (char& c : junk) c = static_cast<char>(random() & 0xFF);
    pasteRepeatedly(state, junk);
}
BENCHMARK(BM_Paste10MBOfRandomBytes)->Unit(benchmark::kMillisecond);

void BM_Paste10MBOfALittleGolemList(benchmark::State& state) {
    pasteRepeatedly(state, repeatedTo("1.D4 ", kTenMegabytes));
}
BENCHMARK(BM_Paste10MBOfALittleGolemList)->Unit(benchmark::kMillisecond);

void BM_Paste10MBOfAnItsYourTurnList(benchmark::State& state) {
    pasteRepeatedly(state, repeatedTo("1. a8 b9\r\n", kTenMegabytes));
}
BENCHMARK(BM_Paste10MBOfAnItsYourTurnList)->Unit(benchmark::kMillisecond);

// A list whose one token never ends: it is kept cut short.
void BM_Paste10MBInOneToken(benchmark::State& state) {
    pasteRepeatedly(state, "1." + std::string(kTenMegabytes, 'D'));
}
BENCHMARK(BM_Paste10MBInOneToken)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick
