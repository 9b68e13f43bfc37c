// tarnwick-gtp: the engine on the Go Text Protocol over stdin and stdout.
#include <iostream>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/gtp/gtp.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    tarnwick::engine::gtp::CommandLine line = tarnwick::engine::gtp::parseCommandLine(args);
    std::cout << line.out << std::flush;
    std::cerr << line.err << std::flush;
    if (!line.run) return line.status;
    tarnwick::engine::gtp::Session session(std::move(line.options));
    tarnwick::engine::gtp::run(session, std::cin, std::cout);
    return 0;
}
