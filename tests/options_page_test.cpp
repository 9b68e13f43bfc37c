// The Options page and the settings file behind it: each control changes
// its setting and the file at once, the settings come back after a restart,
// and a file or folder the program cannot use never stops it nor is harmed.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "app/load_game.h"
#include "app/options_page.h"
#include "board/board.h"
#include "board/layout.h"
#include "board_text.h"
#include "havannah/tests/record_index.h"
#include "screen_fixture.h"
#include "settings/settings.h"
#include "temp_folder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

using testing::fileText;
void writeFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The ink of the Options page's line about the settings file.
int noteInk(const Platform& p) {
    int ink = 0;
    for (int x = 92; x < 900; ++x) {
        for (int y = 650; y < 664; ++y) ink += p.getPixel(x, y) == colours::kBlack ? 1 : 0;
    }
    return ink;
}

// A second program beside the test's own: over the same settings folder (a
// restart) or over none (the program as it is without settings).
struct Program {
    explicit Program(const std::string& config) : app(platform) {
        platform.setDataFolder(testing::executableFolder());
        platform.setConfigFolder(config);
        startUp(app);
    }
    void showTab(int k) {
        app.shell.ClickX = (app.shell.PageTabLeft[k] + app.shell.PageTabRight[k]) / 2;
        app.shell.ClickY = 12;
        handleTabClick(app);
    }
    HeadlessPlatform platform;
    App app;
};

class OptionsPageTest : public testing::ScreenTest {
  protected:
    OptionsPageTest() : folder_("options"), config_(folder_.path() / "config") {}

    void startWithConfig(const fs::path& config) {
        platform.setConfigFolder(config.string());
        platform.setIdleLimitMs(2000);
        start();
        pollOnce(app);  // the clipboard of launch
    }
    // This program started with `settings` in its file and `record` loaded;
    // `today` shows the same record with no settings file.
    void startBeside(Program& today, const std::string& settings, const std::string& record) {
        fs::create_directories(config_);
        writeFile(settingsFile(), settings);
        startWithConfig(config_);
        loadRecordText(today.app, record);
        loadRecordText(app, record);
    }
    void clickTab(int k) { clickAt((app.shell.PageTabLeft[k] + app.shell.PageTabRight[k]) / 2, 12); }
    void openOptions() { clickTab(OptionsTab); }
    fs::path settingsFile() const { return config_ / kSettingsFile; }
    int focusInk() const {
        int n = 0;
        for (const std::uint32_t c : screen()) n += c == colours::kSwapOffered.packed() ? 1 : 0;
        return n;
    }

    testing::TempFolder folder_;
    fs::path config_;
};

// Every control, reached from the keyboard and pressed with Space, changes
// its setting by one step and the file says so at once.
TEST_F(OptionsPageTest, EachControlChangesItsSettingAndTheFile) {
    startWithConfig(config_);
    const auto mainPage = screen();
    key(std::string(1, keys::kTab));
    extendedKey(keys::kBackTab);
    EXPECT_EQ(screen(), mainPage) << "Tab does nothing on the board page";
    openOptions();
    EXPECT_FALSE(fs::exists(settingsFile())) << "nothing is written before a change";
    EXPECT_EQ(focusInk(), 0) << "no focus until a key moves it";
    settings::Settings expected;
    for (const settings::Key& setting : settings::keys()) {
        if (setting.group.empty()) continue;
        SCOPED_TRACE(setting.name);
        extendedKey(keys::kDown);
        EXPECT_GT(focusInk(), 100) << "the focus is drawn";
        key(" ");
        setting.set(expected, setting.next(setting.get(expected), true));
        EXPECT_EQ(app.settings.Values, expected);
        EXPECT_EQ(settings::parseSettings(fileText(settingsFile())).settings, expected);
    }
    EXPECT_EQ(app.game.PlaybackDelay, 550.0F) << "the delay is in use at once";
    EXPECT_EQ(app.analysis.ThinkLimits.time, std::chrono::seconds(2));
    EXPECT_EQ(app.analysis.EngineOptions.treeBytes, std::size_t{512} << 20);
    EXPECT_EQ(app.review.Settings.budget.time, std::chrono::seconds(2));
    EXPECT_FALSE(platform.soundOn());
    EXPECT_EQ(app.help.DocFontChoice, 3);
    // - and + step back the value in focus; the arrows go round.
    extendedKey(keys::kUp);  // from sound to the review's seconds
    key("-");
    EXPECT_EQ(app.settings.Values.reviewSeconds, 1);
    // Tab and Shift+Tab move the focus as Down and Up do.
    const int focus = app.options.Focus;
    key(std::string(1, keys::kTab));
    EXPECT_EQ(app.options.Focus, focus + 1);
    extendedKey(keys::kBackTab);
    extendedKey(keys::kBackTab);
    EXPECT_EQ(app.options.Focus, focus - 1);
}

