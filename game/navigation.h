// Reading move tokens, moving through the loaded game, editing it by hand,
// and the move list beside the board.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "game/game.h"
#include "havannah/topology.h"

namespace tarnwick::game {

struct ShownPosition;

// Forward: one step, to the end (stopping before a resignation).
void stepForward(Game game);
void goToEnd(Game game);
// Automatic play from the move shown, until the end, a stop button, Escape or
// the window's close. `follow` runs after each move is shown, before the
// frame is presented (with true), and in every slice of the waits between
// moves (with false), where what it draws is presented when it says it drew.
// Returns a key pressed while the last move waited out its delay, for the
// main loop to act on (empty for none).
std::string playGame(Game game, const std::function<bool(bool moved)>& follow);
void drawPlayButtonUp(Game game);
void drawPlayButtonDown(Game game);

// Backward: one step, or back to the empty board.
void stepBack(Game game);
void clearPosition(Game game);

// Editing: a clicked cell as a new move (when the last move is shown and
// the cell is empty); taking moves back; the swap.
void recordMove(Game game, havannah::Cell cell);
void takeBack(Game game);
void swapMove(Game game);

// Brings the board, the win outline and the panel's note to the position
// after CurrentMove.
void showCurrentPosition(Game game);
// The list highlight on CurrentMove's entry, and the "Swap" caption as the
// move shown calls for it.
void markCurrentMove(Game game);
// The panel's note on a position: "White wins: ring with move 42 (E8)" (the
// players' names where the game has them), or the first move the rules
// refuse, "move 31 (E5) is on an occupied cell"; empty for neither.
std::string positionNote(const GameRecord& record, const ShownPosition& shown);
// The W key: hides or shows the win outline and note.
void toggleWinDisplay(Game game);

// The move list panel.
void rebuildMoveList(Game game);
void appendListEntry(Game game, int k);
void highlightCurrentEntry(Game game);
// Entry k drawn again where it is shown, with its marks (a review's
// judgement changed).
void redrawListEntry(Game game, int k);
void unhighlightEntry(Game game);
// A comment (of the move shown) in the white space under the list's last
// shown row, wrapped at blanks and line breaks, as many lines as fit above
// the frame; an empty one only clears that space.
void drawComment(Game game, std::string_view comment);
// The list entry under a click at (x, y), if any, becomes the move shown.
void selectListEntry(Game game, int x, int y);

}  // namespace tarnwick::game
