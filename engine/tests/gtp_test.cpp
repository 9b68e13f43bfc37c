// The GTP front end: command scripts against saved answers (engine/tests/
// data/NAME.gtp and NAME.out; @RECORDS@ stands for the real records'
// folder, and an answer line ending in @ANY@ matches any line that begins
// as it does, for moves chosen freely), the analysis stream's form, the
// program's command line, garbage that must get one answer a line without
// ending the program, and play on the clock (budgets, clocks, the watch
// over a running search, and whole games timed by a fake clock).
#include "engine/gtp/gtp.h"
#include "havannah/tests/record_index.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <regex>
#include <sstream>

namespace tarnwick::engine::gtp {
namespace {

const std::filesystem::path kData = TARNWICK_ENGINE_TEST_DATA;

using testing::fileText;

// One thread, a fixed seed, playouts not seconds: the same answers each run.
GtpOptions scriptOptions() {
    GtpOptions options;
    options.engine.seed = 5;
    options.engine.treeBytes = std::size_t{16} << 20;
    options.playouts = 300;
    return options;
}

std::string answers(const std::string& script) {
    Session session(scriptOptions());
    std::istringstream in(script);
    std::ostringstream out;
    run(session, in, out);
    return out.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void expectAnswers(const std::string& actual, const std::string& saved) {
    const std::vector<std::string> got = linesOf(actual);
    const std::vector<std::string> want = linesOf(saved);
    ASSERT_EQ(got.size(), want.size()) << actual;
    constexpr std::string_view kAny = "@ANY@";
    for (std::size_t i = 0; i < got.size(); ++i) {
        const std::string& w = want[i];
        if (w.ends_with(kAny)) {
            EXPECT_EQ(got[i].substr(0, w.size() - kAny.size()), w.substr(0, w.size() - kAny.size())) << "line " << i + 1;
        } else {
            EXPECT_EQ(got[i], w) << "line " << i + 1;
        }
    }
}

TEST(GtpTest, ScriptsGiveTheirSavedAnswers) {
    for (const char* name : {"protocol", "game", "records"}) {
        SCOPED_TRACE(name);
        std::string script = fileText(kData / (std::string(name) + ".gtp"));
        ASSERT_FALSE(script.empty());
        for (std::size_t at; (at = script.find("@RECORDS@")) != std::string::npos;)
            script.replace(at, 9, TARNWICK_RECORDS_DIR);
        expectAnswers(answers(script), fileText(kData / (std::string(name) + ".out")));
    }
}

TEST(GtpTest, AnalysisStreamsUntilTheNextCommand) {
    const std::string out = answers("boardsize 5\n3 tarnwick-analyze 1\nname\ntarnwick-analyze 0\nquit\n");
    // The analysis answer: its first line, bursts of candidates, an empty line.
    const std::regex form(
        "= \n\n=3 \n"
        "(info move [A-I][0-9] visits [0-9]+ winrate [01]\\.[0-9]{4} pv( [A-I][0-9])+"
        "( info move [A-I][0-9] visits [0-9]+ winrate [01]\\.[0-9]{4} pv( [A-I][0-9])+)*\n)*"
        "\n= Tarnwick\n\n\\? the interval is a positive number of centiseconds\n\n= \n\n");
    EXPECT_TRUE(std::regex_match(out, form)) << out;
}

// tarnwick-gtp's own command line: whether a session runs, the exit
// status, and what goes to standard output and error (as patterns).
struct CommandLineCase {
    std::vector<std::string_view> args;
    bool run;
    int status;
    const char* out;
    const char* err;
};
const CommandLineCase kCommandLines[] = {
    {{}, true, 0, "", ""},
    {{"--threads", "2", "--playouts", "500", "--seed", "18446744073709551615", "--no-rave", "--steady-time",
      "--no-pn-solver", "--no-hold-out", "--pn-nodes", "50"},
     true, 0, "", ""},
    {{"--help"}, false, 0, "usage: tarnwick-gtp [^]*", ""},
    {{"--playouts", "9", "--version", "--frobnicate"}, false, 0, "tarnwick-gtp [0-9]+\\.[0-9]+\n", ""},
    {{"--frobnicate"}, false, 2, "", "tarnwick-gtp: unknown option --frobnicate\nusage: [^]*"},
    {{"--threads"}, false, 2, "", "tarnwick-gtp: --threads needs a number\nusage: [^]*"},
    {{"--threads", "0"}, false, 2, "", "tarnwick-gtp: --threads takes 1 to 256\n[^]*"},
    {{"--playouts", "many"}, false, 2, "", "tarnwick-gtp: --playouts needs a number, not 'many'\n[^]*"},
    {{"--seconds", "0"}, false, 2, "", "tarnwick-gtp: --seconds takes a time above 0\n[^]*"},
    {{"--seed", "-1"}, false, 2, "", "tarnwick-gtp: --seed needs a whole number, not '-1'\n[^]*"},
};

TEST(GtpTest, TheProgramsCommandLine) {
    for (const CommandLineCase& c : kCommandLines) {
        SCOPED_TRACE(c.args.empty() ? "no arguments" : c.args.front());
        const CommandLine line = parseCommandLine(c.args);
        EXPECT_EQ(line.run, c.run);
        EXPECT_EQ(line.status, c.status);
        EXPECT_TRUE(std::regex_match(line.out, std::regex(c.out))) << line.out;
        EXPECT_TRUE(std::regex_match(line.err, std::regex(c.err))) << line.err;
    }
    const GtpOptions options = parseCommandLine(kCommandLines[1].args).options;
    EXPECT_EQ(options.engine.threads, 2);
    EXPECT_EQ(options.playouts, 500U);
    EXPECT_EQ(options.engine.seed, ~std::uint64_t{0});
    EXPECT_FALSE(options.engine.settings.selection.rave);
    EXPECT_FALSE(options.watchSearch);
    EXPECT_FALSE(options.engine.settings.proofSearch);
    EXPECT_EQ(options.engine.settings.proofNodes, 50U);
}

TEST(GtpTest, GarbageGetsOneAnswerALine) {
    // Lines of random bytes and of real commands with random arguments.
    const char* words[] = {"play", "genmove", "boardsize", "undo", "b", "w", "swap", "resign", "A1", "Z99", "E5",
                           "-3", "4", "12", "1e9", "loadsgf", "time_left", "time_settings",
                           "kgs-time_settings", "fischer", "byoyomi", "0.1", "\x01", "\xff", "=", "?"};
    std::uint64_t state = 12345;
    const auto next = [&] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>(state >> 33);
    };
    std::string script;
    int lines = 0;
    for (int i = 0; i < 300; ++i) {
        std::string line = std::to_string(i) + " ";
        for (std::size_t k = next() % 4 + 1; k > 0; --k) line += std::string(words[next() % std::size(words)]) + " ";
        script += line + "\n";
        ++lines;
    }
    script += "quit\n";
    const std::string out = answers(script);
    int answered = 0;
    for (std::size_t at = 0; (at = out.find("\n\n", at)) != std::string::npos; at += 2) ++answered;
    EXPECT_EQ(answered, lines + 1);
}


// A clock that moves only when the session pauses: a move's time is the
// sum of its pauses, and nothing waits on the real clock.
struct FakeTime {
    std::atomic<std::int64_t> nanoseconds{0};
    GtpOptions options() {
        GtpOptions options = scriptOptions();
        options.playouts = 0;
        options.engine.clock = [this] { return std::chrono::steady_clock::time_point{} + std::chrono::nanoseconds(nanoseconds.load()); };
        options.pause = [this](std::chrono::nanoseconds time) {
            nanoseconds += time.count();
            std::this_thread::yield();
        };
        return options;
    }
    double seconds() const { return static_cast<double>(nanoseconds.load()) * 1e-9; }
};

constexpr TimeSettings kAbsolute60{TimeSystem::Absolute, 60, 0, 0, 0};
constexpr TimeSettings kCanadian{TimeSystem::Canadian, 10, 30, 10, 0};
constexpr TimeSettings kJapanese{TimeSystem::Japanese, 0, 10, 3, 0};
constexpr TimeSettings kFischer{TimeSystem::Fischer, 10, 0, 0, 5};

struct BudgetCase {
    const char* name;
    TimeSettings settings;
    PlayerClock clock;
    int moves;
    std::optional<Budget> budget;
};
const BudgetCase kBudgets[] = {
    {"no limit", {}, {}, 30, std::nullopt},
    {"absolute: the main time over the moves to come", kAbsolute60, {60}, 30, Budget{1.96, 3.92}},
    {"absolute: the last move keeps the reserve", kAbsolute60, {1}, 1, Budget{0.67, 0.67}},
    {"absolute: 0.1 s left, a move at once", kAbsolute60, {0.1}, 10, Budget{0, 0}},
    {"canadian main time: a share of a period too", kCanadian, {10}, 10, Budget{3.937, 7.874}},
    {"canadian period: its stones share it", kCanadian, {0, true, 30, 10}, 30, Budget{2.94, 4.41}},
    {"canadian period: the last stone takes it all", kCanadian, {0, true, 5, 1}, 30, Budget{4.67, 4.67}},
    {"japanese period: used whole", kJapanese, {0, true, 10, 3}, 30, Budget{9.67, 9.67, true}},
    {"fischer: a share and the increment", kFischer, {10}, 30, Budget{5.29333, 9.67}},
    {"fischer: never past what is left", kFischer, {2}, 30, Budget{1.67, 1.67}},
};

TEST(TimeTest, BudgetsFromTheClock) {
    for (const BudgetCase& c : kBudgets) {
        SCOPED_TRACE(c.name);
        const auto budget = budgetFor(c.settings, c.clock, c.moves);
        ASSERT_EQ(budget.has_value(), c.budget.has_value());
        if (!budget) continue;
        EXPECT_NEAR(budget->target, c.budget->target, 1e-4);
        EXPECT_NEAR(budget->limit, c.budget->limit, 1e-4);
        EXPECT_EQ(budget->useAll, c.budget->useAll);
        // Whatever the system, a move never reaches into the reserve.
        const double left = c.clock.overtime ? c.clock.period : c.clock.main + c.settings.period;
        EXPECT_LE(budget->limit, std::max(left - kReserveSeconds, 0.0));
    }
}

struct ChargeCase {
    const char* name;
    TimeSettings settings;
    PlayerClock before;
    double seconds;
    PlayerClock after;
};
const ChargeCase kCharges[] = {
    {"absolute", kAbsolute60, {10}, 3, {7}},
    {"absolute past the end", kAbsolute60, {1}, 3, {0}},
    {"fischer: the increment after the move", kFischer, {10}, 3, {12}},
    {"canadian: out of main time into the first period", kCanadian, {2}, 3, {0, true, 29, 9}},
    {"canadian: the period's last stone starts a new one", kCanadian, {0, true, 1, 1}, 0.5, {0, true, 30, 10}},
    {"japanese: within the period", kJapanese, {0, true, 10, 3}, 9, {0, true, 10, 3}},
    {"japanese: past two periods' ends", kJapanese, {0, true, 10, 3}, 25, {0, true, 10, 1}},
};

TEST(TimeTest, ClocksChargeEachMove) {
    const auto expectClock = [](const PlayerClock& got, const PlayerClock& want) {
        EXPECT_NEAR(got.main, want.main, 1e-9);
        EXPECT_EQ(got.overtime, want.overtime);
        EXPECT_NEAR(got.period, want.period, 1e-9);
        EXPECT_EQ(got.stones, want.stones);
    };
    for (const ChargeCase& c : kCharges) {
        SCOPED_TRACE(c.name);
        expectClock(charge(c.settings, c.before, c.seconds), c.after);
    }
    expectClock(toldClock(kCanadian, 12, 3), {0, true, 12, 3});
    expectClock(toldClock(kCanadian, 12, 0), {12});
    expectClock(fullClock(kJapanese), {0, true, 10, 3});
}

// The expected length covers nine in ten real games of the common bases,
// and the moves to come never outnumber the empty cells.
TEST(TimeTest, MovesToComeFitTheRealRecords) {
    for (const int base : {8, 10}) {
        int games = 0;
        int longer = 0;
        for (const testing::IndexRow& row : testing::readIndex(TARNWICK_RECORDS_DIR)) {
            if (row.size != base) continue;
            ++games;
            longer += row.moves > 2 * ownMovesToCome(base, 0);
        }
        ASSERT_GT(games, 100);
        EXPECT_LE(longer * 10, games) << "base " << base;
    }
    EXPECT_EQ(ownMovesToCome(8, 0), 32);
    EXPECT_EQ(ownMovesToCome(8, 100), 8);
    EXPECT_EQ(ownMovesToCome(4, 36), 1);
}

// Looks at a search, one after another, and what the watch makes of each.
struct Look {
    double elapsed;
    SearchView view;
    bool stop;
    double deadline;
};
struct WatchCase {
    const char* name;
    Budget budget;
    std::vector<Look> looks;
};
const WatchCase kWatches[] = {
    {"a lead that cannot be caught stops early",
     {1, 2},
     {{0.5, {4, 1500, 400, 0.6, 0.5, 2000}, false, 1}, {0.8, {4, 3000, 500, 0.6, 0.5, 4000}, true, 1}}},
    {"a second that wins more is searched longer, up to the limit",
     {1, 2},
     {{0.5, {4, 300, 250, 0.5, 0.55, 1000}, false, 1}, {1, {4, 600, 500, 0.5, 0.55, 2000}, false, 1.5},
      {1.5, {4, 900, 800, 0.5, 0.55, 3000}, false, 2}, {2, {4, 1200, 1000, 0.5, 0.55, 4000}, true, 2}}},
    {"a best that changed late is searched longer",
     {1, 2},
     {{0.5, {4, 900, 100, 0.6, 0.5, 1000}, false, 1}, {0.95, {7, 1000, 600, 0.6, 0.5, 2000}, false, 1},
      {1, {7, 1100, 600, 0.6, 0.5, 2000}, false, 1.5}}},
    {"a settled best that wins most stops at the deadline, however close",
     {1, 2},
     {{0.2, {4, 100, 90, 0.6, 0.5, 200}, false, 1}, {1, {4, 500, 450, 0.6, 0.5, 1000}, true, 1}}},
    {"a proof stops at once", {1, 2}, {{0.01, {4, 3, 1, 1, 0, 4, true}, true, 1}}},
    {"a period used whole is not cut short",
     {1, 1, true},
     {{0.5, {4, 3000, 10, 0.6, 0.5, 5000}, false, 1}, {1, {4, 6000, 20, 0.6, 0.5, 9000}, true, 1}}},
};

TEST(TimeTest, TheWatchStopsExtendsOrGoesOn) {
    for (const WatchCase& c : kWatches) {
        SCOPED_TRACE(c.name);
        Watch watch = startWatch(c.budget);
        for (const Look& l : c.looks) {
            SCOPED_TRACE(l.elapsed);
            watch = look(c.budget, watch, l.elapsed, l.view);
            EXPECT_EQ(watch.stop, l.stop);
            EXPECT_DOUBLE_EQ(watch.deadline, l.deadline);
        }
    }
}

// Time commands: each answer, then Black's clock as the session counts it.
// A refused command keeps the settings and clocks it found.
struct ClockCase {
    std::vector<std::string> lines;
    std::string answers;
    PlayerClock black;
};
const ClockCase kClockCommands[] = {
    {{"time_settings 60 0 0", "time_settings 60 -1 0", "time_settings 5 0", "time_settings 5 0 1.5"}, "= ? ? ? ", {60}},
    {{"time_settings 60 0 0", "time_settings 0 30 0"}, "= = ", {}},
    {{"time_settings 60 30 10", "time_left b 5 2"}, "= = ", {0, true, 5, 2}},
    {{"time_settings 60 0 0", "time_left b 3 0", "time_left b -3 0", "time_left x 3 0"}, "= = ? ? ", {3}},
    {{"time_settings 60 0 0", "time_left b 3 0", "clear_board"}, "= = = ", {60}},
    {{"time_left b 7 0"}, "= ", {7}},
    {{"kgs-time_settings byoyomi 60 10 3", "time_left b 8 2"}, "= = ", {0, true, 8, 2}},
    {{"kgs-time_settings absolute 20", "kgs-time_settings fischer 10", "kgs-time_settings blitz 1 2 3",
      "kgs-time_settings byoyomi 10 5 x", "kgs-time_settings"},
     "= ? ? ? ? ",
     {20}},
    {{"kgs-time_settings canadian 0 30 10", "kgs-time_settings none"}, "= = ", {}},
};

TEST(GtpTimeTest, CommandsSetTheClock) {
    for (const ClockCase& c : kClockCommands) {
        SCOPED_TRACE(c.lines.front());
        Session session(scriptOptions());
        std::string answers;
        for (const std::string& line : c.lines) answers += session.handle(line).text.substr(0, 2);
        EXPECT_EQ(answers, c.answers);
        const PlayerClock& black = session.clock(havannah::Player::Black);
        EXPECT_DOUBLE_EQ(black.main, c.black.main);
        EXPECT_EQ(black.overtime, c.black.overtime);
        EXPECT_DOUBLE_EQ(black.period, c.black.period);
        EXPECT_EQ(black.stones, c.black.stones);
    }
}

// Whole games on the fake clock: each side's time, counted as the
// controller would, never runs out, and the session's own account of its
// clock agrees with it. Time left told by the controller replaces that
// account; with almost none left, the move comes at once.
struct GameCase {
    const char* settings;
    int base;
    double main;
    double increment;
};
const GameCase kGames[] = {
    {"time_settings 4 0 0", 5, 4, 0},
    {"kgs-time_settings fischer 1 0.3", 5, 1, 0.3},
    {"time_settings 3 0 0", 6, 3, 0},
};

TEST(GtpTimeTest, GamesOnTheClockNeverRunOutOfTime) {
    for (const GameCase& c : kGames) {
        SCOPED_TRACE(c.settings);
        FakeTime time;
        Session session(time.options());
        ASSERT_EQ(session.handle("boardsize " + std::to_string(c.base)).text, "= \n\n");
        ASSERT_EQ(session.handle(c.settings).text, "= \n\n");
        double left[2] = {c.main, c.main};
        int moves = 0;
        for (bool black = true; session.handle("havannah_winner").text == "= none\n\n"; black = !black) {
            const double before = time.seconds();
            ASSERT_EQ(session.handle(black ? "genmove b" : "genmove w").text.substr(0, 2), "= ");
            double& mine = left[black ? 0 : 1];
            mine -= time.seconds() - before;
            ASSERT_GE(mine, kReserveSeconds - 1e-9) << "move " << moves + 1;
            mine += c.increment;
            // The session's own account also pays the unseen lag of each move.
            const double counted = session.clock(black ? havannah::Player::Black : havannah::Player::White).main;
            EXPECT_LE(counted, mine) << "move " << moves + 1;
            EXPECT_NEAR(counted, mine, kLagSeconds * (moves / 2 + 1) + 1e-9) << "move " << moves + 1;
            ++moves;
        }
        EXPECT_GT(moves, 6);
    }

    FakeTime time;
    Session session(time.options());
    ASSERT_EQ(session.handle("time_settings 600 0 0").text, "= \n\n");
    ASSERT_EQ(session.handle("time_left b 0.1 0").text, "= \n\n");
    ASSERT_EQ(session.handle("genmove b").text.substr(0, 2), "= ");
    EXPECT_EQ(time.seconds(), 0);
    ASSERT_EQ(session.handle("time_left w 2 0").text, "= \n\n");
    ASSERT_EQ(session.handle("genmove w").text.substr(0, 2), "= ");
    EXPECT_GT(time.seconds(), 0);
    EXPECT_LE(time.seconds(), 2 - kReserveSeconds);
}
}  // namespace
}  // namespace tarnwick::engine::gtp
