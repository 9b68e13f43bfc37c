// Tests of the text file reader and the line-oriented TCP client, against
// files in a temporary folder and a small server on the loopback.
#include "platform/line_reader.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Long lines are handed out in pieces of at most this many bytes.
constexpr std::size_t kMaxLine = std::size_t{16} << 20;

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Files -----------------------------------------------------------------------

class TextFileReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tarnwick-lines-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string write(const std::string& content) {
        const std::string path = (folder_ / ("f" + std::to_string(files_++))).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    static std::vector<std::string> readAll(TextFileReader& reader) {
        std::vector<std::string> lines;
        while (!reader.atEnd()) lines.push_back(reader.readLine());
        return lines;
    }

    fs::path folder_;
    int files_ = 0;
};

TEST_F(TextFileReaderTest, LineEnds) {
    const std::string longLine(65535, 'x');  // its CR LF straddles two reads
    const struct {
        std::string content;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nlast", {"a", "last"}},
        {"", {}},
        {"\n\nx\n\n", {"", "", "x", ""}},
        {"\r\n", {""}},
        {"lone\rcr\n", {"lone\rcr"}},
        {"a\r\r\nb", {"a\r", "b"}},
        {"tail\r", {"tail\r"}},
        {std::string("nul\0byte\n", 9), {std::string("nul\0byte", 8)}},
        {longLine + "\r\nnext\n", {longLine, "next"}},
        {std::string(200000, 'y') + "\n", {std::string(200000, 'y')}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.content.substr(0, 40)));
        TextFileReader reader;
        reader.open(write(c.content));
        EXPECT_EQ(readAll(reader), c.lines);
        EXPECT_EQ(reader.readLine(), "");
        EXPECT_TRUE(reader.atEnd());
    }
}

TEST_F(TextFileReaderTest, MissingFileReopenAndClose) {
    TextFileReader reader;
    EXPECT_TRUE(reader.atEnd());  // never opened
    reader.open((folder_ / "missing.txt").string());
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.readLine(), "");

    const std::string path = write("one\ntwo\n");
    reader.open(path);
    EXPECT_EQ(reader.readLine(), "one");
    reader.open(path);  // reopening starts again from the top
    EXPECT_EQ(readAll(reader), (std::vector<std::string>{"one", "two"}));

    reader.open(path);
    reader.open((folder_ / "missing.txt").string());  // closes the open file
    EXPECT_FALSE(reader.isOpen());
    EXPECT_TRUE(reader.atEnd());
    reader.open(path);
    reader.close();
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.readLine(), "");
}

TEST_F(TextFileReaderTest, OverlongLinesComeInPiecesWithoutLoss) {
    const std::string huge = std::string(kMaxLine, 'a') + "tail";
    const std::string exact(kMaxLine, 'b');
    TextFileReader reader;
    reader.open(write(huge + "\n" + exact + "\r\nafter"));
    EXPECT_EQ(reader.readLine(), huge.substr(0, kMaxLine));
    EXPECT_EQ(reader.readLine(), "tail");
    EXPECT_EQ(reader.readLine(), exact);  // no made-up empty line after it
    EXPECT_EQ(reader.readLine(), "after");
    EXPECT_TRUE(reader.atEnd());
}

// TCP -------------------------------------------------------------------------

// Serves one connection on the loopback: accepts one client and runs a script
// on it in a thread of its own.
class LoopbackServer {
  public:
    explicit LoopbackServer(std::function<void(int)> script, bool ipv6 = false) {
        listener_ = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_storage address{};
        socklen_t size = 0;
        if (ipv6) {
            auto& a = reinterpret_cast<sockaddr_in6&>(address);
            a.sin6_family = AF_INET6;
            a.sin6_addr = in6addr_loopback;
            size = sizeof a;
        } else {
            auto& a = reinterpret_cast<sockaddr_in&>(address);
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            size = sizeof a;
        }
        auto* raw = reinterpret_cast<sockaddr*>(&address);
        if (listener_ < 0 || ::bind(listener_, raw, size) != 0 || ::listen(listener_, 4) != 0 ||
            ::getsockname(listener_, raw, &size) != 0)
            return;
        port_ = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6&>(address).sin6_port
                           : reinterpret_cast<sockaddr_in&>(address).sin_port);
        thread_ = std::thread([this, script = std::move(script)] {
            pollfd waiting{listener_, POLLIN, 0};
            if (::poll(&waiting, 1, 3000) != 1) return;
            const int fd = ::accept(listener_, nullptr, nullptr);
            if (fd < 0) return;
            script(fd);
            ::close(fd);
        });
    }
    ~LoopbackServer() {
        if (thread_.joinable()) thread_.join();
        if (listener_ >= 0) ::close(listener_);
    }
    int port() const { return port_; }

  private:
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

void sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

// Reads until the client closes (or 3 s pass); returns what it sent.
std::string readUntilClosed(int fd) {
    std::string got;
    char chunk[4096];
    pollfd waiting{fd, POLLIN, 0};
    while (::poll(&waiting, 1, 3000) == 1) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        got.append(chunk, static_cast<std::size_t>(n));
    }
    return got;
}

Endpoint loopback(int port) { return Endpoint{"127.0.0.1", port}; }

TEST(TcpLineClientTest, SendsExactBytesAndSplitsLinesAcrossPackets) {
    std::string request;
    std::binary_semaphore requestRead{0};
    LoopbackServer server([&](int fd) {
        sendAll(fd, "HTTP/1.1 200 OK\r\nHo");
        std::this_thread::sleep_for(20ms);
        sendAll(fd, "st: x\r\n\r\nbo\rdy\r");
        std::this_thread::sleep_for(20ms);
        sendAll(fd, "\nlast");
        ::shutdown(fd, SHUT_WR);
        request = readUntilClosed(fd);
        requestRead.release();
    });
    TcpLineClient client;
    ASSERT_EQ(client.open(loopback(server.port()), 2000), 0);
    client.send("GET /x HTTP/1.1\r\n");
    client.send("\r\n");
    for (const char* expected : {"HTTP/1.1 200 OK", "Host: x", "", "body", "last"}) {
        EXPECT_FALSE(client.atEnd());
        EXPECT_EQ(client.receive(), expected);
    }
    EXPECT_TRUE(client.atEnd());
    const auto start = Clock::now();
    EXPECT_EQ(client.receive(), "");  // closed by the peer: no waiting
    EXPECT_LT(msSince(start), 100);
    client.close();
    EXPECT_TRUE(client.atEnd());
    ASSERT_TRUE(requestRead.try_acquire_for(3s));
    EXPECT_EQ(request, "GET /x HTTP/1.1\r\n\r\n");
}

TEST(TcpLineClientTest, TimeOutKeepsTheUnfinishedLine) {
    std::binary_semaphore carryOn{0};
    LoopbackServer server([&](int fd) {
        sendAll(fd, "pa");
        std::this_thread::sleep_for(120ms);  // a trickle does not extend the wait
        sendAll(fd, "r");
        if (!carryOn.try_acquire_for(3s)) return;
        sendAll(fd, "tial\nnext");
        readUntilClosed(fd);
    });
    TcpLineClient client;
    ASSERT_EQ(client.open(loopback(server.port()), 200), 0);
    EXPECT_FALSE(client.atEnd());  // nothing received yet
    const auto start = Clock::now();
    EXPECT_EQ(client.receive(), "");
    EXPECT_GE(msSince(start), 190);
    EXPECT_LT(msSince(start), 300);
    EXPECT_TRUE(client.atEnd());  // stalled: nothing more is waiting
    carryOn.release();
    EXPECT_EQ(client.receive(), "partial");
    // "next" is not finished and the peer holds the connection open.
    EXPECT_EQ(client.receive(), "");
    EXPECT_TRUE(client.atEnd());
}

TEST(TcpLineClientTest, AtEndLooksForDataThatArrivedAfterTheLastReceive) {
    std::binary_semaphore sendMore{0};
    std::binary_semaphore sent{0};
    LoopbackServer server([&](int fd) {
        sendAll(fd, "a\n");
        if (!sendMore.try_acquire_for(3s)) return;
        sendAll(fd, "b\n");
        sent.release();
        readUntilClosed(fd);
    });
    TcpLineClient client;
    ASSERT_EQ(client.open(loopback(server.port()), 1000), 0);
    EXPECT_EQ(client.receive(), "a");
    EXPECT_TRUE(client.atEnd());
    sendMore.release();
    ASSERT_TRUE(sent.try_acquire_for(3s));
    std::this_thread::sleep_for(20ms);  // let the loopback deliver
    EXPECT_FALSE(client.atEnd());
    EXPECT_EQ(client.receive(), "b");
    EXPECT_TRUE(client.atEnd());
}

