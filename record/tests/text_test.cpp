// Records as text: what is read, how it is written back, and what is
// refused, with where.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "record/text.h"

namespace tarnwick::record {

void PrintTo(const ReadError& e, std::ostream* out) { *out << e.line << ":" << e.column << " " << e.reason; }

namespace {

// Each text is read, written, and the written text read again: it must give
// equal trees and the expected text, which reads back to itself.
TEST(TextTest, ReadAndWrittenBack) {
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"(;FF[4]SZ[8];W[H3](;B[G4];W[F3])(;B[swap]))", "(;FF[4]SZ[8];W[H3](;B[G4];W[F3])(;B[swap]))\n"},
        {" (\n; FF [4]\tAB[a] [b]\r\n;W [h3] ) ", "(;FF[4]AB[a][b];W[h3])\n"},
        {"(;C[a \\] b \\\\ c \\\n d];W[A1]C[(;not a node)]XY[unknown][ ])", "(;C[a \\] b \\\\ c \\\n d];W[A1]C[(;not a node)]XY[unknown][ ])\n"},
        {"(;GN[one];W[A1])(;GN[two](;B[B2])(;B[C3];W[D4]))", "(;GN[one];W[A1])\n(;GN[two](;B[B2])(;B[C3];W[D4]))\n"},
        {"(;;;W[A1])", "(;;;W[A1])\n"},
        {"(;)", "(;)\n"},
        {"(;A[1](;B[2]))", "(;A[1];B[2])\n"},
        {"Copied from the page (c) 2010:\n(;FF[4];W[A1]) see you (later) (;FF[4]))", "(;FF[4];W[A1])\n(;FF[4])\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const ReadResult read = readRecords(c.text);
        ASSERT_FALSE(read.error) << read.error->reason;
        const std::string written = writeRecords(read.trees);
        EXPECT_EQ(written, c.written);
        const ReadResult again = readRecords(written);
        ASSERT_FALSE(again.error);
        EXPECT_EQ(again.trees, read.trees);
    }
}

TEST(TextTest, ValuesAreKeptRawAndShownUnescaped) {
    const ReadResult read = readRecords("(;C[a \\] b \\\\ c \\\n d][x]PB[Lo\xEF" "c])");
    ASSERT_EQ(read.trees.size(), 1U);
    const Tree& tree = read.trees.front();
    const auto comment = tree.values(kRoot, "C");
    ASSERT_TRUE(comment);
    ASSERT_EQ(comment->size(), 2U);
    EXPECT_EQ((*comment)[0], "a \\] b \\\\ c \\\n d");
    EXPECT_EQ(unescape((*comment)[0]), "a ] b \\ c  d");
    EXPECT_EQ(escape(unescape((*comment)[0])), "a \\] b \\\\ c  d");
    EXPECT_EQ(tree.values(kRoot, "PB")->front(), "Lo\xEF" "c");
    EXPECT_FALSE(tree.values(kRoot, "GN"));
}

TEST(TextTest, RefusedWithWhere) {
    const std::string deepVariations = [] {
        std::string s;
        for (int i = 0; i < 100'000; ++i) s += "(;";
        return s;
    }();
    const struct {
        std::string text;
        int line, column;
        const char* reason;
    } cases[] = {
        {"(;FF[4]PB[unclosed", 1, 10, "the value of PB is not closed by ']'"},
        {"(;FF[4]\n;W[A1]", 1, 1, "'(' is not closed by ')'"},
        {"(;FF[4](;W[A1]\n(;B[B2])", 1, 8, "'(' is not closed by ')'"},
        {"(;FF[4]()", 1, 9, "a variation must begin with a node (';')"},
        {"(;FF[4]\n  (\n)", 3, 1, "a variation must begin with a node (';')"},
        {"(;FF[4] hello ;W[A1])", 1, 9, "unexpected 'h'"},
        {"(;FF[4]HELLO ;W[A1])", 1, 14, "property HELLO has no value"},
        {"(;FF[4]\x01)", 1, 8, "unexpected byte 0x01"},
        {"(;FF[4](;W[A1]);B[B2])", 1, 16, "after a variation only '(' or ')' may follow"},
        {"no game here ()", 1, 16, "no game in the text (a game begins with \"(;\")"},
        {"", 1, 1, "no game in the text (a game begins with \"(;\")"},
        {"(;W[A1])(;B[", 1, 12, "the value of B is not closed by ']'"},
        {std::string(10'000'000, '['), 1, 10'000'001, "no game in the text (a game begins with \"(;\")"},
        {"(;C" + std::string(10'000'000, '['), 1, 4, "the value of C is not closed by ']'"},
        {"(;" + std::string(100'000, '('), 1, 4, "a variation must begin with a node (';')"},
        {deepVariations, 1, 20'001, "variations nested more than 10000 deep"},
        {std::string(kMaxTextBytes + 1, ' '), 1, 1, "the text is larger than 16 MiB"},
        {"(" + std::string(kMaxNodes + 1, ';') + ")", 1, 1'000'002, "more than 1000000 nodes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        const auto start = std::chrono::steady_clock::now();
        const ReadResult read = readRecords(c.text);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_TRUE(read.trees.empty());
        ASSERT_TRUE(read.error);
        EXPECT_EQ(*read.error, (ReadError{c.line, c.column, c.reason}));
    }
}

}  // namespace
}  // namespace tarnwick::record
