// The documentation viewer: section tabs, paging, headings, the font button,
// and a page that holds no documentation.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "help/help.h"
#include "screen_fixture.h"

namespace tarnwick {
namespace {

constexpr Colour kPanel = colours::kPagePanel;

std::string box(const std::string& title) { return "+---+\n|" + title + "|\n+---+\n"; }

std::string numberedLines(int count) {
    std::string text;
    for (int k = 1; k <= count; ++k) text += "line " + std::to_string(k) + "\n";
    return text;
}

struct Look {
    const char* family = "Courier New";
    int points = 10;
    int style = kRegular;
    Colour background = kPanel;
};
constexpr Look kBody{};
constexpr Look kHeading{"Courier New", 10, kBold | kUnderline, kPanel};

class HelpViewerTest : public testing::ScreenTest {
  protected:
    void SetUp() override {
        platform.setIdleLimitMs(2000);
        start();
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = std::filesystem::temp_directory_path() / ("tarnwick-help-viewer-" + test);
        std::filesystem::create_directories(folder);
        platform.setDataFolder(folder.string());
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void load(const std::string& text) {
        std::ofstream(folder / help::kDocumentationFile, std::ios::binary) << text;
        readDocumentation();
    }
    void readDocumentation() { help::readDocumentation(platform, app.help, app.fonts.BodyFont); }
    // What a click on a section tab does.
    void selectSection(int s) { showHelpSection(app, s); }
    void key(char scan) {
        platform.pressExtendedKey(scan, platform.nowMs());
        pollOnce(app);
    }
    int page() const { return app.help.CurrentPage.at(static_cast<std::size_t>(app.help.HelpSection)); }

    // True when `text` in `look` shows exactly at (x, y), as drawText draws it.
    bool drawnAt(const std::string& text, Look look, int x, int y) {
        reference.setFont(reference.createFont(look.family, look.points, look.style));
        reference.setColors(colours::kBlack, look.background);
        reference.setPos(x, y);
        reference.drawText(text);
        const Extent e = reference.textSize(text);
        for (int yy = y; yy < y + e.height; ++yy)
            for (int xx = x; xx < x + e.width; ++xx)
                if (reference.getPixel(xx, yy) != pixel(xx, yy)) return false;
        return e.width > 0;
    }
    int lineStep() {
        reference.setFont(reference.createFont("Courier New", 10, kRegular));
        return reference.textSize("line").height + 2;
    }
    // Lines of body text on one page: the page ends after the line that
    // brings y to 645 or more.
    int linesPerPage() { return (645 - 104 + lineStep() - 1) / lineStep(); }

    bool arrowShown(int image, int left) const {
        for (int r = 1; r <= 38; ++r)
            for (int c = 1; c <= 36; ++c)
                if (pixel(left + c - 1, 679 + r - 1) != app.shell.ButtonImages.at(image, c, r)) return false;
        return true;
    }
    bool arrowHidden(int left) const {
        for (int y = 679; y < 717; ++y)
            for (int x = left; x < left + 36; ++x)
                if (pixel(x, y) != kPanel) return false;
        return true;
    }

    HeadlessPlatform reference;
    std::filesystem::path folder;
};

TEST_F(HelpViewerTest, ASectionOnOnePageHidesBothArrowsAndIgnoresPaging) {
    load(box("Short") + "Only a few words.\n");
    showHelpPage(app);
    EXPECT_TRUE(drawnAt("Only a few words.", kBody, 62, 104));
    EXPECT_TRUE(arrowHidden(892) && arrowHidden(932));
    EXPECT_TRUE(drawnAt("A", {"Courier New", 10, kRegular, colours::kGrey}, 65, 689)) << "font button";
    const auto before = screen();
    for (const char k : {keys::kRight, keys::kPageDown, keys::kLeft, keys::kPageUp}) key(k);
    clickAt(933, 680);
    clickAt(926, 714);
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(screen(), before);
}

TEST_F(HelpViewerTest, PagesTurnByKeysAndArrowsAndStopAtBothEnds) {
    const int n = linesPerPage();
    load(box("Pages") + numberedLines(2 * n + 3));
    showHelpPage(app);
    EXPECT_TRUE(drawnAt("line 1", kBody, 62, 104));
    EXPECT_TRUE(drawnAt("line " + std::to_string(n), kBody, 62, 104 + (n - 1) * lineStep()));
    EXPECT_EQ(app.help.PageStart[1][2], n + 1);
    EXPECT_TRUE(arrowHidden(892) && arrowShown(5, 932));
    const auto page1 = screen();

    key(keys::kPageDown);
    EXPECT_EQ(page(), 2);
    EXPECT_TRUE(drawnAt("line " + std::to_string(n + 1), kBody, 62, 104));
    EXPECT_TRUE(arrowShown(2, 892) && arrowShown(5, 932));
    const auto page2 = screen();

    clickAt(892, 700);  // just outside both arrows: nothing
    clickAt(967, 700);
    EXPECT_EQ(page(), 2);
    clickAt(966, 714);  // the next arrow's far corner
    EXPECT_EQ(page(), 3);
    EXPECT_TRUE(drawnAt("line " + std::to_string(2 * n + 3), kBody, 62, 104 + 2 * lineStep()));
    EXPECT_TRUE(arrowHidden(932));
    EXPECT_EQ(app.help.SectionEnded[1], 1);
    const auto page3 = screen();
    key(keys::kPageDown);
    key(keys::kRight);
    clickAt(950, 700);
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(screen(), page3) << "nothing past the last page";

    key(keys::kLeft);
    EXPECT_EQ(screen(), page2);
    clickAt(926, 714);  // the previous arrow's far corner
    EXPECT_EQ(screen(), page1);
    key(keys::kRight);
    key(keys::kPageUp);
    EXPECT_EQ(page(), 1);
    key(keys::kRight);
    clickAt(893, 680);
    EXPECT_EQ(page(), 1);
    key(keys::kPageUp);
    clickAt(910, 700);
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(screen(), page1) << "nothing before page 1";
}

TEST_F(HelpViewerTest, HeadingsGapsAndIndentedLines) {
    load(box("H") + "Heading one\n-----------\nBody under it\n\n   indented line\n");
    showHelpPage(app);
    reference.setFont(reference.createFont("Courier New", 10, kBold | kUnderline));
    const int headingStep = reference.textSize("Heading one").height + 2 + 8;
    EXPECT_TRUE(drawnAt("Heading one", kHeading, 62, 104));
    EXPECT_FALSE(drawnAt("Heading one", kBody, 62, 104));
    const int body = 104 + headingStep;
    EXPECT_TRUE(drawnAt("Body under it", kBody, 62, body)) << "the ---- line takes no room";
    for (int y = body - 8; y < body; ++y) EXPECT_EQ(pixel(70, y), kPanel) << y;
    EXPECT_TRUE(drawnAt("indented line", kBody, 62, body + lineStep() + 12)) << "flush left after a 12 px gap";
}

TEST_F(HelpViewerTest, AnEmptyLineOpensPageOneButNotALaterPage) {
    const int n = linesPerPage();
    load(box("E") + numberedLines(n) + "\nnext\n" + box("F") + "\nfirst\n");
    showHelpPage(app);
    EXPECT_EQ(app.help.PageStart[1][2], n + 1) << "page 2 starts with the empty line";
    key(keys::kPageDown);
    EXPECT_TRUE(drawnAt("next", kBody, 62, 104));
    selectSection(2);
    EXPECT_TRUE(drawnAt("first", kBody, 62, 104 + 12));
}

// A heading that would be a page's last line opens the next page instead,
// with its text.
TEST_F(HelpViewerTest, AHeadingNeverEndsAPage) {
    const int n = linesPerPage();
    load(box("H") + numberedLines(n - 1) + "Heading\n-------\nits text\n");
    showHelpPage(app);
    EXPECT_EQ(app.help.PageStart[1][2], n);
    key(keys::kPageDown);
    EXPECT_TRUE(drawnAt("Heading", kHeading, 62, 104));
}

TEST_F(HelpViewerTest, SectionTabsTheirEdgesAndTheOpenTab) {
    load(box("First") + "one\n" + box("Second one") + "two\n" + box("3") + "three\n");
    showHelpPage(app);
    const help::HelpFields& h = app.help;
    reference.setFont(reference.createFont("Courier New", 10, kRegular));
    const int w1 = reference.textSize("First").width;
    EXPECT_EQ(h.TabLeft[1], 43);
    EXPECT_EQ(h.TabRight[1], 42 + w1 + 11);
    EXPECT_EQ(h.TabLeft[2], h.TabRight[1] + 1) << "the shared outline belongs to the left tab";
    EXPECT_EQ(h.TabLeft[3], h.TabRight[2] + 1);
    EXPECT_EQ(pixel(h.TabRight[1], 55), colours::kBlack);
    EXPECT_EQ(pixel(h.TabLeft[1] + 1, 46), kPanel);
    EXPECT_EQ(pixel(h.TabLeft[1] + 2, 69), kPanel) << "the open tab opens into the page";
    EXPECT_EQ(pixel(h.TabLeft[2] + 1, 46), colours::kGrey);
    EXPECT_EQ(pixel(h.TabLeft[2] + 2, 69), colours::kBlack);
    EXPECT_TRUE(drawnAt("First", {"Courier New", 10, kBold, kPanel}, 42 + 4, 48));
    EXPECT_TRUE(drawnAt("Second one", {"Courier New", 10, kRegular, colours::kGrey}, h.TabLeft[2] + 3, 48));
    EXPECT_EQ(pixel(h.TabRight[3], 55), colours::kBlack);

    selectSection(3);
    EXPECT_TRUE(drawnAt("three", kBody, 62, 104));
    EXPECT_EQ(pixel(h.TabLeft[1] + 1, 46), colours::kGrey);
    EXPECT_EQ(pixel(h.TabLeft[3] + 1, 46), kPanel);
    EXPECT_EQ(pixel(h.TabRight[3], 55), kPanel) << "the last tab, open, loses its right outline";
}

TEST_F(HelpViewerTest, EachSectionKeepsItsPage) {
    const int n = linesPerPage();
    load(box("A") + numberedLines(3 * n) + box("B") + numberedLines(2 * n));
    showHelpPage(app);
    key(keys::kPageDown);
    key(keys::kPageDown);
    const auto third = screen();
    selectSection(2);
    EXPECT_EQ(page(), 1);
    key(keys::kPageDown);
    selectSection(1);
    EXPECT_EQ(screen(), third);
    selectSection(2);
    EXPECT_EQ(page(), 2);
}

TEST_F(HelpViewerTest, SevenFontPressesComeBackToCourier10) {
    const int n = linesPerPage();
    load(box("A") + numberedLines(2 * n) + box("B") + numberedLines(2 * n));
    showHelpPage(app);
    const auto start = screen();
    const FontId body = app.fonts.BodyFont;
    const FontId heading = app.fonts.DocHeadingFont;
    selectSection(2);
    key(keys::kPageDown);
    selectSection(1);
    key(keys::kPageDown);

    platform.drawBox(960, 290, 1024, 310, colours::kMarker, colours::kMarker);  // spoil the page's right edge
    const Look rows[] = {{"Courier New", 12}, {"Arial", 8}, {"Arial", 10}, {"Times New Roman", 8},
                         {"Times New Roman", 10}, {"Courier New", 8}, {"Courier New", 10}};
    for (const Look& row : rows) {
        clickAt(70, 700);
        SCOPED_TRACE(std::string(row.family) + " " + std::to_string(row.points));
        EXPECT_EQ(app.help.CurrentPage, (std::vector<int>{1, 1, 1}));
        EXPECT_TRUE(drawnAt("A", {row.family, row.points, kRegular, colours::kGrey}, 65, 689));
        EXPECT_TRUE(drawnAt("line 1", {row.family, row.points, kRegular, kPanel}, 62, 104));
        EXPECT_EQ(pixel(974, 300), kPanel);
        EXPECT_EQ(pixel(975, 300), colours::kBlack);
        EXPECT_EQ(pixel(1000, 300), colours::kWhite);
        EXPECT_EQ(pixel(1023, 300), colours::kBlack);
    }
    EXPECT_EQ(app.help.DocFontChoice, 2);
    EXPECT_EQ(app.fonts.BodyFont, body) << "the same font again, not a new one";
    EXPECT_EQ(app.fonts.DocHeadingFont, heading);
    EXPECT_EQ(screen(), start);
}

TEST_F(HelpViewerTest, MoreThanTenPagesAreAllReached) {
    load(box("Long") + numberedLines(15 * linesPerPage()));
    showHelpPage(app);
    int pages = 1;
    while (app.help.SectionEnded[1] == 0 && pages < 100) {
        key(keys::kPageDown);
        ++pages;
    }
    EXPECT_EQ(pages, 15);
    EXPECT_TRUE(drawnAt("line " + std::to_string(15 * linesPerPage()), kBody, 62,
                        104 + (linesPerPage() - 1) * lineStep()));
}

TEST_F(HelpViewerTest, WithoutDocumentationThePageSaysSoAndStaysSafe) {
    for (const std::string text : {"", "text but no header box\n"}) {
        if (text.empty()) {
            readDocumentation();
        } else {
            load(text);
        }
        showHelpPage(app);
        EXPECT_EQ(app.help.SectionCount, 0);
        EXPECT_TRUE(drawnAt(std::string(help::kNoDocumentationText), kBody, 62, 104));
        EXPECT_EQ(pixel(42, 300), colours::kBlack) << "the panel's frame";
        EXPECT_TRUE(arrowHidden(892) && arrowHidden(932));
        for (const char k : {keys::kRight, keys::kPageDown, keys::kLeft, keys::kPageUp}) key(k);
        for (const int x : {50, 900, 950}) clickAt(x, x == 50 ? 55 : 690);  // a section tab's place, the arrows
        clickAt(60, 690);
        EXPECT_TRUE(drawnAt(std::string(help::kNoDocumentationText), {"Courier New", 12}, 62, 104));
        for (int i = 0; i < 6; ++i) clickAt(60, 690);
        EXPECT_EQ(app.help.DocFontChoice, 2);
    }
}

// The real documentation, when the build has put it beside the tests: every
// section pages through to its end.
TEST_F(HelpViewerTest, TheRealDocumentationPagesThroughEverySection) {
    platform.setDataFolder(testing::executableFolder());
    readDocumentation();
    if (app.help.DocLineCount == 0) GTEST_SKIP() << "no tk-documentation.txt beside the tests";
    ASSERT_GT(app.help.SectionCount, 0);
    showHelpPage(app);
    for (int s = 1; s <= app.help.SectionCount; ++s) {
        selectSection(s);
        for (int pages = 1; app.help.SectionEnded[static_cast<std::size_t>(s)] == 0 && pages < 200; ++pages) {
            key(keys::kPageDown);
            EXPECT_EQ(page(), pages + 1) << app.help.SectionTitle[static_cast<std::size_t>(s)];
        }
        EXPECT_EQ(app.help.SectionEnded[static_cast<std::size_t>(s)], 1);
    }
}

}  // namespace
}  // namespace tarnwick
