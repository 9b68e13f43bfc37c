// Line-by-line reading of a text file and of a TCP connection.
//
// Both readers keep the bytes read so far in a buffer and hand out one line at
// a time. A line longer than kMaxLineBytes is handed out in pieces of that
// size (joined, the pieces are the line; no byte is dropped), so that a file or
// a peer that never sends a line feed cannot make the reader hold an unbounded
// amount of memory.
#include "platform/line_reader.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace tarnwick {
namespace {

constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;
constexpr std::size_t kFileChunk = 65536;

// What TcpLineClient::open returns when it fails.
constexpr int kLookupFailed = 1;
constexpr int kConnectFailed = 2;

using Clock = std::chrono::steady_clock;

int msUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

Clock::time_point deadlineIn(int ms) { return Clock::now() + std::chrono::milliseconds(ms); }

enum class Split { kNothing, kLine, kUnended };

// Takes the next line off the unread part of `buffer` (from `consumed`) into
// `line`, raw and without its line feed, and tells what it took:
//  - kLine: a line ended by a line feed;
//  - kUnended: bytes not ended by a line feed: a kMaxLineBytes piece of a
//    longer line, or, once the input has ended, its last bytes;
//  - kNothing: more input is needed (or, once it has ended, none is left).
// `scanned` counts the unread bytes already searched, so that a long line that
// arrives over many reads is searched once. A carriage return right before the
// line feed does not count towards kMaxLineBytes, so a piece never stops just
// before LF or CR LF, which would read as a made-up empty line.
Split splitLine(const std::string& buffer, std::size_t& consumed, std::size_t& scanned,
                bool inputEnded, std::string& line) {
    const char* unreadStart = buffer.data() + consumed;
    const std::size_t unread = buffer.size() - consumed;
    const std::size_t window = std::min(unread, kMaxLineBytes + 2);
    if (scanned < window) {
        const void* lineFeed = std::memchr(unreadStart + scanned, '\n', window - scanned);
        if (lineFeed != nullptr) {
            const auto length = static_cast<std::size_t>(static_cast<const char*>(lineFeed) - unreadStart);
            const std::size_t crBefore = (length > 0 && unreadStart[length - 1] == '\r') ? 1 : 0;
            if (length - crBefore <= kMaxLineBytes) {
                line.assign(unreadStart, length);
                consumed += length + 1;
                scanned = 0;
                return Split::kLine;
            }
        }
        scanned = window;
    }
    if (unread >= kMaxLineBytes + 2 || (inputEnded && unread > 0)) {
        const std::size_t length = std::min(unread, kMaxLineBytes);
        line.assign(unreadStart, length);
        consumed += length;
        scanned = 0;
        return Split::kUnended;
    }
    return Split::kNothing;
}

// Drops the bytes already handed out, before more are appended.
void compact(std::string& buffer, std::size_t& consumed) {
    buffer.erase(0, consumed);
    consumed = 0;
}

// Waits until fd is ready for `events` or the deadline passes. Readiness
// includes errors and hang-ups, which the following call then reports.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd watched{fd, events, 0};
        const int ready = ::poll(&watched, 1, msUntil(deadline));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

struct AddressListDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListDeleter>;

// The system's name lookup takes no time-out, so it runs on a helper thread and
// the caller waits for it only until the deadline. A lookup that outlives the
// wait finishes on its own and frees its result.
struct PendingLookup {
    std::mutex mutex;
    std::condition_variable finishedSignal;
    bool finished = false;
    bool abandoned = false;
    AddressList result;
};

AddressList lookUp(const std::string& host, int port, Clock::time_point deadline) {
    auto pending = std::make_shared<PendingLookup>();
    try {
        std::thread([pending, host, service = std::to_string(port)] {
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;  // IPv4 and IPv6
            hints.ai_socktype = SOCK_STREAM;
            hints.ai_flags = AI_NUMERICSERV;
            addrinfo* found = nullptr;
            if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) found = nullptr;
            AddressList list(found);
            std::lock_guard lock(pending->mutex);
            if (!pending->abandoned) pending->result = std::move(list);
            pending->finished = true;
            pending->finishedSignal.notify_one();
        }).detach();
    } catch (const std::system_error&) {
        return nullptr;  // no thread to be had: report the lookup as failed
    }
    std::unique_lock lock(pending->mutex);
    if (!pending->finishedSignal.wait_until(lock, deadline, [&] { return pending->finished; })) {
        pending->abandoned = true;
        return nullptr;
    }
    return std::move(pending->result);
}

