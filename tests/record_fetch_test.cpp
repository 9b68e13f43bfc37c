// Fetching a game by number from a scripted server on the loopback: the
// exact request, the reply forms a server may use, and every way a fetch
// can fail without touching the shown game.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "app/load_game.h"
#include "board_text.h"
#include "havannah/tests/record_index.h"
#include "http_test_server.h"
#include "board/layout.h"
#include "screen_fixture.h"

namespace tarnwick {
namespace {

using testing::HttpTestServer;
using testing::ScriptedReply;
using Clock = std::chrono::steady_clock;

constexpr std::string_view kRecord =
    "(;FF[4]EV[hav.mc.3.1]PB[Nagy Fathy]PW[kpatrick]SZ[8]RU[LG]RE[B]GC[ game #1009692]"
    "SO[http://www.littlegolem.com];W[H3];B[swap];W[F3];B[resign])";

constexpr std::string_view kRequest =
    "GET /servlet/sgf/1009692/game.txt HTTP/1.1\r\nHost: www.littlegolem.net\r\n\r\n";

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class FetchTest : public testing::ScreenTest {
  protected:
    void SetUp() override {
        start();
        // Short limits keep the time-out cases quick; the defaults are
        // the same code with larger numbers.
        app.acquire.FetchLimits.stallMs = 400;
        app.acquire.FetchLimits.connectMs = 400;
        app.acquire.FetchLimits.totalMs = 3000;
    }

    // Types the number into the entry and lets it fetch from `server`.
    void fetchFrom(const HttpTestServer& server, std::string_view number = "1009692") {
        platform.redirectHost(std::string(acquire::kGameServerHost), server.port());
        typeNumber(number);
        loadGameByNumber(app);
    }
    // Seven digits end the entry by themselves; six need Enter.
    void typeNumber(std::string_view number) {
        for (const char digit : number) platform.pressKey(std::string(1, digit), platform.nowMs());
        if (number.size() < 7) platform.pressKey(std::string(1, keys::kEnter), platform.nowMs());
    }

    // A game already on the board, which failed fetches must leave alone.
    void showSomeGame() {
        loadRecordText(app,
                       "(;FF[4]EV[null]PB[Ann]PW[Bob]SZ[8]RE[W]GC[ game #7]SO[http://www.littlegolem.com];W[D4];B[E5];W[F3])");
        shownBoard_ = testing::boardText(app);
        shownRecord_ = app.game.record;
    }
    void expectShownGameUnchanged() {
        EXPECT_EQ(testing::boardText(app), shownBoard_);
        EXPECT_EQ(app.game.moveCount(), 3);
        EXPECT_EQ(app.game.record.blackPlayer, shownRecord_.blackPlayer);
        EXPECT_EQ(app.game.record.eventName, shownRecord_.eventName);
    }

    // Black pixels in the number field: after a reply without a record it
    // reads "Invalid Game #"; after a failed exchange it is blank.
    int numberFieldInk() const {
        int ink = 0;
        for (int y = 59; y < 77; ++y)
            for (int x = 49; x < 139; ++x) ink += pixel(x, y) == colours::kBlack ? 1 : 0;
        return ink;
    }

    // Black pixels on the panel's message line (the fetch line, a problem).
    static int messageInk(const std::vector<std::uint32_t>& frame) {
        int ink = 0;
        for (int y = board::kPanelMessageBottom - 12; y <= board::kPanelMessageBottom; ++y)
            for (int x = 654; x < 1016; ++x)
                ink += frame[static_cast<std::size_t>(y) * Canvas::kWidth + x] == colours::kBlack.packed();
        return ink;
    }

    void expectRecordShown() {
        EXPECT_EQ(app.game.record.blackPlayer, "Nagy Fathy");
        EXPECT_EQ(app.game.record.gameNumber, "1009692");
        EXPECT_EQ(app.game.moveCount(), 4);
        EXPECT_EQ(app.game.CurrentMove, 3);  // stops before the resignation
        EXPECT_EQ(testing::cellChar(app, "F3"), 'B');
    }

    std::string shownBoard_;
    game::GameRecord shownRecord_;
};

TEST_F(FetchTest, SendsExactlyTheThreeLineRequestAndShowsTheGame) {
    HttpTestServer server({ScriptedReply::withLength(200, std::string(kRecord) + "\r\n", {"Content-Type: text/plain"})});
    fetchFrom(server);
    ASSERT_EQ(server.requests().size(), 1U);
    EXPECT_EQ(server.requests()[0], kRequest);
    EXPECT_EQ(app.game.record.recordText, kRecord);
    expectRecordShown();
    EXPECT_EQ(platform.beepCount(), 0);
}

TEST_F(FetchTest, ReplyFormsThatAllCarryTheSameRecord) {
    // The record split over lines with CR LF, blank lines and text before it.
    const std::string body = "junk before the record\r\n\r\n" + std::string(kRecord.substr(0, 60)) + "\r\n" +
                             std::string(kRecord.substr(60, 50)) + "\n\n" + std::string(kRecord.substr(110)) + "\r\n";
    std::vector<std::string> manyHeaders;
    for (int i = 0; i < 40; ++i) manyHeaders.push_back("X-Filler-" + std::to_string(i) + ": " + std::string(i, 'z'));

    struct Form {
        const char* name;
        ScriptedReply reply;
    };
    std::vector<Form> forms = {
        {"no header lines but the length", ScriptedReply::withLength(200, body)},
        {"forty header lines", ScriptedReply::withLength(200, body, manyHeaders)},
        // 0xab = 171 and 0xc = 12 bytes: sizes that begin with letters.
        {"chunks of 171", ScriptedReply::chunked(body, 0xab)},
        {"chunks of 12", ScriptedReply::chunked(body, 0xc)},
        {"a lone line feed ending the header lines", ScriptedReply{{"HTTP/1.1 200 OK\nContent-Length: " +
                                                                    std::to_string(body.size()) + "\n\n" + body}}},
        {"bounded by the connection's end", ScriptedReply{{"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", body}, 50}},
    };
    for (Form& form : forms) {
        SCOPED_TRACE(form.name);
        app.game.record = game::GameRecord{};
        HttpTestServer server({form.reply});
        fetchFrom(server);
        EXPECT_EQ(app.game.record.recordText, kRecord);
        expectRecordShown();
    }
    EXPECT_EQ(platform.beepCount(), 0);
}

TEST_F(FetchTest, OfTwoRecordsTheFirstIsShown) {
    std::string second(kRecord);
    second.replace(second.find("Nagy Fathy"), 10, "Someone");
    HttpTestServer server({ScriptedReply::withLength(200, std::string(kRecord) + "\n" + second + "\n")});
    fetchFrom(server);
    EXPECT_EQ(app.game.record.recordText, kRecord);
    expectRecordShown();
}

TEST_F(FetchTest, RedirectsAreFollowedUpToThree) {
    {
        HttpTestServer server({ScriptedReply::redirect(301, "/servlet/sgf/1009692/moved.txt"),
                               ScriptedReply::redirect(302, "http://www.littlegolem.net/elsewhere.txt"),
                               ScriptedReply::redirect(307, "/last.txt"),
                               ScriptedReply::withLength(200, kRecord)});
        fetchFrom(server);
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), 4U);
        EXPECT_EQ(requests[1], "GET /servlet/sgf/1009692/moved.txt HTTP/1.1\r\nHost: www.littlegolem.net\r\n\r\n");
        EXPECT_EQ(requests[3], "GET /last.txt HTTP/1.1\r\nHost: www.littlegolem.net\r\n\r\n");
        expectRecordShown();
        EXPECT_EQ(platform.beepCount(), 0);
    }
    showSomeGame();
    HttpTestServer endless({ScriptedReply::redirect(302, "/again.txt")});
    fetchFrom(endless);
    EXPECT_EQ(endless.requests().size(), 4U) << "the request and three redirects";
    EXPECT_EQ(numberFieldInk(), 0);
    EXPECT_EQ(platform.beepCount(), 1);
    expectShownGameUnchanged();
}

