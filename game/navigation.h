// Reading move tokens, moving through the loaded game, editing it by hand,
// and the move list beside the board.
#pragma once

#include <string>

#include "havannah/topology.h"

namespace tarnwick {

struct App;
struct ShownPosition;

// Forward: one step, to the end (stopping before a resignation), automatic play.
void stepForward(App& app);
void goToEnd(App& app);
void playGame(App& app);
void drawPlayButtonUp(App& app);
void drawPlayButtonDown(App& app);

// Backward: one step, or back to the empty board.
void stepBack(App& app);
void clearPosition(App& app);

// Editing: a clicked cell as a new move (when the last move is shown and
// the cell is empty); taking moves back; the swap.
void recordMove(App& app, havannah::Cell cell);
void takeBack(App& app);
void swapMove(App& app);

// Brings the board, the win outline and the panel's note to the position
// after CurrentMove.
void showCurrentPosition(App& app);
// The list highlight on CurrentMove's entry, and the "Swap" caption as the
// move shown calls for it.
void markCurrentMove(App& app);
// The panel's note on a position: "White wins: ring with move 42 (E8)" (the
// players' names where the game has them), or the first move the rules
// refuse, "move 31 (E5) is on an occupied cell"; empty for neither.
std::string positionNote(const App& app, const ShownPosition& shown);
// The W key: hides or shows the win outline and note.
void toggleWinDisplay(App& app);

// The move list panel.
void rebuildMoveList(App& app);
void appendListEntry(App& app, int k);
void highlightCurrentEntry(App& app);
void unhighlightEntry(App& app);
void selectListEntry(App& app);

}  // namespace tarnwick
