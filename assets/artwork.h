// The painters of Tarnwick's own artwork: the board pictures for bases 8 and
// 10 and the two stone pictures. The generator program (board_art.cpp) writes
// what these return to BMP files beside the executables.
//
// What the program relies on, and these pictures therefore keep:
//  - every hexagon's inside is one flat colour (the same for all cells) that
//    covers the cell's stone square and the point (x + 2, y - 2) above it:
//    stones and names are erased by painting that colour back;
//  - stone pictures show the stone on the key colour, every key pixel
//    4-connected to image pixel (1, 1) or (1, 24), with the stone's edge
//    already blended against the cell colour so the flood fill that replaces
//    the key leaves no fringe;
//  - buttons, the number field and the Swap slot sit where the program looks
//    for them, clear of every hexagon.
#pragma once

#include <string_view>

#include "assets/raster.h"
#include "board/palette.h"
#include "platform/colour.h"
#include "platform/fonts.h"

namespace tarnwick::art {

// The board picture is drawn by the program with its top-left corner at
// window pixel (1, 1); its rasters use window coordinates. It reaches down to
// the row above the window frame's bottom line (y 740), leaving no strip of
// the window's white below it.
inline constexpr int kBoardPictureWidth = 1024;
inline constexpr int kBoardPictureHeight = 739;
inline constexpr Point kBoardPictureOrigin{1, 1};

inline constexpr int kStonePictureWidth = 26;
inline constexpr int kStonePictureHeight = 27;

// The flat colour inside every hexagon of today's pictures, shared by both
// bases so the stones can be blended against it.
inline constexpr Colour kCellColour{224, 188, 128};
static_assert(kCellColour == board::PictureColours{}.cell);

enum class StoneKind { kBlack, kWhite };

// Board picture for base 8 or 10 (any other base gives an empty raster) in
// a look's colours, today's by default. Texts (title, field label) are
// drawn with `fonts`; a family the library cannot find simply draws nothing.
// The move list's bands are the look's, as the program draws them.
Raster paintBoard(int base, FontLibrary& fonts, const board::Palette& palette = board::classicPalette());

// One stone on the key colour (227, 199, 53), 26 x 27 pixels.
Raster paintStone(StoneKind kind);

}  // namespace tarnwick::art
