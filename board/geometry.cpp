#include "board/geometry.h"

#include <algorithm>
#include <cmath>

namespace tarnwick::board {
namespace {

// Base 8: columns step 35 pixels apart, but only 33 after columns 3 and 6;
// positions are 40 pixels apart and neighbouring columns offset by 20.
Point base8Origin(int column, int position) {
    int x = 14;
    for (int c = 1; c < column; ++c) x += (c == 3 || c == 6) ? 33 : 35;
    const int bottom = column <= 8 ? 475 + 20 * (column - 1) : 615 - 20 * (column - 8);
    return {x, bottom - 40 * (position - 1)};
}

// Base 10: columns 33 pixels apart, positions 38 apart. The bottoms of the
// columns do not step evenly (column 2 is 17 below column 1, column 11 is 2
// below column 9): the board picture is drawn to these exact numbers.
Point base10Origin(int column, int position) {
    const int x = 15 + 33 * (column - 1);
    int bottom = 0;
    if (column == 1) {
        bottom = 525;
    } else if (column <= 10) {
        bottom = 523 + 19 * (column - 1);
    } else if (column == 11) {
        bottom = 677;
    } else {
        bottom = 676 - 19 * (column - 11);
    }
    return {x, bottom - 38 * (position - 1)};
}

}  // namespace

std::optional<Point> stoneSquareOrigin(int base, int column, int position) {
    if ((base != 8 && base != 10) || !isCell(base, column, position)) return std::nullopt;
    return base == 8 ? base8Origin(column, position) : base10Origin(column, position);
}

double hexNorm(double dx, double dy) {
    constexpr double kSqrt3 = 1.7320508075688772;
    const double ax = std::fabs(dx);
    const double ay = std::fabs(dy);
    return std::max(ay, (kSqrt3 * ax + ay) * 0.5);
}

std::vector<Point> cellOutlinePixels(int base, int column, int position) {
    const auto origin = stoneSquareOrigin(base, column, position);
    if (!origin) return {};
    // The band runs over the drawn cell border (about 0.8 px either side of
    // the hexagon's edge) and a little inside it, where the cell colour
    // meets the border, so neighbouring outlines share their common edge.
    const double r = hexInradius(base);
    const double inner = r - 1.6;
    const double outer = r + 0.4;
    const double cx = origin->x + 12.5;
    const double cy = origin->y + 13.0;
    std::vector<Point> pixels;
    const int reach = static_cast<int>(std::ceil(outer * 1.2));
    for (int y = static_cast<int>(cy) - reach; y <= static_cast<int>(cy) + reach; ++y) {
        for (int x = static_cast<int>(cx) - reach; x <= static_cast<int>(cx) + reach; ++x) {
            const bool inStoneSquare =
                x >= origin->x && x < origin->x + kStoneWidth && y >= origin->y && y < origin->y + kStoneHeight;
            const double d = hexNorm(x - cx, y - cy);
            if (!inStoneSquare && d >= inner && d < outer) pixels.push_back({x, y});
        }
    }
    return pixels;
}

std::string cellName(int column, int position) {
    return std::string(1, static_cast<char>(64 + column)) + std::to_string(position);
}

}  // namespace tarnwick::board
