// The Load Game page over a games database: games dropped on it or fetched
// by a player's number imported, searched, filtered, sorted, scrolled and
// opened; a database that cannot be had named.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "http_test_server.h"
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
    void dropRecords(const std::vector<std::string>& names = {std::begin(kGames), std::end(kGames)}) {
        const std::filesystem::path in = folder_.path() / "in";
        std::filesystem::create_directories(in);
        for (const std::string& name : names)
            std::filesystem::copy_file(std::filesystem::path(TARNWICK_RECORDS_DIR) / name, in / name);
        platform.drop({true, in.string()}, platform.nowMs());
        pollOnce(app);
        waitForImport();
    }
    void waitForImport() {
        for (int polls = 0; polls < 20 && importPending(app); ++polls) pollOnce(app);
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

    // A search no player answers looks for an event, as the table names it:
    // the server's "null" is shown and found as "Unrated Game".
    for (int i = 0; i < 2; ++i) key(std::string(1, keys::kBackspace));
    for (const char* letter : {"u", "N", "r", "a", "t", "e", "d", " ", "g"}) key(letter);
    EXPECT_EQ(app.gamesPage.Count, 3);
    key("x");
    EXPECT_EQ(app.gamesPage.Count, 0);
    for (int i = 0; i < 10; ++i) key(std::string(1, keys::kBackspace));
    for (const char* letter : {"k", "p"}) key(letter);

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

TEST_F(GamesPageTest, TheWheelScrollsTheTableAndTakesTheChosenRowAlong) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(TARNWICK_RECORDS_DIR))
        if (entry.path().extension() == ".sgf") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    names.resize(35);
    dropRecords(names);
    ASSERT_EQ(app.gamesPage.Count, 35);
    const struct {
        int steps;  // positive: up
        std::int64_t top, selected;
    } cases[] = {{-2, 6, 6}, {1, 3, 6}, {-5, 7, 7}, {9, 0, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        platform.turnWheel(c.steps, platform.nowMs());
        pollOnce(app);
        EXPECT_EQ(app.gamesPage.Top, c.top);
        EXPECT_EQ(app.gamesPage.Selected, c.selected);
    }
}

// Real records as the game server lists them, a line each, with one it
// cannot read.
std::string playerList() {
    std::string body = "Finished games\n";
    for (const char* name : kGames) {
        std::ifstream file(std::filesystem::path(TARNWICK_RECORDS_DIR) / name, std::ios::binary);
        std::string record{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        record.erase(std::remove(record.begin(), record.end(), '\n'), record.end());
        body += record + "\r\n";
    }
    return body + "(;FF[4]SZ[8]PB[cut off];W[A1\n";
}

TEST_F(GamesPageTest, APlayersGamesAreFetchedAndWhatCannotBeReadIsNamed) {
    using testing::ScriptedReply;
    testing::HttpTestServer server({ScriptedReply::withLength(200, playerList()), ScriptedReply::withLength(200, ""),
                                    ScriptedReply::withLength(500, "oops")});
    platform.redirectHost(std::string(acquire::kGameServerHost), server.port());
    const struct {
        int added, refused;
        std::string problem;
    } cases[] = {
        {3, 1, ""},
        {0, 0, "Little Golem player 4321: no finished Havannah games"},
        {0, 0, "Little Golem player 4321: havannah: the game server answered 500"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.problem);
        app.gamesPage.PlayerNumber.clear();
        clickAt(760, 88);  // the player field takes the typing
        for (const char* typed : {"4", "x", "3", "2", "1"}) key(typed);
        key(std::string(1, keys::kEnter));
        waitForImport();
        ASSERT_EQ(server.requests().size(), i + 1);
        EXPECT_EQ(server.requests()[i], "GET /jsp/info/player_game_list_txt.jsp?plid=4321&gtid=havannah HTTP/1.1\r\n"
                                        "Host: www.littlegolem.net\r\n\r\n");
        EXPECT_EQ(app.gamesPage.Imported.added, c.added);
        EXPECT_EQ(app.gamesPage.Imported.refused, c.refused);
        EXPECT_EQ(app.gamesPage.FetchProblem, c.problem);
        EXPECT_EQ(app.gamesPage.Search, "");  // typing went into the player field
    }
    // The games fetched first are kept; a click on the search field takes
    // the typing back, and Tab or Shift+Tab moves it between the fields.
    EXPECT_EQ(app.gamesPage.Count, 3);
    clickAt(200, 66);
    key("k");
    key(std::string(1, keys::kTab));
    key("5");
    extendedKey(keys::kBackTab);
    key("p");
    EXPECT_EQ(app.gamesPage.Search, "kp");
    EXPECT_EQ(app.gamesPage.PlayerNumber, "43215");
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
