#include <algorithm>
#include <cmath>

#include "board/board.h"
#include "board/geometry.h"

namespace tarnwick::board {
namespace {

// The cell's own colour: two pixels right of the stone square's left edge
// and two above it, inside the hexagon, read before anything is drawn there.
Colour cellColour(const Board& board, Point origin) { return board.platform.getPixel(origin.x + 2, origin.y - 2); }

// The stone picture's background, above and below the stone, becomes the
// cell colour; any key colour the two fills cannot reach stays.
void fillStoneBackground(Board board, Point origin, Colour cell) {
    board.platform.floodFill(origin.x + 1, origin.y + 1, cell, colours::kStoneKey);
    board.platform.floodFill(origin.x + 1, origin.y + 24, cell, colours::kStoneKey);
}

ImageId stoneImage(const Board& board, havannah::Player player) {
    return player == havannah::Player::White ? board.state.WhiteStoneImage : board.state.BlackStoneImage;
}

// The ring marker: every pixel of the square whose middle lies between 4.5
// and 7 pixels from the dot's middle, so that it reads on either stone.
void drawRingMarker(Platform& p, Point o, Colour colour) {
    for (int y = 4; y <= 20; ++y) {
        for (int x = 4; x <= 20; ++x) {
            const double d = std::hypot(x + 0.5 - 12.0, y + 0.5 - 12.0);
            if (d >= 4.5 && d <= 7.0) p.setPixel(o.x + x, o.y + y, colour);
        }
    }
}

void drawMarker(Board board, Point o) {
    Platform& p = board.platform;
    const Colour colour = board.state.Colours.marks.lastStone;
    if (board.state.RingMarker) {
        drawRingMarker(p, o, colour);
        return;
    }
    p.setColors(colour);
    p.drawBox(o.x + 9, o.y + 9, o.x + 15, o.y + 15, colour, colour);
    // Four short lines round the box make a small disc.
    const struct {
        int x1, y1, x2, y2;
    } lines[] = {{11, 8, 13, 8}, {8, 11, 8, 13}, {15, 11, 15, 13}, {11, 15, 13, 15}};
    for (const auto& l : lines) {
        p.setPos(o.x + l.x1, o.y + l.y1);
        p.drawLine(o.x + l.x2, o.y + l.y2, kForeground);
    }
}

}  // namespace

void loadStoneImages(Platform& platform, BoardFields& board) {
    board.BlackStoneImage = platform.loadBitmap("stone-lg-black.bmp", 0, 0);
    board.WhiteStoneImage = platform.loadBitmap("stone-lg-white.bmp", 0, 0);
}

std::optional<Point> cellOrigin(const BoardFields& board, int column, int position) {
    const int x = board.CellTableX.at(column, position);
    const int y = board.CellTableY.at(column, position);
    if (x == 0 || y == 0) return std::nullopt;
    return Point{x, y};
}

std::optional<Point> cellOrigin(const BoardFields& board, havannah::Cell cell) {
    const havannah::Topology& t = *board.Topology;
    if (cell < 0 || cell >= t.cellCount()) return std::nullopt;
    return cellOrigin(board, t.columnOf(cell), t.positionOf(cell));
}

void placeStone(Board board, havannah::Player player, Point origin, bool marked) {
    const Colour cell = cellColour(board, origin);
    const Palette& c = board.state.Colours;
    if (board.state.FlatStones || !c.stonePictures) {
        // A disc of the stone's colour with its edge, on the cell's colour:
        // the square is painted over whole, as eraseStone does.
        Platform& p = board.platform;
        const bool white = player == havannah::Player::White;
        p.drawBox(origin.x, origin.y, origin.x + 25, origin.y + 26, cell, cell);
        fillSquareCircle(p, origin, 12.5, 13.0, 12.0, white ? c.whiteStoneEdge : c.blackStoneEdge);
        fillSquareCircle(p, origin, 12.5, 13.0, 12.0 - c.stoneEdge, white ? c.whiteStone : c.blackStone);
        if (marked) drawMarker(board, origin);
        return;
    }
    board.platform.copyBitmap(stoneImage(board, player), origin.x, origin.y);
    if (marked) drawMarker(board, origin);
    fillStoneBackground(board, origin, cell);
}

void eraseStone(Board board, Point origin) {
    Platform& p = board.platform;
    const Colour cell = cellColour(board, origin);
    // Painting the square in the key colour and filling it with the cell
    // colour from inside would also fill any key-coloured pixels that touch
    // the square from outside. The same is done directly, which costs far
    // less than a fill over the whole square: the square takes the cell
    // colour, and a fill starts from each key-coloured pixel beside it.
    const int x1 = origin.x;
    const int y1 = origin.y;
    const int x2 = origin.x + 24;  // the square's last column and row
    const int y2 = origin.y + 25;
    p.drawBox(x1, y1, x2 + 1, y2 + 1, cell, cell);
    const auto fillFrom = [&](int x, int y) {
        if (p.getPixel(x, y) == colours::kStoneKey) p.floodFill(x, y, cell, colours::kStoneKey);
    };
    for (int x = x1; x <= x2; ++x) {
        fillFrom(x, y1 - 1);
        fillFrom(x, y2 + 1);
    }
    for (int y = y1; y <= y2; ++y) {
        fillFrom(x1 - 1, y);
        fillFrom(x2 + 1, y);
    }
}

void paintCell(Board board, havannah::Cell cell, CellPaint paint) {
    BoardFields& b = board.state;
    if (cell < 0 || static_cast<std::size_t>(cell) >= b.Painted.size()) return;
    CellPaint& now = b.Painted[static_cast<std::size_t>(cell)];
    if (now == paint) return;
    const auto origin = cellOrigin(board.state, cell);
    if (!origin) return;
    now = paint;
    if (paint.stone == havannah::Stone::Empty && paint.mark.any()) {
        drawCellMark(board, cell);
    } else if (paint.stone == havannah::Stone::Empty) {
        eraseStone(board, *origin);
        if (b.LabelsShown) drawCellLabel(board, b.Topology->columnOf(cell), b.Topology->positionOf(cell));
    } else {
        const auto player = paint.stone == havannah::Stone::White ? havannah::Player::White : havannah::Player::Black;
        placeStone(board, player, *origin, paint.marked);
    }
}

void forgetPaintedBoard(BoardFields& board) {
    board.Painted.assign(static_cast<std::size_t>(board.Topology->cellCount()), CellPaint{});
    board.UnderOutline.clear();
}

void drawWinOutline(Board board, const std::vector<havannah::Cell>& cells) {
    eraseWinOutline(board);
    BoardFields& b = board.state;
    // Neighbouring cells share their edge: each pixel is saved once, before
    // anything is drawn, so erasing restores what the picture had.
    std::vector<Point> pixels;
    for (const havannah::Cell cell : cells) {
        if (cell < 0 || cell >= b.Topology->cellCount()) continue;
        const auto band = cellOutlinePixels(b.BoardSize, b.Topology->columnOf(cell), b.Topology->positionOf(cell));
        pixels.insert(pixels.end(), band.begin(), band.end());
    }
    const auto before = [](Point a, Point c) { return a.y != c.y ? a.y < c.y : a.x < c.x; };
    std::sort(pixels.begin(), pixels.end(), before);
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    b.UnderOutline.reserve(pixels.size());
    for (const Point px : pixels) b.UnderOutline.emplace_back(px, board.platform.getPixel(px.x, px.y));
    for (const Point px : pixels) board.platform.setPixel(px.x, px.y, b.Colours.marks.winOutline);
}

void eraseWinOutline(Board board) {
    for (const auto& [px, colour] : board.state.UnderOutline) board.platform.setPixel(px.x, px.y, colour);
    board.state.UnderOutline.clear();
}

}  // namespace tarnwick::board
