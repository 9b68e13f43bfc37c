#include "engine/gtp/gtp.h"

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <istream>
#include <mutex>
#include <ostream>
#include <sstream>
#include <thread>

#include "havannah/text.h"

namespace tarnwick::engine::gtp {

using havannah::Player;
using havannah::Position;

namespace {

// The commands, with the most arguments each takes and what they are (quit
// ends the session whatever follows it).
struct Command {
    std::string_view name;
    std::size_t maxArgs;
    std::string_view args;
};
constexpr Command kCommands[] = {
    {"protocol_version", 0, ""},
    {"name", 0, ""},
    {"version", 0, ""},
    {"known_command", 1, "a command's name"},
    {"list_commands", 0, ""},
    {"quit", static_cast<std::size_t>(-1), ""},
    {"boardsize", 1, "a size"},
    {"clear_board", 0, ""},
    {"play", 2, "a colour and a move"},
    {"genmove", 1, "a colour"},
    {"undo", 0, ""},
    {"showboard", 0, ""},
    {"time_settings", 3, "main time, byo-yomi time and stones"},
    {"kgs-time_settings", 4, "a system and its times"},
    {"time_left", 3, "a colour, seconds and stones"},
    {"havannah_winner", 0, ""},
    {"havannah_swap", 1, "on or off"},
    {"loadsgf", 2, "a file and optionally a move number"},
    {"tarnwick-analyze", 1, "an interval in centiseconds"},
};
constexpr std::string_view kUsage =
    "usage: tarnwick-gtp [--threads N] [--seconds S] [--playouts N] [--seed N] [--tree-mb N]\n"
    "                    [--no-rave] [--no-lgr] [--no-bridge] [--no-solver] [--no-pn-solver]\n"
    "                    [--no-hold-out] [--pn-thread] [--expand-after N] [--pn-nodes N]\n"
    "                    [--pn-interval N] [--priors N] [--exploration C] [--rave-bias B]\n"
    "                    [--steady-time]\n"
    "       tarnwick-gtp --help | --version\n"
    "Answers the Go Text Protocol with Havannah commands on standard input and output.\n";
constexpr std::string_view kSwapRuleOff = "the swap rule is off (havannah_swap on)";
constexpr int kMinGtpBase = 4;
constexpr int kDefaultBase = 8;
constexpr std::uintmax_t kMaxRecordBytes = 1 << 20;
constexpr int kDefaultAnalysisCentiseconds = 100;
constexpr int kMaxAnalysisCentiseconds = 360000;
// How often a search on the clock is looked at.
constexpr auto kLookInterval = std::chrono::milliseconds(10);
constexpr auto kShortestPause = std::chrono::milliseconds(1);
// A move with no time to think still gets a few playouts (well under a
// millisecond), so that it has a move to give.
constexpr std::uint64_t kQuickPlayouts = 64;
constexpr double kMinSearchSeconds = 0.005;

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return result;
}

// The words of a line after the protocol's clean-up: control characters
// other than tab and newline dropped, tabs as spaces, a comment cut off.
std::vector<std::string> wordsOf(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : line) {
        if (c == '#') break;
        const auto u = static_cast<unsigned char>(c);
        if (c == ' ' || c == '\t' || c == '\n') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else if (u >= 32 && u != 127) {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

bool isId(const std::string& word) {
    return !word.empty() && word.size() <= 9 && std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <typename Number>
std::optional<Number> numberOf(const std::string& text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> secondsOf(const std::string& text) {
    const auto value = numberOf<double>(text);
    if (!value || !(*value >= 0) || *value > 1e7) return std::nullopt;
    return value;
}

std::optional<Player> colourOf(const std::string& text) {
    const std::string word = lower(text);
    if (word == "b" || word == "black") return Player::Black;
    if (word == "w" || word == "white") return Player::White;
    return std::nullopt;
}

std::size_t slot(Player p) { return static_cast<std::size_t>(p); }

// The size and the move values of a record in the Little Golem form.
struct Record {
    int size = 0;
    std::vector<std::string> moves;
};

std::optional<Record> readRecord(const std::string& text) {
    Record record;
    const std::size_t size = text.find("SZ[");
    if (size == std::string::npos) return std::nullopt;
    const std::size_t sizeEnd = text.find(']', size);
    if (sizeEnd == std::string::npos) return std::nullopt;
    const auto base = numberOf<int>(text.substr(size + 3, sizeEnd - size - 3));
    if (!base) return std::nullopt;
    record.size = *base;
    for (std::size_t at = text.find(';'); at != std::string::npos; at = text.find(';', at + 1)) {
        if (text.compare(at + 1, 2, "W[") != 0 && text.compare(at + 1, 2, "B[") != 0) continue;
        const std::size_t end = text.find(']', at + 3);
        if (end == std::string::npos) return std::nullopt;
        record.moves.push_back(text.substr(at + 3, end - at - 3));
    }
    return record;
}

// The board as havannah::toText lays it out, with the notation round it:
// the column letters underneath, and each row's number at both of its ends.
// A row is the cells of one number; it runs from column A or the upper left
// edge down to the middle column and up again to the last column or the upper
// right edge, so its two ends stand on one line of the text.
std::string withCoordinates(const Position& position) {
    const havannah::Topology& topology = position.topology();
    const int base = topology.base();
    const int lastColumn = topology.columnCount();
    std::vector<std::string> lines;
    std::istringstream text(havannah::toText(position));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    const std::string side = lines.back();  // "black to move"
    lines.pop_back();

    // Bottom up, each column's cells counted give their numbers.
    constexpr int kMargin = 3;
    std::vector<int> seen(static_cast<std::size_t>(lastColumn) + 1, 0);
    std::vector<std::string> shown(lines.size());
    for (std::size_t i = lines.size(); i-- > 0;) {
        const std::string& line = lines[i];
        std::string out = std::string(kMargin, ' ') + line;
        int firstColumn = 0;
        int firstNumber = 0;
        int lastColumnHere = 0;
        int lastNumber = 0;
        for (std::size_t x = 0; x < line.size(); x += 2) {
            if (line[x] == ' ') continue;
            const int column = static_cast<int>(x / 2) + 1;
            const int number = ++seen[static_cast<std::size_t>(column)];
            if (firstColumn == 0) {
                firstColumn = column;
                firstNumber = number;
            }
            lastColumnHere = column;
            lastNumber = number;
        }
        const auto startsRow = [&](int column, int number, bool left) {
            const bool edgeColumn = left ? column == 1 : column == lastColumn;
            const bool upperEdge = (left ? column <= base : column >= base) && number == topology.columnLength(column);
            return edgeColumn || upperEdge;
        };
        if (firstColumn > 0 && startsRow(firstColumn, firstNumber, true)) {
            std::string label = std::to_string(firstNumber);
            label.insert(0, 2 - label.size(), ' ');
            out.replace(static_cast<std::size_t>(2 * (firstColumn - 1)), 2, label);
        }
        if (lastColumnHere > 0 && startsRow(lastColumnHere, lastNumber, false)) out += " " + std::to_string(lastNumber);
        shown[i] = out;
    }
    std::string letters(kMargin, ' ');
    for (int column = 1; column <= lastColumn; ++column) {
        letters += static_cast<char>('A' + column - 1);
        if (column < lastColumn) letters += ' ';
    }
    std::string result;
    for (const std::string& line : shown) result += line + '\n';
    return result + letters + '\n' + side;
}

double secondsSince(const Clock& now, std::chrono::steady_clock::time_point began) {
    return std::chrono::duration<double>(now() - began).count();
}

std::string formatRate(double rate) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(4) << rate;
    return text.str();
}

}  // namespace

CommandLine parseCommandLine(std::span<const std::string_view> args) {
    CommandLine line;
    GtpOptions& options = line.options;
    const auto fail = [&](const std::string& message) {
        line.run = false;
        line.status = 2;
        line.err = "tarnwick-gtp: " + message + "\n" + std::string(kUsage);
        return line;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.run = false;
            line.out = kUsage;
            return line;
        }
        if (arg == "--version") {
            line.run = false;
            line.out = "tarnwick-gtp " TARNWICK_VERSION "\n";
            return line;
        }
        if (arg == "--no-rave") {
            options.engine.settings.selection.rave = false;
        } else if (arg == "--no-lgr") {
            options.engine.settings.playout.lastGoodReply = false;
        } else if (arg == "--no-bridge") {
            options.engine.settings.playout.bridgeSave = false;
        } else if (arg == "--no-solver") {
            options.engine.settings.solver = false;
        } else if (arg == "--steady-time") {
            options.watchSearch = false;
        } else if (arg == "--no-pn-solver") {
            options.engine.settings.proofSearch = false;
        } else if (arg == "--no-hold-out") {
            options.engine.settings.holdOut = false;
        } else if (arg == "--pn-thread") {
            options.engine.settings.proofThread = true;
        } else {
            // The rest take a number.
            const std::string_view valued[] = {"--threads", "--seconds", "--playouts", "--seed", "--tree-mb", "--expand-after",
                                               "--exploration", "--rave-bias", "--priors", "--pn-nodes", "--pn-interval"};
            if (std::find(std::begin(valued), std::end(valued), arg) == std::end(valued)) return fail("unknown option " + std::string(arg));
            if (i + 1 == args.size()) return fail(std::string(arg) + " needs a number");
            const std::string text(args[++i]);
            if (arg == "--seed") {
                const auto seed = numberOf<std::uint64_t>(text);
                if (!seed) return fail("--seed needs a whole number, not '" + text + "'");
                options.engine.seed = *seed;
                continue;
            }
            const auto number = numberOf<double>(text);
            if (!number || !(*number >= 0) || *number > 1e15)
                return fail(std::string(arg) + " needs a number, not '" + text + "'");
            if (arg == "--threads") {
                if (*number < 1 || *number > 256) return fail("--threads takes 1 to 256");
                options.engine.threads = static_cast<int>(*number);
            } else if (arg == "--seconds") {
                if (*number <= 0) return fail("--seconds takes a time above 0");
                options.seconds = *number;
            } else if (arg == "--playouts") {
                options.playouts = static_cast<std::uint64_t>(*number);
            } else if (arg == "--tree-mb") {
                options.engine.treeBytes = static_cast<std::size_t>(*number * (1 << 20));
            } else if (arg == "--expand-after") {
                options.engine.settings.expandAfter = static_cast<std::uint32_t>(*number);
            } else if (arg == "--exploration") {
                options.engine.settings.selection.exploration = *number;
            } else if (arg == "--rave-bias") {
                options.engine.settings.selection.raveBias = *number;
            } else if (arg == "--pn-nodes") {
                options.engine.settings.proofNodes = static_cast<std::uint32_t>(std::min(*number, 1e9));
            } else if (arg == "--pn-interval") {
                options.engine.settings.proofInterval = static_cast<std::uint32_t>(std::min(*number, 1e9));
            } else {
                options.engine.settings.priorPlayouts = static_cast<std::uint32_t>(*number);
            }
        }
    }
    return line;
}

std::string commandOf(std::string_view line) {
    const std::vector<std::string> words = wordsOf(line);
    if (words.empty()) return {};
    if (isId(words.front())) return words.size() > 1 ? words[1] : std::string{};
    return words.front();
}

Session::Session(GtpOptions options) : options_(std::move(options)), engine_(options_.engine) {
    history_.push_back({Position(kDefaultBase, swapRule_), std::nullopt});
}

const PlayerClock& Session::clock(Player player) const { return clocks_[slot(player)]; }

Session::Reply Session::handle(std::string_view line) {
    std::vector<std::string> words = wordsOf(line);
    Reply reply;
    if (words.empty()) return reply;
    std::string id;
    if (isId(words.front())) {
        id = words.front();
        words.erase(words.begin());
    }
    Result result{false, "no command"};
    std::string command;
    if (!words.empty()) {
        command = words.front();
        words.erase(words.begin());
        result = dispatch(command, words);
    }
    reply.text = (result.ok ? "=" : "?") + id + " " + result.text;
    if (command == "quit") reply.quit = true;
    if (result.ok && command == "tarnwick-analyze") {
        const int centiseconds = words.empty() ? kDefaultAnalysisCentiseconds : numberOf<int>(words.front()).value_or(0);
        reply.analysisMillis = std::min(centiseconds, kMaxAnalysisCentiseconds) * 10;
        reply.text += "\n";
        return reply;
    }
    reply.text += "\n\n";
    return reply;
}

Session::Result Session::dispatch(const std::string& command, const Args& args) {
    const auto named = [](std::string_view name) {
        return std::find_if(std::begin(kCommands), std::end(kCommands), [&](const Command& c) { return c.name == name; });
    };
    if (const auto known = named(command); known != std::end(kCommands) && args.size() > known->maxArgs) {
        const std::string takes = known->maxArgs == 0 ? "no arguments" : std::string(known->args);
        return {false, "too many arguments: " + command + " takes " + takes};
    }
    if (command == "protocol_version") return {true, "2"};
    if (command == "name") return {true, "Tarnwick"};
    if (command == "version") return {true, TARNWICK_VERSION};
    if (command == "quit") return {true, ""};
    if (command == "known_command") {
        const bool known = !args.empty() && named(args.front()) != std::end(kCommands);
        return {true, known ? "true" : "false"};
    }
    if (command == "list_commands") {
        std::string text;
        for (const Command& c : kCommands) text += (text.empty() ? "" : "\n") + std::string(c.name);
        return {true, text};
    }
    if (command == "boardsize") {
        const auto base = args.empty() ? std::nullopt : numberOf<int>(args.front());
        if (!base) return {false, "boardsize needs a number"};
        if (*base < kMinGtpBase || *base > havannah::kMaxBase) return {false, "unacceptable size"};
        return newBoard(*base);
    }
    if (command == "clear_board") return newBoard(position().base());
    if (command == "play") return play(args);
    if (command == "genmove") return genmove(args);
    if (command == "undo") {
        if (history_.size() < 2) return {false, "cannot undo"};
        history_.pop_back();
        return {true, ""};
    }
    if (command == "showboard") return {true, "\n" + withCoordinates(position())};
    if (command == "time_settings") return timeSettings(args);
    if (command == "kgs-time_settings") return kgsTimeSettings(args);
    if (command == "time_left") return timeLeft(args);
    if (command == "havannah_winner") return winnerText();
    if (command == "havannah_swap") {
        const std::string value = args.empty() ? "" : lower(args.front());
        if (value != "on" && value != "off") return {false, "havannah_swap needs on or off"};
        if (history_.size() > 1 || position().movesPlayed() > 0) return {false, "the swap rule changes only on an empty board"};
        swapRule_ = value == "on";
        return newBoard(position().base());
    }
    if (command == "loadsgf") return loadsgf(args);
    if (command == "tarnwick-analyze") {
        if (!args.empty() && numberOf<int>(args.front()).value_or(0) <= 0) return {false, "the interval is a positive number of centiseconds"};
        if (gameOver()) return {false, "the game is over"};
        engine_.start(position());
        return {true, ""};
    }
    return {false, "unknown command"};
}

Session::Result Session::newBoard(int base) {
    engine_.stop();
    history_.assign(1, {Position(base, swapRule_), std::nullopt});
    clocks_[0] = clocks_[1] = fullClock(time_);
    return {true, ""};
}

bool Session::gameOver() const { return position().isWon() || history_.back().resigned.has_value(); }

Session::Result Session::playMove(Player player, std::string_view move) {
    if (gameOver()) return {false, "the game is over"};
    State next = history_.back();
    if (player != next.position.toMove()) return {false, "it is " + std::string(havannah::toString(next.position.toMove())) + "'s turn"};
    const std::string word = lower(move);
    if (word == "resign") {
        next.resigned = player;
    } else if (word == "swap") {
        if (!next.position.swapRule()) return {false, "illegal move: " + std::string(kSwapRuleOff)};
        if (const auto refusal = next.position.swap()) return {false, "illegal move: swap " + std::string(havannah::describe(*refusal))};
    } else {
        const auto cell = next.position.topology().parseCell(word);
        if (!cell) return {false, "illegal move: " + std::string(move) + " is no cell of this board"};
        if (const auto refusal = next.position.play(*cell))
            return {false, "illegal move: " + std::string(move) + " " + std::string(havannah::describe(*refusal))};
    }
    history_.push_back(std::move(next));
    return {true, word == "resign" || word == "swap" ? word : position().topology().name(*position().topology().parseCell(word))};
}

Session::Result Session::play(const Args& args) {
    if (args.size() != 2) return {false, "play needs a colour and a move"};
    const auto player = colourOf(args[0]);
    if (!player) return {false, "invalid colour"};
    const Result result = playMove(*player, args[1]);
    return {result.ok, result.ok ? "" : result.text};
}

Limits Session::moveLimits() const {
    Limits limits;
    limits.playouts = options_.playouts;
    std::optional<double> seconds = options_.seconds;
    if (!seconds && options_.playouts == 0) seconds = 1.0;
    if (seconds) limits.time = std::chrono::nanoseconds(static_cast<std::int64_t>(std::max(*seconds, 0.01) * 1e9));
    return limits;
}

Session::Result Session::genmove(const Args& args) {
    if (args.size() != 1) return {false, "genmove needs a colour"};
    const auto player = colourOf(args[0]);
    if (!player) return {false, "invalid colour"};
    if (gameOver()) return {false, "the game is over"};
    if (*player != position().toMove()) return {false, "it is " + std::string(havannah::toString(position().toMove())) + "'s turn"};
    const Clock& now = options_.engine.clock;
    const auto began = now();
    const std::optional<Budget> budget =
        budgetFor(time_, clocks_[slot(*player)], ownMovesToCome(position().base(), position().movesPlayed()));
    if (budget) {
        searchOnTheClock(*budget);
    } else {
        engine_.start(position(), moveLimits());
        engine_.wait();
    }
    auto move = engine_.bestMove();
    if (!move) {
        searchAtOnce();
        move = engine_.bestMove();
    }
    if (budget) clocks_[slot(*player)] = charge(time_, clocks_[slot(*player)], secondsSince(now, began) + kLagSeconds);
    if (!move) return {false, "no move left"};
    return playMove(*player, moveName(position().topology(), *move));
}

void Session::searchAtOnce() {
    engine_.start(position(), Limits{kQuickPlayouts, {}});
    engine_.wait();
}

void Session::searchOnTheClock(const Budget& budget) {
    if (budget.limit < kMinSearchSeconds) {
        searchAtOnce();
        return;
    }
    if (!options_.watchSearch && !budget.useAll) {
        searchOnTheClock({budget.target, budget.target, true});
        return;
    }
    const Clock& now = options_.engine.clock;
    const auto began = now();
    const auto seconds = [](double s) { return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(s)); };
    // The engine's own limit ends the search even if a look comes late.
    engine_.start(position(), Limits{options_.playouts, seconds(budget.limit)});
    Watch watch = startWatch(budget);
    for (;;) {
        const double elapsed = secondsSince(now, began);
        // Up to the next look or the limit, but never a pause of nothing. The
        // first looks come sooner, as long as the search has run so far, so
        // that a search its playout limit ends at once is not waited for.
        const auto untilLimit = seconds(budget.limit - elapsed);
        options_.pause(std::clamp<std::chrono::nanoseconds>(std::min(untilLimit, seconds(elapsed)), kShortestPause, kLookInterval));
        const Snapshot snap = engine_.snapshot(2);
        SearchView view;
        view.playouts = snap.playouts;
        // A loss that the search holds out against is not decided yet.
        view.decided = snap.provenWinner == snap.toMove || (snap.provenWinner && !options_.engine.settings.holdOut);
        if (!snap.moves.empty()) {
            view.best = snap.moves[0].move;
            view.bestVisits = snap.moves[0].visits;
            view.bestRate = snap.moves[0].winRate;
            view.decided = view.decided || snap.moves[0].proven.has_value();
        }
        if (snap.moves.size() > 1) {
            view.secondVisits = snap.moves[1].visits;
            view.secondRate = snap.moves[1].winRate;
        }
        watch = look(budget, watch, secondsSince(now, began), view);
        if (watch.stop || !snap.running) break;
    }
    engine_.stop();
}

Session::Result Session::timeSettings(const Args& args) {
    if (args.size() != 3) return {false, "time_settings needs main time, byo-yomi time and stones"};
    const auto main = secondsOf(args[0]);
    const auto byo = secondsOf(args[1]);
    const auto stones = numberOf<int>(args[2]);
    if (!main || !byo || !stones || *stones < 0) return {false, "invalid time settings"};
    TimeSettings settings;
    settings.main = *main;
    if (*byo > 0 && *stones == 0) {
        settings.system = TimeSystem::None;  // the protocol's way of saying no limit
    } else if (*byo > 0) {
        settings.system = TimeSystem::Canadian;
        settings.period = *byo;
        settings.stones = *stones;
    } else {
        settings.system = TimeSystem::Absolute;
    }
    return setTime(settings);
}

Session::Result Session::kgsTimeSettings(const Args& args) {
    const std::string system = args.empty() ? "" : lower(args[0]);
    const auto seconds = [&](std::size_t i) { return i < args.size() ? secondsOf(args[i]) : std::nullopt; };
    const std::size_t count = system == "none" ? 1 : system == "absolute" ? 2 : system == "fischer" ? 3 : 4;
    if (system != "none" && system != "absolute" && system != "fischer" && system != "byoyomi" && system != "canadian")
        return {false, "kgs-time_settings needs none, absolute, byoyomi, canadian or fischer"};
    if (args.size() != count) return {false, "invalid time settings"};
    TimeSettings settings;
    if (system == "none") return setTime(settings);
    const auto main = seconds(1);
    if (!main) return {false, "invalid time settings"};
    settings.main = *main;
    settings.system = TimeSystem::Absolute;
    if (system == "fischer") {
        const auto increment = seconds(2);
        if (!increment) return {false, "invalid time settings"};
        settings.system = TimeSystem::Fischer;
        settings.increment = *increment;
    } else if (count == 4) {
        const auto period = seconds(2);
        const auto stones = numberOf<int>(args[3]);
        if (!period || !stones || *stones < 0) return {false, "invalid time settings"};
        // No periods, or periods of no time, leave the main time alone.
        if (*period > 0 && *stones > 0) {
            settings.system = system == "byoyomi" ? TimeSystem::Japanese : TimeSystem::Canadian;
            settings.period = *period;
            settings.stones = *stones;
        }
    }
    return setTime(settings);
}

Session::Result Session::setTime(const TimeSettings& settings) {
    time_ = settings;
    clocks_[0] = clocks_[1] = fullClock(time_);
    return {true, ""};
}

Session::Result Session::timeLeft(const Args& args) {
    if (args.size() != 3) return {false, "time_left needs a colour, seconds and stones"};
    const auto player = colourOf(args[0]);
    const auto seconds = secondsOf(args[1]);
    const auto stones = numberOf<int>(args[2]);
    if (!player || !seconds || !stones || *stones < 0) return {false, "invalid time left"};
    if (time_.system == TimeSystem::None) {
        // A controller that tells the time left keeps a clock: taken as
        // absolute time, or as a Canadian period when it counts stones.
        time_.system = *stones > 0 ? TimeSystem::Canadian : TimeSystem::Absolute;
        time_.period = *stones > 0 ? *seconds : 0;
        time_.stones = *stones;
        time_.main = *stones > 0 ? 0 : *seconds;
        clocks_[0] = clocks_[1] = fullClock(time_);
    }
    clocks_[slot(*player)] = toldClock(time_, *seconds, *stones);
    return {true, ""};
}

Session::Result Session::winnerText() const {
    if (const auto& resigned = history_.back().resigned)
        return {true, std::string(havannah::toString(havannah::opponent(*resigned))) + " resign"};
    if (!position().isWon()) return {true, "none"};
    const havannah::WinKinds kinds = position().winKinds();
    std::string text(havannah::toString(*position().winner()));
    if (kinds.ring) text += " ring";
    if (kinds.bridge) text += " bridge";
    if (kinds.fork) text += " fork";
    return {true, text};
}

Session::Result Session::loadsgf(const Args& args) {
    if (args.empty() || args.size() > 2) return {false, "loadsgf needs a file and optionally a move number"};
    std::optional<int> before;
    if (args.size() == 2) {
        before = numberOf<int>(args[1]);
        if (!before || *before < 1) return {false, "invalid move number"};
    }
    // Only a regular file: a device or a pipe could block or never end.
    std::error_code error;
    const std::filesystem::path path(args[0]);
    if (!std::filesystem::is_regular_file(path, error) || std::filesystem::file_size(path, error) > kMaxRecordBytes || error)
        return {false, "cannot load file"};
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const auto record = readRecord(text.str());
    if (!record || record->size < kMinGtpBase || record->size > havannah::kMaxBase) return {false, "cannot load file"};

    const std::vector<State> saved = history_;
    history_.assign(1, {Position(record->size, swapRule_), std::nullopt});
    const std::size_t count = before ? std::min<std::size_t>(record->moves.size(), static_cast<std::size_t>(*before - 1)) : record->moves.size();
    for (std::size_t k = 0; k < count; ++k) {
        const Result result = playMove(position().toMove(), record->moves[k]);
        if (!result.ok) {
            history_ = saved;
            const std::string number = "move " + std::to_string(k + 1);
            if (lower(record->moves[k]) == "swap" && !swapRule_) return {false, number + " is a swap, but " + std::string(kSwapRuleOff)};
            return {false, number + ": " + result.text};
        }
    }
    engine_.stop();
    return {true, ""};
}

std::string Session::analysisBurst() const {
    const Snapshot snap = engine_.snapshot(5);
    const havannah::Topology& topology = position().topology();
    std::string line;
    for (const Candidate& candidate : snap.moves) {
        if (!line.empty()) line += ' ';
        line += "info move " + moveName(topology, candidate.move) + " visits " + std::to_string(candidate.visits) +
                " winrate " + formatRate(candidate.winRate) + " pv";
        for (const Move move : candidate.pv) line += " " + moveName(topology, move);
    }
    return line;
}

std::string Session::endAnalysis() {
    engine_.stop();
    return "\n";
}

namespace {

// Lines from a reader thread, waited for with a timeout.
class LineQueue {
  public:
    void push(std::string line) {
        {
            const std::lock_guard lock(mutex_);
            lines_.push_back(std::move(line));
        }
        ready_.notify_one();
    }
    void close() {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        ready_.notify_one();
    }
    // Whether a line (or the end) arrives within `millis`.
    bool waitFor(int millis) {
        std::unique_lock lock(mutex_);
        return ready_.wait_for(lock, std::chrono::milliseconds(millis), [&] { return closed_ || !lines_.empty(); });
    }
    // The next line; nothing at the end of the input.
    std::optional<std::string> pop() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return closed_ || !lines_.empty(); });
        if (lines_.empty()) return std::nullopt;
        std::string line = std::move(lines_.front());
        lines_.pop_front();
        return line;
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::string> lines_;
    bool closed_ = false;
};

}  // namespace

void run(Session& session, std::istream& in, std::ostream& out) {
    LineQueue queue;
    std::thread reader([&] {
        for (std::string line; std::getline(in, line);) {
            const bool quit = commandOf(line) == "quit";
            queue.push(std::move(line));
            if (quit) break;  // nothing after quit is read, so the reader ends
        }
        queue.close();
    });
    while (const auto line = queue.pop()) {
        const Session::Reply reply = session.handle(*line);
        out << reply.text << std::flush;
        if (reply.analysisMillis) {
            while (!queue.waitFor(*reply.analysisMillis)) {
                const std::string burst = session.analysisBurst();
                if (!burst.empty()) out << burst << '\n' << std::flush;
            }
            out << session.endAnalysis() << std::flush;
        }
        if (reply.quit) break;
    }
    reader.join();
}

}  // namespace tarnwick::engine::gtp