TEST_F(OptionsPageTest, ClicksOnTheControls) {
    startWithConfig(config_);
    openOptions();
    const struct {
        int x, y;
        const char* line;
    } presses[] = {
        {525, 90, "board.theme = dark"},          // a choice of the row
        {420, 386, "engine.memory_mib = 512"},    // +
        {329, 386, "engine.memory_mib = 256"},    // -
        {327, 504, "program.sound = off"},        // the box
        {150, 134, "board.cell_names = on"},      // a box's label
        {420, 408, "engine.candidates = 6"},
    };
    for (const auto& p : presses) {
        SCOPED_TRACE(p.line);
        clickAt(p.x, p.y);
        EXPECT_NE(fileText(settingsFile()).find(std::string(p.line) + "\n"), std::string::npos);
    }
    const std::string before = fileText(settingsFile());
    clickAt(600, 400);  // beside the controls
    EXPECT_EQ(fileText(settingsFile()), before);
}

TEST_F(OptionsPageTest, RestoringTheDefaultsTakesASecondPress) {
    startWithConfig(config_);
    openOptions();
    clickAt(525, 90);
    clickAt(420, 408);
    const auto asked = [&] {
        clickAt(243, 543);
        return screen();
    };
    const auto beforeRestore = screen();
    EXPECT_NE(asked(), beforeRestore) << "the button asks to be pressed again";
    EXPECT_EQ(app.settings.Values.theme, settings::Theme::Dark);
    clickAt(243, 543);
    EXPECT_EQ(app.settings.Values, settings::Settings{});
    EXPECT_EQ(settings::parseSettings(fileText(settingsFile())).settings, settings::Settings{});
    // A first press forgotten by a press elsewhere, even beside the controls.
    clickAt(525, 90);
    for (const Point elsewhere : {Point{420, 408}, Point{600, 400}}) {
        asked();
        clickAt(elsewhere.x, elsewhere.y);
        clickAt(243, 543);
        EXPECT_EQ(app.settings.Values.theme, settings::Theme::Dark) << "only asked again";
        clickAt(600, 400);
    }
}

// A fresh program over the same folder: the same settings, the same page,
// and the file's own lines kept.
TEST_F(OptionsPageTest, SettingsSurviveARestart) {
    fs::create_directories(config_);
    writeFile(settingsFile(), "# chosen by hand\nlater.key = kept\nboard.cell_names = on\n");
    startWithConfig(config_);
    EXPECT_TRUE(app.board.LabelsShown) << "cell names at start";
    openOptions();
    clickAt(525, 90);
    extendedKey(keys::kDown);
    const auto page = screen();
    const settings::Settings chosen = app.settings.Values;

    Program again(config_.string());
    EXPECT_EQ(again.app.settings.Values, chosen);
    EXPECT_TRUE(again.app.board.LabelsShown);
    again.showTab(OptionsTab);
    EXPECT_NE(again.platform.canvas().pixels(), page) << "the focus is not kept";
    again.app.options.Focus = app.options.Focus;
    showOptionsPage(again.app);
    EXPECT_EQ(again.platform.canvas().pixels(), page);
    EXPECT_EQ(fileText(settingsFile()).substr(0, 56), "# chosen by hand\nlater.key = kept\nboard.cell_names = on\n");
    EXPECT_TRUE(again.platform.problems().empty());
}

