// The user guide tk-documentation.txt: its markup parses into the sections
// the help page shows, its tabs fit the page, and it names every key and
// control the program answers to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {
namespace {

// The section tabs and the text are drawn in Courier New 10: 8 pixels a
// character. Each tab adds 12 pixels to its title, and all of them must fit
// side by side across the 934 pixels of the help frame. A line wider than
// 900 pixels is wrapped, which a heading must never be.
constexpr int kCharWidth = 8;
constexpr int kTabPadding = 12;
constexpr int kTabRowWidth = 934;
constexpr int kLayoutWidth = 900;

struct Section {
    std::string title;        // the title line with its "|" removed
    std::size_t firstLine{};  // index of the first body line
    std::size_t endLine{};    // one past the last body line
};

bool isBorder(std::string_view line) { return line.starts_with("+--"); }

std::string withoutBars(std::string_view line) {
    std::string title;
    std::copy_if(line.begin(), line.end(), std::back_inserter(title), [](char c) { return c != '|'; });
    return title;
}

// A whole word: not preceded or followed by a letter or digit.
bool containsWord(std::string_view text, std::string_view word) {
    const auto isWordChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    for (std::size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
        const bool before = at > 0 && isWordChar(text[at - 1]) && isWordChar(word.front());
        const std::size_t end = at + word.size();
        const bool after = end < text.size() && isWordChar(text[end]) && isWordChar(word.back());
        if (!before && !after) return true;
    }
    return false;
}

class DocumentationTest : public testing::Test {
  protected:
    void SetUp() override {
        std::ifstream in(TARNWICK_DOCUMENTATION, std::ios::binary);
        ASSERT_TRUE(in) << "cannot read " << TARNWICK_DOCUMENTATION;
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        ASSERT_FALSE(lines.empty());
    }

    // Walks the file as the help page reads it: a "+--" line opens a box of
    // three lines, and a section runs up to the next box. Every structural
    // fault is reported with its line number.
    std::vector<Section> sections() const {
        std::vector<Section> found;
        std::size_t i = 0;
        while (i < lines.size()) {
            if (!isBorder(lines[i])) {
                ++i;
                continue;
            }
            const std::string where = "line " + std::to_string(i + 1);
            if (i + 2 >= lines.size()) {
                ADD_FAILURE() << where << ": a header box needs three lines";
                break;
            }
            const std::string& title = lines[i + 1];
            EXPECT_TRUE(title.starts_with("|") && title.ends_with("|")) << where << ": title line " << title;
            EXPECT_TRUE(isBorder(lines[i + 2])) << where << ": no bottom border under the title";
            EXPECT_EQ(lines[i].size(), title.size()) << where << ": top border and title differ in width";
            EXPECT_EQ(lines[i + 2].size(), title.size()) << where << ": bottom border and title differ in width";
            if (!found.empty()) found.back().endLine = i;
            found.push_back({withoutBars(title), i + 3, lines.size()});
            i += 3;
        }
        return found;
    }

    std::string text;
    std::vector<std::string> lines;
};

TEST_F(DocumentationTest, ParsesIntoTitledSectionsOfBodyText) {
    EXPECT_TRUE(isBorder(lines.front())) << "text before the first header box is never shown";
    const std::vector<Section> found = sections();
    ASSERT_GE(found.size(), 2U);

    std::vector<std::string> titles;
    for (const Section& s : found) {
        EXPECT_NE(s.title.find_first_not_of(' '), std::string::npos) << "a blank section title";
        EXPECT_EQ(std::count(titles.begin(), titles.end(), s.title), 0) << "title used twice:" << s.title;
        titles.push_back(s.title);
        // A box straight after another would swallow the second box's top
        // border and title as body text.
        const bool hasText = std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(s.firstLine),
                                         lines.begin() + static_cast<std::ptrdiff_t>(s.endLine),
                                         [](const std::string& l) { return !l.empty(); });
        EXPECT_TRUE(hasText) << "section" << s.title << " has no text";
    }
    const auto borders = std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return isBorder(l); });
    EXPECT_EQ(static_cast<std::size_t>(borders), 2 * found.size()) << "a \"+--\" line outside a header box";
}

TEST_F(DocumentationTest, SectionTabsFitSideBySide) {
    int width = 0;
    for (const Section& s : sections()) width += static_cast<int>(s.title.size()) * kCharWidth + kTabPadding;
    EXPECT_LE(width, kTabRowWidth);
}

TEST_F(DocumentationTest, IsPlainPrintableAscii) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (const char c : lines[i]) {
            const auto code = static_cast<unsigned char>(c);
            EXPECT_TRUE(code >= 0x20 && code <= 0x7E) << "line " << i + 1 << ": byte " << int{code}
                                                       << (c == '\t' ? " (a tab)" : c == '\r' ? " (a CR line end)" : "");
        }
        // The page drops leading blanks, so indentation would silently vanish.
        EXPECT_FALSE(lines[i].starts_with(" ")) << "line " << i + 1 << " is indented";
    }
}

