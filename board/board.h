// Board operations: cell tables, hit testing, cell names and the board's own
// controls and captions drawn over the board picture.
#pragma once

#include <optional>
#include <vector>

#include "board/board_state.h"
#include "havannah/position.h"

#include "platform/colour.h"

namespace tarnwick {

struct App;

// Chooses GridSize and the board picture for BoardSize (8 or 10; any other
// value leaves them) and re-creates the cell tables, all 0, for that size.
void setUpBoardSize(App& app);

// Fills the stone-square origins of every cell of the current base.
void computeCellTable(App& app);

// The cell whose click box holds the window point; nullopt on no cell.
std::optional<havannah::Cell> cellAt(const App& app, int px, int py);

// Writes (or, while LabelsErasing, overdraws in the cell colour) the name of
// every cell painted empty; does nothing unless the names are shown or being
// erased.
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

std::optional<Point> cellOrigin(const App& app, havannah::Cell cell);

// Puts a stone, marked or plain, at a stone-square origin and turns the
// picture's key-colour background into the cell's own colour.
void placeStone(App& app, havannah::Player player, Point origin, bool marked);
// Repaints the stone square at the origin in the cell's own colour.
void eraseStone(App& app, Point origin);

// Makes the cell show `paint` (a stone, marked or not, or nothing, with its
// name when the names are shown), if it shows something else now.
void paintCell(App& app, havannah::Cell cell, CellPaint paint);
// Repaints the empty cell with the analysis mark Painted holds for it (the
// cell's name on the disc when the names are shown), or bare.
void drawCellMark(App& app, havannah::Cell cell);
// The disc colour of the candidate of this rank, 1 (best) to 5.
Colour markColour(int rank);

// After the whole page was drawn anew: the board shows no stone and no
// outline, whatever it showed before.
void forgetPaintedBoard(BoardFields& board);

// The win outline: each cell's hexagon edge, two pixels wide, in a clear
// blue, clear of the stone squares. Drawing saves the pixels it covers;
// erasing puts them back, so the board returns pixel for pixel.
void drawWinOutline(App& app, const std::vector<havannah::Cell>& cells);
void eraseWinOutline(App& app);
inline constexpr Colour kWinOutline{32, 160, 255};

}  // namespace tarnwick
