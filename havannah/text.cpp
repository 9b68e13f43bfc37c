#include "havannah/text.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tarnwick::havannah {

namespace {

// A cell (c, p) of base b stands h = 2(p-1) + |c-b| - (b-1) half-cells
// above the lowest level, which is -(b-1); the highest cell is at 3b-3, so
// the text has 4b-3 lines, the top one for 3b-3.
int lineOf(const Topology& topology, Cell cell) {
    const int b = topology.base();
    const int height = 2 * (topology.positionOf(cell) - 1) + std::abs(topology.columnOf(cell) - b) - (b - 1);
    return 3 * b - 3 - height;
}

// The cells as the text shows them: top line first, left to right.
std::vector<Cell> readingOrder(const Topology& topology) {
    const int b = topology.base();
    std::vector<Cell> cells;
    cells.reserve(static_cast<std::size_t>(topology.cellCount()));
    for (int height = 3 * b - 3; height >= -(b - 1); --height) {
        for (int c = 1; c <= topology.columnCount(); ++c) {
            // Twice (p - 1), from the height formula above.
            const int twice = height - std::abs(c - b) + (b - 1);
            if (twice < 0 || twice % 2 != 0) continue;
            if (const auto cell = topology.cellAt(c, twice / 2 + 1)) cells.push_back(*cell);
        }
    }
    return cells;
}

constexpr std::string_view kBlackToMove = "black to move";
constexpr std::string_view kWhiteToMove = "white to move";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string toText(const Position& position) {
    const Topology& topology = position.topology();
    const int b = topology.base();
    std::vector<std::string> lines(static_cast<std::size_t>(4 * b - 3));
    for (const Cell cell : readingOrder(topology)) {
        std::string& line = lines[static_cast<std::size_t>(lineOf(topology, cell))];
        const auto column = static_cast<std::size_t>(2 * (topology.columnOf(cell) - 1));
        line.resize(column, ' ');
        const Stone stone = position.at(cell);
        line += stone == Stone::Black ? 'X' : stone == Stone::White ? 'O' : '.';
    }
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    text += position.toMove() == Player::Black ? kBlackToMove : kWhiteToMove;
    text += '\n';
    return text;
}

std::optional<Position> parsePosition(std::string_view text) {
    std::string_view board = trimmed(text);
    std::optional<Player> side;
    const std::size_t lastBreak = board.find_last_of('\n');
    const std::string_view lastLine =
        trimmed(lastBreak == std::string_view::npos ? board : board.substr(lastBreak + 1));
    if (lastLine == kBlackToMove || lastLine == kWhiteToMove) {
        side = lastLine == kBlackToMove ? Player::Black : Player::White;
        board = lastBreak == std::string_view::npos ? std::string_view{} : board.substr(0, lastBreak);
    }

    std::vector<Stone> stones;
    for (const char c : board) {
        if (isBlank(c)) continue;
        if (stones.size() == static_cast<std::size_t>(kMaxCells)) return std::nullopt;
        switch (c) {
            case '.': stones.push_back(Stone::Empty); break;
            case 'X':
            case 'x': stones.push_back(Stone::Black); break;
            case 'O':
            case 'o': stones.push_back(Stone::White); break;
            default: return std::nullopt;
        }
    }
    int base = kMinBase;
    while (base <= kMaxBase && cellCountFor(base) != static_cast<int>(stones.size())) ++base;
    if (base > kMaxBase) return std::nullopt;

    Position position(base);
    const std::vector<Cell> order = readingOrder(position.topology());
    int black = 0;
    int white = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        position.place(order[i], stones[i]);
        black += stones[i] == Stone::Black ? 1 : 0;
        white += stones[i] == Stone::White ? 1 : 0;
    }
    position.setMovesPlayed(black + white);
    position.setToMove(side.value_or(black > white ? Player::White : Player::Black));
    return position;
}

}  // namespace tarnwick::havannah
