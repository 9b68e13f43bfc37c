// Tarnwick: a viewer for recorded games of Havannah.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/context.h"
#include "engine/engine.h"
#include "app/shell.h"
#include "platform/sdl/sdl_program.h"

namespace {

std::optional<std::string> environmentValue(std::string_view name) {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr || *value == '\0') return std::nullopt;
    return value;
}

// The games database: the file named on the command line, else the
// environment's choice. Only the name: the window opens the file when it is
// first asked for.
std::string databasePath(const std::string& named) {
    if (!named.empty()) return named;
    return tarnwick::database::defaultDatabasePath(environmentValue);
}

}  // namespace

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
        case tarnwick::CommandLine::Action::Review:
            // Without a window: files and the terminal only.
            return tarnwick::runReviewBatch(line.review, stdout, stderr);
        case tarnwick::CommandLine::Action::Import: {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            return tarnwick::runImport(line.import, databasePath(line.import.database),
                                       std::chrono::duration_cast<std::chrono::seconds>(now).count(), stdout, stderr);
        }
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
    // TARNWICK_THREADS=N: the analysis engine's threads; by default all
    // hardware threads but one, so the window keeps one for itself.
    int threads = tarnwick::engine::defaultThreads();
    std::optional<int> threadsAsked;
    if (const char* setting = std::getenv("TARNWICK_THREADS"); setting != nullptr && *setting != '\0') {
        char* end = nullptr;
        const long value = std::strtol(setting, &end, 10);
        if (*end != '\0' || value < 1 || value > 1024) {
            std::fprintf(stderr, "tarnwick: TARNWICK_THREADS must be a number from 1 to 1024, not \"%s\"\n", setting);
            return 2;
        }
        threads = static_cast<int>(value);
        threadsAsked = threads;
    }
    // http_proxy, https_proxy and no_proxy (or their upper-case forms), as
    // other programs read them; TARNWICK_SERVER's route wins over them.
    tarnwick::ProxySettings proxies = tarnwick::proxySettingsFrom(environmentValue);
    return tarnwick::runSdlProgram([&server, &proxies, &line, threads, threadsAsked](tarnwick::Platform& platform) {
        if (server) platform.routeConnectionsTo(*server);
        platform.useProxies(std::move(proxies));
        tarnwick::App app(platform);
        app.analysis.EngineOptions.threads = threads;
        app.review.Settings.threads = threads;
        app.games.Path = databasePath(line.import.database);
        app.shell.ThreadsAsked = threadsAsked;
        tarnwick::runProgram(app, line);
    });
}
