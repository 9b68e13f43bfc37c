// The loaded game: its record fields, move tokens and where the board is.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "game/moves.h"
#include "game/replay.h"
#include "havannah/position.h"
#include "record/tree.h"

namespace tarnwick::game {

// The text fields of one game record.
struct GameRecord {
    std::string recordText;
    std::string gameNumber;
    std::string eventName;
    std::string blackPlayer;
    std::string whitePlayer;
    std::string resultText;
};

struct GameFields {
    static constexpr int GameSlotCount = 5000;
    int GameSlot = 1;  // the program holds one game, in slot 1
    GameRecord record;
    MoveList Moves;

    int CurrentMove = 0;  // moves on the board; 0 = empty board
    // Moves in the list: the list itself says, so no count can fall out of
    // step with it.
    int moveCount() const { return Moves.length(); }

    // The whole game as a tree of moves, variations included, and the line
    // of it the board and the list show: Line[k] is the node of entry k of
    // Moves (Line[0] the root). The game layer writes Moves from the line;
    // LineRevision is the list's revision when the two last agreed, so a
    // list written directly (as a test may) is taken into the tree anew.
    record::Tree Tree;
    std::vector<record::NodeId> Line{record::kRoot};
    std::uint64_t LineRevision = 0;
    // Moves were added, taken back or rearranged since the game was loaded
    // or saved.
    bool Unsaved = false;
    // How a review judged the moves of the nodes it reviewed, 1 (an
    // inaccuracy) to 4 (decisive); the list marks them.
    std::unordered_map<record::NodeId, int> Judged;

    // The win line and outline are shown (the W key hides and shows them).
    bool WinDisplayOn = true;

    // The position last worked out, kept so that a step forward replays one
    // entry rather than the whole list; good while the list's revision is
    // still ShownRevision.
    std::optional<ShownPosition> Shown;
    std::uint64_t ShownRevision = 0;

    float PlaybackDelay = 500.0F;  // milliseconds between moves in automatic play
};

// The window frame's bottom line, which the move list's rows end above.
inline constexpr int kFrameBottom = 740;

// Layout and highlight of the move list beside the board. Entry and
// highlight positions are those of the list laid out in full; a list longer
// than the window shows ScrolledRows fewer rows at its top.
struct MoveListFields {
    std::array<std::string, MaxMoveSlots + 1> ListText{};
    std::array<int, MaxMoveSlots + 1> EntryX{};
    std::array<int, MaxMoveSlots + 1> EntryY{};
    int ScrolledRows = 0;
    // The rows end above this line: the window frame's (kFrameBottom), or
    // higher while something is drawn under the list.
    int Bottom = kFrameBottom;
    int ListPenX = 1016;
    int ListPenY = 246;
    int ListRightLimit = 1015;
    float LastEntryWidth = 0;  // of the entry placed last: decides whether the next opens a row
    std::string HighlightText;
    havannah::Player HighlightPlayer = havannah::Player::Black;
    int HighlightX = 0;
    int HighlightY = 0;
};

}  // namespace tarnwick::game
