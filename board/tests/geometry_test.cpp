// Cell geometry: the stone squares must match the board pictures exactly.
#include <gtest/gtest.h>

#include "board/board.h"
#include "board/geometry.h"

namespace tarnwick::board {
namespace {

struct ColumnRow {
    char letter;
    int cells;
    int x;
    int bottomY;
    int topY;
};

// The board pictures are drawn to these positions: one row per column with
// its cell count, x, and the y of its lowest and highest cell.
constexpr ColumnRow kBase8[] = {
    {'A', 8, 14, 475, 195},  {'B', 9, 49, 495, 175},  {'C', 10, 84, 515, 155}, {'D', 11, 117, 535, 135},
    {'E', 12, 152, 555, 115}, {'F', 13, 187, 575, 95}, {'G', 14, 220, 595, 75}, {'H', 15, 255, 615, 55},
    {'I', 14, 290, 595, 75}, {'J', 13, 325, 575, 95}, {'K', 12, 360, 555, 115}, {'L', 11, 395, 535, 135},
    {'M', 10, 430, 515, 155}, {'N', 9, 465, 495, 175}, {'O', 8, 500, 475, 195},
};

constexpr ColumnRow kBase10[] = {
    {'A', 10, 15, 525, 183},  {'B', 11, 48, 542, 162},  {'C', 12, 81, 561, 143},  {'D', 13, 114, 580, 124},
    {'E', 14, 147, 599, 105}, {'F', 15, 180, 618, 86},  {'G', 16, 213, 637, 67},  {'H', 17, 246, 656, 48},
    {'I', 18, 279, 675, 29},  {'J', 19, 312, 694, 10},  {'K', 18, 345, 677, 31},  {'L', 17, 378, 657, 49},
    {'M', 16, 411, 638, 68},  {'N', 15, 444, 619, 87},  {'O', 14, 477, 600, 106}, {'P', 13, 510, 581, 125},
    {'Q', 12, 543, 562, 144}, {'R', 11, 576, 543, 163}, {'S', 10, 609, 524, 182},
};

template <std::size_t N>
void expectTable(int base, const ColumnRow (&table)[N]) {
    ASSERT_EQ(static_cast<int>(N), gridSizeFor(base));
    int cells = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const int c = static_cast<int>(i) + 1;
        const ColumnRow& row = table[i];
        SCOPED_TRACE(std::string("base ") + std::to_string(base) + " column " + row.letter);
        EXPECT_EQ(columnLength(base, c), row.cells);
        const auto bottom = stoneSquareOrigin(base, c, 1);
        const auto top = stoneSquareOrigin(base, c, row.cells);
        ASSERT_TRUE(bottom && top);
        EXPECT_EQ(*bottom, (Point{row.x, row.bottomY}));
        EXPECT_EQ(*top, (Point{row.x, row.topY}));
        EXPECT_FALSE(stoneSquareOrigin(base, c, row.cells + 1));
        EXPECT_EQ(cellName(c, 1), std::string(1, row.letter) + "1");
        cells += row.cells;
    }
    EXPECT_EQ(cells, base == 8 ? 169 : 271);
}

TEST(GeometryTest, Base8CellTable) { expectTable(8, kBase8); }
TEST(GeometryTest, Base10CellTable) { expectTable(10, kBase10); }

TEST(GeometryTest, OnlyBases8And10HaveCells) {
    EXPECT_FALSE(stoneSquareOrigin(9, 1, 1));
    EXPECT_FALSE(stoneSquareOrigin(8, 0, 1));
    EXPECT_FALSE(stoneSquareOrigin(8, 16, 1));
    EXPECT_FALSE(stoneSquareOrigin(8, 1, 0));
}

TEST(GeometryTest, CellNames) {
    EXPECT_EQ(cellName(8, 15), "H15");
    EXPECT_EQ(cellName(10, 19), "J19");
    EXPECT_EQ(cellName(19, 10), "S10");
    EXPECT_EQ(cellName(1, 1), "A1");
}

// Click boxes are 30 x 32 pixels and never overlap on either base.
TEST(GeometryTest, ClickBoxesNeverOverlap) {
    for (const int base : {8, 10}) {
        std::vector<Point> origins;
        for (int c = 1; c <= gridSizeFor(base); ++c)
            for (int p = 1; p <= columnLength(base, c); ++p) origins.push_back(*stoneSquareOrigin(base, c, p));
        for (std::size_t i = 0; i < origins.size(); ++i)
            for (std::size_t j = i + 1; j < origins.size(); ++j) {
                const bool apartX = std::abs(origins[i].x - origins[j].x) > kClickLeft + kClickRight;
                const bool apartY = std::abs(origins[i].y - origins[j].y) > kClickTop + kClickBottom;
                EXPECT_TRUE(apartX || apartY) << "base " << base << " cells " << i << " and " << j;
            }
    }
}

class CellAtTest : public testing::Test {
  protected:
    void useBase(int base) {
        board.BoardSize = base;
        setUpBoardSize(board);
        computeCellTable(board);
    }
    std::string hit(int x, int y) {
        const auto cell = cellAt(board, x, y);
        return cell ? board.Topology->name(*cell) : "none";
    }
    BoardFields board;
};

TEST_F(CellAtTest, Base8ClickBoxEdges) {
    useBase(8);
    EXPECT_EQ(hit(14, 475), "A1");
    EXPECT_EQ(hit(11, 472), "A1");
    EXPECT_EQ(hit(40, 503), "A1");  // x + 26, y + 28: the far corner is inside
    EXPECT_EQ(hit(10, 475), "none");
    EXPECT_EQ(hit(41, 475), "none");
    EXPECT_EQ(hit(255, 55), "H15");
    EXPECT_EQ(hit(255, 615), "H1");
    // Between two boxes of one column (rows y + 29 .. y + 36 of A2) no cell.
    EXPECT_EQ(hit(20, 435 + 29), "none");
    EXPECT_EQ(hit(20, 435 + 36), "none");
    EXPECT_EQ(hit(20, 435 + 37), "A1");
}

TEST_F(CellAtTest, Base10Corners) {
    useBase(10);
    EXPECT_EQ(hit(312, 10), "J19");
    EXPECT_EQ(hit(345, 677), "K1");
    EXPECT_EQ(hit(609, 182), "S10");
    EXPECT_EQ(hit(0, 0), "none");
}

TEST_F(CellAtTest, NoCellIsFoundBeforeTheTableIsComputed) {
    board.BoardSize = 10;
    setUpBoardSize(board);
    EXPECT_EQ(board.GridSize, 19);
    EXPECT_EQ(board.BoardImageFile, "tk-board-base-10.bmp");
    EXPECT_EQ(hit(312, 10), "none");
}

TEST_F(CellAtTest, AnyOtherBaseKeepsTheBoardAsItWas) {
    useBase(8);
    board.BoardSize = 9;
    setUpBoardSize(board);
    computeCellTable(board);
    EXPECT_EQ(board.GridSize, 15);
    EXPECT_EQ(board.BoardImageFile, "tk-board-base-08.bmp");
    EXPECT_EQ(hit(14, 475), "none");  // tables re-created empty and not refilled
}

TEST(CellGridTest, IndicesOutsideTheTableReadZeroAndWriteNothing) {
    CellGrid grid;
    grid.reset(15);
    grid.set(15, 15, 7);
    grid.set(16, 1, 9);
    grid.set(0, 1, 9);
    grid.set(1, -4, 9);
    EXPECT_EQ(grid.at(15, 15), 7);
    EXPECT_EQ(grid.at(16, 1), 0);
    EXPECT_EQ(grid.at(1, 100000), 0);
    EXPECT_EQ(grid.at(-2147483647, 1), 0);
}

}  // namespace
}  // namespace tarnwick::board
