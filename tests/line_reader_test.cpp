// Tests of the text file reader, against files in a temporary folder.
#include "platform/line_reader.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// Long lines are handed out in pieces of at most this many bytes.
constexpr std::size_t kMaxLine = std::size_t{16} << 20;

// Files -----------------------------------------------------------------------

class TextFileReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tarnwick-lines-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string write(const std::string& content) {
        const std::string path = (folder_ / ("f" + std::to_string(files_++))).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    static std::vector<std::string> readAll(TextFileReader& reader) {
        std::vector<std::string> lines;
        while (!reader.atEnd()) lines.push_back(reader.readLine());
        return lines;
    }

    fs::path folder_;
    int files_ = 0;
};

TEST_F(TextFileReaderTest, LineEnds) {
    const std::string longLine(65535, 'x');  // its CR LF straddles two reads
    const struct {
        std::string content;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nlast", {"a", "last"}},
        {"", {}},
        {"\n\nx\n\n", {"", "", "x", ""}},
        {"\r\n", {""}},
        {"lone\rcr\n", {"lone\rcr"}},
        {"a\r\r\nb", {"a\r", "b"}},
        {"tail\r", {"tail\r"}},
        {std::string("nul\0byte\n", 9), {std::string("nul\0byte", 8)}},
        {longLine + "\r\nnext\n", {longLine, "next"}},
        {std::string(200000, 'y') + "\n", {std::string(200000, 'y')}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.content.substr(0, 40)));
        TextFileReader reader;
        reader.open(write(c.content));
        EXPECT_EQ(readAll(reader), c.lines);
        EXPECT_EQ(reader.readLine(), "");
        EXPECT_TRUE(reader.atEnd());
    }
}

TEST_F(TextFileReaderTest, MissingFileReopenAndClose) {
    TextFileReader reader;
    EXPECT_TRUE(reader.atEnd());  // never opened
    reader.open((folder_ / "missing.txt").string());
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.readLine(), "");

    const std::string path = write("one\ntwo\n");
    reader.open(path);
    EXPECT_EQ(reader.readLine(), "one");
    reader.open(path);  // reopening starts again from the top
    EXPECT_EQ(readAll(reader), (std::vector<std::string>{"one", "two"}));

    reader.open(path);
    reader.open((folder_ / "missing.txt").string());  // closes the open file
    EXPECT_FALSE(reader.isOpen());
    EXPECT_TRUE(reader.atEnd());
    reader.open(path);
    reader.close();
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.readLine(), "");
}

TEST_F(TextFileReaderTest, OverlongLinesComeInPiecesWithoutLoss) {
    const std::string huge = std::string(kMaxLine, 'a') + "tail";
    const std::string exact(kMaxLine, 'b');
    TextFileReader reader;
    reader.open(write(huge + "\n" + exact + "\r\nafter"));
    EXPECT_EQ(reader.readLine(), huge.substr(0, kMaxLine));
    EXPECT_EQ(reader.readLine(), "tail");
    EXPECT_EQ(reader.readLine(), exact);  // no made-up empty line after it
    EXPECT_EQ(reader.readLine(), "after");
    EXPECT_TRUE(reader.atEnd());
}

}  // namespace
}  // namespace tarnwick
