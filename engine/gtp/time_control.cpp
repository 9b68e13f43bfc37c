#include "engine/gtp/time_control.h"

#include <algorithm>
#include <cmath>

namespace tarnwick::engine::gtp {

namespace {

// A game's usual length and its tail, in moves per unit of base.
constexpr double kLongGame = 8.0;
constexpr double kTail = 2.0;
// A move takes at most this many times its target.
constexpr double kMaxStretch = 2.0;
// In a Canadian period a move may borrow this much of later moves' share.
constexpr double kPeriodStretch = 1.5;
// The best is settled when it has been best for this part of the time so far.
constexpr double kSettled = 0.2;
// An extension adds this part of the target.
constexpr double kExtension = 0.5;
// Early stop needs this many playouts to trust the rate.
constexpr std::uint64_t kMinPlayouts = 100;

double atLeastZero(double seconds) { return std::max(seconds, 0.0); }

// What a move may take from `seconds` left, keeping back the reserve and
// the lag the controller's clock adds to this move.
double usable(double seconds) { return atLeastZero(seconds - kReserveSeconds - kLagSeconds); }

// Leaves main time for byo-yomi: what is left of `seconds` goes to the
// first period.
PlayerClock intoOvertime(const TimeSettings& settings, PlayerClock clock, double& seconds) {
    seconds -= clock.main;
    clock.main = 0;
    clock.overtime = true;
    clock.period = settings.period;
    clock.stones = settings.stones;
    return clock;
}

}  // namespace

PlayerClock fullClock(const TimeSettings& settings) {
    PlayerClock clock;
    clock.main = settings.main;
    if (settings.main <= 0 && (settings.system == TimeSystem::Canadian || settings.system == TimeSystem::Japanese)) {
        clock.overtime = true;
        clock.period = settings.period;
        clock.stones = settings.stones;
    }
    return clock;
}

PlayerClock toldClock(const TimeSettings& settings, double seconds, int stones) {
    PlayerClock clock;
    const bool byoYomi = settings.system == TimeSystem::Canadian || settings.system == TimeSystem::Japanese;
    if (byoYomi && stones > 0) {
        clock.overtime = true;
        clock.period = seconds;
        clock.stones = stones;
    } else {
        clock.main = seconds;
    }
    return clock;
}

PlayerClock charge(const TimeSettings& settings, PlayerClock clock, double seconds) {
    switch (settings.system) {
        case TimeSystem::None:
            return clock;
        case TimeSystem::Absolute:
            clock.main = atLeastZero(clock.main - seconds);
            return clock;
        case TimeSystem::Fischer:
            clock.main = atLeastZero(clock.main - seconds) + settings.increment;
            return clock;
        case TimeSystem::Canadian:
        case TimeSystem::Japanese:
            break;
    }
    if (!clock.overtime) {
        if (seconds <= clock.main) {
            clock.main -= seconds;
            return clock;
        }
        clock = intoOvertime(settings, clock, seconds);
    }
    if (settings.system == TimeSystem::Canadian) {
        clock.period = atLeastZero(clock.period - seconds);
        if (--clock.stones <= 0) {
            clock.period = settings.period;
            clock.stones = settings.stones;
        }
        return clock;
    }
    // Japanese: a move within its period costs nothing; each period it runs
    // past is used up.
    if (settings.period > 0 && seconds > clock.period) {
        const int over = static_cast<int>(std::ceil((seconds - clock.period) / settings.period));
        clock.stones = std::max(clock.stones - over, 0);
    }
    clock.period = settings.period;
    return clock;
}

int ownMovesToCome(int base, int played) {
    const int cells = 3 * base * base - 3 * base + 1;
    const double usual = std::max(kLongGame * base - played, kTail * base);
    const double moves = std::min(usual, static_cast<double>(cells - played));
    return std::max(static_cast<int>(std::ceil(moves / 2)), 1);
}

std::optional<Budget> budgetFor(const TimeSettings& settings, const PlayerClock& clock, int movesToCome) {
    const double moves = std::max(movesToCome, 1);
    Budget budget;
    // Main time spread over the moves to come, each of which also pays the lag.
    const double mainShare = atLeastZero((clock.main - kReserveSeconds) / moves - kLagSeconds);
    switch (settings.system) {
        case TimeSystem::None:
            return std::nullopt;
        case TimeSystem::Absolute:
            budget.target = mainShare;
            budget.limit = std::min(usable(clock.main), kMaxStretch * budget.target);
            return budget;
        case TimeSystem::Fischer:
            budget.target = std::min(mainShare + settings.increment, usable(clock.main));
            budget.limit = std::min(usable(clock.main), kMaxStretch * budget.target);
            return budget;
        case TimeSystem::Canadian:
        case TimeSystem::Japanese:
            break;
    }
    const bool canadian = settings.system == TimeSystem::Canadian;
    if (!clock.overtime) {
        // Every move can have its share of byo-yomi as well; a move that runs
        // past the main time takes the rest from the first period.
        const double periodShare = canadian ? usable(settings.period) / std::max(settings.stones, 1) : usable(settings.period);
        budget.target = atLeastZero(clock.main / moves - kLagSeconds) + periodShare;
        budget.limit = std::min(clock.main + periodShare, kMaxStretch * budget.target);
        return budget;
    }
    if (canadian) {
        const int stones = std::max(clock.stones, 1);
        budget.target = atLeastZero((clock.period - kReserveSeconds) / stones - kLagSeconds);
        budget.limit = std::min(usable(clock.period), (stones > 1 ? kPeriodStretch : 1.0) * budget.target);
        return budget;
    }
    // A Japanese period is used whole; time left in it is lost.
    budget.target = usable(std::min(clock.period, settings.period));
    budget.limit = budget.target;
    budget.useAll = true;
    return budget;
}

Watch startWatch(const Budget& budget) {
    Watch watch;
    watch.deadline = budget.target;
    return watch;
}

Watch look(const Budget& budget, Watch watch, double elapsed, const SearchView& view) {
    if (view.decided || elapsed >= budget.limit) {
        watch.stop = true;
        return watch;
    }
    // The first best seen has been best as far as anyone knows.
    if (watch.best && *watch.best != view.best) watch.bestSince = elapsed;
    watch.best = view.best;
    // The most visited move should also be the best valued: when the second
    // wins more of its playouts, more search may yet put it first.
    const bool bestValued = view.secondVisits == 0 || view.bestRate >= view.secondRate;
    const bool settled = elapsed - watch.bestSince >= kSettled * elapsed;
    const bool stable = bestValued && settled;
    if (stable && !budget.useAll && view.playouts >= kMinPlayouts && elapsed > 0) {
        const double rate = static_cast<double>(view.playouts) / elapsed;
        const double playoutsLeft = rate * atLeastZero(watch.deadline - elapsed);
        if (view.bestVisits - view.secondVisits > playoutsLeft) {
            watch.stop = true;
            return watch;
        }
    }
    if (elapsed >= watch.deadline) {
        if (stable || watch.deadline >= budget.limit)
            watch.stop = true;
        else
            watch.deadline = std::min(budget.limit, watch.deadline + kExtension * budget.target);
    }
    return watch;
}

}  // namespace tarnwick::engine::gtp
