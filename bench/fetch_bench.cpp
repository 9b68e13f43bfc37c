// Getting a game by number: a whole fetch from a server on the loopback
// (keys typed, request, reply, record, shown position), the exchange alone,
// and reading and showing a real record once it is in.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "app/context.h"
#include "app/load_game.h"
#include "app/shell.h"
#include "http_test_server.h"
#include "bench_program.h"

namespace tarnwick {
namespace {

using testing::HttpTestServer;
using testing::ScriptedReply;

// A real base-10 record of 128 moves.
constexpr std::string_view kRecord =
    "(;FF[4]EV[null]PB[Lukasz Lew]PW[Mirko Rahn]SZ[10]RU[LG]RE[B]GC[ game #1060981]SO[http://www.littlegolem.com];W[M2];B[I4];W[J3];B[O4];W[K4];B[J6];W[L5];B[M7];W[K7];B[P4];W[I7];B[P9];W[O8];B[R6];W[Q5];B[P6];W[P5];B[N6];W[O6];B[N8];W[Q7];B[N9];W[O9];B[N10];W[O10];B[O7];W[Q6];B[N11];W[O11];B[N12];W[R3];B[Q2];W[S1];B[R1];W[S10];B[Q10];W[O12];B[Q11];W[N13];B[M13];W[M14];B[L14];W[R7];B[R9];W[L15];B[K16];W[K15];B[J16];W[K14];B[I15];W[I14];B[H14];W[D10];B[D11];W[F12];B[F13];W[G13];B[H13];W[J13];B[G11];W[E10];B[I11];W[L10];B[I13];W[K13];B[K12];W[J12];B[K11];W[M8];B[N7];W[J11];B[K10];W[L8];B[L9];W[M9];B[G10];W[D8];B[H10];W[I12];B[J10];W[I10];B[E7];W[I9];B[G14];W[J18];B[E12];W[A9];B[F11];W[E11];B[B8];W[B9];B[E9];W[D9];B[E8];W[I8];B[F10];W[G9];B[C6];W[P12];B[G15];W[L17];B[H16];W[I16];B[I17];W[J17];B[I18];W[J19];B[H9];W[G8];B[H8];W[G7];B[H7];W[G6];B[H6];W[F4];B[G5];W[F5];B[G4];W[L16];B[H4];W[I6];B[L7];W[K8];B[L6];W[M5];B[K6];W[R2];B[resign])";

using Program = bench::StartedProgram;

void BM_FetchAndShowAGame(benchmark::State& state) {
    Program program;
    HttpTestServer server({ScriptedReply::withLength(200, std::string(kRecord) + "\r\n")});
    program.platform.redirectHost(std::string(acquire::kGameServerHost), server.port());
    for (auto _ : state) {
        for (const char digit : std::string_view("1060981")) program.platform.pressKey(std::string(1, digit), program.platform.nowMs());
        loadGameByNumber(program.app);
    }
    if (program.app.game.CurrentMove != 127) state.SkipWithError("the game was not shown");
}
BENCHMARK(BM_FetchAndShowAGame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExchangeAlone(benchmark::State& state) {
    Program program;
    HttpTestServer server({ScriptedReply::withLength(200, std::string(kRecord) + "\r\n")});
    program.platform.redirectHost(std::string(acquire::kGameServerHost), server.port());
    for (auto _ : state) {
        const HttpReply reply = program.platform.httpGet(acquire::kGameServerHost, "/servlet/sgf/1060981/game.txt", HttpLimits{});
        benchmark::DoNotOptimize(reply.body.data());
    }
}
BENCHMARK(BM_ExchangeAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the reply body to the shown position: what follows the first byte.
void BM_CollectParseAndShow(benchmark::State& state) {
    Program program;
    const std::string body = std::string(kRecord) + "\r\n";
    for (auto _ : state) {
        loadRecordText(program.app, acquire::collectRecords(body).first);
    }
}
BENCHMARK(BM_CollectParseAndShow)->Unit(benchmark::kMicrosecond);

void BM_ParseARealRecord(benchmark::State& state) {
    std::size_t moves = 0;
    for (auto _ : state) {
        const std::optional<acquire::GameValues> game = acquire::readRecord(kRecord);
        moves = game ? game->moves.size() : 0;
        benchmark::DoNotOptimize(moves);
    }
    state.counters["moves"] = static_cast<double>(moves);
}
BENCHMARK(BM_ParseARealRecord)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarnwick
