// The opening explorer on the board page, over a small database of
// hand-written games in a folder of the test's own.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "app/import_command.h"
#include "board/board.h"
#include "board/geometry.h"
#include "screen_fixture.h"
#include "temp_folder.h"

namespace tarnwick {
namespace {

// Base 8. E4 lies on no axis of the board, so from 1.E4 on every move shows
// at its own cell; the first moves show at an image of their choice.
constexpr const char* kGames[] = {
    "1.E4 2.F6 3.D4 4.resign",       // Black wins
    "1.E4 2.F6 3.G7 4.resign",       // Black wins
    "1.E4 2.F6 3.D4 4.C3 5.resign",  // White wins
    "1.E4 2.swap 3.F6 4.resign",     // Black wins
    "1.F5 2.E4 3.resign",            // White wins
};

class ExplorerTest : public testing::ScreenTest {
  protected:
    ExplorerTest() : folder_("explorer") {}

    void startWith(const std::string& path) {
        app.games.Path = path;
        // The virtual clock runs on while a poll waits for the engine.
        platform.setIdleLimitMs(std::int64_t{1} << 50);
        start();
        // The games pasted here stay out of the database the test made.
        app.games.AddOpenedGames = false;
        pollOnce(app);  // the clipboard of launch
    }
    std::string databaseOf(const std::vector<std::string>& games) {
        const std::string path = (folder_.path() / "games.sqlite").string();
        database::Opened opened = database::Database::open(path);
        std::vector<database::Incoming> incoming;
        for (const std::string& text : games) {
            for (record::Tree& tree : gamesInFile("game.txt", text).trees) incoming.push_back({std::move(tree), "test"});
        }
        opened.database->importGames(incoming, 1765000000);
        return path;
    }

    std::map<std::string, int> tags() const {
        std::map<std::string, int> found;
        for (std::size_t cell = 0; cell < app.board.Painted.size(); ++cell) {
            const int games = app.board.Painted[cell].mark.games;
            if (games > 0) found[app.board.Topology->name(static_cast<havannah::Cell>(cell))] = games;
        }
        return found;
    }
    Point origin(const std::string& name) const {
        return *board::cellOrigin(app.board, *app.board.Topology->parseCell(name));
    }
    // The count's ink: pixels of the middle of the lower tag (which the tag
    // alone covers too) that are not the tag's colour.
    int countInk(const std::string& name) const {
        const Point o = origin(name);
        int n = 0;
        for (int y = 16; y <= 19; ++y)
            for (int x = 5; x <= 20; ++x) n += pixel(o.x + x, o.y + y) == board::kExplorerTag ? 0 : 1;
        return n;
    }
    void clickCell(const std::string& name) {
        const Point o = origin(name);
        clickAt(o.x + 12, o.y + 12);
    }
    const std::string& line() const { return app.analysis.LineShown; }

