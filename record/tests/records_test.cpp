// Every real record: read as one game whose main line is the record's
// moves, written back byte for byte, and played to its end as the index
// says it ends.
#include <gtest/gtest.h>

#include <filesystem>

#include "havannah/tests/record_index.h"
#include "record/header.h"
#include "record/moves.h"
#include "record/text.h"

namespace tarnwick::record {
namespace {

const std::filesystem::path kRecords = TARNWICK_RECORDS_DIR;

TEST(RecordsTest, EveryRealRecordReadsWritesBackAndPlays) {
    const auto rows = testing::readIndex(kRecords);
    ASSERT_GT(rows.size(), 700U) << "records at " << kRecords;
    for (const testing::IndexRow& row : rows) {
        SCOPED_TRACE(row.file);
        const std::string text = testing::fileText(kRecords / row.file);
        const ReadResult read = readRecords(text);
        ASSERT_FALSE(read.error) << read.error->reason;
        ASSERT_EQ(read.trees.size(), 1U);
        const Tree& tree = read.trees.front();
        const std::string written = writeRecord(tree);
        EXPECT_EQ(written, text);
        EXPECT_EQ(readRecords(written).trees, read.trees);

        EXPECT_EQ(base(tree), row.size);
        EXPECT_EQ(gameNumber(tree), row.number);
        const std::vector<NodeId> line = mainLine(tree);
        EXPECT_EQ(line.size(), tree.size());
        EXPECT_EQ(moveCount(tree, line), row.moves);
        if (row.size != 8 && row.size != 10) continue;

        // The ending: "ring by W-tagged move 42 (last)", "resign by B-tagged",
        // or no win on the board.
        const NodePosition end = positionAt(tree, line.back(), std::make_shared<const havannah::Topology>(row.size));
        EXPECT_FALSE(end.refused) << end.refused->reason;
        const std::optional<havannah::Win> win = end.position.win();
        const bool wonOnBoard = row.ending.starts_with("ring") || row.ending.starts_with("bridge") || row.ending.starts_with("fork");
        ASSERT_EQ(win.has_value(), wonOnBoard) << row.ending;
        if (win) {
            EXPECT_NE(row.ending.find("move " + std::to_string(win->move) + " "), std::string::npos) << row.ending;
            EXPECT_EQ(win->player, playerOfMove(win->move));
        }
        const bool resigned = moveOf(tree, line.back()) && moveOf(tree, line.back())->move == Move::resign();
        EXPECT_EQ(resigned, row.resign);
    }
}

}  // namespace
}  // namespace tarnwick::record
