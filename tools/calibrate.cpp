// Self-play for calibrating the engine's win rates: the engine plays both
// sides at the same budget from random two-stone openings, and every
// position it searched is written with the rate it reported for the side
// to move and whether that side went on to win. tools/calibration.py bins
// the lines into a table and a plot.
//
//   tarnwick-calibrate --games 40 --seconds 1 --base 8 [--threads 1] [--seed 1] > samples.csv
//
// --playouts N instead of --seconds gives each move a fixed number of
// playouts, so that the samples do not depend on what else the machine runs.
//
// A line: game,ply,base,rate,proven,won (rate of the best move for the side
// to move; proven 1 when the search proved the position; won 1 when the side
// to move won the game, 0 when it lost; games with no winner are left out).
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <type_traits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "havannah/position.h"
#include "tools/self_play.h"

namespace {

using tarnwick::engine::Engine;
using tarnwick::havannah::Player;
using tarnwick::havannah::Position;

struct Sample {
    int ply;
    Player toMove;
    double rate;
    bool proven;
};

struct Arguments {
    int games = 20;
    double seconds = 1;
    std::uint64_t playouts = 0;
    int base = 8;
    int threads = 1;
    unsigned seed = 1;
};

template <typename T>
bool parse(std::string_view text, T& value) {
    if constexpr (std::is_floating_point_v<T>) {
        char* end = nullptr;
        const std::string copy(text);
        value = static_cast<T>(std::strtod(copy.c_str(), &end));
        return end != copy.c_str() && *end == '\0' && value > 0;
    } else {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return error == std::errc() && end == text.data() + text.size() && value > 0;
    }
}

bool readArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view name = argv[i];
        const std::string_view value = argv[i + 1];
        const bool ok = name == "--games"     ? parse(value, args.games)
                        : name == "--seconds" ? parse(value, args.seconds)
                        : name == "--playouts" ? parse(value, args.playouts)
                        : name == "--base"    ? parse(value, args.base)
                        : name == "--threads" ? parse(value, args.threads)
                        : name == "--seed"    ? parse(value, args.seed)
                                              : false;
        if (!ok) return false;
    }
    return argc % 2 == 1;
}

// One game; the samples and the winner, if any.
std::optional<Player> playGame(const Arguments& args, std::mt19937& random, std::vector<Sample>& samples) {
    Position position(args.base);
    const int cells = position.topology().cellCount();
    for (int stones = 0; stones < 2;) {
        const int cell = static_cast<int>(random() % static_cast<unsigned>(cells));
        if (!position.play(cell)) ++stones;
    }
    tarnwick::engine::Options options;
    options.threads = args.threads;
    options.seed = random();
    Engine engine(options);
    const tarnwick::engine::Limits limits =
        args.playouts > 0 ? tarnwick::engine::Limits{args.playouts, {}} : tarnwick::tools::secondsLimit(args.seconds);
    return tarnwick::tools::playToTheEnd(position, engine, limits, [&](const tarnwick::engine::Snapshot& snap) {
        samples.push_back({position.movesPlayed(), position.toMove(), snap.moves.front().winRate,
                           snap.provenWinner.has_value()});
    });
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!readArguments(argc, argv, args)) {
        std::fputs("usage: tarnwick-calibrate [--games N] [--seconds S | --playouts N] [--base B] [--threads T] [--seed N]\n", stderr);
        return 2;
    }
    std::mt19937 random(args.seed);
    std::printf("game,ply,base,rate,proven,won\n");
    for (int game = 1; game <= args.games; ++game) {
        std::vector<Sample> samples;
        const std::optional<Player> winner = playGame(args, random, samples);
        std::fprintf(stderr, "game %d: %zu moves, %s\n", game, samples.size(),
                     winner ? (*winner == Player::Black ? "Black wins" : "White wins") : "no winner");
        if (!winner) continue;
        for (const Sample& s : samples)
            std::printf("%d,%d,%d,%.4f,%d,%d\n", game, s.ply, args.base, s.rate, s.proven ? 1 : 0,
                        s.toMove == *winner ? 1 : 0);
        std::fflush(stdout);
    }
    return 0;
}
