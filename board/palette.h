// The colours the board page is drawn in, one set per look: today's warm
// wooden board, a high-contrast one, a dark one, and today's board with
// marks that stay apart with red-green colour blindness. The artwork
// generator paints each look's board picture from the same set, so that
// what the program draws over a picture matches what the picture holds.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "platform/colour.h"

namespace tarnwick::board {

// The colours that tell marks apart: analysis discs by rank, the last-stone
// marker, the win outline and a reviewed move's judgement (also its dot on
// the review's graph). Today's set, or one whose colours stay apart with
// red-green colour blindness (colourSafeMarks).
struct MarkColours {
    std::array<Colour, 5> ranks{{
        {34, 150, 60}, {96, 178, 64}, {156, 204, 80}, {208, 224, 112}, {246, 238, 160},  // green to pale yellow
    }};
    Colour lastStone = colours::kMarker;
    Colour winOutline{32, 160, 255};
    Colour explorerTag{84, 40, 150};
    std::array<Colour, 4> judgements{{
        {250, 230, 40},  // inaccuracy
        {255, 140, 0},   // mistake
        {220, 0, 0},     // blunder
        {150, 0, 150},   // decisive
    }};
    friend bool operator==(const MarkColours&, const MarkColours&) = default;
};

// Blues from dark to light for the ranks; vermillion, wine, yellow, orange,
// blue and purple, which every kind of colour vision tells apart, for the
// rest.
inline MarkColours colourSafeMarks() {
    MarkColours c;
    c.ranks = {{{0, 84, 147}, {30, 120, 190}, {86, 160, 220}, {150, 200, 238}, {210, 232, 250}}};
    // Dark enough for a white stone, light enough for a black one.
    c.lastStone = {196, 78, 0};
    c.winOutline = {136, 34, 85};
    c.judgements = {{{240, 228, 66}, {230, 159, 0}, {0, 114, 178}, {204, 121, 167}}};
    return c;
}

// What the board picture is painted with. The program never draws these; it
// reads the cell's and the panel's colour back from the picture.
struct PictureColours {
    Colour tableTop{247, 243, 233};  // the page round the board, a gradient down
    Colour tableBottom{238, 231, 216};
    Colour cell{224, 188, 128};  // the flat inside of every hexagon
    Colour gridLine{110, 74, 42};
    Colour rimNear{118, 76, 42};
    Colour rimFar{160, 108, 62};
    Colour rimEdge{92, 58, 30};
    Colour shadow{84, 64, 44};
    Colour panel{250, 247, 240};  // the information panel's plate
    Colour panelBorder{206, 192, 166};
    Colour ink{92, 56, 28};  // the title and the number field's label
    Colour inkSoft{140, 104, 70};
    Colour titleShade{214, 202, 180};
    Colour slotBorder{214, 202, 180};
    friend bool operator==(const PictureColours&, const PictureColours&) = default;
};

struct Palette {
    // Added to the board pictures' names: "" for today's pictures.
    std::string_view pictureSuffix;
    PictureColours picture;
    MarkColours marks;

    // The stones: the pictures (drawn for today's cell colour), or flat
    // discs of these colours with an edge `stoneEdge` pixels wide.
    bool stonePictures = true;
    Colour blackStone{40, 40, 44};
    Colour blackStoneEdge = colours::kBlack;
    Colour whiteStone{246, 246, 242};
    Colour whiteStoneEdge{96, 96, 96};
    double stoneEdge = 1.2;
    // A step of the principal variation on an empty cell is a disc of its
    // player's colour; White's has this edge, as wide as a stone's.
    Colour whiteStepEdge = colours::kWhite;

    Colour labelInk = colours::kBlack;  // cell names
    Colour panelInk = colours::kBlack;  // notes on the panel's plate
    Colour playersBand{255, 255, 128};
    Colour playersInk{0, 0, 139};
    Colour headerBand = colours::kGrey;  // game number, event, result
    Colour headerInk = colours::kBlack;
    Colour valueInk{80, 80, 255};
    // The move list: its heading and row bands with their outline, the area
    // below them, and each player's entries.
    Colour listBand = colours::kGrey;
    Colour listEdge = colours::kBlack;
    Colour listGround = colours::kWhite;
    Colour listInk = colours::kBlack;  // a comment on the ground
    Colour blackMoveInk = colours::kBlack;
    Colour whiteMoveInk = colours::kWhite;
    Colour listHighlight = colours::kListHighlight;
    Colour variationMark = colours::kSwapOffered;
    // The review's graph under the list.
    Colour graphFrame = colours::kGrey;
    Colour graphCurve{30, 30, 30};
    Colour graphShownMove = colours::kSwapOffered;

