// The rules library on any bytes: once as a position in text (parsing is
// total and a parsed position prints and parses back to the same text),
// and once as a game: the first byte picks the base, then each pair of bytes
// is a move, a swap or a set-up stone, with the rules' promises checked
// after every step.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz/fuzz_rule.h"
#include "havannah/text.h"

namespace {

using namespace tarnwick::havannah;


void checkText(std::string_view text) {
    const auto position = parsePosition(text);
    if (!position) return;
    const std::string printed = toText(*position);
    const auto again = parsePosition(printed);
    require(again.has_value() && toText(*again) == printed, "a printed position parses back to itself");
    const auto cells = static_cast<std::size_t>(position->topology().cellCount());
    const auto stones = cells - static_cast<std::size_t>(std::count(printed.begin(), printed.end(), '.'));
    require(static_cast<std::size_t>(position->movesPlayed()) == stones, "a parsed position counts its stones");
    require(!position->isWon(), "parsing looks for no win");
}

// What a refused move must leave as it was.
bool same(const Position& a, const Position& b) {
    if (a.movesPlayed() != b.movesPlayed() || a.toMove() != b.toMove() || a.winKinds() != b.winKinds()) return false;
    for (Cell c = 0; c < a.topology().cellCount(); ++c)
        if (a.at(c) != b.at(c)) return false;
    return true;
}

void checkWin(const Position& position) {
    const auto win = position.win();
    require(win.has_value() == position.isWon() && win.has_value() == position.winner().has_value(),
            "a win is reported alike by every query");
    if (!win) return;
    require(std::is_sorted(win->cells.begin(), win->cells.end()) &&
                std::adjacent_find(win->cells.begin(), win->cells.end()) == win->cells.end(),
            "the win's cells are sorted, without repeats");
    for (const Cell c : win->cells) require(position.at(c) == stoneOf(win->player), "the win's cells are the winner's stones");
}

// The groups kept move by move must match groups built afresh from the
// stones: the same next move wins the same way on both.
void checkGroups(const Position& position, Cell probe) {
    if (position.isWon() || position.at(probe) != Stone::Empty) return;
    Position rebuilt(position.sharedTopology());
    for (Cell c = 0; c < position.topology().cellCount(); ++c) rebuilt.place(c, position.at(c));
    rebuilt.setToMove(position.toMove());
    Position kept = position;
    kept.play(probe);
    rebuilt.play(probe);
    require(kept.winKinds() == rebuilt.winKinds(), "kept groups agree with groups built afresh");
}

void playGame(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    Position position(kMinBase + data[0] % (kMaxBase - kMinBase + 1), data[0] < 128);
    const int cells = position.topology().cellCount();
    // A game has at most a move per cell; steps beyond a few hundred add
    // only refusals and time.
    for (std::size_t i = 1; i + 1 < std::min<std::size_t>(size, 1000); i += 2) {
        const unsigned word = static_cast<unsigned>(data[i]) << 8 | data[i + 1];
        const unsigned value = word & 0x3fffU;
        const Position before = position;
        const Player mover = position.toMove();
        switch (word >> 14) {
            case 0:
            case 1: {
                // Two values either side of the board are off it.
                const Cell cell = static_cast<Cell>(value % static_cast<unsigned>(cells + 4)) - 2;
                const bool offBoard = cell < 0 || cell >= cells;
                const auto refusal = position.play(cell);
                if (refusal) {
                    require(same(position, before), "a refused move changes nothing");
                    require(*refusal == (offBoard                         ? Refusal::OffBoard
                                         : before.isWon()             ? Refusal::GameOver
                                                                          : Refusal::Occupied),
                            "a move is refused for the right reason");
                    require(offBoard || before.isWon() || position.at(cell) != Stone::Empty,
                            "only an occupied cell is refused as occupied");
                } else {
                    require(!offBoard && !before.isWon(), "no move after a win or off the board");
                    require(position.at(cell) == stoneOf(mover) && position.movesPlayed() == before.movesPlayed() + 1 &&
                                position.toMove() == opponent(mover),
                            "a move puts the mover's stone and passes the turn");
                    require(!position.isWon() || position.winner() == mover, "only the mover can win");
                }
                break;
            }
            case 2: {
                const bool allowed = position.canSwap();
                const auto refusal = position.swap();
                require(refusal.has_value() != allowed, "swap() does what canSwap() says");
                if (refusal) require(same(position, before), "a refused swap changes nothing");
                break;
            }
            default:
                position.place(static_cast<Cell>(value % static_cast<unsigned>(cells)), static_cast<Stone>(value / 512 % 3));
                require(position.movesPlayed() == before.movesPlayed() && position.winKinds() == before.winKinds(),
                        "set-up leaves the count and the win alone");
                break;
        }
        // The costlier checks after the steps that change most.
        if (position.isWon() != before.isWon()) checkWin(position);
        if (word >> 14 == 3) checkGroups(position, static_cast<Cell>(word / 7 % static_cast<unsigned>(cells)));
    }
    checkWin(position);
    checkGroups(position, static_cast<Cell>(data[0] % cells));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkText(std::string_view(reinterpret_cast<const char*>(data), size));
    playGame(data, size);
    return 0;
}
