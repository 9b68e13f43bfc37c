#include "app/context.h"
#include "board/board.h"

namespace tarnwick {
namespace {

// The cell's own colour: two pixels right of the stone square's left edge
// and two above it, inside the hexagon, read before anything is drawn there.
Colour cellColour(const App& app, Point origin) { return app.platform.getPixel(origin.x + 2, origin.y - 2); }

// The stone picture's background, above and below the stone, becomes the
// cell colour; any key colour the two fills cannot reach stays.
void fillStoneBackground(App& app, Point origin, Colour cell) {
    app.platform.floodFill(origin.x + 1, origin.y + 1, cell, colours::kStoneKey);
    app.platform.floodFill(origin.x + 1, origin.y + 24, cell, colours::kStoneKey);
}

ImageId stoneImage(const App& app, int player) {
    return player == White ? app.board.WhiteStoneImage : app.board.BlackStoneImage;
}

void drawMarker(App& app, Point o) {
    Platform& p = app.platform;
    p.setColors(colours::kMarker);
    p.drawBox(o.x + 9, o.y + 9, o.x + 15, o.y + 15, colours::kMarker, colours::kMarker);
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

std::optional<Point> cellOrigin(const App& app, int column, int position) {
    const int x = app.board.CellTableX.at(column, position);
    const int y = app.board.CellTableY.at(column, position);
    if (x == 0 || y == 0) return std::nullopt;
    return Point{x, y};
}

void drawMarkedStone(App& app, int player) {
    const auto origin = cellOrigin(app, app.game.CellColumn, app.game.CellPosition);
    if (!origin) return;
    app.platform.copyBitmap(stoneImage(app, player), origin->x, origin->y);
    drawMarker(app, *origin);
}

void placeStone(App& app, int player, Point origin, bool marked) {
    const Colour cell = cellColour(app, origin);
    app.platform.copyBitmap(stoneImage(app, player), origin.x, origin.y);
    if (marked) drawMarker(app, origin);
    fillStoneBackground(app, origin, cell);
}

void eraseStone(App& app, Point origin) {
    Platform& p = app.platform;
    const Colour cell = cellColour(app, origin);
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

}  // namespace tarnwick