// Flat stones and the ring marker on the board page, for a real game: the
// same position read from the screen, no key colour left, and the ring
// round the last stone's middle.
TEST_F(OptionsPageTest, StonesAndMarkerAsChosen) {
    const std::string record =
        "(;FF[4]EV[hav.mc.3.1]PB[Ann]PW[Bob]SZ[8]RE[B]GC[ game #1009692]SO[http://www.littlegolem.com]"
        ";W[H3];B[swap];W[F3];B[E5];W[D4];B[G6];W[C3];B[resign])";
    Program today("");
    startBeside(today, "stones.style = discs\n", record);
    EXPECT_EQ(testing::boardText(app), testing::boardText(today.app));
    const auto shown = screen();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), colours::kStoneKey.packed()), 0);
    EXPECT_NE(shown, today.platform.canvas().pixels());

    openOptions();
    clickAt(410, 112);  // the ring
    clickTab(MainTab);
    const auto last = board::cellOrigin(app.board, app.board.Topology->parseCell("C3").value());
    ASSERT_TRUE(last);
    EXPECT_EQ(pixel(last->x + 18, last->y + 12), colours::kMarker);
    EXPECT_NE(pixel(last->x + 12, last->y + 12), colours::kMarker) << "the ring's middle shows the stone";
}

// Contrast measured on the screen: the colour the rectangle (both corners
// included) shows most, and the lowest contrast of `inks` against it, each
// of which must be drawn there.
struct Ground {
    Colour colour;
    double contrast = 21;
};
Ground inksOnGround(const Platform& p, board::Area a, std::initializer_list<Colour> inks) {
    std::map<std::uint32_t, int> counts;
    for (int y = a.y1; y <= a.y2; ++y)
        for (int x = a.x1; x <= a.x2; ++x) ++counts[p.getPixel(x, y).packed()];
    const auto most = std::max_element(counts.begin(), counts.end(), [](auto l, auto r) { return l.second < r.second; });
    Ground g{Colour::fromPacked(most->first)};
    for (const Colour ink : inks) {
        EXPECT_GT(counts[ink.packed()], 10) << "ink " << int{ink.r} << "," << int{ink.g} << "," << int{ink.b} << " drawn";
        g.contrast = std::min(g.contrast, contrastRatio(ink, g.colour));
    }
    return g;
}

