// tarnwick-gtp: the engine on the Go Text Protocol over stdin and stdout.
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "engine/gtp/gtp.h"

namespace {

constexpr std::string_view kUsage =
    "usage: tarnwick-gtp [--threads N] [--seconds S] [--playouts N] [--seed N] [--tree-mb N]\n"
    "                    [--no-rave] [--no-lgr] [--no-bridge] [--no-solver] [--expand-after N]\n"
    "                    [--priors N] [--exploration C] [--rave-bias B]\n";

}  // namespace

int main(int argc, char** argv) {
    using tarnwick::engine::gtp::GtpOptions;
    GtpOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const auto value = [&] { return std::strtod(argv[++i], nullptr); };
        if (arg == "--no-rave") {
            options.engine.settings.selection.rave = false;
        } else if (arg == "--no-lgr") {
            options.engine.settings.playout.lastGoodReply = false;
        } else if (arg == "--no-bridge") {
            options.engine.settings.playout.bridgeSave = false;
        } else if (arg == "--no-solver") {
            options.engine.settings.solver = false;
        } else if (arg == "--threads" && hasValue) {
            options.engine.threads = static_cast<int>(value());
        } else if (arg == "--seconds" && hasValue) {
            options.seconds = value();
        } else if (arg == "--playouts" && hasValue) {
            options.playouts = static_cast<std::uint64_t>(value());
        } else if (arg == "--seed" && hasValue) {
            options.engine.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--expand-after" && hasValue) {
            options.engine.settings.expandAfter = static_cast<std::uint32_t>(value());
        } else if (arg == "--exploration" && hasValue) {
            options.engine.settings.selection.exploration = value();
        } else if (arg == "--rave-bias" && hasValue) {
            options.engine.settings.selection.raveBias = value();
        } else if (arg == "--priors" && hasValue) {
            options.engine.settings.priorPlayouts = static_cast<std::uint32_t>(value());
        } else if (arg == "--tree-mb" && hasValue) {
            options.engine.treeBytes = static_cast<std::size_t>(value() * (1 << 20));
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (options.engine.threads < 1 || options.engine.threads > 256 || options.seconds.value_or(1) <= 0) {
        std::cerr << kUsage;
        return 2;
    }
    tarnwick::engine::gtp::Session session(std::move(options));
    tarnwick::engine::gtp::run(session, std::cin, std::cout);
    return 0;
}