    testing::TempFolder folder_;
};

TEST_F(ExplorerTest, TheMovesPlayedFollowThePositionShownAndGoWithoutATrace) {
    startWith(databaseOf({std::begin(kGames), std::end(kGames)}));
    paste("1.E4 2.F6 3.D4");
    extendedKey(keys::kHome);
    EXPECT_FALSE(app.games.Db) << "the database is opened only when first asked for";
    const auto before = screen();

    key("o");
    ASSERT_TRUE(app.games.Db);
    EXPECT_TRUE(std::regex_match(
        line(), std::regex(R"(In 5 games: [A-O]\d+ 4 \(Black wins 75%\), [A-O]\d+ 1 \(Black wins 0%\))")))
        << line();
    ASSERT_EQ(tags().size(), 2U);

    struct Step {
        std::map<std::string, int> tags;
        std::string line;
    };
    const Step steps[] = {
        {{{"F6", 3}}, "In 4 games: F6 3 (Black wins 67%), swap 1 (Black wins 100%)"},
        {{{"D4", 2}, {"G7", 1}}, "In 3 games: D4 2 (Black wins 50%), G7 1 (Black wins 100%)"},
        {{{"C3", 1}}, "In 1 game: C3 1 (Black wins 0%)"},
    };
    for (const Step& step : steps) {
        extendedKey(keys::kRight);
        SCOPED_TRACE(app.game.CurrentMove);
        EXPECT_EQ(tags(), step.tags);
        EXPECT_EQ(line(), step.line);
        for (const auto& [cell, games] : step.tags) {
            const Point o = origin(cell);
            EXPECT_EQ(pixel(o.x + 3, o.y + 8), board::kExplorerTag) << cell;
            EXPECT_GT(countInk(cell), 4) << "the count on " << cell;
        }
    }
    EXPECT_EQ(platform.presentedPixels(), screen()) << "what is drawn is presented";

    // Another page covers the board; back on the Main page all is drawn again.
    const auto atEnd = screen();
    clickAt((app.shell.PageTabLeft[HelpTab] + app.shell.PageTabRight[HelpTab]) / 2, 12);
    key(app.shell.EscapeKey);
    EXPECT_EQ(screen(), atEnd);

    // O again takes every tag and the line away.
    key("O");
    EXPECT_TRUE(tags().empty());
    EXPECT_TRUE(line().empty());
    extendedKey(keys::kHome);
    EXPECT_EQ(screen(), before);

    // Games imported meanwhile count at the next showing.
    databaseOf({"1.E4 2.F6 3.D4 4.C3 5.B2 6.resign"});
    key("o");
    EXPECT_TRUE(line().starts_with("In 6 games: ")) << line();
    key("o");

    // A click on a tag plays its cell: here beside the game's own move, a
    // variation, which the explorer follows.
    key("o");
    extendedKey(keys::kRight);
    extendedKey(keys::kRight);
    clickCell("G7");
    EXPECT_EQ(app.game.CurrentMove, 3);
    EXPECT_EQ(app.game.Moves[3], "3.G7");
    EXPECT_TRUE(tags().empty());
    EXPECT_EQ(line(), "No game in the database goes on from this position");
}

// Black joins the corners A1 and A8 along column A with move 15.
constexpr const char* kBridgeGame =
    "1.A1 2.O1 3.A2 4.O2 5.A3 6.O3 7.A4 8.O4 9.A5 10.O5 11.A6 12.O6 13.A7 14.O7 15.A8";

TEST_F(ExplorerTest, TheTagsStayBesideTheAnalysisAndTheLineTakesTurns) {
    app.analysis.EngineOptions.seed = 7;
    app.analysis.SearchLimits.playouts = 3000;
    startWith(databaseOf({kBridgeGame}));
    paste(kBridgeGame);
    extendedKey(keys::kLeft);
    key("o");
    const std::string explorerLine = "In 1 game: A8 1 (Black wins 100%)";
    EXPECT_EQ(line(), explorerLine);
    key("a");
    app.analysis.Engine->wait();
    pollOnce(app);  // the refresh draws the search
    EXPECT_EQ(line(), "Black wins by force: A8");
    // The winning move carries the disc above and the tag below.
    const board::CellMark mark = app.board.Painted[static_cast<std::size_t>(*app.board.Topology->parseCell("A8"))].mark;
    EXPECT_EQ(mark.rank, 1);
    EXPECT_EQ(mark.games, 1);
    const Point o = origin("A8");
    EXPECT_EQ(pixel(o.x + 13, o.y + 2), board::markColour(1));
    EXPECT_EQ(pixel(o.x + 4, o.y + 16), board::kExplorerTag);
    EXPECT_GT(countInk("A8"), 4) << "the count";

    key("a");
    EXPECT_EQ(line(), explorerLine);
    EXPECT_EQ(tags(), (std::map<std::string, int>{{"A8", 1}}));
    EXPECT_EQ(pixel(o.x + 3, o.y + 8), board::kExplorerTag) << "the tag alone again";
}

// Without a database the explorer says why, and shows nothing on the board;
// a file that is not a database is left as it was.
TEST(ExplorerProblems, WithoutADatabaseTheLineSaysWhy) {
    const testing::TempFolder folder("explorer-problems");
    const std::string notOurs = (folder.path() / "notes.sqlite").string();
    std::ofstream(notOurs) << "my notes, not a database\n";
    const std::string fresh = (folder.path() / "new" / "games.sqlite").string();
    struct Case {
        std::string path;
        std::string line;
    };
    const Case cases[] = {
        {"", "No games database: neither TARNWICK_DATABASE, XDG_DATA_HOME nor HOME is set"},
        {notOurs, "\"" + notOurs + "\" is not a Tarnwick games database (file is not a database)"},
        {fresh, "No games in the database: tarnwick --import PATH adds them"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        HeadlessPlatform platform;
        platform.setDataFolder(testing::executableFolder());
        App app(platform);
        app.games.Path = c.path;
        startUp(app);
        pollOnce(app);  // the clipboard of launch
        platform.pressKey("o", platform.nowMs());
        pollOnce(app);
        EXPECT_EQ(app.analysis.LineShown, c.line);
        for (const board::CellPaint& cell : app.board.Painted) EXPECT_EQ(cell.mark.games, 0);
    }
    std::ifstream file(notOurs);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "my notes, not a database\n");
}

}  // namespace
}  // namespace tarnwick
