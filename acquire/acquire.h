// Getting games in: by game number from the game server, or pasted.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

struct App;

// The game server, and where a game's record is found on it.
inline constexpr std::string_view kGameServerHost = "www.littlegolem.net";
std::string recordPathFor(std::string_view gameNumber);

// Reads a game number typed into the field on the board page, fetches the
// game's record and shows the game at its last move. Escape, or closing the
// window, ends the entry without a fetch.
void loadGameByNumber(App& app);
// Asks the game server for the record at RequestPath. FetchOk 1 when a reply
// was read: the first record of its body is then in recordText (empty when
// the body holds none, or the reply was not a success) and RecordCount
// counts the records. A failed exchange beeps and changes no record.
void fetchGameRecord(App& app);
// Collects the records of a reply body: its lines (line feeds end them,
// carriage returns are dropped) that begin "(;FF" start a record, other
// non-empty lines continue the current one, lines before the first record
// are dropped. The first record goes to recordText.
void collectRecords(App& app, std::string_view body);
// Loads the game whose move list (Little Golem or It's Your Turn) is in
// ClipboardText, normalising that text in place; any other text only beeps
// and leaves the shown game as it was. A text that holds a game record
// (from its "(;FF" on) is loaded as a fetched record is. True when a game
// was loaded.
bool importClipboardGame(App& app);

// Where a game record begins.
inline constexpr std::string_view kRecordStart = "(;FF";
// The largest game file read: a record is a few kilobytes.
inline constexpr std::size_t kMaxGameFileBytes = 4 * 1024 * 1024;
// Loads the game in `text` (a record or a move list, as importClipboardGame
// reads them) without touching ClipboardText. True when a game was loaded.
bool loadGameText(App& app, std::string text);
// Opens the game file at `path`; empty when its game is shown, otherwise one
// line that names the file and says why not (and the shown game stays).
std::string openGameFile(App& app, std::string_view path);
// Fetches game `number` from the game server and shows it, as the number
// entry does after its last digit.
void fetchGameByNumber(App& app, std::string_view number);

// The shown game (its header and every move in the list) as a game record
// of the server's kind, which loadRecordText reads back to the same game.
std::string recordOfShownGame(const App& app);
// The shown game's moves as a Little Golem list: "1.E5 2.swap 3.D4".
std::string moveListOfShownGame(const App& app);

// Reading a game record (the game server's text, "(;FF[4]EV[...]...)") into
// the current game. Each field is found by a fixed marker and copied up to
// its closing "]"; every scan stops at the end of the text.
//
// Sets BoardSize from "SZ[8]" (tested first) or "SZ[10]"; any other record
// flashes "Invalid Game #" over the number field and beeps (GameValid 0).
void checkBoardSize(App& app);
void parseEvent(App& app);
void parsePlayers(App& app);
void parseResult(App& app);
void resultToText(App& app);
void parseGameNumber(App& app);
void parseMoves(App& app);

// Shows the record in recordText: checks its size, clears the board and the
// game (the whole page is redrawn when the base changes), reads the fields
// and moves, draws the header and the list, and goes to the last move. A
// record of another size leaves the shown game as it was.
void loadRecordText(App& app);

// Before a new game is filled in: a new base gets a fresh board page, the
// same base only loses its stones; the old game is cleared either way.
void prepareBoardForNewGame(App& app);

}  // namespace tarnwick
