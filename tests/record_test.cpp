// Reading game records as the game server writes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "acquire/acquire.h"
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

    // The fields of a record read into a cleared game, without drawing.
    game::GameRecord parse(const std::string& text) {
        app.game.record.recordText = text;
        game::clearGame(gameOf(app));
        parseEvent(app);
        parsePlayers(app);
        parseResult(app);
        parseGameNumber(app);
        parseMoves(app);
        return app.game.record;
    }
    std::vector<std::string> moves() const {
        std::vector<std::string> out;
        for (int k = 1; !app.game.Moves[k].empty(); ++k) out.push_back(app.game.Moves[k]);
        return out;
    }
};

TEST_F(RecordTest, ATypicalRecord) {
    const game::GameRecord r = parse(
        "(;FF[4]EV[hav.mc.3.1]PB[Nagy Fathy]PW[kpatrick]SZ[8]RU[LG]RE[B]GC[ game #1009692]"
        "SO[http://www.littlegolem.com];W[H3];B[swap];W[F3];B[resign])");
    EXPECT_EQ(r.eventName, "Hav.MonthlyCup.3.1");
    EXPECT_EQ(r.blackPlayer, "Nagy Fathy");
    EXPECT_EQ(r.whitePlayer, "kpatrick");
    EXPECT_EQ(r.resultText, "2-0");
    EXPECT_EQ(r.gameNumber, "1009692");
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.H3", "2.swap", "3.F3", "4.resign"}));
    EXPECT_EQ(app.game.MoveCount, 4);
}

TEST_F(RecordTest, EventCodesExpandInOrderAnywhereInTheText) {
    EXPECT_EQ(parse("EV[null]").eventName, "Unrated Game");
    EXPECT_EQ(parse("EV[havannah.ch.10.2]").eventName, "Havannah.Championship.10.2");
    EXPECT_EQ(parse("EV[rt.2]").eventName, "Rated Tourney.2");
    EXPECT_EQ(parse("EV[sport.march]").eventName, "spoRated Tourney.marChampionship") << "inside words too";
    // An empty value takes its "]" and runs on to the next "]".
    EXPECT_EQ(parse("EV[]PB[Ann]").eventName, "]PB[Ann");
    EXPECT_EQ(parse("no event here").eventName, "");
}

TEST_F(RecordTest, PlayersAreSearchedInOrder) {
    game::GameRecord r = parse("PW[White first]PB[Black]");
    EXPECT_EQ(r.blackPlayer, "Black");
    EXPECT_EQ(r.whitePlayer, "") << "PW before PB is not found";
    r = parse("PB[]PW[w]");
    EXPECT_EQ(r.blackPlayer, "]PW[w") << "the first character is always taken";
    r = parse("PB[Lo\xEF" "c]PW[x]");
    EXPECT_EQ(r.blackPlayer, "Lo\xEF" "c") << "bytes are kept as they are";
    r = parse("PB[unclosed");
    EXPECT_EQ(r.blackPlayer, "unclosed");
    EXPECT_EQ(r.whitePlayer, "");
}

TEST_F(RecordTest, Results) {
    EXPECT_EQ(parse("RE[W]").resultText, "0-2");
    EXPECT_EQ(parse("RE[B]").resultText, "2-0");
    EXPECT_EQ(parse("RE[?]").resultText, "Game still in progress");
    EXPECT_EQ(parse("RE[]").resultText, "Game still in progress");
    EXPECT_EQ(parse("no result").resultText, "Game still in progress");
    game::clearGame(gameOf(app));
    EXPECT_EQ(app.game.record.resultText, " ");
}

TEST_F(RecordTest, GameNumbers) {
    EXPECT_EQ(parse("GC[ game #1234567]").gameNumber, "1234567");
    EXPECT_EQ(parse("GC[game #765]").gameNumber, "765");
    EXPECT_EQ(parse("GC[game #").gameNumber, "") << "nothing after the marker";
    EXPECT_EQ(parse("GC[game #12").gameNumber, "12");
}

TEST_F(RecordTest, MovesAreEveryBracketedValueAfterTheSource) {
    parse("SO[http://www.littlegolem.com];W[A4];B[swap];W[C2])");
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.A4", "2.swap", "3.C2"}));
    parse("SO[https://www.littlegolem.net];W[a4]C[note];B[D5])");
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.a4", "2.note", "3.D5"})) << "later records, values unchanged";
    parse("SO[x.com];W[]B[E5])");
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.]B[E5"}));
    parse("SO[x.com];W[A1];B[B2");
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.A1", "2.B"})) << "unclosed: the last character is dropped";
    parse("no source;W[A1]");
    EXPECT_EQ(app.game.MoveCount, 0);
}

TEST_F(RecordTest, NoMoreThan274MovesAreKept) {
    std::string text = "SO[.com]";
    for (int i = 0; i < 400; ++i) text += ";W[A1]";
    parse(text + ")");
    EXPECT_EQ(app.game.MoveCount, game::MaxMoveSlots);
    EXPECT_EQ(app.game.Moves[274], "274.A1");
}

