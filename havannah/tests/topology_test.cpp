#include "havannah/topology.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace tarnwick::havannah {
namespace {

TEST(TopologyTest, ShapeOfEveryBase) {
    for (int base = kMinBase; base <= kMaxBase; ++base) {
        SCOPED_TRACE(base);
        const Topology t(base);
        ASSERT_EQ(t.cellCount(), 3 * base * base - 3 * base + 1);
        int cells = 0;
        for (int c = 1; c <= t.columnCount(); ++c) cells += t.columnLength(c);
        EXPECT_EQ(cells, t.cellCount());
        EXPECT_EQ(t.columnLength(0), 0);
        EXPECT_EQ(t.columnLength(t.columnCount() + 1), 0);

        std::array<int, 6> sideCells{};
        for (Cell cell = 0; cell < t.cellCount(); ++cell) {
            EXPECT_EQ(t.cellAt(t.columnOf(cell), t.positionOf(cell)), cell);
            EXPECT_EQ(t.parseCell(t.name(cell)), cell);
            const auto around = t.neighbours(cell);
            // Neighbours are mutual, and the circle lists them in the same order.
            for (const Cell n : around) {
                const auto back = t.neighbours(n);
                EXPECT_EQ(std::count(back.begin(), back.end(), cell), 1);
            }
            std::vector<Cell> onBoard;
            for (const Cell n : t.circle(cell))
                if (n != kNoCell) onBoard.push_back(n);
            EXPECT_TRUE(std::equal(onBoard.begin(), onBoard.end(), around.begin(), around.end()));
            // Cells on the edge are corners or on exactly one side.
            const bool corner = t.cornerMask(cell) != 0;
            EXPECT_EQ(corner, around.size() == 3) << t.name(cell);
            EXPECT_FALSE(corner && t.sideMask(cell) != 0);
            EXPECT_EQ(around.size() < 6, corner || std::popcount(t.sideMask(cell)) == 1) << t.name(cell);
            for (int side = 0; side < 6; ++side) sideCells[static_cast<std::size_t>(side)] += (t.sideMask(cell) >> side) & 1;
        }
        for (const int count : sideCells) EXPECT_EQ(count, base - 2);
        for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(t.cornerMask(t.corners()[i]), 1U << i);
    }
    EXPECT_THROW(Topology(kMinBase - 1), std::invalid_argument);
    EXPECT_THROW(Topology(kMaxBase + 1), std::invalid_argument);
}

TEST(TopologyTest, NotationOfBase8) {
    const Topology t(8);
    std::vector<std::string> corners;
    for (const Cell c : t.corners()) corners.push_back(t.name(c));
    EXPECT_EQ(corners, (std::vector<std::string>{"A1", "A8", "H15", "O8", "O1", "H1"}));
    // Clockwise from the cell above; columns right of the middle start lower.
    std::vector<std::string> around;
    for (const Cell n : t.neighbours(*t.parseCell("H8"))) around.push_back(t.name(n));
    EXPECT_EQ(around, (std::vector<std::string>{"H9", "I8", "I7", "H7", "G7", "G8"}));
    around.clear();
    for (const Cell n : t.neighbours(*t.parseCell("J3"))) around.push_back(t.name(n));
    EXPECT_EQ(around, (std::vector<std::string>{"J4", "K3", "K2", "J2", "I3", "I4"}));
    EXPECT_EQ(t.parseCell("h15"), t.parseCell("H15"));
    EXPECT_EQ(t.name(t.cellCount() - 1), "O8");
    EXPECT_THROW(t.name(t.cellCount()), std::out_of_range);
}

TEST(TopologyTest, ParseCellRefusesJunk) {
    const Topology t(8);
    for (const char* text : {"", "A", "1", "a0", "A0", "A01", " A1", "A1 ", "A 1", "Z3", "P1", "A9", "H16", "O9",
                             "A-1", "+A1", "A+1", "1A", "AA1", "A1B", "A123", "A99999999999999999999", "@1", "[1",
                             "`1", "{1", "\xc3\x81" "1"}) {
        EXPECT_EQ(t.parseCell(text), std::nullopt) << text;
    }
}

}  // namespace
}  // namespace tarnwick::havannah
