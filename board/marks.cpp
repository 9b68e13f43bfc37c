// Analysis marks and explorer tags on empty cells. A mark lives inside the
// cell's stone square, so erasing the square (as for a stone) takes it away
// without touching the hexagon's edge, the win outline or the neighbours.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "board/board.h"
#include "board/geometry.h"

namespace tarnwick::board {
namespace {

constexpr double kRadius = 12.0;
constexpr double kCentreX = kStoneWidth / 2.0;
constexpr double kCentreY = kStoneHeight / 2.0;

// The step of the principal variation on a candidate's disc: a small disc
// of the player's colour across the top of the candidate's.
constexpr double kBadgeRadius = 6.5;
constexpr double kBadgeCentreY = 7.0;

// Rows 1..25 and columns 1..24 of the 26 x 27 square: a disc of radius 12
// round the square's middle, one pixel clear of its edge.
void drawDisc(Platform& p, Point o, Colour colour) { fillSquareCircle(p, o, kCentreX, kCentreY, kRadius, colour); }

// Black or white, whichever reads better on `ground`.
Colour inkOn(Colour ground) {
    return contrastRatio(colours::kBlack, ground) >= contrastRatio(colours::kWhite, ground) ? colours::kBlack
                                                                                           : colours::kWhite;
}

// How wide a text of `height` rows from row `top` may be and stay on the
// disc: the chord at its row farthest from the disc's middle.
int discChord(int top, int height) {
    const double dy = std::max(std::abs(top - kCentreY), std::abs(top + height - kCentreY));
    return dy >= kRadius ? 0 : static_cast<int>(2 * std::sqrt(kRadius * kRadius - dy * dy));
}

// Writes `text` centred across the square, its top at row `top`, in the
// current font and colours.
void drawCentred(Platform& p, Point o, int top, const std::string& text) {
    const int width = p.textSize(text).width;
    p.setPos(o.x + (kStoneWidth - width) / 2, o.y + top);
    p.drawText(text);
}

// A win rate on the disc, centred on row `middle` (or with its top at row
// `top`), in `font`; "100%" loses its sign where it would stand out of the
// disc.
void drawFigure(Platform& p, Point o, FontId font, int percent, std::optional<int> top) {
    p.setFont(font);
    std::string text = std::to_string(percent) + "%";
    const Extent size = p.textSize(text);
    const int row = top.value_or((kStoneHeight - size.height) / 2);
    if (size.width > discChord(row, size.height)) text.pop_back();
    drawCentred(p, o, row, text);
}

// The explorer's tag: a box of the square's rows and columns (both ends
// included) with its corners cut, the count centred in it.
struct TagBox {
    int left, top, right, bottom;
};
constexpr TagBox kTagAlone{2, 7, 23, 19};
// Under a disc or a name: the disc's lower edge, the text above it moved up.
constexpr TagBox kTagBelow{3, 15, 22, 25};
constexpr int kUpperTextTop = 5;

void drawTag(Platform& p, Point o, const TagBox& box, Colour tag, FontId font, int games) {
    for (int row = box.top; row <= box.bottom; ++row) {
        const int cut = row == box.top || row == box.bottom ? 1 : 0;
        p.setPos(o.x + box.left + cut, o.y + row);
        p.drawLine(o.x + box.right + 1 - cut, o.y + row, tag);
    }
    p.setFont(font);
    p.setColors(inkOn(tag), tag);
    const std::string text = gamesCountText(games);
    const Extent size = p.textSize(text);
    p.setPos(o.x + box.left + (box.right - box.left + 1 - size.width) / 2,
             o.y + box.top + (box.bottom - box.top + 1 - size.height) / 2);
    p.drawText(text);
}

}  // namespace

void fillSquareCircle(Platform& p, Point o, double centreX, double centreY, double radius, Colour colour) {
    for (int row = 0; row < kStoneHeight; ++row) {
        const double dy = row + 0.5 - centreY;
        if (std::abs(dy) > radius) continue;
        const double half = std::sqrt(radius * radius - dy * dy);
        const int first = static_cast<int>(std::ceil(centreX - half - 0.5));
        const int last = static_cast<int>(std::floor(centreX + half - 0.5));
        p.setPos(o.x + first, o.y + row);
        p.drawLine(o.x + last + 1, o.y + row, colour);
    }
}

Colour markColour(int rank) { return markColour(MarkColours{}, rank); }

Colour markColour(const MarkColours& colours, int rank) {
    const int index = std::clamp(rank, 1, static_cast<int>(colours.ranks.size())) - 1;
    return colours.ranks[static_cast<std::size_t>(index)];
}

std::string gamesCountText(int games) {
    char text[16];
    if (games < 10'000) {
        std::snprintf(text, sizeof text, "%d", std::max(games, 0));
    } else if (games < 1'000'000) {
        std::snprintf(text, sizeof text, "%dk", games / 1000);
    } else {
        std::snprintf(text, sizeof text, "%.1fM", games / 1e6);
    }
    return text;
}

// A candidate shows its win rate on a disc of its rank's colour, in the
// larger mark font when it stands alone. With the cell names on, the name
// stands above the figure. A step of the principal variation on a candidate
// is a small disc of the player's colour across the top, the figure (and no
// name) below it; a step on a cell that is no candidate is a disc of the
// player's colour with the number alone. The explorer's tag stands alone in
// the middle of the square, or across the bottom of a disc or under a name,
// which then move up: the figure and the step stay, the name gives way to
// the figure, and a step on a candidate keeps only its number.
void drawCellMark(Board board, havannah::Cell cell) {
    const BoardFields& b = board.state;
    const auto origin = cellOrigin(board.state, cell);
    if (!origin || static_cast<std::size_t>(cell) >= b.Painted.size()) return;
    const CellMark& mark = b.Painted[static_cast<std::size_t>(cell)].mark;
    eraseStone(board, *origin);
    if (!mark.any()) return;

    Platform& p = board.platform;
    const Point o = *origin;
    const havannah::Topology& t = *b.Topology;
    const std::string name = cellName(t.columnOf(cell), t.positionOf(cell));
    const bool tagged = mark.games > 0;
    if (mark.rank == 0 && mark.step == 0) {
        if (!b.LabelsShown) {
            drawTag(p, o, kTagAlone, b.Colours.marks.explorerTag, board.fonts.mark, mark.games);
            return;
        }
        p.setFont(board.fonts.label);
        p.setColors(b.Colours.labelInk, p.getPixel(o.x + 1, o.y + 1));
        drawCentred(p, o, kUpperTextTop, name);
        drawTag(p, o, kTagBelow, b.Colours.marks.explorerTag, board.fonts.tag, mark.games);
        return;
    }
    const Colour stepColour = mark.stepPlayer == havannah::Player::White ? colours::kWhite : colours::kBlack;
    if (mark.rank == 0) {
        if (mark.stepPlayer == havannah::Player::White) {
            drawDisc(p, o, b.Colours.whiteStepEdge);
            fillSquareCircle(p, o, kCentreX, kCentreY, kRadius - b.Colours.stoneEdge, stepColour);
        } else {
            drawDisc(p, o, stepColour);
        }
        p.setColors(inkOn(stepColour), stepColour);
        const std::string step = std::to_string(mark.step);
        if (tagged) {
            p.setFont(board.fonts.label);
            drawCentred(p, o, kUpperTextTop, step);
            drawTag(p, o, kTagBelow, b.Colours.marks.explorerTag, board.fonts.tag, mark.games);
            return;
        }
        p.setFont(board.fonts.mark);
        drawCentred(p, o, (kStoneHeight - p.textSize("1").height) / 2, step);
        return;
    }
    const Colour disc = markColour(b.Colours.marks, mark.rank);
    drawDisc(p, o, disc);
    p.setColors(inkOn(disc), disc);
    if (mark.step > 0) {
        fillSquareCircle(p, o, kCentreX, kBadgeCentreY, kBadgeRadius, stepColour);
        p.setFont(board.fonts.label);
        p.setColors(inkOn(stepColour), stepColour);
        const std::string step = std::to_string(mark.step);
        const Extent size = p.textSize(step);
        drawCentred(p, o, static_cast<int>(kBadgeCentreY) - size.height / 2, step);
        p.setColors(inkOn(disc), disc);
        if (!tagged) drawFigure(p, o, board.fonts.label, mark.percent, static_cast<int>(kBadgeCentreY + kBadgeRadius));
    } else if (tagged) {
        drawFigure(p, o, board.fonts.label, mark.percent, kUpperTextTop);
    } else if (b.LabelsShown) {
        p.setFont(board.fonts.label);
        const int height = p.textSize("A1").height;
        drawCentred(p, o, kStoneHeight / 2 - height, name);
        drawFigure(p, o, board.fonts.label, mark.percent, kStoneHeight / 2);
    } else {
        drawFigure(p, o, board.fonts.mark, mark.percent, std::nullopt);
    }
    if (tagged) drawTag(p, o, kTagBelow, b.Colours.marks.explorerTag, board.fonts.tag, mark.games);
}

}  // namespace tarnwick::board