    friend bool operator==(const Palette&, const Palette&) = default;
};

inline Palette classicPalette() { return {}; }

inline Palette colourSafePalette() {
    Palette p;
    p.marks = colourSafeMarks();
    return p;
}

// Black on a light cream board with black edges; White's stones white with
// a black edge; panel and list black on white, White's moves white on a
// near-black band. Every text reads at 7:1 or more, every mark at 3:1.
inline Palette highContrastPalette() {
    Palette p;
    p.pictureSuffix = "-high-contrast";
    PictureColours& a = p.picture;
    // Off white, so that the buttons' white bevel still shows.
    a.tableTop = {240, 240, 240};
    a.tableBottom = {240, 240, 240};
    a.cell = {255, 240, 170};
    a.gridLine = colours::kBlack;
    a.rimNear = colours::kBlack;
    a.rimFar = {40, 40, 40};
    a.rimEdge = colours::kBlack;
    a.shadow = {90, 90, 90};
    a.panel = colours::kWhite;
    a.panelBorder = colours::kBlack;
    a.ink = colours::kBlack;
    a.inkSoft = colours::kBlack;
    a.titleShade = colours::kWhite;
    a.slotBorder = colours::kBlack;

    p.stonePictures = false;
    p.blackStone = colours::kBlack;
    p.blackStoneEdge = colours::kBlack;
    p.whiteStone = colours::kWhite;
    p.whiteStoneEdge = colours::kBlack;
    p.stoneEdge = 2.0;
    p.whiteStepEdge = colours::kBlack;

    // Dark discs with white figures, told apart by hue.
    p.marks.ranks = {{{0, 96, 0}, {0, 70, 140}, {100, 0, 130}, {130, 50, 0}, {60, 60, 60}}};
    p.marks.lastStone = {230, 0, 70};  // 4.5:1 on either stone
    p.marks.winOutline = {0, 90, 255};
    p.marks.judgements = {{{255, 230, 0}, {255, 130, 0}, {210, 0, 0}, {140, 0, 160}}};

    p.playersBand = {255, 250, 190};
    p.playersInk = colours::kBlack;
    p.headerBand = {235, 235, 235};
    p.valueInk = {0, 0, 160};
    p.listBand = {32, 32, 32};
    p.listEdge = colours::kBlack;
    p.blackMoveInk = {255, 230, 120};
    p.whiteMoveInk = colours::kWhite;
    p.listHighlight = {0, 0, 170};
    p.variationMark = {90, 170, 255};
    p.graphFrame = colours::kBlack;
    p.graphCurve = colours::kBlack;
    p.graphShownMove = {0, 0, 200};
    return p;
}

// Near-black page and panel with light text; a muted brown board between
// the stones' colours, with light cell names and light marks on it.
inline Palette darkPalette() {
    Palette p;
    p.pictureSuffix = "-dark";
    PictureColours& a = p.picture;
    a.tableTop = {40, 42, 48};
    a.tableBottom = {30, 32, 37};
    a.cell = {134, 110, 80};
    a.gridLine = {52, 40, 28};
    a.rimNear = {70, 52, 36};
    a.rimFar = {96, 72, 48};
    a.rimEdge = {20, 16, 12};
    a.shadow = {8, 8, 10};
    a.panel = {46, 48, 54};
    a.panelBorder = {90, 92, 100};
    a.ink = {236, 220, 196};
    a.inkSoft = {200, 186, 166};
    a.titleShade = {20, 20, 24};
    a.slotBorder = {90, 92, 100};

    p.stonePictures = false;
    p.blackStone = {22, 22, 26};
    p.blackStoneEdge = {0, 0, 0};
    p.whiteStone = {240, 238, 230};
    p.whiteStoneEdge = {60, 60, 60};

    p.marks.ranks = {{{120, 236, 136}, {160, 238, 124}, {196, 240, 130}, {226, 244, 160}, {250, 248, 200}}};
    p.marks.lastStone = {240, 20, 60};
    p.marks.winOutline = {140, 225, 255};
    p.marks.explorerTag = {220, 200, 255};
    p.marks.judgements = {{{250, 230, 40}, {255, 150, 20}, {255, 70, 70}, {220, 110, 255}}};

    p.labelInk = colours::kWhite;
    p.panelInk = {230, 230, 230};
    p.playersBand = {70, 66, 30};
    p.playersInk = {255, 246, 170};
    p.headerBand = {48, 50, 56};
    p.headerInk = {235, 235, 235};
    p.valueInk = {160, 200, 255};
    p.listBand = {44, 46, 52};
    p.listEdge = {10, 10, 12};
    p.listGround = {30, 32, 37};
    p.listInk = {230, 230, 230};
    p.blackMoveInk = {190, 220, 255};
    p.whiteMoveInk = colours::kWhite;
    p.listHighlight = {120, 24, 36};
    p.variationMark = {120, 180, 255};
    p.graphFrame = {90, 92, 100};
    p.graphCurve = {230, 230, 230};
    p.graphShownMove = {120, 180, 255};
    return p;
}

// The name of a look's own board picture: today's picture's name with the
// look's suffix before its extension.
inline std::string boardPictureFile(std::string_view todays, const Palette& palette) {
    const std::size_t dot = std::min(todays.rfind('.'), todays.size());
    return std::string(todays.substr(0, dot)) + std::string(palette.pictureSuffix) + std::string(todays.substr(dot));
}

}  // namespace tarnwick::board
