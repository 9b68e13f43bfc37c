// Reading game records as the game server writes them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquire/acquire.h"
#include "havannah/tests/record_index.h"

namespace tarnwick::acquire {
namespace {

using Strings = std::vector<std::string>;

TEST(RecordParserTest, ATypicalRecord) {
    const std::string text =
        "(;FF[4]EV[hav.mc.3.1]PB[Nagy Fathy]PW[kpatrick]SZ[8]RU[LG]RE[B]GC[ game #1009692]"
        "SO[http://www.littlegolem.com];W[H3];B[swap];W[F3];B[resign])";
    const std::optional<GameValues> game = readRecord(text);
    ASSERT_TRUE(game);
    EXPECT_EQ(game->base, 8);
    const game::GameRecord& r = game->record;
    EXPECT_EQ(r.recordText, text);
    EXPECT_EQ(r.eventName, "Hav.MonthlyCup.3.1");
    EXPECT_EQ(r.blackPlayer, "Nagy Fathy");
    EXPECT_EQ(r.whitePlayer, "kpatrick");
    EXPECT_EQ(r.resultText, "2-0");
    EXPECT_EQ(r.gameNumber, "1009692");
    EXPECT_EQ(game->moves, (Strings{"1.H3", "2.swap", "3.F3", "4.resign"}));
}

// Each field read from a text, with what it should give.
struct FieldCase {
    const char* text;
    std::string game::GameRecord::*field;
    const char* expected;
    const char* why;
};

TEST(RecordParserTest, Fields) {
    const FieldCase cases[] = {
        {"EV[null]", &game::GameRecord::eventName, "Unrated Game", ""},
        {"EV[havannah.ch.10.2]", &game::GameRecord::eventName, "Havannah.Championship.10.2", ""},
        {"EV[rt.2]", &game::GameRecord::eventName, "Rated Tourney.2", ""},
        {"EV[sport.march]", &game::GameRecord::eventName, "spoRated Tourney.marChampionship", "inside words too"},
        {"EV[]PB[Ann]", &game::GameRecord::eventName, "]PB[Ann", "an empty value runs on to the next ]"},
        {"no event here", &game::GameRecord::eventName, "", ""},
        {"PW[White first]PB[Black]", &game::GameRecord::blackPlayer, "Black", ""},
        {"PW[White first]PB[Black]", &game::GameRecord::whitePlayer, "", "PW before PB is not found"},
        {"PB[]PW[w]", &game::GameRecord::blackPlayer, "]PW[w", "the first character is always taken"},
        {"PB[Lo\xEF" "c]PW[x]", &game::GameRecord::blackPlayer, "Lo\xEF" "c", "bytes are kept as they are"},
        {"PB[unclosed", &game::GameRecord::blackPlayer, "unclosed", ""},
        {"PB[unclosed", &game::GameRecord::whitePlayer, "", ""},
        {"RE[W]", &game::GameRecord::resultText, "0-2", ""},
        {"RE[B]", &game::GameRecord::resultText, "2-0", ""},
        {"RE[?]", &game::GameRecord::resultText, "Game still in progress", ""},
        {"RE[]", &game::GameRecord::resultText, "Game still in progress", ""},
        {"no result", &game::GameRecord::resultText, "Game still in progress", ""},
        {"GC[ game #1234567]", &game::GameRecord::gameNumber, "1234567", ""},
        {"GC[game #765]", &game::GameRecord::gameNumber, "765", ""},
        {"GC[game #", &game::GameRecord::gameNumber, "", "nothing after the marker"},
        {"GC[game #12", &game::GameRecord::gameNumber, "12", ""},
    };
    for (const FieldCase& c : cases) EXPECT_EQ(readRecordFields(c.text).*c.field, c.expected) << c.text << " " << c.why;
}

TEST(RecordParserTest, MovesAreEveryBracketedValueAfterTheSource) {
    const struct {
        const char* text;
        Strings moves;
        const char* why;
    } cases[] = {
        {"SO[http://www.littlegolem.com];W[A4];B[swap];W[C2])", {"1.A4", "2.swap", "3.C2"}, ""},
        {"SO[https://www.littlegolem.net];W[a4]C[note];B[D5])", {"1.a4", "2.note", "3.D5"},
         "later records, values unchanged"},
        {"SO[x.com];W[]B[E5])", {"1.]B[E5"}, ""},
        {"SO[x.com];W[A1];B[B2", {"1.A1", "2.B"}, "unclosed: the last character is dropped"},
        {"SO[x.com];W[A1];B[", {"1.A1"}, "an empty value ends the moves"},
        {"no source;W[A1]", {}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(readRecordMoves(c.text), c.moves) << c.text << " " << c.why;

    std::string text = "SO[.com]";
    for (int i = 0; i < 400; ++i) text += ";W[A1]";
    const Strings moves = readRecordMoves(text + ")");
    ASSERT_EQ(moves.size(), static_cast<std::size_t>(game::MaxMoveSlots));
    EXPECT_EQ(moves.back(), "274.A1");
}

TEST(RecordParserTest, SizeDecidesTheBase) {
    EXPECT_EQ(recordBase("SZ[10]SZ[8]"), 8) << "SZ[8] is looked for first";
    EXPECT_EQ(recordBase("SZ[10]"), 10);
    for (const char* other : {"SZ[9]", "SZ[1]", "", "(;FF[4]SO[.com];W[A1])"}) {
        EXPECT_EQ(recordBase(other), std::nullopt) << other;
        EXPECT_FALSE(readRecord(other)) << other;
    }
}

// Every real record of base 8 or 10 reads with the moves the index counts;
// the others are refused.
TEST(RecordParserTest, EveryRealRecord) {
    const std::filesystem::path folder = TARNWICK_RECORDS_DIR;
    const auto rows = testing::readIndex(folder);
    ASSERT_GT(rows.size(), 700U) << "no records at " << folder;
    int read = 0;
    for (const testing::IndexRow& row : rows) {
        SCOPED_TRACE(row.file);
        const std::optional<GameValues> game = readRecord(testing::fileText(folder / row.file));
        ASSERT_EQ(game.has_value(), row.size == 8 || row.size == 10);
        if (!game) continue;
        ++read;
        EXPECT_EQ(game->base, row.size);
        EXPECT_EQ(static_cast<int>(game->moves.size()), row.moves);
        EXPECT_EQ(game->record.gameNumber + ".sgf", row.file);
    }
    EXPECT_EQ(read, 706);
}

}  // namespace
}  // namespace tarnwick::acquire
