// Getting games in: by game number from the game server, or pasted.
#pragma once

namespace tarnwick {

struct App;

// Reads a game number typed into the field on the board page and fetches it.
void loadGameByNumber(App& app);
// Loads the game whose move list is in ClipboardText, or beeps.
void importClipboardGame(App& app);

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
