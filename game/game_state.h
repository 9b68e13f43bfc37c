// The loaded game: its record fields, move tokens and where the board is.
#pragma once

#include <array>
#include <string>

namespace tarnwick {

inline constexpr int MaxMoveSlots = 274;  // 271 cells of base 10, plus 3

// Move tokens 1..MaxMoveSlots ("12.C10", "2.swap", "31.resign"). The first
// empty entry ends the game. Entries outside 1..MaxMoveSlots read as empty
// and cannot be written, whatever index outside text produces.
class MoveList {
  public:
    const std::string& operator[](int k) const {
        static const std::string kNone;
        return k >= 1 && k <= MaxMoveSlots ? entries_[static_cast<std::size_t>(k)] : kNone;
    }
    void set(int k, std::string token) {
        if (k >= 1 && k <= MaxMoveSlots) entries_[static_cast<std::size_t>(k)] = std::move(token);
    }
    // Number of entries before the first empty one.
    int length() const {
        int k = 0;
        while (k < MaxMoveSlots && !entries_[static_cast<std::size_t>(k) + 1].empty()) ++k;
        return k;
    }

  private:
    std::array<std::string, MaxMoveSlots + 1> entries_{};  // [0] unused
};

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

    int MoveCount = 0;    // moves in the list
    int CurrentMove = 0;  // moves on the board; 0 = empty board

    // The move being shown, carried from token decoding to the drawing code.
    std::string ShownMoveText;
    int MovePlayer = 0;
    int MoveNumber = 0;
    int CellColumn = 0;
    int CellPosition = 0;

    float PlaybackDelay = 500.0F;  // milliseconds between moves in automatic play
    int PlaybackStop = 0;
};

// Layout and highlight of the move list beside the board. Entry and
// highlight positions are those of the list laid out in full; a list longer
// than the window shows ScrolledRows fewer rows at its top.
struct MoveListFields {
    std::array<std::string, MaxMoveSlots + 1> ListText{};
    std::array<int, MaxMoveSlots + 1> EntryX{};
    std::array<int, MaxMoveSlots + 1> EntryY{};
    int ScrolledRows = 0;
    int ListLeftEdge = 656;
    int ListPenX = 1016;
    int ListPenY = 246;
    int ListRightLimit = 1015;
    float LastEntryWidth = 0;
    float LastEntryHeight = 0;
    std::string HighlightText;
    int HighlightPlayer = 0;
    int HighlightX = 0;
    int HighlightY = 0;
};

}  // namespace tarnwick
