// What the engine-measuring tools share: a time budget as search limits,
// and the engine playing both sides of a game to its end.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "engine/engine.h"
#include "havannah/position.h"

namespace tarnwick::tools {

inline engine::Limits secondsLimit(double seconds) {
    return engine::Limits{0, std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(seconds))};
}

// Plays the engine's best move, each searched within `limits`, until the
// game is won or no move is left; `seen` is shown every search before its
// move is played. The winner, if any.
inline std::optional<havannah::Player> playToTheEnd(havannah::Position& position, engine::Engine& engine,
                                                    const engine::Limits& limits,
                                                    const std::function<void(const engine::Snapshot&)>& seen = {}) {
    while (!position.winner()) {
        engine.start(position, limits);
        engine.wait();
        const engine::Snapshot snap = engine.snapshot(1);
        if (snap.moves.empty()) break;
        if (seen) seen(snap);
        const engine::Move move = snap.moves.front().move;
        if (move == engine::kSwapMove ? position.swap().has_value() : position.play(move).has_value()) break;
    }
    return position.winner();
}

}  // namespace tarnwick::tools
