// Board operations: cell tables, hit testing, cell names and the board's own
// controls and captions drawn over the board picture.
#pragma once

#include <optional>

#include "platform/colour.h"

namespace tarnwick {

struct App;

// Chooses GridSize and the board picture for BoardSize (8 or 10; any other
// value leaves them) and re-creates the cell tables, all 0, for that size.
void setUpBoardSize(App& app);

// Fills the stone-square origins of every cell of the current base.
void computeCellTable(App& app);

// The cell whose click box holds the window point, left in CellColumn and
// CellPosition; false (column 0) when the point is on no cell.
bool cellAt(App& app, int px, int py);

// Writes (or, while LabelsErasing, overdraws in the cell colour) the name of
// every empty cell; does nothing unless the names are shown or being erased.
void drawCellLabels(App& app);
void drawCellLabel(App& app, int column, int position);

// The C1 button: shows or hides the cell names and repaints the button.
void toggleCellLabels(App& app);
void drawLabelsButtonCaption(App& app);
// "Size" over the base the Size button switches to.
void drawSizeCaption(App& app);
// Puts the text position and font where the "Swap" caption is drawn.
void placeSwapCaption(App& app);
// The four background bands of the information panel beside the board.
void clearInfoPanel(App& app);

// The stone-square origin of (column, position) on the current board, or
// nullopt when the pair is no cell of it (or the table is not laid out).
std::optional<Point> cellOrigin(const App& app, int column, int position);

// Copies the player's stone picture onto the cell in CellColumn and
// CellPosition and paints the last-stone marker on it.
void drawMarkedStone(App& app, int player);
// Puts a stone, marked or plain, at a stone-square origin and turns the
// picture's key-colour background into the cell's own colour.
void placeStone(App& app, int player, Point origin, bool marked);
// Repaints the stone square at the origin in the cell's own colour.
void eraseStone(App& app, Point origin);

}  // namespace tarnwick