// Each theme on a real game won by a bridge, with analysis discs of every
// rank and steps of both players on its empty cells: the lowest contrast of
// a mark (disc or step, win outline, last-stone marker) against what it is
// drawn on, and of any text (figures on the discs, the panel and the move
// list) against its ground, measured from the pixels. Today's look keeps
// its colours as they are; the colour-safe set keeps its marks at 3:1, the
// guideline for marks; the high-contrast and dark looks keep marks at 3:1
// and text at 7:1, and the dark one's panel and list are dark with light
// text.
TEST_F(OptionsPageTest, MarksAndTextsOfEachThemeOnARealGame) {
    const std::string record = fileText(fs::path(TARNWICK_RECORDS_DIR) / "1009693.sgf");
    // The lowest contrast found of each kind.
    struct Lowest {
        double outline = 21, marker = 21, discs = 21, figures = 21, panel = 21;
    };
    const struct {
        const char* setting;
        Lowest floor;
        bool dark;
    } themes[] = {
        {"classic", {1, 1, 1, 4.5, 1}, false},
        {"colour-safe", {3, 3, 1, 4.5, 1}, false},
        {"high-contrast", {3, 3, 3, 7, 7}, false},
        {"dark", {3, 3, 3, 7, 7}, true},
    };
    fs::create_directories(config_);
    for (const auto& theme : themes) {
        SCOPED_TRACE(theme.setting);
        writeFile(settingsFile(), std::string("board.theme = ") + theme.setting + "\n");
        Program shown(config_.string());
        App& a = shown.app;
        ASSERT_TRUE(loadRecordText(a, record));
        const board::Palette& c = a.board.Colours;
        EXPECT_EQ(c, paletteFor(a.settings.Values.theme));
        const Platform& p = shown.platform;
        const havannah::Topology& t = *a.board.Topology;
        // Ranks 1 to 5, a step of each player and an explorer's tag, on the
        // first empty cells.
        std::vector<board::CellMark> marks;
        for (int rank = 1; rank <= 5; ++rank) marks.push_back({rank, 40 + rank});
        marks.push_back({0, 0, 1, havannah::Player::Black});
        marks.push_back({0, 0, 2, havannah::Player::White});
        marks.push_back({0, 0, 0, havannah::Player::Black, 120});
        Lowest low;
        int outlined = 0, marked = 0;
        std::size_t next = 0;
        for (havannah::Cell cell = 0; cell < t.cellCount(); ++cell) {
            const Point o = *board::cellOrigin(a.board, cell);
            const Colour under = p.getPixel(o.x + 2, o.y - 2);
            for (int y = o.y - 8; y < o.y + 34; ++y) {
                for (int x = o.x - 8; x < o.x + 34; ++x) {
                    if (p.getPixel(x, y) != c.marks.winOutline) continue;
                    ++outlined;
                    low.outline = std::min(low.outline, contrastRatio(c.marks.winOutline, under));
                }
            }
            const board::CellPaint painted = a.board.Painted[static_cast<std::size_t>(cell)];
            if (painted.marked) {
                ++marked;
                EXPECT_EQ(p.getPixel(o.x + 12, o.y + 12), c.marks.lastStone);
                low.marker = std::min(low.marker, contrastRatio(c.marks.lastStone, p.getPixel(o.x + 5, o.y + 17)));
            }
            if (painted.stone != havannah::Stone::Empty || next == marks.size()) continue;
            const bool tag = marks[next].games > 0;
            board::paintCell(boardOf(a), cell, {havannah::Stone::Empty, false, marks[next++]});
            // The disc's top edge (the tag's left one) against the cell; its
            // figure against it.
            low.discs = std::min(low.discs, contrastRatio(tag ? p.getPixel(o.x + 3, o.y + 8) : p.getPixel(o.x + 13, o.y + 2), under));
            const Colour disc = tag ? p.getPixel(o.x + 3, o.y + 8) : p.getPixel(o.x + 13, o.y + 4);
            double figure = 1;
            for (int y = o.y + 8; y <= o.y + 19; ++y)
                for (int x = o.x + 4; x <= o.x + 21; ++x) figure = std::max(figure, contrastRatio(p.getPixel(x, y), disc));
            low.figures = std::min(low.figures, figure);
        }
        EXPECT_EQ(next, marks.size());
        EXPECT_GT(outlined, 100);
        EXPECT_GT(marked, 0);

        // The panel: players, the win note, game number, event and result,
        // and the list, the last move highlighted.
        const Colour plate = p.getPixel(board::kPanelNoteArea.x1, board::kPanelNoteArea.y1);
        const Ground panel[] = {
            inksOnGround(p, {654, 109, 1015, 131}, {c.playersInk}),
            inksOnGround(p, {654, 133, 1015, 150}, {c.panelInk}),
            inksOnGround(p, {654, 168, 1015, 223}, {c.headerInk, c.valueInk}),
            inksOnGround(p, {654, 262, 1015, 395}, {c.blackMoveInk, c.whiteMoveInk}),
            {c.listHighlight, contrastRatio(c.blackMoveInk, c.listHighlight)},
        };
        EXPECT_EQ(panel[1].colour, plate);
        EXPECT_EQ(panel[3].colour, c.listBand);
        for (const Ground& g : panel) low.panel = std::min(low.panel, g.contrast);
        const std::string figures = "outline " + std::to_string(low.outline) + ", marker " + std::to_string(low.marker) +
                                    ", discs " + std::to_string(low.discs) + ", figures " + std::to_string(low.figures) +
                                    ", panel " + std::to_string(low.panel);
        RecordProperty(theme.setting, figures);
        EXPECT_GE(low.outline, theme.floor.outline) << figures;
        EXPECT_GE(low.marker, theme.floor.marker) << figures;
        EXPECT_GE(low.discs, theme.floor.discs) << figures;
        EXPECT_GE(low.figures, theme.floor.figures) << figures;
        EXPECT_GE(low.panel, theme.floor.panel) << figures;
        if (theme.dark) {
            for (const Ground& g : panel) EXPECT_LT(relativeLuminance(g.colour), 0.1);
            EXPECT_LT(relativeLuminance(plate), 0.05);
            EXPECT_LT(relativeLuminance(p.getPixel(700, 600)), 0.05) << "the list's ground";
            EXPECT_LT(relativeLuminance(p.getPixel(600, 20)), 0.05) << "the page";
            for (const Colour ink : {c.playersInk, c.panelInk, c.headerInk, c.blackMoveInk, c.whiteMoveInk})
                EXPECT_GT(relativeLuminance(ink), 0.5);
        }
    }
}

