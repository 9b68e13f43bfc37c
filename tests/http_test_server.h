// A small HTTP server on 127.0.0.1 for tests: it records each request's
// bytes exactly and answers with scripted bytes, so replies can be well
// formed, malformed, slow or missing.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tarnwick::testing {

struct ScriptedReply {
    // Sent one after another, with `pauseMs` between them.
    std::vector<std::string> pieces;
    int pauseMs = 0;
    // Keep the connection open after the last piece, until the server stops.
    bool hold = false;
    // Not zero: act as a web proxy, passing the request on to this port of
    // 127.0.0.1 in origin form ("GET /path", without the proxy's own
    // headers) and the answer back.
    int forwardPort = 0;

    // "HTTP/1.1 <status>", the extra header lines, Content-Length, the body.
    static ScriptedReply withLength(int status, std::string_view body, std::vector<std::string> headers = {});
    // The body in chunks of `chunkSize` bytes, sizes in lower-case hex.
    static ScriptedReply chunked(std::string_view body, std::size_t chunkSize, std::vector<std::string> headers = {});
    // A redirect to `location`.
    static ScriptedReply redirect(int status, std::string_view location);
    // Accepts the request and never answers.
    static ScriptedReply silence();
    // A proxy in front of the server at `port`.
    static ScriptedReply forwardTo(int port);
};

class HttpTestServer {
  public:
    // The n-th connection gets replies[n]; later ones get the last reply.
    explicit HttpTestServer(std::vector<ScriptedReply> replies);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int port() const { return port_; }
    // The bytes of every request received so far, up to and including the
    // empty line that ends its head.
    std::vector<std::string> requests() const;

  private:
    void serve();
    void answer(int connection, const ScriptedReply& reply);

    std::vector<ScriptedReply> replies_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace tarnwick::testing
