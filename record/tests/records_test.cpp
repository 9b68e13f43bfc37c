// Every real record: read as one game whose main line is the record's
// moves, written back byte for byte, and played to its end.
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

        // Every move plays (the stones are compared with the viewer's replay in
        // acquire's tests), and the last is a resignation where the index says so.
        const NodePosition end = positionAt(tree, line.back(), std::make_shared<const havannah::Topology>(row.size));
        EXPECT_FALSE(end.refused) << end.refused->reason;
        const bool resigned = moveOf(tree, line.back()) && moveOf(tree, line.back())->move == Move::resign();
        EXPECT_EQ(resigned, row.resign);
    }
}

}  // namespace
}  // namespace tarnwick::record
