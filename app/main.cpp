// Tarnwick: a viewer for recorded games of Havannah.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/context.h"
#include "app/shell.h"
#include "platform/sdl/sdl_program.h"

int main(int argc, char** argv) {
    const tarnwick::CommandLine line = tarnwick::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
        case tarnwick::CommandLine::Action::Help:
            std::fputs(tarnwick::usageText().c_str(), stdout);
            return 0;
        case tarnwick::CommandLine::Action::Version:
            std::printf("tarnwick %s\n", TARNWICK_VERSION);
            return 0;
        case tarnwick::CommandLine::Action::Refuse:
            std::fprintf(stderr, "tarnwick: %s\n", line.problem.c_str());
            return 2;
        case tarnwick::CommandLine::Action::Run:
            break;
    }
    // TARNWICK_SERVER=host:port sends the game fetches to another server
    // (a local copy, a test server); the requests are unchanged.
    std::optional<tarnwick::Endpoint> server;
    if (const char* setting = std::getenv("TARNWICK_SERVER"); setting != nullptr && *setting != '\0') {
        server = tarnwick::parseEndpoint(setting);
        if (!server) {
            std::fprintf(stderr, "tarnwick: TARNWICK_SERVER must be host:port, not \"%s\"\n", setting);
            return 2;
        }
    }
    return tarnwick::runSdlProgram([&server, &line](tarnwick::Platform& platform) {
        if (server) platform.routeConnectionsTo(*server);
        tarnwick::App app(platform);
        tarnwick::runProgram(app, line);
    });
}
