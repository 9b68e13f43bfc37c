#include <algorithm>

#include "app/context.h"
#include "game/navigation.h"

namespace tarnwick {
namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal number at the start of the text (0 when it starts otherwise).
// Tokens come from outside text, so the value saturates instead of
// overflowing, keeping the parity that decides the player.
int leadingNumber(std::string_view s) {
    constexpr int kLimit = 1'000'000;
    int value = 0;
    for (const char c : s) {
        if (!isDigit(c)) break;
        value = value >= kLimit ? kLimit + (c - '0') % 2 : value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

bool isSwapToken(std::string_view token) { return token.find("swap") != std::string_view::npos; }
// A resignation is recognised in any letter case: pasted lists write
// "resign" or "Resign", and It's Your Turn lists come out upper-cased.
bool isResignToken(std::string_view token) {
    constexpr std::string_view kWord = "resign";
    const auto sameLetter = [](char c, char lower) { return (c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) == lower; };
    return std::search(token.begin(), token.end(), kWord.begin(), kWord.end(), sameLetter) != token.end();
}

void movePlayerOf(App& app) {
    GameFields& g = app.game;
    if (isSwapToken(g.ShownMoveText)) {
        g.MovePlayer = White;
        return;
    }
    const std::string_view text = g.ShownMoveText;
    g.MoveNumber = leadingNumber(trimBlanks(text.substr(0, text.find('.'))));
    g.MovePlayer = g.MoveNumber % 2 == 0 ? White : Black;
}

void moveCellOf(App& app) {
    GameFields& g = app.game;
    if (isSwapToken(g.ShownMoveText)) g.ShownMoveText = g.Moves[1];
    const std::size_t point = g.ShownMoveText.find('.');
    g.ShownMoveText = point == std::string::npos ? std::string()
                                                 : std::string(trimBlanks(std::string_view(g.ShownMoveText).substr(point + 1)));
    const std::string& cell = g.ShownMoveText;
    g.CellColumn = cell.empty() ? 0 : static_cast<unsigned char>(cell[0]) - 64;
    const std::string_view digits = cell.size() == 3 ? std::string_view(cell).substr(1, 2)
                                    : cell.size() >= 2 ? std::string_view(cell).substr(1, 1)
                                                       : std::string_view();
    g.CellPosition = leadingNumber(digits);
}

}  // namespace tarnwick
