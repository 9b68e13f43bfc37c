// The game layer's view of a move list: each entry decoded, and the position
// the board shows after the first k entries, worked out by the Havannah model.
// Pure functions: no App, no drawing.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "game/moves.h"
#include "havannah/position.h"

namespace tarnwick::game {

// One move-list entry ("12.C10", "2.swap", "31.resign"), decoded.
struct MoveEntry {
    enum class Kind { Stone, Swap, Resign };
    Kind kind = Kind::Stone;
    // From the entry's number: odd numbers are Black's, even ones White's;
    // a swap is White's.
    havannah::Player player = havannah::Player::Black;
    // The cell text after the point, blanks trimmed ("C10"), and the column
    // and position it names (column from its first letter, the position from
    // one digit, or two when the text is three characters long). Any of them
    // may be no cell of the board; the board then shows nothing for it.
    std::string cellText;
    int column = 0;
    int position = 0;
};
MoveEntry decodeMove(std::string_view token);

bool isSwapToken(std::string_view token);
bool isResignToken(std::string_view token);

// The first entry the rules refuse: an occupied or missing cell, a swap
// that is not move 2, a move out of turn.
struct IllegalMove {
    int move = 0;
    std::string cellText;  // "E5", or "swap"
    std::string reason;    // "is on an occupied cell"
};

// The board after some entries of a move list. `stones` holds every stone
// shown: entries are played by the rules until one is refused or the game is
// won; later entries still put their stones down, as the record says. Each
// player's latest stone carries the marker.
struct ShownPosition {
    explicit ShownPosition(std::shared_ptr<const havannah::Topology> topology) : stones(std::move(topology)) {}

    havannah::Position stones;
    std::array<std::optional<havannah::Cell>, 2> marked{};  // [Black], [White]
    std::optional<havannah::Win> win;
    std::optional<IllegalMove> illegal;

    // How far the list has been replayed, and what the replay carries on with.
    int entries = 0;
    bool rulesFollow = true;                 // no entry refused yet
    std::optional<havannah::Cell> firstCell;  // entry 1's cell, which a swap hands to White

    bool isMarked(havannah::Cell cell) const;
};

// The position after entries 1..k (k clamped to the list) on the board of
// that topology. A resignation puts nothing on the board.
ShownPosition positionAfter(const MoveList& moves, int k, const std::shared_ptr<const havannah::Topology>& topology);
// Carries a replay on from shown.entries to entry k of the same list, which
// must not have changed in entries 1..shown.entries; k below shown.entries
// changes nothing.
void replayTo(ShownPosition& shown, const MoveList& moves, int k);

}  // namespace tarnwick::game
