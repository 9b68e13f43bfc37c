// The swap decision on move 2, measured: for every first move up to the
// board's symmetries, the engine searches the position with the swap
// allowed at a short budget (what it does in a game) and at a long one, and
// the table says what each chose, with the long search's rates for the
// swap and for the best cell. With --verify N, the engine also plays N
// games against itself at the short budget from the first move with the
// swap then off: White's share of those wins is what not swapping is
// worth, so the swap is right where it is below one half. A Markdown table
// on standard output.
//
//   tarnwick-swap-table --base 8 --short 1 --long 20 [--verify N] [--threads 1] [--seed 1]
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "database/symmetry.h"
#include "engine/engine.h"
#include "havannah/position.h"
#include "tools/self_play.h"

namespace {

using namespace tarnwick;

struct Arguments {
    int base = 8;
    double shortSeconds = 1;
    double longSeconds = 20;
    int threads = 1;
    unsigned seed = 1;
    int verify = 0;
};

bool readArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view name = argv[i];
        const std::string value = argv[i + 1];
        char* end = nullptr;
        const double number = std::strtod(value.c_str(), &end);
        if (end == value.c_str() || *end != '\0' || number <= 0) return false;
        if (name == "--base") args.base = static_cast<int>(number);
        else if (name == "--short") args.shortSeconds = number;
        else if (name == "--long") args.longSeconds = number;
        else if (name == "--threads") args.threads = static_cast<int>(number);
        else if (name == "--seed") args.seed = static_cast<unsigned>(number);
        else if (name == "--verify") args.verify = static_cast<int>(number);
        else return false;
    }
    return argc % 2 == 1 && args.base >= 4 && args.base <= 12;
}

struct Verdict {
    bool swaps = false;
    double swapRate = 0;  // for White, after swapping
    double cellRate = 0;  // for White, the best cell's
};

Verdict searchAfter(const havannah::Position& position, double seconds, const Arguments& args) {
    engine::Options options;
    options.threads = args.threads;
    options.seed = args.seed;
    engine::Engine engine(options);
    engine.start(position, tools::secondsLimit(seconds));
    engine.wait();
    const engine::Snapshot snap = engine.snapshot(static_cast<std::size_t>(position.topology().cellCount()) + 1);
    Verdict verdict;
    bool cellSeen = false;
    for (const engine::Candidate& c : snap.moves) {
        if (c.move == engine::kSwapMove) {
            verdict.swapRate = c.winRate;
        } else if (!cellSeen) {
            verdict.cellRate = c.winRate;
            cellSeen = true;
        }
    }
    verdict.swaps = !snap.moves.empty() && snap.moves.front().move == engine::kSwapMove;
    return verdict;
}

// White's share of wins in games the engine plays against itself from
// Black's first stone on `cell`, White not allowed to swap.
double whiteShareWithoutSwap(havannah::Cell cell, const Arguments& args) {
    double whiteWins = 0;
    for (int game = 0; game < args.verify; ++game) {
        havannah::Position position(args.base, false);
        position.play(cell);
        engine::Options options;
        options.threads = args.threads;
        options.seed = args.seed + static_cast<unsigned>(game) * 7919u;
        engine::Engine engine(options);
        tools::playToTheEnd(position, engine, tools::secondsLimit(args.shortSeconds));
        whiteWins += position.winner() == havannah::Player::White ? 1 : position.winner() ? 0 : 0.5;
    }
    return whiteWins / args.verify;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!readArguments(argc, argv, args)) {
        std::fputs("usage: tarnwick-swap-table [--base B] [--short S] [--long S] [--verify N] [--threads T] [--seed N]\n", stderr);
        return 2;
    }
    const havannah::Position empty(args.base);
    const database::Symmetry symmetry(empty.topology());
    // Each first move up to symmetry: the smallest of its images, and how
    // many cells share it.
    std::map<havannah::Cell, int> classes;
    for (havannah::Cell cell = 0; cell < empty.topology().cellCount(); ++cell) {
        havannah::Cell smallest = cell;
        for (int t = 1; t < database::kSymmetries; ++t) smallest = std::min(smallest, symmetry.image(t, cell));
        ++classes[smallest];
    }
    std::printf("| first move | cells | swap at %gs | swap at %gs | White's rate at %gs: swap | best cell |%s\n",
                args.shortSeconds, args.longSeconds, args.longSeconds,
                args.verify > 0 ? " White's wins in self-play, no swap |" : "");
    std::printf("|---|---|---|---|---|---|%s\n", args.verify > 0 ? "---|" : "");
    int agree = 0;
    int swappedCells = 0;
    for (const auto& [cell, count] : classes) {
        havannah::Position position(args.base);
        position.play(cell);
        const Verdict quick = searchAfter(position, args.shortSeconds, args);
        const Verdict deep = searchAfter(position, args.longSeconds, args);
        agree += count * (quick.swaps == deep.swaps);
        swappedCells += count * deep.swaps;
        std::printf("| %s | %d | %s | %s | %.3f | %.3f |", empty.topology().name(cell).c_str(), count,
                    quick.swaps ? "yes" : "no", deep.swaps ? "yes" : "no", deep.swapRate, deep.cellRate);
        if (args.verify > 0) std::printf(" %.2f (%d games) |", whiteShareWithoutSwap(cell, args), args.verify);
        std::printf("\n");
        std::fflush(stdout);
    }
    const int cells = empty.topology().cellCount();
    std::printf("\nBase %d: the long search swaps %d of %d first moves; the short search agrees on %d (%.0f%%).\n",
                args.base, swappedCells, cells, agree, 100.0 * agree / cells);
    return 0;
}