// A line holding "----" is never shown: it marks the line above as a heading.
// It must therefore be a pure underline, under a heading short enough to stay
// on one line (else only its last wrapped part would be bold).
TEST_F(DocumentationTest, HeadingUnderlinesOnlyFollowShortHeadings) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("----") == std::string::npos || isBorder(lines[i])) continue;
        const std::string where = "line " + std::to_string(i + 1);
        EXPECT_EQ(lines[i].find_first_not_of('-'), std::string::npos) << where << ": text hidden by \"----\"";
        ASSERT_GT(i, 0U) << where;
        const std::string& heading = lines[i - 1];
        EXPECT_FALSE(heading.empty()) << where << ": underline under an empty line";
        EXPECT_FALSE(isBorder(heading) || heading.find("----") != std::string::npos) << where;
        EXPECT_LE(static_cast<int>(heading.size()) * kCharWidth, kLayoutWidth) << where << ": heading wraps";
    }
}

TEST_F(DocumentationTest, NamesEveryKeyAndControl) {
    const char* const names[] = {
        // keys
        "Escape", "Enter", "Backspace", "Ctrl+V", "Home", "End", "Delete", "Left arrow", "Right arrow", "Page Up",
        "Page Down", "\"+\"", "\"=\"", "\"-\"", "\"_\"",
        // the board page's buttons and captions
        "Start", "Back", "Play", "Pause", "Forward", "C1", "Size", "Swap", "Game #",
        // the tabs and the help page's font button
        "Main", "Load Game", "Options", "About/Help", "\"A\"",
        // the setting read at start
        "TARNWICK_SERVER"};
    for (const char* name : names) EXPECT_TRUE(containsWord(text, name)) << name << " is not named";
}

// The keys the Main page answers to, read from its dispatch
// (app/board_page.cpp), are each named in the guide's list of them, so that a
// key added there without a line in the guide fails here.
TEST_F(DocumentationTest, TheMainPageKeyListNamesEveryKeyTheBoardPageHandles) {
    std::ifstream in(TARNWICK_BOARD_PAGE_SOURCE, std::ios::binary);
    ASSERT_TRUE(in) << "cannot read " << TARNWICK_BOARD_PAGE_SOURCE;
    const std::string source{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    // The guide's name of each key constant of platform/platform.h.
    const std::map<std::string, std::string> constants{
        {"kLeft", "Left arrow"}, {"kRight", "Right arrow"}, {"kHome", "Home"},     {"kEnd", "End"},
        {"kUp", "Up"},           {"kDown", "Down"},         {"kDelete", "Delete"}, {"kCtrlV", "Ctrl+V"},
        {"kCtrlS", "Ctrl+S"},    {"kCtrlC", "Ctrl+C"},      {"kEnter", "Enter"},   {"kBackspace", "Backspace"},
        {"kPageUp", "Page Up"},  {"kPageDown", "Page Down"}, {"kInsert", "Insert"}, {"kEscape", "Escape"}};
    std::set<std::string> handled;
    const std::regex constant(R"(keys::(k[A-Za-z]+))");
    for (auto it = std::sregex_iterator(source.begin(), source.end(), constant); it != std::sregex_iterator(); ++it) {
        const auto name = constants.find((*it)[1]);
        ASSERT_NE(name, constants.end()) << (*it)[1] << ": give this key its name in the guide here";
        handled.insert(name->second);
    }
    // A letter compared in both cases ("p" || "P") is the key either way;
    // compared alone, the lower case is the key and the upper case the key
    // with Shift.
    const std::regex letter(R"re(LastKey == "([A-Za-z])"( \|\| s\.LastKey == "[A-Za-z]")?)re");
    for (auto it = std::sregex_iterator(source.begin(), source.end(), letter); it != std::sregex_iterator(); ++it) {
        const char c = (*it).str(1)[0];
        const std::string upper(1, static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        handled.insert((*it)[2].matched || std::islower(static_cast<unsigned char>(c)) ? upper : "Shift+" + upper);
    }
    if (source.find("EscapeKey") != std::string::npos) handled.insert("Escape");
    ASSERT_GE(handled.size(), 15U) << "the dispatch was not read";

    // The list: the "- KEYS: what they do" lines under its heading.
    std::string named;
    const auto heading = std::find(lines.begin(), lines.end(), "On the Main page: keys");
    ASSERT_NE(heading, lines.end()) << "the guide has no \"On the Main page: keys\" list";
    for (auto line = heading + 2; line != lines.end() && line->starts_with("- "); ++line) {
        named += line->substr(0, line->find(':')) + "\n";
    }
    for (const std::string& key : handled) EXPECT_TRUE(containsWord(named, key)) << key << " is not in the key list";
}

}  // namespace
}  // namespace tarnwick
