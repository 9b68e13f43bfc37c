// A game server stand-in for the real-window tests.
// Usage: record_server REQUEST_LOG RECORD_TEXT   serves the record to every request
//        record_server REQUEST_LOG --silent      accepts requests and never answers
// Prints its port on the first line of its output, appends each request's
// bytes to REQUEST_LOG as they arrive, and runs until SIGTERM or SIGINT.
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "http_test_server.h"

int main(int argc, char** argv) {
    using tarnwick::testing::HttpTestServer;
    using tarnwick::testing::ScriptedReply;
    if (argc != 3) {
        std::fprintf(stderr, "usage: record_server REQUEST_LOG RECORD_TEXT|--silent\n");
        return 2;
    }
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    // Blocked before the server's thread starts, so that it inherits the mask
    // and the signals wait for sigtimedwait below.
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    const std::string record = argv[2];
    const ScriptedReply reply = record == "--silent"
                                    ? ScriptedReply::silence()
                                    : ScriptedReply::withLength(200, record + "\r\n", {"Content-Type: text/plain"});
    HttpTestServer server({reply});
    if (server.port() == 0) {
        std::fprintf(stderr, "record_server: could not listen on the loopback\n");
        return 1;
    }
    std::printf("%d\n", server.port());
    std::fflush(stdout);

    std::size_t logged = 0;
    const timespec slice{0, 20'000'000};
    while (sigtimedwait(&stopSignals, nullptr, &slice) < 0) {
        const auto requests = server.requests();
        if (requests.size() == logged) continue;
        std::ofstream log(argv[1], std::ios::binary | std::ios::app);
        for (; logged < requests.size(); ++logged) log << requests[logged];
    }
    return 0;
}
