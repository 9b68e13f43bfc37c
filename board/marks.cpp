// Analysis marks on empty cells. A mark lives inside the cell's stone
// square, so erasing the square (as for a stone) takes it away without
// touching the hexagon's edge, the win outline or the neighbours.
#include <algorithm>
#include <cmath>
#include <string>

#include "board/board.h"
#include "board/geometry.h"

namespace tarnwick::board {
namespace {

// From the best candidate, a strong green, to the fifth, a pale yellow.
constexpr Colour kRankColours[] = {
    {34, 150, 60}, {96, 178, 64}, {156, 204, 80}, {208, 224, 112}, {246, 238, 160},
};

// Rows 1..25 and columns 1..24 of the 26 x 27 square: a disc of radius 12
// round the square's middle, one pixel clear of its edge.
void drawDisc(Platform& p, Point o, Colour colour) {
    constexpr double kRadius = 12.0;
    constexpr double kCentreX = kStoneWidth / 2.0;
    constexpr double kCentreY = kStoneHeight / 2.0;
    for (int row = 0; row < kStoneHeight; ++row) {
        const double dy = row + 0.5 - kCentreY;
        if (std::abs(dy) > kRadius) continue;
        const double half = std::sqrt(kRadius * kRadius - dy * dy);
        const int first = static_cast<int>(std::ceil(kCentreX - half - 0.5));
        const int last = static_cast<int>(std::floor(kCentreX + half - 0.5));
        p.setPos(o.x + first, o.y + row);
        p.drawLine(o.x + last + 1, o.y + row, colour);
    }
}

// Writes `text` centred across the square, its top at row `top`.
void drawCentred(Platform& p, Point o, int top, const std::string& text) {
    const int width = p.textSize(text).width;
    p.setPos(o.x + (kStoneWidth - width) / 2, o.y + top);
    p.drawText(text);
}

}  // namespace

Colour markColour(int rank) {
    const int index = std::clamp(rank, 1, static_cast<int>(std::size(kRankColours))) - 1;
    return kRankColours[index];
}

void drawCellMark(Board board, havannah::Cell cell) {
    const BoardFields& b = board.state;
    const auto origin = cellOrigin(board.state, cell);
    if (!origin || static_cast<std::size_t>(cell) >= b.Painted.size()) return;
    const CellMark& mark = b.Painted[static_cast<std::size_t>(cell)].mark;
    eraseStone(board, *origin);
    if (!mark.any()) return;

    Platform& p = board.platform;
    const bool white = mark.step > 0 && mark.stepPlayer == havannah::Player::White;
    const Colour disc = mark.step > 0 ? (white ? colours::kWhite : colours::kBlack) : markColour(mark.rank);
    const Colour ink = mark.step > 0 && !white ? colours::kWhite : colours::kBlack;
    drawDisc(p, *origin, disc);
    p.setFont(board.fonts.label);
    p.setColors(ink, disc);
    const std::string text = mark.step > 0 ? std::to_string(mark.step) : std::to_string(mark.percent) + "%";
    const int height = p.textSize(text).height;
    if (b.LabelsShown) {
        // The name above, the figure below, both on the disc.
        const havannah::Topology& t = *b.Topology;
        drawCentred(p, *origin, kStoneHeight / 2 - height, cellName(t.columnOf(cell), t.positionOf(cell)));
        drawCentred(p, *origin, kStoneHeight / 2, text);
    } else {
        drawCentred(p, *origin, (kStoneHeight - height) / 2, text);
    }
}

}  // namespace tarnwick::board