// A reply that arrives but holds no record flashes "Invalid Game #"; an
// exchange that fails beeps. Either way the shown game stays.
TEST_F(FetchTest, FailedFetchesLeaveTheShownGame) {
    const std::string big(std::size_t{4} << 20, 'x');
    struct Case {
        const char* name;
        ScriptedReply reply;
        int fetchOk;  // 1: a reply without a record
    };
    std::vector<Case> cases = {
        {"404 whose page quotes a record", ScriptedReply::withLength(404, kRecord), 1},
        {"500", ScriptedReply::withLength(500, "server error"), 1},
        {"a success without a record", ScriptedReply::withLength(200, "no game here\r\n"), 1},
        {"an empty body", ScriptedReply::withLength(200, ""), 1},
        {"a record of base 9", ScriptedReply::withLength(200, "(;FF[4]SZ[9]SO[x.com];W[A1])"), 1},
        {"not HTTP at all", ScriptedReply{{"garbage garbage\r\n\r\n(;FF[4]SZ[8])\r\n"}}, 0},
        {"a length over 4 MiB", ScriptedReply::withLength(200, std::string(kRecord) + big), 0},
        {"chunks adding up to over 4 MiB", ScriptedReply::chunked(std::string(kRecord) + big, 65536), 0},
        {"a length promised but not sent", ScriptedReply{{"HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n(;FF"}}, 0},
        {"a broken chunk size", ScriptedReply{{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n"}}, 0},
    };
    showSomeGame();
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int beeps = platform.beepCount();
        HttpTestServer server({c.reply});
        fetchFrom(server);
        EXPECT_EQ(numberFieldInk() > 0, c.fetchOk == 1) << "Invalid Game # shown";
        EXPECT_EQ(platform.beepCount(), beeps + 1);
        expectShownGameUnchanged();
    }
}

// While a fetch waits, a line in the panel names the game being fetched;
// it goes when the fetch ends, however it ends. The header names the game
// shown throughout, never the number typed.
// The fetch line and the message after a failure stand on the lower line of
// the panel's note area, clear of the title and the players' band above.
TEST_F(FetchTest, AWaitingFetchIsShownAndTheHeaderNamesTheGameShown) {
    const auto inkIn = [](const std::vector<std::uint32_t>& frame, int top, int bottom) {
        int ink = 0;
        for (int y = top; y <= bottom; ++y)
            for (int x = 654; x < 1016; ++x)
                ink += frame[static_cast<std::size_t>(y) * Canvas::kWidth + x] == colours::kBlack.packed();
        return ink;
    };
    showSomeGame();
    int shown = 0;
    int squeezed = 0;
    platform.onPresent([&] {
        shown += messageInk(platform.presentedPixels()) > 20 ? 1 : 0;
        squeezed += inkIn(platform.presentedPixels(), 91, 108);
    });
    HttpTestServer server({ScriptedReply{{"not HTTP\r\n\r\n"}}, ScriptedReply::withLength(200, "no game here"),
                           ScriptedReply::withLength(200, kRecord), ScriptedReply::silence()});
    platform.redirectHost(std::string(acquire::kGameServerHost), server.port());
    const struct {
        const char* end;
        const char* header;  // the game number the header names afterwards
        bool named;          // a line in the panel says what went wrong
    } fetches[] = {
        {"a failed exchange", "7", true},
        {"a reply without a record", "7", false},  // "Invalid Game #" says it
        {"a record", "1009692", false},
        {"the window closed", "1009692", false},
    };
    for (const auto& f : fetches) {
        SCOPED_TRACE(f.end);
        if (&f == &fetches[3]) platform.closeByUser(platform.nowMs() + 300);
        shown = 0;
        typeNumber("1009692");
        loadGameByNumber(app);
        EXPECT_GE(shown, 1);  // the message of the fetch before stays while the number is typed
        EXPECT_EQ(messageInk(platform.canvas().pixels()) > 20, f.named);
        EXPECT_EQ(app.game.record.gameNumber, f.header);
    }
    EXPECT_EQ(squeezed, 0);
}

TEST_F(FetchTest, ABodyOfExactlyTheLimitIsRead) {
    std::string body = std::string(kRecord) + "\n";
    body += std::string((std::size_t{4} << 20) - body.size(), '\n');
    HttpTestServer server({ScriptedReply::withLength(200, body)});
    fetchFrom(server);
    expectRecordShown();
}

TEST_F(FetchTest, RefusedAndSilentServersEndInABeepWithinTheLimits) {
    showSomeGame();
    int closedPort = 0;
    {
        const HttpTestServer gone({});
        closedPort = gone.port();
    }
    platform.redirectHost(std::string(acquire::kGameServerHost), closedPort);
    typeNumber("1009692");
    Clock::time_point start = Clock::now();
    loadGameByNumber(app);
    EXPECT_LT(msSince(start), 1000);
    EXPECT_EQ(platform.beepCount(), 1);

    HttpTestServer silent({ScriptedReply::silence()});
    start = Clock::now();
    fetchFrom(silent);
    const long long waited = msSince(start);
    EXPECT_GE(waited, 350);
    EXPECT_LT(waited, 2000);
    EXPECT_EQ(platform.beepCount(), 2);

    // Data that trickles in more slowly than the whole exchange may last.
    app.acquire.FetchLimits.totalMs = 600;
    ScriptedReply trickle{{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n", "(;FF", "[4]", "SZ[8]", "x", "y"}, 200};
    HttpTestServer slow({trickle});
    start = Clock::now();
    fetchFrom(slow);
    EXPECT_LT(msSince(start), 1500);
    EXPECT_EQ(platform.beepCount(), 3);
    expectShownGameUnchanged();
}

TEST_F(FetchTest, ClosingTheWindowEndsTheWaitAtOnce) {
    showSomeGame();
    app.acquire.FetchLimits = HttpLimits{};  // the real 14 s and 20 s
    HttpTestServer silent({ScriptedReply::silence()});
    platform.closeByUser(platform.nowMs() + 300);
    const Clock::time_point start = Clock::now();
    fetchFrom(silent);
    EXPECT_LT(msSince(start), 1500);
    EXPECT_EQ(numberFieldInk(), 0);
    EXPECT_EQ(platform.beepCount(), 0);
    EXPECT_EQ(platform.windowSize(), Extent{});
    expectShownGameUnchanged();
}

// A game number on the command line is fetched as the field fetches it: the
// line shows while it waits, Escape gives the wait up (the program goes on
// with the game it shows), and a failure is named in the panel.
TEST_F(FetchTest, AGameNumberAtStartIsFetchedAsTheFieldDoes) {
    showSomeGame();
    app.acquire.FetchLimits = HttpLimits{};  // the real 14 s and 20 s
    CommandLine line;
    line.gameNumber = "1009692";
    int fetchLines = 0;
    platform.onPresent([&] { fetchLines += messageInk(platform.presentedPixels()) > 20 ? 1 : 0; });

    HttpTestServer silent({ScriptedReply::silence()});
    platform.redirectHost(std::string(acquire::kGameServerHost), silent.port());
    platform.pressKey(std::string(1, keys::kEscape), platform.nowMs() + 300);
    const Clock::time_point start = Clock::now();
    openAtStart(app, line);
    EXPECT_LT(msSince(start), 1500);
    EXPECT_EQ(fetchLines, 1);
    EXPECT_EQ(messageInk(platform.canvas().pixels()), 0) << "nothing to report after Escape";
    EXPECT_EQ(platform.beepCount(), 0);
    EXPECT_TRUE(platform.windowOpen());
    expectShownGameUnchanged();

    int closedPort = 0;
    {
        const HttpTestServer gone({});
        closedPort = gone.port();
    }
    platform.redirectHost(std::string(acquire::kGameServerHost), closedPort);
    openAtStart(app, line);
    EXPECT_GT(messageInk(platform.canvas().pixels()), 20) << "the failure is named";
    EXPECT_EQ(platform.beepCount(), 1);
    expectShownGameUnchanged();
}

// Behind a web proxy the request names the whole URL and goes to the proxy,
// which passes it on; a route to another server (TARNWICK_SERVER) wins
// over the proxy.
TEST_F(FetchTest, AProxyGetsTheAbsoluteUrlAndTheGameArrives) {
    const std::string record = testing::fileText(std::filesystem::path(TARNWICK_RECORDS_DIR) / "1009692.sgf");
    HttpTestServer server({ScriptedReply::withLength(200, record)});
    HttpTestServer proxy({ScriptedReply::forwardTo(server.port())});
    platform.useProxies({"http://127.0.0.1:" + std::to_string(proxy.port()), "", "localhost,.example.com"});
    typeNumber("1009692");
    loadGameByNumber(app);
    ASSERT_EQ(proxy.requests().size(), 1U);
    EXPECT_EQ(proxy.requests()[0],
              "GET http://www.littlegolem.net/servlet/sgf/1009692/game.txt HTTP/1.1\r\nHost: www.littlegolem.net\r\n"
              "Proxy-Connection: Keep-Alive\r\n\r\n");
    ASSERT_EQ(server.requests().size(), 1U);
    EXPECT_EQ(server.requests()[0], kRequest);
    EXPECT_EQ(app.game.record.gameNumber, "1009692");
    EXPECT_EQ(platform.beepCount(), 0);

    HttpTestServer routed({ScriptedReply::withLength(200, record)});
    fetchFrom(routed);
    ASSERT_EQ(routed.requests().size(), 1U);
    EXPECT_EQ(routed.requests()[0], kRequest);
    EXPECT_EQ(proxy.requests().size(), 1U) << "the routed fetch went through the proxy";
}

TEST(EndpointTest, ServerSettingIsHostColonPort) {
    EXPECT_EQ(parseEndpoint("127.0.0.1:8080")->host, "127.0.0.1");
    EXPECT_EQ(parseEndpoint("127.0.0.1:8080")->port, 8080);
    EXPECT_EQ(parseEndpoint("localhost:1")->port, 1);
    EXPECT_EQ(parseEndpoint("[::1]:65535")->host, "::1");
    for (const char* bad : {"", "localhost", ":80", "host:", "host:0", "host:65536", "host:8o", "::1:80", "a b:80",
                            "host:123456"}) {
        EXPECT_FALSE(parseEndpoint(bad).has_value()) << bad;
    }
}

// Every real record, served as the game server would serve it, in chunks.
TEST_F(FetchTest, EveryRealRecordArrivesThroughTheFetch) {
    const std::filesystem::path folder = TARNWICK_RECORDS_DIR;
    struct Served {
        std::string number;
        std::string record;
        int size = 0;  // 0 for a base the program does not show
    };
    std::vector<Served> served;
    for (const testing::IndexRow& row : testing::readIndex(folder)) {
        const int size = row.size == 8 || row.size == 10 ? row.size : 0;
        served.push_back({row.number, testing::fileText(folder / row.file), size});
    }
    // One base after the other, so the board is rebuilt only twice.
    std::sort(served.begin(), served.end(), [](const Served& a, const Served& b) {
        return a.size != b.size ? a.size < b.size : a.number < b.number;
    });
    ASSERT_GT(served.size(), 700U);
    std::vector<ScriptedReply> replies;
    for (const Served& s : served) replies.push_back(ScriptedReply::chunked(s.record, 0xa0));
    HttpTestServer server(std::move(replies));
    platform.redirectHost(std::string(acquire::kGameServerHost), server.port());
    for (const Served& s : served) {
        SCOPED_TRACE(s.number);
        const int beeps = platform.beepCount();
        typeNumber(s.number);
        loadGameByNumber(app);
        if (s.size == 0) {
            EXPECT_GT(numberFieldInk(), 0) << "Invalid Game #";
            EXPECT_EQ(platform.beepCount(), beeps + 1);
            continue;
        }
        EXPECT_EQ(app.board.BoardSize, s.size);
        EXPECT_EQ(app.game.record.gameNumber, s.number);
        EXPECT_EQ(platform.beepCount(), beeps);
    }
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), served.size());
    EXPECT_EQ(requests.back(), "GET /servlet/sgf/" + served.back().number +
                                   "/game.txt HTTP/1.1\r\nHost: www.littlegolem.net\r\n\r\n");
}

}  // namespace
}  // namespace tarnwick
