// Time management for games played on a clock: the clock's systems, one
// player's clock and how a move's time comes off it, the time a move may
// take, and when a running search has seen enough.
//
// Everything here is a value in and a value out, in seconds; the GTP
// session keeps the clocks, reads the injected clock and watches the
// search through Engine::snapshot().
#pragma once

#include <cstdint>
#include <optional>

namespace tarnwick::engine::gtp {

enum class TimeSystem {
    None,      // no limit: the session's own per-move time
    Absolute,  // main time only
    Canadian,  // main time, then periods of `period` seconds for `stones` moves
    Japanese,  // main time, then `stones` periods of `period` seconds, one a move
    Fischer,   // main time, and `increment` added after each move
};

struct TimeSettings {
    TimeSystem system = TimeSystem::None;
    double main = 0;
    double period = 0;
    int stones = 0;
    double increment = 0;
};

// One player's clock.
struct PlayerClock {
    double main = 0;        // main time left
    bool overtime = false;  // main time used up: in byo-yomi
    double period = 0;      // time left in the current period
    int stones = 0;         // Canadian: moves still due in the period; Japanese: periods left
};

// Time kept back from every budget, against a late answer on a loaded
// machine; and time the controller's clock runs for each move that this
// side does not see (the pipe, the controller's turn-around). A budget
// never reaches into the reserve, so with 0.3 s or less left the move is
// made at once.
inline constexpr double kReserveSeconds = 0.3;
inline constexpr double kLagSeconds = 0.03;

// A full clock at the start of a game.
PlayerClock fullClock(const TimeSettings& settings);
// The clock the controller reports with time_left: `stones` 0 while the
// main time runs; in Canadian byo-yomi the time and stones left in the
// period; in Japanese byo-yomi the time left in the period and the
// periods left.
PlayerClock toldClock(const TimeSettings& settings, double seconds, int stones);
// The clock after a move that took `seconds`.
PlayerClock charge(const TimeSettings& settings, PlayerClock clock, double seconds);

// Own moves still to come in a game of this base with `played` moves made.
// Havannah games on a base-b board mostly end within about 8 b moves (in
// the real records, nine in ten games of base 8 end by move 58 and of base
// 10 by move 79); past that, the game is expected to last 2 b moves more.
// Never more than the empty cells allow.
int ownMovesToCome(int base, int played);

// The time for one move: aimed at `target`, extended on an unclear search
// up to `limit`, which never reaches into the reserve. `useAll`: time
// saved is lost (a Japanese period), so the search is not stopped early.
struct Budget {
    double target = 0;
    double limit = 0;
    bool useAll = false;
};
// Nothing for TimeSystem::None.
std::optional<Budget> budgetFor(const TimeSettings& settings, const PlayerClock& clock, int movesToCome);

// What a look at the running search shows: the two most visited moves with
// the share of their playouts won (a proven result counts as decided), and
// the playouts so far.
struct SearchView {
    int best = 0;
    std::uint32_t bestVisits = 0;
    std::uint32_t secondVisits = 0;
    double bestRate = 0;
    double secondRate = 0;
    std::uint64_t playouts = 0;
    bool decided = false;
};
// The watcher's account of one move's search, carried from one look to
// the next.
struct Watch {
    double deadline = 0;  // the target, or later once extended
    std::optional<int> best;
    double bestSince = 0;  // when the present best became best
    bool stop = false;
};
// The watch at the start of a move's search.
Watch startWatch(const Budget& budget);
// The watch after a look at the search `elapsed` seconds into the move:
// stop once decided, at the limit, or when the second move could not
// overtake the best with every playout left before the deadline; at the
// deadline, extend by half the target (up to the limit) while the second
// wins more of its playouts than the best or the best became best in the
// last fifth of the time so far.
Watch look(const Budget& budget, Watch watch, double elapsed, const SearchView& view);

}  // namespace tarnwick::engine::gtp