// A theme chosen on the page shows on the board page at once, as it does
// when the program starts with it.
TEST_F(OptionsPageTest, AChosenThemeShowsAsAtStart) {
    const std::string record = fileText(fs::path(TARNWICK_RECORDS_DIR) / "1009692.sgf");
    startWithConfig(config_);
    loadRecordText(app, record);
    const auto classic = screen();
    openOptions();
    clickAt(525, 90);  // dark
    clickTab(MainTab);
    Program started(config_.string());
    loadRecordText(started.app, record);
    EXPECT_EQ(screen(), started.platform.canvas().pixels());
    EXPECT_NE(screen(), classic);
}

// Larger texts change the panel beside the board and nothing else.
TEST_F(OptionsPageTest, LargerTextsOnlyInThePanel) {
    const std::string record = fileText(fs::path(TARNWICK_RECORDS_DIR) / "1009692.sgf");
    Program today("");
    startBeside(today, "fonts.size = large\n", record);
    int board = 0, panel = 0;
    for (int y = 0; y < Canvas::kHeight; ++y) {
        for (int x = 0; x < Canvas::kWidth; ++x) (x < 644 ? board : panel) += pixel(x, y) != today.platform.getPixel(x, y) ? 1 : 0;
    }
    EXPECT_EQ(board, 0);
    EXPECT_GT(panel, 1000);
}

