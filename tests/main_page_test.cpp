// The first screen: board picture, frame, tab bar, header bands and the
// board's own controls, as the user sees them after start-up.
#include <gtest/gtest.h>

#include <filesystem>

#include "board/board.h"
#include "board/geometry.h"
#include "screen_fixture.h"

namespace tarnwick {
namespace {


constexpr Colour kPlayersBand{255, 255, 128};

class MainPageTest : public testing::ScreenTest {
  protected:
    void SetUp() override { start(); }

    int inkIn(int x1, int y1, int x2, int y2, Colour ink) const {
        int n = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x) n += pixel(x, y) == ink ? 1 : 0;
        return n;
    }
    Point origin(int column, int position) const {
        return {app.board.CellTableX.at(column, position), app.board.CellTableY.at(column, position)};
    }
    // Black text pixels inside a cell's stone square: its name, if shown.
    int nameInk(int column, int position) const {
        const Point o = origin(column, position);
        return inkIn(o.x, o.y, o.x + 25, o.y + 26, colours::kBlack);
    }
};

TEST_F(MainPageTest, StartsWithTheWindowTitledAndPresented) {
    EXPECT_EQ(platform.title(), "  Tarnwick  (version 1.03)");
    EXPECT_TRUE(platform.windowOpen());
    EXPECT_EQ(platform.presentCount(), 1);
    EXPECT_EQ(platform.presentedPixels(), platform.canvas().pixels());
    EXPECT_EQ(app.board.BoardSize, 8);
    EXPECT_EQ(app.shell.ActiveTab, MainTab);
    EXPECT_EQ(app.shell.SeenClipboardText, "Havannah");
}

TEST_F(MainPageTest, BlackFrameRoundTheDrawingArea) {
    for (const int x : {1, 300, 662, 1022}) {
        EXPECT_EQ(pixel(x, 1), colours::kBlack) << x;
        EXPECT_EQ(pixel(x, 740), colours::kBlack) << x;
    }
    for (const int y : {1, 28, 400, 739}) {
        EXPECT_EQ(pixel(1, y), colours::kBlack) << y;
        EXPECT_EQ(pixel(1023, y), colours::kBlack) << y;
    }
    EXPECT_EQ(pixel(0, 0), colours::kWhite);
}

// With Liberation Mono at 8 pixels a character the tabs fall exactly where
// the layout was designed: boxes 663..723, 722..822, 821..905, 904..1004.
TEST_F(MainPageTest, TabBarLaidOutByLabelWidths) {
    const auto& s = app.shell;
    EXPECT_EQ(s.PageTabLeft[1], 664);
    EXPECT_EQ(s.PageTabRight[1], 722);
    EXPECT_EQ(s.PageTabLeft[2], 723);
    EXPECT_EQ(s.PageTabRight[2], 821);
    EXPECT_EQ(s.PageTabLeft[3], 822);
    EXPECT_EQ(s.PageTabRight[3], 904);
    EXPECT_EQ(s.PageTabLeft[4], 905);
    EXPECT_EQ(s.PageTabRight[4], 1003);

    // Shared outlines between the tabs, the last tab's right outline.
    for (const int x : {722, 821, 904, 1003}) EXPECT_EQ(pixel(x, 12), colours::kBlack) << x;
    EXPECT_EQ(pixel(1004, 12), pixel(1010, 12));  // beyond the bar: the picture
}

TEST_F(MainPageTest, MainTabIsWhiteBoldAndOpenIntoThePage) {
    EXPECT_EQ(pixel(665, 3), colours::kWhite);
    EXPECT_EQ(pixel(720, 24), colours::kWhite);
    EXPECT_EQ(pixel(663, 12), colours::kWhite) << "left outline erased";
    EXPECT_EQ(pixel(700, 26), colours::kWhite) << "bottom outline erased";
    EXPECT_EQ(pixel(700, 1), colours::kBlack) << "top outline kept (the frame)";
    // The other tabs are grey with a black bottom outline.
    EXPECT_EQ(pixel(725, 3), colours::kGrey);
    EXPECT_EQ(pixel(760, 26), colours::kBlack);
    EXPECT_EQ(pixel(1000, 3), colours::kGrey);
    // The active label is bold: it carries more ink than the same text regular.
    const int boldInk = inkIn(667, 5, 715, 20, colours::kBlack);
    HeadlessPlatform other;
    other.clearWindow(colours::kWhite);
    other.setFont(app.fonts.TabFont);
    other.setColors(colours::kBlack, colours::kWhite);
    other.setPos(667, 5);
    other.drawText(" Main ");
    int regularInk = 0;
    for (int y = 5; y <= 20; ++y)
        for (int x = 667; x <= 715; ++x) regularInk += other.getPixel(x, y) == colours::kBlack ? 1 : 0;
    EXPECT_GT(boldInk, regularInk);
    EXPECT_GT(inkIn(725, 5, 820, 20, colours::kBlack), 0) << "Load Game label";
}

TEST_F(MainPageTest, HeaderBandsOfAnEmptyGame) {
    EXPECT_EQ(pixel(654, 109), kPlayersBand);
    EXPECT_EQ(pixel(1015, 131), kPlayersBand);
    EXPECT_EQ(pixel(1016, 131), pixel(1017, 131)) << "band ends before x 1016";
    EXPECT_EQ(pixel(1000, 220), colours::kGrey);
    EXPECT_EQ(pixel(1000, 270), colours::kGrey);
    EXPECT_EQ(pixel(1000, 600), colours::kWhite);
    // "Game #: ", "Event:  " and "Result: " in black on grey at x 664.
    for (const int y : {168, 188, 208}) EXPECT_GT(inkIn(664, y, 720, y + 13, colours::kBlack), 10) << y;
    EXPECT_EQ(app.game.record.resultText, "");  // nothing loaded yet, nothing cleared
}

TEST_F(MainPageTest, C1ButtonRaisedAndNoCellNames) {
    EXPECT_FALSE(app.board.LabelsShown);
    EXPECT_EQ(pixel(30, 561), colours::kWhite);
    EXPECT_EQ(pixel(23, 580), colours::kWhite);
    EXPECT_EQ(pixel(30, 596), colours::kDarkGrey);
    EXPECT_EQ(pixel(56, 580), colours::kDarkGrey);
    EXPECT_EQ(pixel(43, 582), app.board.LabelsButtonFace);
    EXPECT_GT(inkIn(36, 572, 48, 582, colours::kBlack), 0) << "caption C1";
    for (int c = 1; c <= 15; ++c) EXPECT_EQ(nameInk(c, 1), 0) << board::cellName(c, 1);
}

TEST_F(MainPageTest, SizeCaptionNamesTheOtherBase) {
    EXPECT_EQ(pixel(34, 637), app.board.SizeButtonFace) << "opaque caption on the face colour";
    EXPECT_GT(inkIn(34, 637, 54, 645, colours::kBlack), 0) << "Size";
    EXPECT_GT(inkIn(37, 646, 48, 655, colours::kBlack), 0) << "10";
}

// The C1 and Size captions are black on their button face, with no blend
// of the two; the board picture reaches down to the window frame.
TEST_F(MainPageTest, CaptionsAreCrispAndThePictureMeetsTheFrame) {
    for (const int base : {8, 10}) {
        app.board.BoardSize = base;
        board::setUpBoardSize(app.board);
        redrawMainPage(app);
        const int o = base == 10 ? 26 : 0;
        const struct {
            const char* text;
            Point at;
            Colour face;
        } captions[] = {{"C1", {36, 572 + o}, app.board.LabelsButtonFace},
                        {"Size", base == 8 ? Point{34, 637} : Point{33, 648}, app.board.SizeButtonFace},
                        {base == 8 ? "10" : "8", base == 8 ? Point{37, 646} : Point{38, 657},
                         app.board.SizeButtonFace}};
        platform.setFont(app.fonts.CaptionFont);
        for (const auto& c : captions) {
            const Extent e = platform.textSize(c.text);
            const int x2 = c.at.x + e.width - 1;
            const int y2 = c.at.y + e.height - 1;
            const int ink = inkIn(c.at.x, c.at.y, x2, y2, colours::kBlack);
            EXPECT_GT(ink, 5) << c.text;
            EXPECT_EQ(ink + inkIn(c.at.x, c.at.y, x2, y2, c.face), e.width * e.height) << c.text << " on base " << base;
        }
        for (const int x : {2, 300, 651}) {
            for (int y = 732; y < 740; ++y) EXPECT_EQ(pixel(x, y), pixel(x, 731)) << x << "," << y;
        }
    }
}

TEST_F(MainPageTest, CellNamesComeAndGoWithTheC1Button) {
    const auto before = platform.canvas().pixels();
    board::toggleCellLabels(boardOf(app));
    EXPECT_TRUE(app.board.LabelsShown);
    EXPECT_EQ(pixel(43, 582), colours::kHighlightButton);
    EXPECT_EQ(pixel(30, 561), colours::kDarkGrey) << "pressed: dark at top-left";
    EXPECT_EQ(pixel(30, 596), colours::kWhite);
    EXPECT_GT(nameInk(1, 1), 0);
    EXPECT_GT(nameInk(8, 15), 0);
    EXPECT_GT(nameInk(7, 14), 0);

    board::toggleCellLabels(boardOf(app));
    EXPECT_FALSE(app.board.LabelsShown);
    EXPECT_FALSE(app.board.LabelsErasing);
    EXPECT_EQ(platform.canvas().pixels(), before) << "two toggles leave the board as it was";
}

TEST_F(MainPageTest, FullRedrawKeepsTheNamesShown) {
    board::toggleCellLabels(boardOf(app));
    const auto shown = platform.canvas().pixels();
    redrawMainPage(app);
    EXPECT_TRUE(app.board.LabelsShown);
    EXPECT_EQ(pixel(43, 582), colours::kHighlightButton);
    EXPECT_EQ(platform.canvas().pixels(), shown);
}

TEST_F(MainPageTest, NamesAreNotWrittenOnStones) {
    app.board.Painted[static_cast<std::size_t>(*app.board.Topology->cellAt(1, 1))].stone = havannah::Stone::Black;
    board::toggleCellLabels(boardOf(app));
    EXPECT_EQ(nameInk(1, 1), 0);
    EXPECT_GT(nameInk(1, 2), 0);
}

TEST_F(MainPageTest, Base10PageAfterChangingTheBase) {
    board::toggleCellLabels(boardOf(app));
    app.board.BoardSize = 10;
    board::setUpBoardSize(app.board);
    redrawMainPage(app);
    EXPECT_EQ(app.board.GridSize, 19);
    EXPECT_EQ(origin(10, 19), (Point{312, 10}));
    EXPECT_EQ(origin(19, 10), (Point{609, 182}));
    // The C1 button sits 26 pixels lower and is still pressed.
    EXPECT_EQ(pixel(43, 608), colours::kHighlightButton);
    EXPECT_EQ(pixel(30, 587), colours::kDarkGrey);
    EXPECT_GT(nameInk(10, 19), 0);
    EXPECT_GT(nameInk(19, 10), 0);
    // "Size" over "8".
    EXPECT_GT(inkIn(33, 648, 53, 656, colours::kBlack), 0);
    EXPECT_GT(inkIn(38, 657, 45, 666, colours::kBlack), 0);
    EXPECT_EQ(inkIn(45, 657, 50, 666, colours::kBlack), 0) << "one digit only";
}

TEST_F(MainPageTest, ButtonImagesAreCapturedFromTheBareButtonRow) {
    const auto& images = app.shell.ButtonImages;
    EXPECT_EQ(images.at(1, 1, 1), pixel(10, 690));
    EXPECT_EQ(images.at(6, 37, 38), pixel(226, 727));
    EXPECT_EQ(images.at(3, 20, 20), pixel(10 + 72 + 19, 690 + 19));
    EXPECT_EQ(images.at(1, 38, 1), Colour()) << "columns past 37 stay empty";
    EXPECT_EQ(images.at(7, 1, 1), Colour()) << "no seventh image";
}

TEST_F(MainPageTest, TheBoardPictureIsReloadedWithoutGrowingTheImageTable) {
    const std::size_t images = platform.imageCount();
    for (int i = 0; i < 20; ++i) redrawMainPage(app);
    EXPECT_EQ(platform.imageCount(), images);
}

class MissingPicturesTest : public testing::ScreenTest {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / "tarnwick-no-pictures";
        std::filesystem::create_directories(folder);
        platform.setDataFolder(folder.string());
        start();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

TEST_F(MissingPicturesTest, PageStillDrawsWhiteWithFrameAndOverlays) {
    EXPECT_EQ(pixel(300, 300), colours::kWhite);
    EXPECT_EQ(pixel(1, 1), colours::kBlack);
    EXPECT_EQ(pixel(700, 120), kPlayersBand);
    EXPECT_EQ(app.shell.ButtonImages.at(2, 5, 5), colours::kWhite);
    EXPECT_EQ(platform.beepCount(), 0);
}

}  // namespace
}  // namespace tarnwick
