#include "http_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>

namespace tarnwick::testing {
namespace {

void sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

std::string head(int status, const std::vector<std::string>& headers) {
    std::string text = "HTTP/1.1 " + std::to_string(status) + (status < 300 ? " OK" : " Other") + "\r\n";
    for (const std::string& line : headers) text += line + "\r\n";
    return text;
}

// The request as the proxy passes it on: "GET http://host/path HTTP/1.1"
// becomes "GET /path HTTP/1.1", and Proxy- header lines are dropped.
std::string originForm(const std::string& request) {
    std::string passed;
    std::size_t at = 0;
    while (at < request.size()) {
        const std::size_t end = std::min(request.find("\r\n", at), request.size());
        std::string line = request.substr(at, end - at);
        at = end + 2;
        if (passed.empty()) {
            const std::size_t scheme = line.find("://");
            const std::size_t path = scheme == std::string::npos ? scheme : line.find('/', scheme + 3);
            if (path != std::string::npos) line = line.substr(0, line.find(' ') + 1) + line.substr(path);
        } else if (line.rfind("Proxy-", 0) == 0) {
            continue;
        }
        passed += line + "\r\n";
    }
    return passed;
}

void relay(int connection, int port, const std::string& request, const std::atomic<bool>& stopping) {
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (server < 0 || ::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (server >= 0) ::close(server);
        return;
    }
    sendAll(server, originForm(request));
    char chunk[4096];
    while (!stopping) {
        pollfd waiting{server, POLLIN, 0};
        if (::poll(&waiting, 1, 20) != 1) continue;
        const ssize_t got = ::recv(server, chunk, sizeof chunk, 0);
        if (got <= 0) break;
        sendAll(connection, std::string_view(chunk, static_cast<std::size_t>(got)));
    }
    ::close(server);
}

}  // namespace

ScriptedReply ScriptedReply::forwardTo(int port) {
    ScriptedReply reply;
    reply.forwardPort = port;
    return reply;
}

ScriptedReply ScriptedReply::withLength(int status, std::string_view body, std::vector<std::string> headers) {
    headers.push_back("Content-Length: " + std::to_string(body.size()));
    return ScriptedReply{{head(status, headers) + "\r\n" + std::string(body)}};
}

ScriptedReply ScriptedReply::chunked(std::string_view body, std::size_t chunkSize, std::vector<std::string> headers) {
    headers.push_back("Transfer-Encoding: chunked");
    ScriptedReply reply{{head(200, headers) + "\r\n"}};
    for (std::size_t at = 0; at < body.size(); at += chunkSize) {
        const std::string_view part = body.substr(at, chunkSize);
        char size[32];
        std::snprintf(size, sizeof size, "%zx\r\n", part.size());
        reply.pieces.push_back(size + std::string(part) + "\r\n");
    }
    reply.pieces.push_back("0\r\n\r\n");
    return reply;
}

ScriptedReply ScriptedReply::redirect(int status, std::string_view location) {
    return withLength(status, "", {"Location: " + std::string(location)});
}

ScriptedReply ScriptedReply::silence() { return ScriptedReply{{}, 0, true}; }

HttpTestServer::HttpTestServer(std::vector<ScriptedReply> replies) : replies_(std::move(replies)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if (listener_ < 0 || ::bind(listener_, raw, size) != 0 || ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, raw, &size) != 0) {
        return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

HttpTestServer::~HttpTestServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
}

std::vector<std::string> HttpTestServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void HttpTestServer::serve() {
    std::size_t served = 0;
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, 20) != 1) continue;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        const ScriptedReply& reply = replies_.empty() ? ScriptedReply{} : replies_[std::min(served, replies_.size() - 1)];
        ++served;
        answer(connection, reply);
        ::close(connection);
    }
}

void HttpTestServer::answer(int connection, const ScriptedReply& reply) {
    // The request head ends at its empty line.
    std::string request;
    char chunk[4096];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (request.find("\r\n\r\n") == std::string::npos && !stopping_ && std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{connection, POLLIN, 0};
        if (::poll(&waiting, 1, 20) != 1) continue;
        const ssize_t got = ::recv(connection, chunk, sizeof chunk, 0);
        if (got <= 0) break;
        request.append(chunk, static_cast<std::size_t>(got));
    }
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    if (reply.forwardPort != 0) {
        relay(connection, reply.forwardPort, request, stopping_);
        return;
    }
    for (std::size_t i = 0; i < reply.pieces.size(); ++i) {
        if (i > 0 && reply.pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(reply.pauseMs));
        sendAll(connection, reply.pieces[i]);
    }
    while (reply.hold && !stopping_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace tarnwick::testing
