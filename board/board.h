// Board operations: cell tables, hit testing, cell names and the board's own
// controls and captions drawn over the board picture.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/board_state.h"
#include "havannah/position.h"

#include "platform/colour.h"
#include "platform/platform.h"

namespace tarnwick::board {

// The white of the buttons' raised bevel edges, as the board pictures draw it.
inline constexpr Colour kBevelLight = colours::kWhite;

// The fonts board drawing uses.
struct Fonts {
    FontId label = kNoFont;    // cell names, and the figures on analysis marks beside a name or a step
    FontId caption = kNoFont;  // the C1 and Size captions
    FontId swap = kNoFont;     // the "Swap" caption
    FontId mark = kNoFont;     // a figure or a step alone on an analysis mark
    FontId tag = kNoFont;      // the count on an explorer tag under a disc or a name
};

// What board drawing works on: the canvas, the board's own state and its
// fonts. The board knows nothing of the rest of the program.
struct Board {
    Platform& platform;
    BoardFields& state;
    Fonts fonts;
};

// Chooses GridSize and the board picture for BoardSize (8 or 10; any other
// value leaves them) and re-creates the cell tables, all 0, for that size.
void setUpBoardSize(BoardFields& board);

// Fills the stone-square origins of every cell of the current base.
void computeCellTable(BoardFields& board);

// The cell whose click box holds the window point; nullopt on no cell.
std::optional<havannah::Cell> cellAt(const BoardFields& board, int px, int py);

// Writes (or, while LabelsErasing, overdraws in the cell colour) the name of
// every cell painted empty; does nothing unless the names are shown or being
// erased.
void drawCellLabels(Board board);
void drawCellLabel(Board board, int column, int position);

// Loads the stone pictures, once at start-up.
void loadStoneImages(Platform& platform, BoardFields& board);
// Draws the picture of the base over the page and samples its button faces
// from it; the board then shows no stone and no outline. The picture is read
// again at every full redraw, the previous one let go first so that its slot
// is reused.
void drawBoardPicture(Board board);
// Over the bare picture: the Size caption, and the C1 button pressed or
// raised as the names are shown or not.
void drawBoardControls(Board board);

// The C1 button: shows or hides the cell names and repaints the button.
void toggleCellLabels(Board board);
void drawLabelsButtonCaption(Board board);
// "Size" over the base the Size button switches to.
void drawSizeCaption(Board board);
// Puts the text position and font where the "Swap" caption is drawn.
void placeSwapCaption(Board board);
// The four background bands of the information panel beside the board.
void clearInfoPanel(Platform& platform, const Palette& palette);
// The lower line of the panel's note area, under the win note: what became
// of a file or a fetch. A long message loses the middle of its text, so that
// its first word and its end (a file's name) stay; an empty one clears the
// line.
void drawPanelMessage(Platform& platform, const Palette& palette, FontId font, std::string_view message);

// The stone-square origin of (column, position) on the current board, or
// nullopt when the pair is no cell of it (or the table is not laid out).
std::optional<Point> cellOrigin(const BoardFields& board, int column, int position);

std::optional<Point> cellOrigin(const BoardFields& board, havannah::Cell cell);

// Puts a stone, marked or plain, at a stone-square origin and turns the
// picture's key-colour background into the cell's own colour.
void placeStone(Board board, havannah::Player player, Point origin, bool marked);
// Repaints the stone square at the origin in the cell's own colour.
void eraseStone(Board board, Point origin);

// Makes the cell show `paint` (a stone, marked or not, or nothing, with its
// name when the names are shown), if it shows something else now.
void paintCell(Board board, havannah::Cell cell, CellPaint paint);
// Repaints the empty cell with the marks Painted holds for it (the cell's
// name on the disc or over the tag when the names are shown), or bare.
void drawCellMark(Board board, havannah::Cell cell);
// Fills the circle of `radius` round (centreX, centreY) of the stone square
// at `o`: each row from the first pixel whose middle lies inside to the last.
void fillSquareCircle(Platform& p, Point o, double centreX, double centreY, double radius, Colour colour);
// The disc colour of the candidate of this rank, 1 (best) to 5 (and beyond,
// the fifth's): in today's colours, or in `colours`.
Colour markColour(int rank);
Colour markColour(const MarkColours& colours, int rank);
// The explorer's tag in today's look: a deep violet, apart from the discs'
// greens, the stones and the win outline's light blue; its count is written
// in white.
inline constexpr Colour kExplorerTag = MarkColours{}.explorerTag;
// The count on a tag: 850, 9999, 12k, 1.2M.
std::string gamesCountText(int games);

// After the whole page was drawn anew: the board shows no stone and no
// outline, whatever it showed before.
void forgetPaintedBoard(BoardFields& board);

// The win outline: each cell's hexagon edge, two pixels wide, in a clear
// blue, clear of the stone squares. Drawing saves the pixels it covers;
// erasing puts them back, so the board returns pixel for pixel.
void drawWinOutline(Board board, const std::vector<havannah::Cell>& cells);
void eraseWinOutline(Board board);
inline const Colour kWinOutline = MarkColours{}.winOutline;  // today's

}  // namespace tarnwick::board