// A base-8 record listing more moves than its board has cells, after a
// longer base-10 game: the list ends with the record's own moves.
TEST_F(RecordTest, ALongListDoesNotRunOnIntoAnEarlierGame) {
    std::string text = "(;FF[4]SZ[10]SO[.com]";
    for (int i = 0; i < 274; ++i) text += ";W[A1]";
    app.game.record.recordText = text + ")";
    loadRecordText(app);
    ASSERT_EQ(app.game.MoveCount, 274);
    text = "(;FF[4]SZ[8]SO[.com]";
    for (int i = 0; i < 180; ++i) text += ";W[B2]";
    app.game.record.recordText = text + ")";
    loadRecordText(app);
    EXPECT_EQ(app.game.MoveCount, 180);
    EXPECT_EQ(app.game.Moves[180], "180.B2");
    EXPECT_EQ(app.game.Moves[181], "");
}

TEST_F(RecordTest, SizeDecidesTheBase) {
    app.game.record.recordText = "SZ[10]SZ[8]";
    checkBoardSize(app);
    EXPECT_EQ(app.board.BoardSize, 8) << "SZ[8] is looked for first";
    EXPECT_EQ(app.acquire.GameValid, 1);
    app.game.record.recordText = "SZ[10]";
    checkBoardSize(app);
    EXPECT_EQ(app.board.BoardSize, 10);
    EXPECT_EQ(app.acquire.PreviousBoardSize, 8);
}

TEST_F(RecordTest, ARecordOfAnotherSizeFlashesAndKeepsTheShownGame) {
    app.game.record.recordText = "(;FF[4]SZ[8]SO[.com];W[E5];B[D4])";
    loadRecordText(app);
    const auto shown = platform.canvas().pixels();
    const std::int64_t before = platform.nowMs();
    app.game.record.recordText = "(;FF[4]SZ[9]SO[.com];W[A1])";
    loadRecordText(app);
    EXPECT_EQ(app.acquire.GameValid, 0);
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
    app.game.record.recordText = "(;FF[4]SZ[9]SO[.com];W[A1])";
    loadRecordText(app);
    EXPECT_EQ(frames, "_M_M_M_M");
    for (std::size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], 150) << i;
    EXPECT_EQ(platform.beepCount(), 1);
}

// Long names and events are cut off where their band ends, and Black's name
// where White's begins: the window frame and the panel stay untouched.
TEST_F(RecordTest, LongHeaderTextsStayInTheirBands) {
    const auto before = platform.canvas().pixels();
    const std::string longText(120, 'W');
    app.game.record.recordText = "(;FF[4]EV[" + longText + "]PB[" + longText + "]PW[" + longText +
                                 "]SZ[8]RE[" + longText + "]GC[ game #" + longText + "]SO[.com];W[A1])";
    loadRecordText(app);
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
    app.game.record.recordText =
        "(;FF[4]EV[null]PB[Ann]PW[Bob]SZ[8]RE[W]GC[ game #42]SO[http://www.littlegolem.com];"
        "W[E5];B[swap];W[D4];B[resign])";
    loadRecordText(app);
    EXPECT_EQ(app.game.MoveCount, 4);
    EXPECT_EQ(app.game.CurrentMove, 3);
    EXPECT_EQ(testing::stonesText(app), "D ...B\nE ....W\n");
    EXPECT_EQ(app.list.ListRightLimit, 1000);
}

TEST_F(RecordTest, AChangeOfBaseRebuildsThePage) {
    app.game.record.recordText = "(;FF[4]SZ[10]SO[.com];W[J19];B[S10])";
    loadRecordText(app);
    EXPECT_EQ(app.board.BoardSize, 10);
    EXPECT_EQ(app.board.GridSize, 19);
    EXPECT_EQ(testing::cellChar(app, "J19"), 'B');
    EXPECT_EQ(testing::cellChar(app, "S10"), 'W');
}

// The real records: every base-8 and base-10 one loads and shows its final
// position; the others are refused.
struct IndexRow {
    std::string file;
    int size = 0;
    int moves = 0;
    bool swap = false;
    bool resign = false;
    std::string ending;
};

std::vector<IndexRow> readIndex(const std::filesystem::path& folder) {
    std::vector<IndexRow> rows;
    std::ifstream in(folder / "index.tsv");
    std::string line;
    std::getline(in, line);  // heading
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
        if (cells.size() < 8) continue;
        rows.push_back({cells[0], std::atoi(cells[2].c_str()), std::atoi(cells[4].c_str()), cells[5] == "yes",
                        cells[6] == "yes", cells[7]});
    }
    return rows;
}

TEST_F(RecordTest, EveryRealRecordLoadsOrIsRefused) {
    const std::filesystem::path folder = TARNWICK_RECORDS_DIR;
    ASSERT_TRUE(std::filesystem::exists(folder / "index.tsv")) << "no records at " << folder;
    const auto rows = readIndex(folder);
    ASSERT_GT(rows.size(), 700U);
    int loaded = 0;
    for (const IndexRow& row : rows) {
        SCOPED_TRACE(row.file);
        std::ifstream in(folder / row.file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        std::string record = text.str();
        while (!record.empty() && (record.back() == '\n' || record.back() == '\r')) record.pop_back();
        app.game.record.recordText = record;
        const int beeps = platform.beepCount();
        loadRecordText(app);
        if (row.size != 8 && row.size != 10) {
            EXPECT_EQ(app.acquire.GameValid, 0);
            EXPECT_EQ(platform.beepCount(), beeps + 1);
            continue;
        }
        ++loaded;
        ASSERT_EQ(app.acquire.GameValid, 1);
        EXPECT_EQ(app.board.BoardSize, row.size);
        EXPECT_EQ(app.game.MoveCount, row.moves);
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
