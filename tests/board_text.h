// The position as the user sees it, read back from the screen as text: one
// line per column, cells from the lowest up. '.' empty, 'b'/'w' a black or
// white stone, 'B'/'W' one carrying the red last-stone marker.
#pragma once

#include <string>

#include "app/context.h"
#include "board/board.h"
#include "board/geometry.h"
#include "game/replay.h"

namespace tarnwick::testing {

inline char cellChar(const App& app, int column, int position) {
    const auto o = board::cellOrigin(app.board, column, position);
    if (!o) return ' ';
    const Platform& p = app.platform;
    const Colour cell = p.getPixel(o->x + 2, o->y - 2);
    const Colour body = p.getPixel(o->x + 5, o->y + 17);  // lower left of the stone
    if (body == cell) return '.';
    const bool white = body.r + body.g + body.b > 3 * 128;
    const bool marked = p.getPixel(o->x + 12, o->y + 12) == colours::kMarker;
    return white ? (marked ? 'W' : 'w') : (marked ? 'B' : 'b');
}

// "E5" -> its character on the screen.
inline char cellChar(const App& app, const std::string& name) {
    return cellChar(app, name[0] - 64, std::stoi(name.substr(1)));
}

inline std::string boardText(const App& app) {
    std::string text;
    for (int c = 1; c <= app.board.GridSize; ++c) {
        text += static_cast<char>(64 + c);
        text += ' ';
        for (int p = 1; p <= board::columnLength(app.board.BoardSize, c); ++p) text += cellChar(app, c, p);
        text += '\n';
    }
    return text;
}

// The same text for a position worked out by the game layer: what the board
// should show.
inline std::string boardText(const game::ShownPosition& shown) {
    const havannah::Topology& t = shown.stones.topology();
    std::string text;
    for (int c = 1; c <= t.columnCount(); ++c) {
        text += static_cast<char>(64 + c);
        text += ' ';
        for (int p = 1; p <= t.columnLength(c); ++p) {
            const havannah::Cell cell = *t.cellAt(c, p);
            const havannah::Stone s = shown.stones.at(cell);
            const bool marked = shown.isMarked(cell);
            text += s == havannah::Stone::Empty ? '.'
                    : s == havannah::Stone::Black ? (marked ? 'B' : 'b')
                                                  : (marked ? 'W' : 'w');
        }
        text += '\n';
    }
    return text;
}

// Only the columns that hold a stone, e.g. "D ...B\nE ....W\n".
inline std::string stonesText(const App& app) {
    std::string text;
    const std::string all = boardText(app);
    std::size_t start = 0;
    while (start < all.size()) {
        const std::size_t end = all.find('\n', start);
        const std::string line = all.substr(start, end - start);
        if (line.find_first_of("bwBW", 2) != std::string::npos) {
            text += line.substr(0, line.find_last_of("bwBW") + 1) + "\n";
        }
        start = end + 1;
    }
    return text;
}

}  // namespace tarnwick::testing
