// The game tree's reading of every real record against the viewer's own
// reader and replay: the same base, header values, moves and stones, so
// that the viewer can move onto the tree without a game changing.
#include <gtest/gtest.h>

#include <filesystem>

#include "acquire/acquire.h"
#include "game/replay.h"
#include "havannah/tests/record_index.h"
#include "record/header.h"
#include "record/moves.h"
#include "record/text.h"

namespace tarnwick::acquire {
namespace {

const std::filesystem::path kRecords = TARNWICK_RECORDS_DIR;

game::MoveEntry::Kind kindOf(const record::Move& move) {
    switch (move.kind) {
        case record::Move::Kind::Swap: return game::MoveEntry::Kind::Swap;
        case record::Move::Kind::Resign: return game::MoveEntry::Kind::Resign;
        case record::Move::Kind::Cell: break;
    }
    return game::MoveEntry::Kind::Stone;
}

TEST(RecordTreeAgreementTest, EveryRealRecordGivesTheSameGame) {
    int compared = 0;
    for (const testing::IndexRow& row : testing::readIndex(kRecords)) {
        SCOPED_TRACE(row.file);
        const std::string text = testing::fileText(kRecords / row.file);
        const std::optional<GameValues> viewer = readRecord(text);
        const record::ReadResult read = record::readRecords(text);
        ASSERT_EQ(read.trees.size(), 1U);
        const record::Tree& tree = read.trees.front();
        if (!viewer) {
            EXPECT_NE(record::base(tree), 8);
            EXPECT_NE(record::base(tree), 10);
            continue;
        }
        ++compared;
        EXPECT_EQ(record::base(tree), viewer->base);
        const game::GameRecord& fields = viewer->record;
        EXPECT_EQ(record::playerName(tree, havannah::Player::Black), fields.blackPlayer);
        EXPECT_EQ(record::playerName(tree, havannah::Player::White), fields.whitePlayer);
        EXPECT_EQ(record::gameNumber(tree).value_or(""), fields.gameNumber);
        // The viewer shows the event renamed; the same raw value gives the same name.
        EXPECT_EQ(readRecordFields("EV[" + record::event(tree).value_or("") + "]").eventName, fields.eventName);
        const std::optional<havannah::Player> winner = record::winner(tree);
        EXPECT_EQ(fields.resultText, !winner ? "Game still in progress" : *winner == havannah::Player::Black ? "2-0" : "0-2");

        const std::vector<record::NodeId> line = record::mainLine(tree);
        ASSERT_EQ(line.size(), viewer->moves.size() + 1);
        game::MoveList moves;
        for (std::size_t k = 1; k < line.size(); ++k) {
            const game::MoveEntry entry = game::decodeMove(viewer->moves[k - 1]);
            const std::optional<record::NodeMove> node = record::moveOf(tree, line[k]);
            ASSERT_TRUE(node && node->move) << k;
            EXPECT_EQ(kindOf(*node->move), entry.kind) << k;
            EXPECT_EQ(record::playerOfMove(static_cast<int>(k)), entry.player) << k;
            if (entry.kind == game::MoveEntry::Kind::Stone) {
                EXPECT_EQ(node->move->cell, entry.cellText) << k;
            }
            moves.set(static_cast<int>(k), viewer->moves[k - 1]);
        }

        const auto topology = std::make_shared<const havannah::Topology>(viewer->base);
        const game::ShownPosition shown = game::positionAfter(moves, moves.length(), topology);
        const record::NodePosition position = record::positionAt(tree, line.back(), topology);
        EXPECT_EQ(shown.illegal.has_value(), position.refused.has_value());
        for (havannah::Cell cell = 0; cell < topology->cellCount(); ++cell) {
            ASSERT_EQ(position.position.at(cell), shown.stones.at(cell)) << topology->name(cell);
        }
    }
    EXPECT_EQ(compared, 706);
}

}  // namespace
}  // namespace tarnwick::acquire
