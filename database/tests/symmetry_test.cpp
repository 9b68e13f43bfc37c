// The twelve symmetries and the position key: the maps are the board's own
// symmetries, and the key agrees with a slow reference that compares the
// positions' stone sets under every transform.
#include "database/symmetry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "havannah/text.h"

namespace tarnwick::database {
namespace {

using havannah::Cell;
using havannah::Position;
using havannah::Stone;

TEST(SymmetryTest, TransformsAreTwelveDistinctSymmetriesOfTheBoard) {
    for (int base = havannah::kMinBase; base <= havannah::kMaxBase; ++base) {
        SCOPED_TRACE(base);
        const havannah::Topology topology(base);
        const Symmetry symmetry(topology);
        std::set<std::vector<Cell>> permutations;
        for (int t = 0; t < kSymmetries; ++t) {
            std::vector<Cell> images;
            for (Cell cell = 0; cell < topology.cellCount(); ++cell) {
                const Cell image = symmetry.image(t, cell);
                images.push_back(image);
                EXPECT_EQ(symmetry.preimage(t, image), cell);
                // Neighbours stay neighbours, corners corners, side cells side cells.
                for (const Cell n : topology.neighbours(cell)) {
                    const auto around = topology.neighbours(image);
                    EXPECT_EQ(std::count(around.begin(), around.end(), symmetry.image(t, n)), 1);
                }
                EXPECT_EQ(topology.cornerMask(image) != 0, topology.cornerMask(cell) != 0);
                EXPECT_EQ(topology.sideMask(image) != 0, topology.sideMask(cell) != 0);
            }
            permutations.insert(images);
        }
        EXPECT_EQ(permutations.size(), static_cast<std::size_t>(kSymmetries));
    }
}

// The slow reference: the smallest sorted list of (cell, stone) over the
// twelve images.
std::vector<std::pair<Cell, Stone>> referenceForm(const Symmetry& symmetry, const Position& position) {
    std::vector<std::pair<Cell, Stone>> best;
    for (int t = 0; t < kSymmetries; ++t) {
        std::vector<std::pair<Cell, Stone>> stones;
        for (Cell cell = 0; cell < position.topology().cellCount(); ++cell)
            if (position.at(cell) != Stone::Empty) stones.emplace_back(symmetry.image(t, cell), position.at(cell));
        std::sort(stones.begin(), stones.end());
        if (t == 0 || stones < best) best = stones;
    }
    return best;
}

Position imageOf(const Symmetry& symmetry, int t, const Position& position) {
    Position image(position.sharedTopology());
    for (Cell cell = 0; cell < position.topology().cellCount(); ++cell)
        image.place(symmetry.image(t, cell), position.at(cell));
    return image;
}

TEST(SymmetryTest, KeyIsOneForAPositionAndItsImagesAndAgreesWithTheReference) {
    std::mt19937 random(20261207);
    for (const int base : {4, 8, 10}) {
        auto topology = std::make_shared<const havannah::Topology>(base);
        const Symmetry symmetry(*topology);
        for (int trial = 0; trial < 60; ++trial) {
            Position position(topology);
            const int stones = static_cast<int>(random() % 12);
            for (int k = 0; k < stones; ++k)
                position.place(static_cast<Cell>(random() % static_cast<unsigned>(topology->cellCount())),
                               random() % 2 ? Stone::Black : Stone::White);
            const CanonicalKey key = symmetry.key(position);
            for (int t = 0; t < kSymmetries; ++t) {
                const Position image = imageOf(symmetry, t, position);
                EXPECT_EQ(symmetry.key(image).key, key.key);
                // A move keeps its meaning through the canonical orientation.
                const Cell move = static_cast<Cell>(random() % static_cast<unsigned>(topology->cellCount()));
                EXPECT_EQ(symmetry.canonicalMove(symmetry.key(image), symmetry.image(t, move)), symmetry.canonicalMove(key, move));
                const Cell shown = symmetry.shownMove(key, symmetry.canonicalMove(key, move));
                Position withShown = position, withMove = position;
                withShown.place(shown, Stone::Black);
                withMove.place(move, Stone::Black);
                EXPECT_EQ(referenceForm(symmetry, withShown), referenceForm(symmetry, withMove));
            }
            // A different position: one stone moved, or a colour changed.
            Position other = position;
            const Cell cell = static_cast<Cell>(random() % static_cast<unsigned>(topology->cellCount()));
            other.place(cell, other.at(cell) == Stone::Black ? Stone::White : Stone::Black);
            EXPECT_EQ(symmetry.key(other).key == key.key, referenceForm(symmetry, other) == referenceForm(symmetry, position));
        }
    }
}

TEST(SymmetryTest, KeysTellBasesColoursAndShapesApart) {
    const auto position = [](const char* text) { return *havannah::parsePosition(text); };
    // Base 2, cells in reading order (top, upper left, upper right, centre,
    // ...): every edge cell is a corner, the centre is not.
    const auto key = [&](const char* text) {
        const Position p = position(text);
        return Symmetry(p.topology()).key(p).key;
    };
    EXPECT_EQ(key("X......"), key(".....X."));
    EXPECT_EQ(key("XO....."), key("....O.X"));
    EXPECT_NE(key("X......"), key("...X..."));
    EXPECT_NE(key("X......"), key("O......"));
    EXPECT_NE(key("XO....."), key("X.....O"));
    EXPECT_NE(Symmetry(havannah::Topology(8)).key(Position(8)).key,
              Symmetry(havannah::Topology(10)).key(Position(10)).key);
}

}  // namespace
}  // namespace tarnwick::database