// The window's place, size and full screen at the end of a session open the
// next one; a window left where a new one opens writes nothing.
TEST_F(OptionsPageTest, TheWindowPlacementIsRememberedAtExit) {
    startWithConfig(config_);
    EXPECT_EQ(platform.windowPlacement(), std::nullopt) << "no settings: the window opens as it always has";
    platform.setWindowPlacement({Point{0, 0}, {1024, 741}, false});
    rememberWindowPlacement(app);
    EXPECT_FALSE(fs::exists(settingsFile()));

    const WindowPlacement moved{Point{120, -8}, {1536, 1111}, true};
    platform.setWindowPlacement(moved);
    platform.pressKey(std::string(1, keys::kEscape), platform.nowMs());
    runProgram(app);
    const std::string text = fileText(settingsFile());
    for (const char* line : {"window.x = 120\n", "window.y = -8\n", "window.width = 1536\n", "window.full_screen = on\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    Program again(config_.string());
    EXPECT_EQ(again.platform.windowPlacement(), moved);
}

// An empty settings folder is no settings file: nothing is written, and
// the program starts exactly as one without settings.
TEST_F(OptionsPageTest, AnEmptyFolderStartsAsToday) {
    fs::create_directories(config_);
    startWithConfig(config_);
    const Program today("");
    EXPECT_EQ(screen(), today.platform.canvas().pixels());
    EXPECT_TRUE(fs::is_empty(config_));
    EXPECT_TRUE(platform.problems().empty());
}

// The help page's font button is remembered, and used at the next start.
TEST_F(OptionsPageTest, TheHelpFontIsRemembered) {
    startWithConfig(config_);
    clickAt((app.shell.PageTabLeft[HelpTab] + app.shell.PageTabRight[HelpTab]) / 2, 12);
    clickAt(70, 698);  // the font button
    EXPECT_EQ(settings::parseSettings(fileText(settingsFile())).settings.helpFont, 3);
    const auto page = screen();

    Program again(config_.string());
    again.showTab(HelpTab);
    EXPECT_EQ(again.platform.canvas().pixels(), page);
}

TEST_F(OptionsPageTest, BadValuesAreNamedOnceAndTheRestIsUsed) {
    fs::create_directories(config_);
    writeFile(settingsFile(), "engine.candidates = 99\nplayback.delay_ms = 300\n");
    startWithConfig(config_);
    ASSERT_EQ(platform.problems().size(), 1U);
    EXPECT_NE(platform.problems()[0].find("engine.candidates = 99"), std::string::npos) << platform.problems()[0];
    EXPECT_EQ(app.settings.Values.candidates, 5);
    EXPECT_EQ(app.game.PlaybackDelay, 300.0F);
}

// A file that is not a settings file, or a folder in its place, is left as
// it is: the defaults are used, changes last for the session, and the page
// says so in one line.
TEST_F(OptionsPageTest, AFileThatCannotBeReadIsLeftAsItIs) {
    for (const bool folderInstead : {false, true}) {
        SCOPED_TRACE(folderInstead);
        fs::remove_all(config_);
        fs::create_directories(config_);
        const std::string bytes("engine.candidates = 3\n\xff\xfe\0tail", 28);
        if (folderInstead) {
            fs::create_directories(settingsFile());
        } else {
            writeFile(settingsFile(), bytes);
        }
        Program broken(config_.string());
        HeadlessPlatform& p = broken.platform;
        EXPECT_EQ(broken.app.settings.Values, settings::Settings{});
        ASSERT_EQ(p.problems().size(), 1U);
        EXPECT_NE(p.problems()[0].find("left as it is"), std::string::npos) << p.problems()[0];
        broken.showTab(OptionsTab);
        p.click(525, 90);
        pollOnce(broken.app);
        EXPECT_EQ(broken.app.settings.Values.theme, settings::Theme::Dark) << "in use for the session";
        if (folderInstead) {
            EXPECT_TRUE(fs::is_directory(settingsFile()));
        } else {
            EXPECT_EQ(fileText(settingsFile()), bytes);
        }
        EXPECT_GT(noteInk(p), 100) << "the page's note";
        EXPECT_EQ(std::distance(fs::directory_iterator(config_), fs::directory_iterator()), 1) << "no other file";
    }
}

// A folder that cannot be made (its parent is a file: the tests run as
// root, whom permissions do not stop) never stops the program; the failure
// is named once, however many changes fail.
TEST_F(OptionsPageTest, AFolderThatCannotBeWrittenIsNamedOnce) {
    writeFile(folder_.path() / "file", "x");
    startWithConfig(folder_.path() / "file" / "tarnwick");
    openOptions();
    clickAt(525, 90);
    clickAt(420, 386);
    EXPECT_EQ(app.settings.Values.engineMemoryMiB, 512);
    ASSERT_EQ(platform.problems().size(), 1U);
    EXPECT_NE(platform.problems()[0].find("settings not saved"), std::string::npos);
    EXPECT_GT(noteInk(platform), 100) << "the page's note";
}

}  // namespace
}  // namespace tarnwick
