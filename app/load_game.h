// Showing the games that acquire/ brings in: from a record, a pasted move
// list, a file or the game server.
#pragma once

#include <string>
#include <string_view>

#include "acquire/acquire.h"

namespace tarnwick {

struct App;

// Before a new game is filled in: a new base gets a fresh board page (the
// whole page is drawn again), the same base only loses its stones; the old
// game is cleared either way.
void prepareBoardForNewGame(App& app, int base);
// Empties the game shown (moves, header, tree) for a game built by clicking.
void clearShownGame(App& app);
// Shows `game`: the board prepared for its base, its header and move list
// drawn, the position at its last move (before a resignation).
void showGame(App& app, acquire::GameValues game);
// Shows the game of a record. A record of neither base flashes "Invalid
// Game #" over the number field, beeps and leaves the shown game as it was.
// True when the game is shown.
bool loadRecordText(App& app, std::string_view record);
// Loads the game in `text`: a record (from its "(;FF" on) as a fetched one,
// or a move list (Little Golem or It's Your Turn); any other text only beeps
// and leaves the shown game. True when a game was loaded. `source` names the
// file the text was read from (empty: the clipboard or a drop).
bool loadGameText(App& app, std::string_view text, std::string_view source = {});
// Loads the game copied to the clipboard (ClipboardText), as loadGameText.
bool importClipboardGame(App& app);
// Opens the game file at `path`; empty when its game is shown, otherwise one
// line that names the file and says why not (and the shown game stays).
std::string openGameFile(App& app, std::string_view path);
// Reads a game number typed into the field on the board page, fetches the
// game's record and shows the game at its last move. Escape, or closing the
// window, ends the entry without a fetch.
void loadGameByNumber(App& app);
// Fetches game `number` from the game server and shows it, as the number
// entry does after its last digit.
void fetchGameByNumber(App& app, std::string_view number);

}  // namespace tarnwick
