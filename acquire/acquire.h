// Getting games in: by game number from the game server, pasted, or from a
// file. These functions read texts and produce values (the base, the record's
// fields, the move tokens); showing a game they produce is the program's work.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquire/acquire_state.h"
#include "board/palette.h"
#include "game/game_state.h"
#include "platform/platform.h"

namespace tarnwick::acquire {

// The fonts acquire draws with.
struct Fonts {
    FontId header = kNoFont;  // the number field and the fetch line
};

// A game as a text gives it.
struct GameValues {
    int base = 8;
    // The header fields; recordText is the record read (empty for a move list).
    game::GameRecord record;
    // Tokens "1.D4", "2.swap", ..., never empty, at most game::MaxMoveSlots:
    // the main line of the tree.
    std::vector<std::string> moves;
    // The whole game: the record as read, variations, comments and every
    // property kept; for a move list, the record Ctrl+S writes of it.
    record::Tree tree;
    // Games the text held; the first is the one read.
    int games = 1;
};
// The game server, and where a game's record is found on it.
inline constexpr std::string_view kGameServerHost = "www.littlegolem.net";
std::string recordPathFor(std::string_view gameNumber);

// Where a game record begins.
inline constexpr std::string_view kRecordStart = "(;FF";
// The largest game file read: a record is a few kilobytes.
inline constexpr std::size_t kMaxGameFileBytes = 4 * 1024 * 1024;

// --- Records (record_parser.cpp) ---
// Reading a game record (the game server's text, "(;FF[4]EV[...]...)"). Each
// field is found by a fixed marker and copied up to its closing "]"; every
// scan stops at the end of the text.
//
// The base: 8 for "SZ[8]" (looked for first), 10 for "SZ[10]", otherwise none.
std::optional<int> recordBase(std::string_view record);
// The header fields, wherever the record stands; recordText is the record.
game::GameRecord readRecordFields(std::string_view record);
// Every bracketed value after the record's source value, numbered "1.", ...
std::vector<std::string> readRecordMoves(std::string_view record);
// The whole game; none when the record is of neither base.
std::optional<GameValues> readRecord(std::string_view record);

// --- Reply bodies and the fetch (record_fetch.cpp) ---
struct Records {
    std::string first;  // the first record, empty when none
    int count = 0;      // records seen, at most game::GameFields::GameSlotCount
};
// Collects the records of a reply body: its lines (line feeds end them,
// carriage returns are dropped) that begin "(;FF" start a record, other
// non-empty lines continue the current one, lines before the first record
// are dropped. The program holds one game: later records are only counted.
Records collectRecords(std::string_view body);
// Every record of a reply body, read by the same rules, each whole.
std::vector<std::string> splitRecords(std::string_view body);
// What a fetch of one game brought: the records of the reply (none in a
// reply that is not a success), or no records and, in `problem`, why no
// reply was read ("the game server cannot be reached"); `problem` is empty
// when the wait was given up (Escape, the window closed).
struct Fetched {
    std::optional<Records> records;
    std::string problem;
};
// Asks the game server for game `number`; a failed exchange beeps. Escape
// gives up the wait, as closing the window does.
Fetched fetchGameRecords(Platform& p, std::string_view number, const HttpLimits& limits);
// The same, with the line "Fetching game N ..." in the information panel
// while the fetch waits; the line is gone when it returns.
Fetched fetchGameRecordsShown(Platform& p, const board::Palette& palette, const Fonts& fonts, std::string_view number,
                              const HttpLimits& limits);

// --- A player's games (record_fetch.cpp) ---
// The game server lists a player's finished games per game type, each a
// record on a line. Its Havannah type covers every board size.
inline constexpr std::array<std::string_view, 1> kHavannahGameTypes{"havannah"};
std::string playerGameListPath(std::string_view playerId, std::string_view gameType);
// What the lists of one player brought: every record read, and a line for
// each list that could not be read ("havannah: the game server did not
// answer in time"). `cancelled` when the wait was given up (Escape, the
// window closed); what was read before is kept.
struct PlayerGames {
    std::vector<std::string> records;
    std::vector<std::string> problems;
    bool cancelled = false;
};
// Asks the game server for the lists of player `playerId` (digits), one
// request a game type; a failed exchange beeps.
PlayerGames fetchPlayerGames(Platform& p, std::string_view playerId, const HttpLimits& limits);

// --- The number entry (number_entry.cpp) ---
// The game number field on the board page (its white box, as the artwork
// draws it).
inline constexpr int kNumberFieldLeft = 49, kNumberFieldTop = 59, kNumberFieldRight = 139, kNumberFieldBottom = 77;
// Reads a game number typed into the field: digits are drawn as typed,
// Backspace takes the last back, letters and punctuation beep; Enter after
// fewer than six digits starts again. Returns the number (six digits and
// Enter, or seven), or none when Escape or a closed window cancelled it. The
// field is left blank; entry.TypedNumber holds the digits of the last pass.
std::optional<std::string> enterGameNumber(Platform& p, const Fonts& fonts, AcquireFields& entry);

// --- Pasted texts (clipboard_import.cpp, acquire/import.h) ---
// The first record in a pasted text, from its "(;FF" on, collected as from a
// reply body; none when the text holds no record start.
std::optional<std::string> recordInText(std::string_view text);
// A pasted move list (Little Golem or It's Your Turn) as a game; none when
// the text is not one. A Little Golem list keeps `shownBase` unless it names
// a cell only base 10 has. `source` names the file the list was read from
// (empty: the clipboard); the event says where the list came from.
std::optional<GameValues> readMoveList(std::string_view text, int shownBase, std::string_view source = {});

// --- Files (game_file.cpp) ---
// The text of the game file at `path`, or (ok false) a problem line that
// names the file and says why it cannot be read.
FileText readGameFile(Platform& p, std::string_view path);
// The line for a file that holds no game this program shows.
std::string notAGameProblem(std::string_view path);
// A game (its header and moves) as a game record of the server's kind, which
// readRecord reads back to the same game.
std::string recordOfGame(const game::GameRecord& record, const game::MoveList& moves, int base);
// The tree of a game read without one (a move list, a record the record
// syntax refuses): the record recordOfGame writes of it.
record::Tree treeOfGame(const GameValues& game);
// The tree of a game not yet begun on a board of `base`, whose moves are
// then tagged as the server tags them.
record::Tree emptyGameTree(int base);
// The moves as a Little Golem list: "1.E5 2.swap 3.D4".
std::string moveListOfGame(const game::MoveList& moves);

}  // namespace tarnwick::acquire
