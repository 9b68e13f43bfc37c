// Showing game records: the board, the list and the header after a load, and
// what a refused record shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "havannah/tests/record_index.h"
#include "app/load_game.h"
#include "board_text.h"
#include "game/replay.h"
#include "game/game.h"
#include "game/navigation.h"
#include "screen_fixture.h"

namespace tarnwick {
namespace {

class RecordTest : public testing::ScreenTest {
  protected:
    void SetUp() override { start(); }
};

// A base-8 record listing more moves than its board has cells, after a
// longer base-10 game: the list ends with the record's own moves.
TEST_F(RecordTest, ALongListDoesNotRunOnIntoAnEarlierGame) {
    std::string text = "(;FF[4]SZ[10]SO[.com]";
    for (int i = 0; i < 274; ++i) text += ";W[A1]";
    loadRecordText(app, text + ")");
    ASSERT_EQ(app.game.moveCount(), 274);
    text = "(;FF[4]SZ[8]SO[.com]";
    for (int i = 0; i < 180; ++i) text += ";W[B2]";
    loadRecordText(app, text + ")");
    EXPECT_EQ(app.game.moveCount(), 180);
    EXPECT_EQ(app.game.Moves[180], "180.B2");
    EXPECT_EQ(app.game.Moves[181], "");
}

TEST_F(RecordTest, ARecordOfAnotherSizeFlashesAndKeepsTheShownGame) {
    loadRecordText(app, "(;FF[4]SZ[8]SO[.com];W[E5];B[D4])");
    const auto shown = platform.canvas().pixels();
    const std::int64_t before = platform.nowMs();
    EXPECT_FALSE(loadRecordText(app, "(;FF[4]SZ[9]SO[.com];W[A1])"));
    EXPECT_EQ(platform.beepCount(), 1);
    EXPECT_EQ(platform.nowMs() - before, 8 * 150);
    EXPECT_EQ(app.game.CurrentMove, 2);
    EXPECT_EQ(app.board.BoardSize, 8);
    // Only the number field changed: it now reads "Invalid Game #".
    int changed = 0;
    int outside = 0;
    for (int y = 0; y < Canvas::kHeight; ++y)
        for (int x = 0; x < Canvas::kWidth; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * Canvas::kWidth + static_cast<std::size_t>(x);
            if (platform.canvas().pixels()[i] == shown[i]) continue;
            ++changed;
            if (x < 49 || x > 139 || y < 59 || y > 77) ++outside;
        }
    EXPECT_GT(changed, 20);
    EXPECT_EQ(outside, 0);
}

// Each of the four flashes is shown: eight frames, 150 ms apart, that
// alternate between an empty field and the message.
TEST_F(RecordTest, InvalidGameFlashesOnScreen) {
    std::string frames;
    std::vector<std::int64_t> times;
    platform.onPresent([&] {
        int ink = 0;
        for (int y = 59; y < 77; ++y)
            for (int x = 49; x < 139; ++x)
                ink += platform.presentedPixels()[static_cast<std::size_t>(y) * Canvas::kWidth + x] ==
                       colours::kBlack.packed();
        frames += ink > 0 ? 'M' : '_';
        times.push_back(platform.nowMs());
    });
    loadRecordText(app, "(;FF[4]SZ[9]SO[.com];W[A1])");
    EXPECT_EQ(frames, "_M_M_M_M");
    for (std::size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], 150) << i;
    EXPECT_EQ(platform.beepCount(), 1);
}

// Long names and events are cut off where their band ends, and Black's name
// where White's begins: the window frame and the panel stay untouched.
TEST_F(RecordTest, LongHeaderTextsStayInTheirBands) {
    const auto before = platform.canvas().pixels();
    const std::string longText(120, 'W');
    loadRecordText(app, "(;FF[4]EV[" + longText + "]PB[" + longText + "]PW[" + longText + "]SZ[8]RE[" + longText +
                            "]GC[ game #" + longText + "]SO[.com];W[A1])");
    int changed = 0;
    for (int y = 109; y < 225; ++y)
        for (int x = 1016; x < Canvas::kWidth; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * Canvas::kWidth + static_cast<std::size_t>(x);
            changed += platform.canvas().pixels()[i] != before[i] ? 1 : 0;
        }
    EXPECT_EQ(changed, 0);
    for (int y = 115; y < 128; ++y) EXPECT_EQ(pixel(867, y), (Colour{255, 255, 128})) << "between the names, " << y;
}

TEST_F(RecordTest, LoadingShowsTheLastMoveBeforeAResignation) {
    loadRecordText(app,
                   "(;FF[4]EV[null]PB[Ann]PW[Bob]SZ[8]RE[W]GC[ game #42]SO[http://www.littlegolem.com];"
                   "W[E5];B[swap];W[D4];B[resign])");
    EXPECT_EQ(app.game.moveCount(), 4);
    EXPECT_EQ(app.game.CurrentMove, 3);
    EXPECT_EQ(testing::stonesText(app), "D ...B\nE ....W\n");
    EXPECT_EQ(app.list.ListRightLimit, 1000);
}

TEST_F(RecordTest, AChangeOfBaseRebuildsThePage) {
    loadRecordText(app, "(;FF[4]SZ[10]SO[.com];W[J19];B[S10])");
    EXPECT_EQ(app.board.BoardSize, 10);
    EXPECT_EQ(app.board.GridSize, 19);
    EXPECT_EQ(testing::cellChar(app, "J19"), 'B');
    EXPECT_EQ(testing::cellChar(app, "S10"), 'W');
}

// The real records: every base-8 and base-10 one loads and shows its final
// position; the others are refused.
TEST_F(RecordTest, EveryRealRecordLoadsOrIsRefused) {
    const std::filesystem::path folder = TARNWICK_RECORDS_DIR;
    ASSERT_TRUE(std::filesystem::exists(folder / "index.tsv")) << "no records at " << folder;
    const auto rows = testing::readIndex(folder);
    ASSERT_GT(rows.size(), 700U);
    int loaded = 0;
    for (const testing::IndexRow& row : rows) {
        SCOPED_TRACE(row.file);
        std::string record = testing::fileText(folder / row.file);
        while (!record.empty() && (record.back() == '\n' || record.back() == '\r')) record.pop_back();
        const int beeps = platform.beepCount();
        const bool accepted = loadRecordText(app, record);
        if (row.size != 8 && row.size != 10) {
            EXPECT_FALSE(accepted);
            EXPECT_EQ(platform.beepCount(), beeps + 1);
            continue;
        }
        ++loaded;
        ASSERT_TRUE(accepted);
        EXPECT_EQ(app.board.BoardSize, row.size);
        EXPECT_EQ(app.game.moveCount(), row.moves);
        const int shown = row.moves - (row.resign ? 1 : 0);
        EXPECT_EQ(app.game.CurrentMove, shown);
        // One stone per shown move, the swap turning the first one over.
        std::string board;  // the cells only, without the column letters
        std::istringstream lines(testing::boardText(app));
        for (std::string line; std::getline(lines, line);) board += line.substr(2);
        const auto count = [&](char ch) { return static_cast<int>(std::count(board.begin(), board.end(), ch)); };
        EXPECT_EQ(count('b') + count('B') + count('w') + count('W'), shown - (row.swap && shown >= 2 ? 1 : 0));
        // Each player's latest stone, and only that one, carries the marker.
        EXPECT_EQ(count('B'), shown >= 1 && !(row.swap && shown == 2) ? 1 : 0);
        EXPECT_EQ(count('W'), shown >= 2 ? 1 : 0);
        // A win on the board is outlined at the end.
        const bool won = row.ending.starts_with("ring") || row.ending.starts_with("bridge") ||
                         row.ending.starts_with("fork");
        EXPECT_EQ(!app.board.UnderOutline.empty(), won) << row.ending;
        // Stepping back to the empty board, the screen shows the model's
        // position after every move, markers included.
        for (int k = shown; k >= 0; --k) {
            ASSERT_EQ(testing::boardText(app), testing::boardText(game::positionAfter(app.game.Moves, k, app.board.Topology)))
                << "after move " << k;
            game::stepBack(gameOf(app));
        }
        EXPECT_TRUE(app.board.UnderOutline.empty());
    }
    EXPECT_EQ(loaded, 706);
}

}  // namespace
}  // namespace tarnwick
