#include "board/board.h"
#include "board/layout.h"
#include "platform/text_fit.h"

namespace tarnwick::board {
namespace {

// The C1 button lies 26 pixels lower on the base-10 picture.
int labelsButtonOffset(const Board& board) { return board.state.BoardSize == 10 ? 26 : 0; }

struct EdgeLine {
    int x1, y1, x2, y2;
    bool topLeft;  // part of the top and left edges
};

// Two-pixel bevel round the C1 button: light at top-left and dark at
// bottom-right when raised, the reverse when pressed.
constexpr EdgeLine kLabelsButtonEdges[] = {
    {23, 561, 56, 561, true},  {23, 562, 55, 562, true},  {23, 562, 23, 596, true},
    {24, 562, 24, 595, true},  {55, 562, 55, 596, false}, {56, 561, 56, 596, false},
    {24, 595, 56, 595, false}, {23, 596, 57, 596, false},
};

void drawLabelsButtonEdges(Board board, bool pressed) {
    const int o = labelsButtonOffset(board);
    for (const EdgeLine& e : kLabelsButtonEdges) {
        const bool lightEdge = e.topLeft != pressed;
        board.platform.setPos(e.x1, e.y1 + o);
        board.platform.drawLine(e.x2, e.y2 + o, lightEdge ? kBevelLight : colours::kDarkGrey);
    }
}

}  // namespace

void drawBoardPicture(Board board) {
    BoardFields& b = board.state;
    Platform& p = board.platform;
    p.releaseBitmap(b.BoardImage);
    b.BoardImage = p.loadBitmap(boardPictureFile(b.BoardImageFile, b.Colours), 1024, 739);
    p.copyBitmap(b.BoardImage, 1, 1);
    forgetPaintedBoard(b);
    b.SizeButtonFace = p.getPixel(41, 642);
    b.LabelsButtonFace = p.getPixel(41, 591);
}

void drawBoardControls(Board board) {
    drawSizeCaption(board);
    // Toggling twice over restores the C1 button and names in their state.
    board.state.LabelsShown = !board.state.LabelsShown;
    toggleCellLabels(board);
}

void toggleCellLabels(Board board) {
    BoardFields& b = board.state;
    Platform& p = board.platform;
    const int o = labelsButtonOffset(board);
    if (b.LabelsShown) {
        b.LabelsShown = false;
        b.LabelsErasing = true;
        p.floodFill(43, 582 + o, b.LabelsButtonFace, colours::kHighlightButton);
        drawLabelsButtonEdges(board, false);
        drawCellLabels(board);
        b.LabelsErasing = false;
    } else {
        b.LabelsShown = true;
        p.floodFill(43, 582 + o, colours::kHighlightButton, b.LabelsButtonFace);
        drawLabelsButtonEdges(board, true);
        drawCellLabels(board);
    }
    drawLabelsButtonCaption(board);
}

void drawLabelsButtonCaption(Board board) {
    const BoardFields& b = board.state;
    Platform& p = board.platform;
    const int o = labelsButtonOffset(board);
    if (b.LabelsShown) {
        p.floodFill(43, 582 + o, colours::kHighlightButton, b.LabelsButtonFace);
        p.setColors(colours::kBlack, colours::kHighlightButton);
    } else {
        p.setColors(colours::kBlack, b.LabelsButtonFace);
    }
    p.setFont(board.fonts.caption);
    p.setPos(36, 572 + o);
    p.drawText("C1");
}

void drawSizeCaption(Board board) {
    Platform& p = board.platform;
    p.setFont(board.fonts.caption);
    p.setColors(colours::kBlack, board.state.SizeButtonFace);
    if (board.state.BoardSize == 8) {
        p.setPos(34, 637);
        p.drawText("Size");
        p.setPos(37, 646);
        p.drawText("10");
    } else if (board.state.BoardSize == 10) {
        p.setPos(33, 648);
        p.drawText("Size");
        p.setPos(38, 657);
        p.drawText("8");
    }
}

void placeSwapCaption(Board board) {
    if (board.state.BoardSize == 8) {
        board.platform.setPos(118, 637);
    } else if (board.state.BoardSize == 10) {
        board.platform.setPos(96, 653);
    }
    board.platform.setFont(board.fonts.swap);
}

void clearInfoPanel(Platform& platform, const Palette& palette) {
    struct Band {
        int x1, y1, x2, y2;
        Colour colour;
    };
    const Band kBands[] = {
        {654, 109, 1016, 132, palette.playersBand},  // players
        {654, 168, 1016, 224, palette.headerBand},   // game number, event, result
        {654, 257, 1016, 277, palette.listBand},     // move list heading
        {654, 287, 1016, 727, palette.listGround},   // move list
    };
    for (const Band& band : kBands) platform.drawBox(band.x1, band.y1, band.x2, band.y2, band.colour, band.colour);
}

void drawPanelMessage(Platform& platform, const Palette& palette, FontId font, std::string_view message) {
    const Area& area = kPanelNoteArea;
    platform.setFont(font);
    const int height = platform.textSize("Ag").height;
    const int top = kPanelMessageBottom + 1 - height;
    const Colour panel = platform.getPixel(area.x1, area.y1);
    platform.drawBox(area.x1, top, area.x2 + 1, kPanelMessageBottom + 1, panel, panel);
    if (message.empty()) return;
    platform.setColors(palette.panelInk, panel);
    platform.setPos(kPanelTextLeft, top);
    platform.drawText(shortenInMiddle(platform, message, area.x2 - kPanelTextLeft));
}

}  // namespace tarnwick::board
