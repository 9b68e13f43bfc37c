// Laying out the documentation file: sections, titles and word wrapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "help/help.h"
#include "platform/headless/headless_platform.h"

namespace tarnwick::help {
namespace {

using Lines = std::vector<std::string>;

std::string box(const std::string& title) {
    const std::string border = "+" + std::string(std::max<std::size_t>(title.size(), 3), '-') + "+\n";
    return border + "|" + title + "|\n" + border;
}

class HelpLayoutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = std::filesystem::temp_directory_path() / ("tarnwick-help-layout-" + test);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void load(const std::string& text) {
        std::ofstream(folder / kDocumentationFile, std::ios::binary) << text;
        platform.setDataFolder(folder.string());
        readDocumentation(platform, h, fonts.BodyFont);
    }
    // A section's laid-out lines from line 1, its "end" included.
    Lines section(int s) const {
        const Lines& text = h.DocText.at(static_cast<std::size_t>(s));
        return Lines(text.begin() + 1, text.end());
    }
    int width(const std::string& text) {
        platform.setFont(fonts.BodyFont);
        return platform.textSize(text).width;
    }
    // The lines that a greedy fill of `words` (each with its blank) gives at
    // 900 pixels, measured word by word.
    Lines greedy(const Lines& words) {
        Lines out(1);
        int used = 0;
        for (const std::string& w : words) {
            if (used + width(w) > 900) out.emplace_back(), used = 0;
            out.back() += w;
            used += width(w);
        }
        return out;
    }
    HeadlessPlatform platform;
    // The fonts the program starts with: Courier New 10 for the text.
    Fonts fonts{platform.createFont("Courier New", 10, kRegular),
                platform.createFont("Courier New", 10, kBold | kUnderline),
                platform.createFont("Courier New", 10, kRegular), platform.createFont("Courier New", 10, kBold)};
    HelpFields h;
    std::filesystem::path folder;
};

TEST_F(HelpLayoutTest, SectionsTitlesAndTheirEnds) {
    load(box(" Loading games ") + "First text.\n" + box(" Paging ") + "Second.\n\nMore.\n");
    EXPECT_EQ(h.DocLineCount, 10);
    ASSERT_EQ(h.SectionCount, 2);
    EXPECT_EQ(h.SectionTitle[1], " Loading games ");
    EXPECT_EQ(h.SectionTitle[2], " Paging ");
    EXPECT_EQ(h.DocLines[2], " Loading games ") << "the title line is kept without its bars";
    EXPECT_EQ(section(1), (Lines{"First text.", "end"}));
    EXPECT_EQ(section(2), (Lines{"Second.", "", "More.", "end"}));
    EXPECT_EQ(h.CurrentPage, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(h.TabLeft.size(), 3U);
}

TEST_F(HelpLayoutTest, WrapsBetweenWordsAtTheMeasuredWidth) {
    Lines words;
    std::string longLine;
    for (int k = 0; k < 60; ++k) {
        words.push_back(std::string("word") + std::string(static_cast<std::size_t>(k % 7), 'm') + " ");
        longLine += words.back();
    }
    words.back().pop_back();
    longLine.pop_back();
    load(box("W") + longLine + "\nfits as it is  \n" + "one  two\n");
    Lines expected = greedy(words);
    ASSERT_GE(expected.size(), 3U);
    expected.insert(expected.end(), {"fits as it is  ", "one  two", "end"});
    EXPECT_EQ(section(1), expected);
}

// Each extra blank is a word with its own width: a line that just fits with
// single blanks breaks once one blank is doubled.
TEST_F(HelpLayoutTest, ADoubledBlankTakesItsWidth) {
    const std::string word = "abcdefg ";
    const int perLine = 900 / width(word);
    ASSERT_LT(900 - perLine * width(word), width(" ")) << "no room left for one more blank";
    std::string line = "abcdefg  ";
    for (int k = 1; k < perLine; ++k) line += word;
    load(box("B") + line + "\n");
    EXPECT_EQ(section(1), (Lines{line.substr(0, line.size() - word.size()), word, "end"}));
}

TEST_F(HelpLayoutTest, AWordWiderThanTheLineLeavesAnEmptyLineBeforeIt) {
    const std::string wide(200, 'W');
    ASSERT_GT(width(wide), 900);
    load(box("L") + wide + "\n" + wide + " tail\n" + "short " + wide + "\n");
    EXPECT_EQ(section(1), (Lines{"", wide, "", wide + " ", "tail", "short ", wide, "end"}));
}

// The line after a box is body text even when it is a border; sections are
// counted as the layout finds them, not from the number of borders.
TEST_F(HelpLayoutTest, BordersRightAfterABoxAreBodyText) {
    load(box("One") + box("Two") + "Three\nskipped\nbody\n");
    ASSERT_EQ(h.SectionCount, 2);
    EXPECT_EQ(section(1), (Lines{"+---+", "|Two|", "end"}));
    EXPECT_EQ(h.SectionTitle[2], "Three");
    EXPECT_EQ(section(2), (Lines{"body", "end"}));

    load(box("Only") + "+-- not a box\n" + "+-- nor this\n" + "text\n");
    ASSERT_EQ(h.SectionCount, 2);
    EXPECT_EQ(section(1), (Lines{"+-- not a box", "end"}));
    EXPECT_EQ(h.SectionTitle[2], "text");
    EXPECT_EQ(h.CurrentPage.size(), 3U);

    load(box("A") + "+--\n");
    EXPECT_EQ(h.SectionCount, 1) << "four borders, one section";
    EXPECT_EQ(h.PageStart.size(), 2U);
}

TEST_F(HelpLayoutTest, TextBeforeTheFirstBoxAndBrokenBoxes) {
    load("intro\nmore intro\n" + box("A") + "body\n");
    ASSERT_EQ(h.SectionCount, 1);
    EXPECT_EQ(section(1), (Lines{"body", "end"}));
    EXPECT_TRUE(h.DocText[0].empty()) << "slot 0 holds nothing";

    load("no box at all\n");
    EXPECT_EQ(h.DocLineCount, 1);
    EXPECT_EQ(h.SectionCount, 0);

    load(box("A") + "x\n+--\n");  // the file ends inside a box
    ASSERT_EQ(h.SectionCount, 2);
    EXPECT_EQ(h.SectionTitle[2], "");
    EXPECT_EQ(section(2), (Lines{"end"}));
}

TEST_F(HelpLayoutTest, ACarriageReturnEndsTheLineWithoutLosingText) {
    load(box("R") + "abc \rdef\n" + "ghi\r\n" + "x\r\ry\n");
    EXPECT_EQ(section(1), (Lines{"abc ", "def", "ghi", "x", "", "y", "end"}));
}

TEST_F(HelpLayoutTest, AnotherFontLaysTheTextOutAgain) {
    std::string text;
    for (int k = 0; k < 40; ++k) text += "Several words of documentation text make one long line. ";
    load(box(" Fonts ") + text + "\n" + text + "\n");
    const std::size_t courier10 = section(1).size();
    fonts = cycleHelpFont(platform, h, fonts, {});  // Courier New 12: wider
    const std::size_t courier12 = section(1).size();
    fonts = cycleHelpFont(platform, h, fonts, {});  // Arial 8: narrower
    const std::size_t arial8 = section(1).size();
    EXPECT_GT(courier12, courier10);
    EXPECT_LT(arial8, courier10);
    EXPECT_EQ(h.SectionTitle[1], " Fonts ") << "the title survives another layout";
    for (const std::string& line : section(1)) EXPECT_LE(width(line), 900 + width(" ")) << line;
}

TEST_F(HelpLayoutTest, LongFilesAndSectionsAreKeptWhole) {
    std::string text = box("Long");
    for (int k = 1; k <= 700; ++k) text += "line " + std::to_string(k) + "\n";
    text += box("After") + "last\n";
    load(text);
    EXPECT_EQ(h.DocLineCount, 707);
    ASSERT_EQ(h.SectionCount, 2);
    const Lines first = section(1);
    ASSERT_EQ(first.size(), 701U);
    EXPECT_EQ(first[699], "line 700");
    EXPECT_EQ(first[700], "end");
    EXPECT_EQ(section(2), (Lines{"last", "end"}));
}

TEST_F(HelpLayoutTest, AMissingFileGivesNoSections) {
    platform.setDataFolder(folder.string());
    readDocumentation(platform, h, fonts.BodyFont);
    EXPECT_EQ(h.DocLineCount, 0);
    EXPECT_EQ(h.SectionCount, 0);
    EXPECT_EQ(h.DocText.size(), 1U);
}

}  // namespace
}  // namespace tarnwick::help
