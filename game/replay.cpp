#include "game/replay.h"

#include <algorithm>

namespace tarnwick::game {
namespace {

using havannah::Cell;
using havannah::Player;

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

// The text after the entry's point, blanks trimmed; empty without a point.
std::string_view cellTextOf(std::string_view token) {
    const std::size_t point = token.find('.');
    return point == std::string_view::npos ? std::string_view() : trimBlanks(token.substr(point + 1));
}

std::size_t slotOf(Player p) { return p == Player::Black ? 0 : 1; }

}  // namespace

bool isSwapToken(std::string_view token) { return token.find("swap") != std::string_view::npos; }

// A resignation is recognised in any letter case: pasted lists write
// "resign" or "Resign", and It's Your Turn lists come out upper-cased.
bool isResignToken(std::string_view token) {
    constexpr std::string_view kWord = "resign";
    const auto sameLetter = [](char c, char lower) { return (c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) == lower; };
    return std::search(token.begin(), token.end(), kWord.begin(), kWord.end(), sameLetter) != token.end();
}

MoveEntry decodeMove(std::string_view token) {
    MoveEntry entry;
    if (isSwapToken(token)) {
        entry.kind = MoveEntry::Kind::Swap;
        entry.player = Player::White;
        entry.cellText = "swap";
        return entry;
    }
    entry.kind = isResignToken(token) ? MoveEntry::Kind::Resign : MoveEntry::Kind::Stone;
    entry.player = leadingNumber(trimBlanks(token.substr(0, token.find('.')))) % 2 == 0 ? Player::White : Player::Black;
    const std::string_view cell = cellTextOf(token);
    entry.cellText = std::string(cell);
    entry.column = cell.empty() ? 0 : static_cast<unsigned char>(cell[0]) - 64;
    const std::string_view digits = cell.size() == 3 ? cell.substr(1, 2) : cell.size() >= 2 ? cell.substr(1, 1) : std::string_view();
    entry.position = leadingNumber(digits);
    return entry;
}

bool ShownPosition::isMarked(Cell cell) const {
    const havannah::Stone s = stones.at(cell);
    if (s == havannah::Stone::Empty) return false;
    return marked[slotOf(s == havannah::Stone::Black ? Player::Black : Player::White)] == cell;
}

ShownPosition positionAfter(const MoveList& moves, int k, const std::shared_ptr<const havannah::Topology>& topology) {
    ShownPosition shown(topology);
    replayTo(shown, moves, k);
    return shown;
}

void replayTo(ShownPosition& shown, const MoveList& moves, int k) {
    havannah::Position& pos = shown.stones;
    const havannah::Topology& topology = pos.topology();
    const auto refuse = [&](int move, const MoveEntry& entry, std::string reason) {
        shown.illegal = IllegalMove{move, entry.cellText, std::move(reason)};
        shown.rulesFollow = false;
    };

    for (int i = shown.entries + 1; i <= std::min(k, MaxMoveSlots) && !moves[i].empty(); ++i) {
        shown.entries = i;
        const MoveEntry entry = decodeMove(moves[i]);
        if (entry.kind == MoveEntry::Kind::Resign) continue;
        std::optional<Cell> cell;
        if (entry.kind == MoveEntry::Kind::Swap) {
            cell = shown.firstCell;
        } else {
            cell = topology.cellAt(entry.column, entry.position);
            if (i == 1) shown.firstCell = cell;
        }

        // The rules follow the game until they refuse an entry or the game
        // is won; from then on entries only put their stones down.
        if (shown.rulesFollow && !pos.isWon()) {
            std::optional<havannah::Refusal> refusal;
            if (entry.player != pos.toMove()) {
                refuse(i, entry, "is out of turn");
            } else if (entry.kind == MoveEntry::Kind::Swap) {
                refusal = pos.swap();
            } else if (!cell) {
                refusal = havannah::Refusal::OffBoard;
            } else {
                refusal = pos.play(*cell);
                if (!refusal && pos.isWon()) shown.win = pos.win();
            }
            if (refusal) refuse(i, entry, std::string(havannah::describe(*refusal)));
            if (shown.rulesFollow) {
                if (cell) shown.marked[slotOf(entry.player)] = *cell;
                continue;
            }
        }
        if (!cell) continue;
        pos.place(*cell, havannah::stoneOf(entry.player));
        shown.marked[slotOf(entry.player)] = *cell;
    }
}

}  // namespace tarnwick::game
