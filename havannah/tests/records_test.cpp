// Every real game of base 8 and 10, replayed move by move: the first win
// found is the one the index names, with the same move and player, and
// nothing is won where the index says the game ended otherwise.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>

#include "havannah/position.h"
#include "havannah/tests/record_index.h"

namespace tarnwick::havannah {
namespace {

const std::filesystem::path kRecords = TARNWICK_RECORDS_DIR;

using testing::fileText;

// The board size and the move values of a record: `SZ[8]`, then one
// `;W[..]` or `;B[..]` per move, the tags alternating from W.
struct Record {
    int size = 0;
    std::vector<std::string> moves;
};

Record readRecord(const std::string& text) {
    Record record;
    const std::size_t size = text.find("SZ[");
    if (size != std::string::npos) record.size = std::atoi(text.c_str() + size + 3);
    for (std::size_t at = text.find(';'); at != std::string::npos; at = text.find(';', at + 1)) {
        if (text.compare(at + 1, 2, "W[") != 0 && text.compare(at + 1, 2, "B[") != 0) continue;
        const std::size_t end = text.find(']', at + 3);
        if (end == std::string::npos) break;
        record.moves.push_back(text.substr(at + 3, end - at - 3));
    }
    return record;
}

// An index row's ending, "fork by W-tagged move 59 (last)": the first word
// names the kind, W-tagged moves are the first player's (Black's).
struct Ending {
    std::string kind;  // ring, bridge, fork, or empty for no win on the board
    Player player = Player::Black;
    int move = 0;
};

Ending endingOf(const std::string& text) {
    std::istringstream words(text);
    Ending ending;
    std::string by;
    std::string tag;
    std::string moveWord;
    words >> ending.kind >> by >> tag >> moveWord >> ending.move;
    if (ending.kind != "ring" && ending.kind != "bridge" && ending.kind != "fork") return {};
    ending.player = tag == "W-tagged" ? Player::Black : Player::White;
    return ending;
}

bool made(const WinKinds& kinds, const std::string& kind) {
    return (kind == "ring" && kinds.ring) || (kind == "bridge" && kinds.bridge) || (kind == "fork" && kinds.fork);
}

TEST(RecordsTest, EveryRealGameEndsAsTheIndexSays) {
    const auto rows = testing::readIndex(kRecords);
    ASSERT_FALSE(rows.empty()) << "no records at " << kRecords;
    int replayed = 0;
    for (const testing::IndexRow& row : rows) {
        const int size = row.size;
        if (size != 8 && size != 10) continue;
        SCOPED_TRACE(row.file);
        const Record record = readRecord(fileText(kRecords / row.file));
        ASSERT_EQ(record.size, size);
        ASSERT_EQ(static_cast<int>(record.moves.size()), row.moves);
        ++replayed;

        Position position(size);
        for (std::size_t k = 0; k < record.moves.size() && !position.isWon(); ++k) {
            const std::string& move = record.moves[k];
            if (move == "resign") {
                EXPECT_EQ(k + 1, record.moves.size()) << "a resignation ends the game";
                break;
            }
            const auto cell = position.topology().parseCell(move);
            ASSERT_TRUE(move == "swap" || cell.has_value()) << move;
            ASSERT_EQ(move == "swap" ? position.swap() : position.play(*cell), std::nullopt) << "move " << k + 1;
            if (position.isWon()) {
                EXPECT_EQ(k + 1, record.moves.size()) << "the game went on after a win";
            }
        }

        const Ending ending = endingOf(row.ending);
        const auto win = position.win();
        ASSERT_EQ(win.has_value(), !ending.kind.empty()) << row.ending;
        if (!win) continue;
        EXPECT_TRUE(made(win->kinds, ending.kind)) << describe(win->kinds) << " for " << row.ending;
        EXPECT_EQ(win->player, ending.player);
        EXPECT_EQ(win->move, ending.move);
        EXPECT_FALSE(win->cells.empty());
        if (describe(win->kinds).find(" and ") != std::string::npos)
            std::cout << "several kinds at once: " << row.file << ": " << describe(win->kinds) << "\n";
    }
    EXPECT_EQ(replayed, 706);
}

}  // namespace
}  // namespace tarnwick::havannah
