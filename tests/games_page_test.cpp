// The Load Game page over a games database: games dropped on it imported,
// searched, filtered, sorted and opened; a database that cannot be had named.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "screen_fixture.h"
#include "temp_folder.h"

namespace tarnwick {
namespace {

// Three real games: two of kpatrick's (59 and 62 moves) and one without him.
constexpr const char* kGames[] = {"1009693.sgf", "1010429.sgf", "1055862.sgf"};

class GamesPageTest : public testing::ScreenTest {
  protected:
    GamesPageTest() : folder_("games-page") {}
    void SetUp() override {
        platform.setIdleLimitMs(2000);
        app.games.Path = (folder_.path() / "games.sqlite").string();
        start();
        pollOnce(app);
        clickTab(LoadGameTab);
    }
    void clickAt(int x, int y, int kind = 1) {
        platform.click(x, y, platform.nowMs(), kind);
        pollOnce(app);
    }
    void clickTab(int k) { clickAt((app.shell.PageTabLeft[k] + app.shell.PageTabRight[k]) / 2, 12); }
    // Drops a folder holding the real records named, and waits for the import.
    void dropRecords() {
        const std::filesystem::path in = folder_.path() / "in";
        std::filesystem::create_directories(in);
        for (const char* name : kGames)
            std::filesystem::copy_file(std::filesystem::path(TARNWICK_RECORDS_DIR) / name, in / name);
        platform.drop({true, in.string()}, platform.nowMs());
        for (int polls = 0; polls < 20 && (polls == 0 || importPending(app)); ++polls) pollOnce(app);
    }
    std::vector<std::int64_t> numbersShown() const {
        std::vector<std::int64_t> numbers;
        for (const auto& row : app.gamesPage.Rows) numbers.push_back(row.gameNumber.value_or(0));
        return numbers;
    }

    testing::TempFolder folder_;
};

TEST_F(GamesPageTest, DroppedGamesAreSearchedSortedAndOpened) {
    EXPECT_EQ(app.gamesPage.Count, 0);
    dropRecords();
    ASSERT_FALSE(importPending(app));
    EXPECT_EQ(app.gamesPage.Imported.added, 3);
    EXPECT_EQ(app.gamesPage.Count, 3);

    // Typing filters by player as it goes; Backspace takes a letter back.
    for (const char* letter : {"k", "p", "x"}) key(letter);
    EXPECT_EQ(app.gamesPage.Count, 0);
    key(std::string(1, keys::kBackspace));
    EXPECT_EQ(app.gamesPage.Count, 2);
    EXPECT_EQ(app.gamesPage.Search, "kp");

    // A click on the Moves heading sorts by it, a second one the other way.
    const int movesHeading = 56 + (9 + 19 + 19 + 20 + 7 + 1 + 1 + 1 + 1 + 1) * 8 + 4;
    clickAt(movesHeading, 135);
    EXPECT_EQ(numbersShown(), (std::vector<std::int64_t>{1009693, 1010429}));
    clickAt(movesHeading, 135);
    EXPECT_EQ(numbersShown(), (std::vector<std::int64_t>{1010429, 1009693}));

    // Down selects the second row; Enter opens it at its last move.
    extendedKey(keys::kDown);
    key(std::string(1, keys::kEnter));
    EXPECT_EQ(app.shell.ActiveTab, MainTab);
    EXPECT_EQ(app.game.record.gameNumber, "1009693");
    EXPECT_EQ(app.game.CurrentMove, app.game.moveCount());

    // Back on the page, the search is kept; a double click on a row opens it.
    clickTab(LoadGameTab);
    EXPECT_EQ(app.gamesPage.Count, 2);
    clickAt(300, 150 + 2, 2);
    EXPECT_EQ(app.shell.ActiveTab, MainTab);
    EXPECT_EQ(app.game.record.gameNumber, "1010429");
}

TEST_F(GamesPageTest, TheBaseAndEndingRowsNarrowTheTable) {
    dropRecords();
    const struct {
        int x, y;  // a choice's text
        std::int64_t count;
    } cases[] = {
        {140, 90, 3},   // every base
        {180, 90, 2},   // base 8
        {210, 90, 1},   // base 10
        {140, 90, 3},
        {190, 110, 2},  // ending: ring (1010429 and the base-10 game)
        {240, 110, 1},  // bridge
        {140, 110, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        clickAt(c.x, c.y);
        EXPECT_EQ(app.gamesPage.Count, c.count);
    }
}

TEST_F(GamesPageTest, GamesOpenedInTheViewerAreAddedUnlessTheSettingsSayNo) {
    clickTab(MainTab);
    paste("1.D4 2.E5 3.F6");
    clickTab(LoadGameTab);
    EXPECT_EQ(app.gamesPage.Count, 1);
    app.games.AddOpenedGames = false;
    clickTab(MainTab);
    paste("1.C3 2.E5");
    clickTab(LoadGameTab);
    EXPECT_EQ(app.gamesPage.Count, 1);
}

TEST_F(GamesPageTest, ADatabaseThatCannotBeHadIsNamedAndNothingBreaks) {
    // A folder that cannot be made: its parent is a file.
    const std::filesystem::path file = std::filesystem::path(app.games.Path).parent_path() / "a-file";
    { std::FILE* f = std::fopen(file.c_str(), "w"); std::fclose(f); }
    GamesDatabase games;
    games.Path = (file / "games.sqlite").string();
    app.games = std::move(games);
    clickTab(MainTab);
    clickTab(LoadGameTab);
    EXPECT_EQ(app.gamesPage.Count, 0);
    EXPECT_NE(app.games.Problem.find("cannot be made"), std::string::npos) << app.games.Problem;
    key("k");
    key(std::string(1, keys::kEnter));  // nothing to open: a beep
    EXPECT_EQ(app.shell.ActiveTab, LoadGameTab);
}

}  // namespace
}  // namespace tarnwick
