// The GTP front end: command scripts against saved answers (engine/tests/
// data/NAME.gtp and NAME.out; @RECORDS@ stands for the real records'
// folder, and an answer line ending in @ANY@ matches any line that begins
// as it does, for moves chosen freely), the analysis stream's form, the
// program's command line, and garbage that must get one answer a line
// without ending the program.
#include "engine/gtp/gtp.h"
#include "havannah/tests/record_index.h"

#include <gtest/gtest.h>

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
    {{"--threads", "2", "--playouts", "500", "--seed", "18446744073709551615", "--no-rave", "--no-pn-solver", "--pn-nodes",
      "50"},
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
    EXPECT_FALSE(options.engine.settings.proofSearch);
    EXPECT_EQ(options.engine.settings.proofNodes, 50U);
}

TEST(GtpTest, GarbageGetsOneAnswerALine) {
    // Lines of random bytes and of real commands with random arguments.
    const char* words[] = {"play", "genmove", "boardsize", "undo", "b", "w", "swap", "resign", "A1", "Z99", "E5",
                           "-3", "4", "12", "1e9", "loadsgf", "time_left", "time_settings", "\x01", "\xff", "=", "?"};
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

}  // namespace
}  // namespace tarnwick::engine::gtp
