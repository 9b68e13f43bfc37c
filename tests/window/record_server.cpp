// A game server stand-in for the real-window tests.
// Usage: record_server REQUEST_LOG RECORD_TEXT   serves the record to every request
//        record_server REQUEST_LOG --silent      accepts requests and never answers
//        record_server REQUEST_LOG --big         a well-formed reply with an 8 MB body
//        record_server REQUEST_LOG --garbage     64 KiB of random bytes (NULs too), no HTTP at all
//        record_server REQUEST_LOG --close-mid   a record's head and half its body, then the
//                                                connection closes short of the Content-Length
// Prints its port on the first line of its output, appends each request's
// bytes to REQUEST_LOG as they arrive, and runs until SIGTERM or SIGINT.
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "http_test_server.h"

namespace {

using tarnwick::testing::ScriptedReply;

// A record that would load if it arrived whole.
const std::string kRecord =
    "(;FF[4]EV[hav.null]PB[Ann]PW[Bob]SZ[8]RU[LG]RE[B]GC[ game #1234567]SO[http://www.littlegolem.com]"
    ";W[A1];B[B2];W[C3])\r\n";

ScriptedReply bigReply() {
    // The record first, so that only the size can make it fail.
    std::string body = kRecord;
    body.resize(8u * 1024u * 1024u, 'x');
    return ScriptedReply::withLength(200, body, {"Content-Type: text/plain"});
}

ScriptedReply garbageReply() {
    std::mt19937 random(20240611u);  // fixed seed: the same bytes every run
    std::string bytes(64u * 1024u, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = i % 97 == 0 ? '\0' : static_cast<char>(random() & 0xFFu);
    }
    ScriptedReply reply;
    reply.pieces = {bytes};
    return reply;
}

ScriptedReply closeMidReply() {
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                             std::to_string(kRecord.size()) + "\r\n\r\n";
    ScriptedReply reply;
    reply.pieces = {head + kRecord.substr(0, kRecord.size() / 2)};
    return reply;
}

ScriptedReply replyFor(const std::string& what) {
    if (what == "--silent") return ScriptedReply::silence();
    if (what == "--big") return bigReply();
    if (what == "--garbage") return garbageReply();
    if (what == "--close-mid") return closeMidReply();
    return ScriptedReply::withLength(200, what + "\r\n", {"Content-Type: text/plain"});
}

}  // namespace

int main(int argc, char** argv) {
    using tarnwick::testing::HttpTestServer;
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: record_server REQUEST_LOG RECORD_TEXT|--silent|--big|--garbage|--close-mid\n");
        return 2;
    }
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    // Blocked before the server's thread starts, so that it inherits the mask
    // and the signals wait for sigtimedwait below.
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    HttpTestServer server({replyFor(argv[2])});
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