TEST(TcpLineClientTest, OverlongLinesComeInPiecesWithoutLoss) {
    const std::string huge = std::string(kMaxLine, 'a') + "tail";
    const std::string exact(kMaxLine, 'b');
    LoopbackServer server([&](int fd) { sendAll(fd, huge + "\n" + exact + "\r\nok\n"); });
    TcpLineClient client;
    ASSERT_EQ(client.open(loopback(server.port()), 2000), 0);
    EXPECT_EQ(client.receive(), huge.substr(0, kMaxLine));
    EXPECT_EQ(client.receive(), "tail");
    EXPECT_EQ(client.receive(), exact);  // no made-up empty line after it
    EXPECT_EQ(client.receive(), "ok");
    EXPECT_EQ(client.receive(), "");
    EXPECT_TRUE(client.atEnd());
}

TEST(TcpLineClientTest, ConnectsByNameOverIpv4AndIpv6) {
    for (const bool ipv6 : {false, true}) {
        LoopbackServer server([](int fd) { sendAll(fd, "hello\n"); }, ipv6);
        if (server.port() == 0) {
            ASSERT_TRUE(ipv6) << "no IPv4 loopback";
            GTEST_SKIP() << "no IPv6 loopback here";
        }
        TcpLineClient client;
        ASSERT_EQ(client.open(Endpoint{ipv6 ? "::1" : "localhost", server.port()}, 1000), 0);
        EXPECT_EQ(client.receive(), "hello");
    }
}

TEST(TcpLineClientTest, FailedConnectionsReportNonZeroQuickly) {
    int closedPort = 0;
    {
        LoopbackServer unused([](int) {});
        closedPort = unused.port();
        TcpLineClient wake;  // lets the server thread finish
        ASSERT_EQ(wake.open(loopback(closedPort), 1000), 0);
    }
    TcpLineClient client;
    for (const Endpoint& endpoint : {loopback(closedPort), Endpoint{"no-such-host.invalid", 80},
                                     Endpoint{"", 80}, loopback(0), loopback(70000)}) {
        SCOPED_TRACE(endpoint.host + ":" + std::to_string(endpoint.port));
        const auto start = Clock::now();
        EXPECT_NE(client.open(endpoint, 200), 0);
        EXPECT_LT(msSince(start), 400);
        EXPECT_FALSE(client.isOpen());
        EXPECT_TRUE(client.atEnd());
        EXPECT_EQ(client.receive(), "");
        client.send("ignored");
    }
}

TEST(TcpLineClientTest, ReopeningClosesTheOldConnection) {
    std::binary_semaphore closedSeen{0};
    LoopbackServer first([&](int fd) {
        readUntilClosed(fd);
        closedSeen.release();
    });
    LoopbackServer second([](int fd) { sendAll(fd, "second\n"); });
    TcpLineClient client;
    ASSERT_EQ(client.open(loopback(first.port()), 1000), 0);
    ASSERT_EQ(client.open(loopback(second.port()), 1000), 0);
    EXPECT_TRUE(closedSeen.try_acquire_for(1s));
    EXPECT_EQ(client.receive(), "second");
}

// Sending to a peer that has gone must neither raise SIGPIPE (which would end
// this test program) nor wait past the time-out on a peer that reads nothing.
TEST(TcpLineClientTest, SendsAreSafeAndBounded) {
    {
        LoopbackServer resets([](int fd) {
            std::this_thread::sleep_for(50ms);  // let the client finish connecting
            const linger abort{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        });
        TcpLineClient client;
        ASSERT_EQ(client.open(loopback(resets.port()), 200), 0);
        EXPECT_EQ(client.receive(), "");  // sees the reset
        EXPECT_TRUE(client.atEnd());
        client.send("GET / HTTP/1.1\r\n");  // would raise SIGPIPE
    }
    std::binary_semaphore done{0};
    LoopbackServer deaf([&](int) { (void)done.try_acquire_for(3s); });
    TcpLineClient client;
    ASSERT_EQ(client.open(loopback(deaf.port()), 200), 0);
    const std::string big(32u << 20, 'z');  // more than the socket buffers hold
    auto start = Clock::now();
    client.send(big);
    EXPECT_LT(msSince(start), 1000);
    // The message is broken: what follows fails at once, never sent after it.
    start = Clock::now();
    client.send("more");
    EXPECT_LT(msSince(start), 50);
    client.close();
    done.release();
}

}  // namespace
}  // namespace tarnwick
