// Thousands of random games on bases 2 to 10, checked after every move
// against a slow finder that knows nothing of groups kept move by move: it
// searches the board afresh for the group of the stone just played. The
// win foreseen before each move (wouldWin) must agree with it too.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>

#include "havannah/position.h"
#include "havannah/text.h"

namespace tarnwick::havannah {
namespace {

class SlowFinder {
  public:
    // Corners are the cells with three neighbours; the sides are the runs
    // of other edge cells between them, found as connected runs.
    explicit SlowFinder(const Topology& topology) : t_(topology), side_(cells(), -1) {
        int sides = 0;
        for (Cell cell = 0; cell < t_.cellCount(); ++cell) {
            if (!onSide(cell) || side_[at(cell)] >= 0) continue;
            std::vector<Cell> run{cell};
            side_[at(cell)] = sides;
            for (std::size_t i = 0; i < run.size(); ++i)
                for (const Cell n : t_.neighbours(run[i]))
                    if (onSide(n) && side_[at(n)] < 0) {
                        side_[at(n)] = sides;
                        run.push_back(n);
                    }
            ++sides;
        }
    }

    // What the group of `cell` holds on `position`.
    WinKinds kindsOf(const Position& position, Cell cell) const {
        const Stone stone = position.at(cell);
        std::vector<char> group(cells(), 0);
        std::vector<Cell> members{cell};
        group[at(cell)] = 1;
        for (std::size_t i = 0; i < members.size(); ++i)
            for (const Cell n : t_.neighbours(members[i]))
                if (!group[at(n)] && position.at(n) == stone) {
                    group[at(n)] = 1;
                    members.push_back(n);
                }
        int corners = 0;
        std::vector<bool> sides(6, false);
        bool ring = false;
        for (const Cell m : members) {
            const auto around = t_.neighbours(m);
            corners += around.size() == 3 ? 1 : 0;
            if (side_[at(m)] >= 0) sides[static_cast<std::size_t>(side_[at(m)])] = true;
            ring = ring || (around.size() == 6 && std::all_of(around.begin(), around.end(),
                                                              [&](Cell n) { return group[at(n)] != 0; }));
        }
        // Everything outside the group that the edge reaches; the rest is enclosed.
        std::vector<char> reached(cells(), 0);
        std::vector<Cell> flood;
        for (Cell c = 0; c < t_.cellCount(); ++c)
            if (!group[at(c)] && t_.neighbours(c).size() < 6) {
                reached[at(c)] = 1;
                flood.push_back(c);
            }
        for (std::size_t i = 0; i < flood.size(); ++i)
            for (const Cell n : t_.neighbours(flood[i]))
                if (!group[at(n)] && !reached[at(n)]) {
                    reached[at(n)] = 1;
                    flood.push_back(n);
                }
        ring = ring || flood.size() + members.size() < cells();
        return {ring, corners >= 2, std::count(sides.begin(), sides.end(), true) >= 3};
    }

  private:
    std::size_t cells() const { return static_cast<std::size_t>(t_.cellCount()); }
    static std::size_t at(Cell cell) { return static_cast<std::size_t>(cell); }
    bool onSide(Cell cell) const { return t_.neighbours(cell).size() == 4 || t_.neighbours(cell).size() == 5; }

    const Topology& t_;
    std::vector<int> side_;
};

// The structure's cells are the winner's stones, connected to the winning
// stone, and show what was made.
void checkWinCells(const Position& position) {
    const Win win = *position.win();
    const Topology& t = position.topology();
    ASSERT_TRUE(std::is_sorted(win.cells.begin(), win.cells.end()));
    ASSERT_TRUE(std::adjacent_find(win.cells.begin(), win.cells.end()) == win.cells.end());
    int corners = 0;
    unsigned sides = 0;
    for (const Cell c : win.cells) {
        ASSERT_EQ(position.at(c), stoneOf(win.player));
        corners += t.cornerMask(c) != 0 ? 1 : 0;
        sides |= t.sideMask(c);
    }
    EXPECT_TRUE(!win.kinds.bridge || corners >= 2);
    EXPECT_TRUE(!win.kinds.fork || std::popcount(sides) >= 3);
    EXPECT_TRUE(!win.kinds.ring || win.cells.size() >= 6);
}

TEST(RandomGamesTest, WinsAgreeWithASlowFinder) {
    std::mt19937 random(20240601);
    int games = 0;
    for (int base = kMinBase; base <= 10; ++base) {
        SCOPED_TRACE(base);
        const auto topology = std::make_shared<const Topology>(base);
        const SlowFinder finder(*topology);
        std::vector<Cell> empty;
        // Fewer games on the larger boards, where each takes longer.
        for (int game = 0; game < 3000 / base; ++game, ++games) {
            Position position(topology);
            empty.resize(static_cast<std::size_t>(topology->cellCount()));
            for (Cell c = 0; c < topology->cellCount(); ++c) empty[static_cast<std::size_t>(c)] = c;
            while (!empty.empty() && !position.isWon()) {
                if (position.canSwap() && random() % 4 == 0) {
                    ASSERT_EQ(position.swap(), std::nullopt);
                    continue;
                }
                const std::size_t pick = random() % empty.size();
                const Cell cell = empty[pick];
                empty[pick] = empty.back();
                empty.pop_back();
                // Now and then a stone is taken off again, which makes the
                // groups be built afresh.
                if (random() % 50 == 0 && position.at(cell) == Stone::Empty) {
                    const Cell gone = static_cast<Cell>(random() % static_cast<unsigned>(topology->cellCount()));
                    if (position.at(gone) != Stone::Empty) {
                        position.place(gone, Stone::Empty);
                        empty.push_back(gone);
                    }
                }
                const Player mover = position.toMove();
                const bool foreseen = position.wouldWin(cell, mover);
                ASSERT_EQ(position.play(cell), std::nullopt);
                const WinKinds expected = finder.kindsOf(position, cell);
                ASSERT_EQ(foreseen, expected.any()) << "foreseen by " << topology->name(cell) << "\n" << toText(position);
                ASSERT_EQ(position.winKinds(), expected) << describe(expected) << " by " << topology->name(cell) << "\n"
                                                         << toText(position);
                if (expected.any()) {
                    EXPECT_EQ(position.winner(), mover);
                    checkWinCells(position);
                }
            }
        }
    }
    EXPECT_GT(games, 5000);
}

}  // namespace
}  // namespace tarnwick::havannah
