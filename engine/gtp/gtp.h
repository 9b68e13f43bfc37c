// The engine behind the Go Text Protocol (version 2), with the Havannah
// commands. A Session answers one command line at a time; run() drives it
// from a stream of lines and streams analysis between commands.
//
// Every line gets an answer, `=[id] result` or `?[id] message`, ended by an
// empty line; empty and comment-only lines are ignored as the protocol
// says. Nothing a controller sends ends the program but `quit` and the end
// of its input.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/engine.h"
#include "engine/gtp/time_control.h"
#include "havannah/position.h"

namespace tarnwick::engine::gtp {

struct GtpOptions {
    // A player in a game holds out when proven lost: the opponent may yet
    // miss the win.
    Options engine = [] {
        Options options;
        options.settings.holdOut = true;
        return options;
    }();
    // Time a move; without it and without a playout limit, one second.
    std::optional<double> seconds;
    // Playouts a move; 0 for no limit.
    std::uint64_t playouts = 0;
    // On the clock, whether a move's search is watched, to stop it early or
    // extend it; without, each move takes its share of the time.
    bool watchSearch = true;
    // Waits while a move on the clock is searched, between looks at the
    // search. A test gives one that moves its fake clock on (engine.clock).
    std::function<void(std::chrono::nanoseconds)> pause = [](std::chrono::nanoseconds time) {
        std::this_thread::sleep_for(time);
    };
};

// What tarnwick-gtp's own command line asks for: a session with these
// options, or only text to print (usage, version, what is wrong) and an
// exit status.
struct CommandLine {
    GtpOptions options;
    bool run = true;
    int status = 0;
    std::string out;  // for standard output
    std::string err;  // for standard error
};
// `args` without the program's name. --help and --version answer on
// standard output with status 0; a wrong option or value gets a message
// and the usage on standard error, status 2.
CommandLine parseCommandLine(std::span<const std::string_view> args);

// The first word of a command line after the id, lowercase kept as sent.
// Used to tell `quit` from the rest before the line is handled.
std::string commandOf(std::string_view line);

class Session {
  public:
    explicit Session(GtpOptions options);

    struct Reply {
        std::string text;  // the whole answer; empty for an ignored line
        bool quit = false;
        // For the analysis command: the answer's first line has been given
        // and bursts follow every this many milliseconds until the next
        // command; the caller prints analysisBurst() and, at the end,
        // endAnalysis().
        std::optional<int> analysisMillis;
    };
    Reply handle(std::string_view line);

    // One line of candidates from the running analysis ("info move E5
    // visits 10 winrate 0.5000 pv E5 F6 info move ..."), empty while there
    // are none yet.
    std::string analysisBurst() const;
    // Stops the analysis; the text that ends its answer.
    std::string endAnalysis();

    const havannah::Position& position() const { return history_.back().position; }
    // The player's clock as this side counts it: set by time_settings and a
    // new game, charged with the time of each genmove, replaced by
    // time_left.
    const PlayerClock& clock(havannah::Player player) const;

  private:
    struct State {
        havannah::Position position;
        std::optional<havannah::Player> resigned;
    };
    using Args = std::vector<std::string>;
    // A command's answer: the result text on success, the message on failure.
    struct Result {
        bool ok;
        std::string text;
    };
    Result dispatch(const std::string& command, const Args& args);
    Result play(const Args& args);
    Result genmove(const Args& args);
    Result loadsgf(const Args& args);
    Result timeSettings(const Args& args);
    Result kgsTimeSettings(const Args& args);
    Result setTime(const TimeSettings& settings);
    Result timeLeft(const Args& args);
    Result winnerText() const;
    Result newBoard(int base);
    // The move's text or why it is refused; nothing changes on a refusal.
    Result playMove(havannah::Player player, std::string_view move);
    bool gameOver() const;
    Limits moveLimits() const;
    // Searches the position on the clock: at most the budget's limit,
    // watched, and stopped when the watch says so.
    void searchOnTheClock(const Budget& budget);
    // A few playouts, for a move with no time to think.
    void searchAtOnce();

    GtpOptions options_;
    Engine engine_;
    bool swapRule_ = true;
    std::vector<State> history_;
    TimeSettings time_;
    PlayerClock clocks_[2];
};

// Reads command lines from `in` until `quit` or its end, and writes the
// answers to `out`. A reader thread queues the lines, so that an analysis
// streams until the next line arrives.
void run(Session& session, std::istream& in, std::ostream& out);

}  // namespace tarnwick::engine::gtp