// Connects to one address; -1 when that fails or the deadline passes. The
// socket stays non-blocking so that every later send and receive can be
// bounded by poll.
int connectTo(const addrinfo& address, Clock::time_point deadline) {
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            address.ai_protocol);
    if (fd < 0) return -1;
    if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) return fd;
    if ((errno == EINPROGRESS || errno == EINTR) && waitFor(fd, POLLOUT, deadline)) {
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0) return fd;
    }
    ::close(fd);
    return -1;
}

}  // namespace

// TextFileReader ---------------------------------------------------------------

TextFileReader::~TextFileReader() { close(); }

void TextFileReader::open(const std::string& path) {
    close();
    // Binary mode: line ends are recognised here, and a lone CR is kept.
    file_ = std::fopen(path.c_str(), "rb");
    inputEnded_ = file_ == nullptr;
}

bool TextFileReader::readMore() {
    if (inputEnded_) return false;
    compact(buffer_, consumed_);
    const std::size_t old = buffer_.size();
    buffer_.resize(old + kFileChunk);
    const std::size_t got = std::fread(buffer_.data() + old, 1, kFileChunk, file_);
    buffer_.resize(old + got);
    // A short read means the end of the file or a read error; either way the
    // file gives nothing more.
    if (got < kFileChunk) inputEnded_ = true;
    return got > 0;
}

std::string TextFileReader::readLine() {
    std::string line;
    for (;;) {
        switch (splitLine(buffer_, consumed_, scanned_, inputEnded_, line)) {
            case Split::kLine:
                if (!line.empty() && line.back() == '\r') line.pop_back();
                return line;
            case Split::kUnended:
                return line;
            case Split::kNothing:
                break;
        }
        if (inputEnded_) return {};
        readMore();
    }
}

bool TextFileReader::atEnd() {
    while (consumed_ == buffer_.size()) {
        if (inputEnded_) return true;
        readMore();
    }
    return false;
}

void TextFileReader::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    std::string().swap(buffer_);
    consumed_ = 0;
    scanned_ = 0;
    inputEnded_ = true;
}

// TcpLineClient ----------------------------------------------------------------

TcpLineClient::~TcpLineClient() { close(); }

// One deadline covers the lookup and the connection. With several addresses
// (IPv6 and IPv4), each attempt gets an equal share of the time still left, so
// one address that never answers leaves time for the others.
int TcpLineClient::open(const Endpoint& endpoint, int timeoutMs) {
    close();
    timeoutMs_ = std::max(timeoutMs, 0);
    const auto deadline = deadlineIn(timeoutMs_);
    if (endpoint.host.empty() || endpoint.port < 1 || endpoint.port > 65535) return kLookupFailed;
    const AddressList addresses = lookUp(endpoint.host, endpoint.port, deadline);
    if (!addresses) return kLookupFailed;
    Clock::rep left = 0;
    for (const addrinfo* address = addresses.get(); address != nullptr; address = address->ai_next) ++left;
    for (const addrinfo* address = addresses.get(); address != nullptr; address = address->ai_next, --left) {
        const auto now = Clock::now();
        fd_ = connectTo(*address, now + std::max(deadline - now, Clock::duration::zero()) / left);
        if (fd_ >= 0) return 0;
    }
    return kConnectFailed;
}

