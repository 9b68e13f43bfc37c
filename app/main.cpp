// Tarnwick: a viewer for recorded games of Havannah.
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/context.h"
#include "app/shell.h"
#include "platform/sdl/sdl_program.h"

int main() {
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
    return tarnwick::runSdlProgram([&server](tarnwick::Platform& platform) {
        if (server) platform.routeConnectionsTo(*server);
        tarnwick::App app(platform);
        tarnwick::runProgram(app);
    });
}
