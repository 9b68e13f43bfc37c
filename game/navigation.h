// Reading move tokens, moving through the loaded game, editing it by hand,
// and the move list beside the board.
#pragma once

#include <string_view>

namespace tarnwick {

struct App;

// Token decoding: ShownMoveText -> MovePlayer and MoveNumber.
void movePlayerOf(App& app);
// Token decoding: ShownMoveText -> its bare cell text, CellColumn, CellPosition.
// A swap token stands for the cell of entry 1.
void moveCellOf(App& app);
bool isSwapToken(std::string_view token);
bool isResignToken(std::string_view token);

// Forward: one step, to the end (stopping before a resignation), automatic play.
void stepForward(App& app);
void goToEnd(App& app);
void playGame(App& app);
void drawPlayButtonUp(App& app);
void drawPlayButtonDown(App& app);

// Backward: one step, or back to the empty board.
void stepBack(App& app);
void clearPosition(App& app);

// Editing: a clicked cell as a new move; taking moves back; the swap.
void recordMove(App& app);
void takeBack(App& app);
void swapMove(App& app);

// Draws the move whose token is in ShownMoveText (CurrentMove is its index).
void showMove(App& app);

// The move list panel.
void rebuildMoveList(App& app);
void appendListEntry(App& app, int k);
void highlightCurrentEntry(App& app);
void unhighlightEntry(App& app);
void selectListEntry(App& app);

}  // namespace tarnwick