// Sends all the bytes or, when the connection fails or the time-out passes
// first, shuts the write side: a later send would carry on from the middle of
// a broken message, and now fails at once instead. The peer sees where the
// message ended, and whatever it still sends can be received.
void TcpLineClient::send(std::string_view bytes) {
    if (fd_ < 0) return;
    const auto deadline = deadlineIn(timeoutMs_);
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(fd_, POLLOUT, deadline)) continue;
        ::shutdown(fd_, SHUT_WR);
        return;
    }
}

bool TcpLineClient::fill(int waitMs) {
    compact(buffer_, consumed_);
    const auto deadline = deadlineIn(waitMs);
    for (;;) {
        if (!waitFor(fd_, POLLIN, deadline)) {
            waited_ = true;
            lastReceiveSize_ = 0;
            return false;
        }
        const std::size_t old = buffer_.size();
        buffer_.resize(old + kBufferSize);
        const ssize_t got = ::recv(fd_, buffer_.data() + old, kBufferSize, 0);
        const int error = errno;
        buffer_.resize(old + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        if (got < 0 && (error == EINTR || error == EAGAIN || error == EWOULDBLOCK)) continue;
        waited_ = true;
        lastReceiveSize_ = static_cast<std::size_t>(std::max<ssize_t>(got, 0));
        if (got > 0) return true;
        peerClosed_ = true;  // 0: the peer closed; below 0: the connection failed
        return false;
    }
}

// Waits at most the time-out in all for the rest of a line. On time-out the
// bytes of an unfinished line stay buffered: the next call continues the line,
// or returns it as it stands once the peer has closed.
std::string TcpLineClient::receive() {
    if (fd_ < 0) return {};
    const auto deadline = deadlineIn(timeoutMs_);
    std::string line;
    for (;;) {
        if (splitLine(buffer_, consumed_, scanned_, peerClosed_, line) != Split::kNothing) {
            std::erase(line, '\r');
            return line;
        }
        if (peerClosed_) return {};
        if (!fill(msUntil(deadline)) && !peerClosed_) return {};
    }
}

// The end of the data, as far as the connection can tell:
//  - not open: true;
//  - the peer has closed (or the connection failed): true once every buffered
//    byte has been handed out;
//  - before the first receive: false, nothing is known yet;
//  - after a receive that filled the whole 65536-byte buffer: false until its
//    bytes are all handed out and a later receive comes back short;
//  - after a short receive, all of whose bytes are handed out (or after a
//    receive that timed out, which counts as a receive of nothing): true,
//    unless more data has arrived on the socket since. That check keeps a
//    reply split over several packets from being cut short at the first.
// An unfinished line left by a receive that timed out does not hold off the
// end: the data has stalled, and waiting on it again would wait for ever.
bool TcpLineClient::atEnd() const {
    if (fd_ < 0) return true;
    const bool allHandedOut = consumed_ == buffer_.size();
    if (peerClosed_) return allHandedOut;
    if (!waited_) return false;
    if (lastReceiveSize_ >= kBufferSize) return false;
    if (lastReceiveSize_ > 0 && !allHandedOut) return false;
    char next = 0;
    const ssize_t waiting = ::recv(fd_, &next, 1, MSG_PEEK | MSG_DONTWAIT);
    if (waiting > 0) return false;
    // The peer has closed or the connection failed, and receive has not seen
    // it yet: the next receive hands out any unfinished line.
    if (waiting == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) return allHandedOut;
    return true;
}

void TcpLineClient::close() {
    if (fd_ >= 0) ::close(fd_);  // no linger set: this never blocks
    fd_ = -1;
    std::string().swap(buffer_);
    consumed_ = 0;
    scanned_ = 0;
    lastReceiveSize_ = 0;
    waited_ = false;
    peerClosed_ = false;
}

}  // namespace tarnwick
