// The started program the fuzz targets feed: one per process, over the
// headless provider, with the board pictures, fonts and documentation found
// beside the fuzz executable as the tests find them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string_view>

#include "app/context.h"
#include "fuzz/fuzz_rule.h"
#include "app/shell.h"
#include "game/game.h"
#include "game/navigation.h"
#include "game/replay.h"
#include "platform/headless/headless_platform.h"

namespace tarnwick::fuzz {

using ::require;

struct FuzzProgram {
    FuzzProgram() : app(platform) {
        platform.setDataFolder(std::filesystem::read_symlink("/proc/self/exe").parent_path().string());
        // Refused records sleep (virtually) while "Invalid Game #" flashes;
        // the window must not count that as idleness and close itself.
        platform.setIdleLimitMs(std::numeric_limits<std::int64_t>::max() / 2);
        startUp(app);
    }
    FuzzProgram(const FuzzProgram&) = delete;
    FuzzProgram& operator=(const FuzzProgram&) = delete;

    // The board emptied and the game cleared, as a loader does before a new
    // game of the same base, so that one input's game does not shape the
    // next input's run.
    void clearShownGame() {
        game::clearPosition(gameOf(app));
        game::clearGame(gameOf(app));
    }

    HeadlessPlatform platform;
    App app;
};

// Built at the first input and kept for the whole run: starting the program
// (fonts, pictures, the first page) costs far more than one input.
inline FuzzProgram& program() {
    static FuzzProgram started;
    return started;
}


// What must hold of the shown game after any loader, whatever it was given:
// a board of a known base, a move list without gaps within its bounds, and
// the position shown at the last move or just before a resignation.
inline void checkShownGame(const App& app) {
    const board::BoardFields& b = app.board;
    const game::GameFields& g = app.game;
    require(b.BoardSize == 8 || b.BoardSize == 10, "the base is 8 or 10");
    require(b.GridSize == 2 * b.BoardSize - 1 && b.Topology->base() == b.BoardSize &&
                b.Painted.size() == static_cast<std::size_t>(b.Topology->cellCount()),
            "the tables fit the base");
    require(g.CurrentMove >= 0 && g.CurrentMove <= g.moveCount(), "the shown move is in the list");
    for (int k = 1; k <= g.CurrentMove; ++k) require(!game::isResignToken(g.Moves[k]), "no resignation is shown");
    require(g.CurrentMove == g.moveCount() || game::isResignToken(g.Moves[g.CurrentMove + 1]),
            "the game is shown at its end or before a resignation");
    const game::ShownPosition shown = game::positionAfter(g.Moves, g.CurrentMove, b.Topology);
    int stones = 0;
    for (havannah::Cell cell = 0; cell < b.Topology->cellCount(); ++cell) {
        const havannah::Stone painted = b.Painted[static_cast<std::size_t>(cell)].stone;
        require(painted == shown.stones.at(cell), "the board shows the position of the moves shown");
        stones += painted != havannah::Stone::Empty ? 1 : 0;
    }
    require(stones <= g.CurrentMove, "no more stones than moves shown");
}

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace tarnwick::fuzz
