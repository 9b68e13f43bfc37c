// Studying a game as a tree of variations, over the headless provider: moves
// clicked at earlier positions, switching, promoting and taking back in one
// line only, saving and opening the whole tree, the game kept at the end of
// a session, comments.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/load_game.h"
#include "game/variations.h"
#include "havannah/tests/record_index.h"
#include "record/text.h"
#include "screen_fixture.h"
#include "temp_folder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

const fs::path kRecords = TARNWICK_RECORDS_DIR;

class VariationsTest : public testing::ScreenTest {
  protected:
    void SetUp() override {
        platform.setDocumentsFolder(folder_.string());
        platform.setStateFolder((folder_ / "state").string());
        start();
        app.shell.SeenClipboardText = platform.readClipboardText();
    }

    // A real game (64 moves, the last a resignation) shown at move `k`.
    void showRealGameAt(int k) {
        ASSERT_EQ(openGameFile(app, (kRecords / "1009692.sgf").string()), "");
        extendedKey(keys::kHome);
        for (int i = 0; i < k; ++i) extendedKey(keys::kRight);
    }
    void clickCell(const char* name) {
        const Point o = *board::cellOrigin(app.board, *app.board.Topology->parseCell(name));
        clickAt(o.x + 13, o.y + 13);
    }
    std::string entry(int k) const { return app.game.Moves[k]; }

    testing::TempFolder temp_{"variations"};
    const fs::path folder_ = temp_.path();
};

TEST_F(VariationsTest, AVariationKeepsTheGameAndTheKeysMoveThroughIt) {
    showRealGameAt(10);
    const std::string eleventh = entry(11);
    ASSERT_EQ(eleventh, "11.F4");
    clickCell("A1");
    EXPECT_EQ(app.game.CurrentMove, 11);
    EXPECT_EQ(entry(11), "11.A1");
    EXPECT_EQ(app.game.moveCount(), 11);
    EXPECT_EQ(app.game.Tree.size(), 66U) << "the root, the game's 64 moves and the new one";
    EXPECT_TRUE(game::entryMarks(app.game, 11).offMainLine);
    EXPECT_TRUE(game::entryMarks(app.game, 11).hasAlternatives);
    EXPECT_FALSE(game::entryMarks(app.game, 10).offMainLine);
    EXPECT_EQ(game::variationNote(app.game), "variation 2 of 2 at move 11");

    // Moves added in the variation stay in it.
    clickCell("A2");
    clickCell("A3");
    EXPECT_EQ(app.game.moveCount(), 13);

    // Up goes to the game's own move 11 and its line to the end.
    extendedKey(keys::kLeft);
    extendedKey(keys::kLeft);
    extendedKey(keys::kUp);
    EXPECT_EQ(entry(11), eleventh);
    EXPECT_EQ(app.game.moveCount(), 64);
    EXPECT_EQ(app.game.CurrentMove, 11);
    EXPECT_EQ(game::variationNote(app.game), "variation 1 of 2 at move 11");
    extendedKey(keys::kUp);
    EXPECT_EQ(entry(11), eleventh) << "no alternative before the first";
    extendedKey(keys::kDown);
    EXPECT_EQ(entry(13), "13.A3");

    // P makes the variation the main line; the game's moves stay as the
    // second alternative.
    key("p");
    EXPECT_FALSE(game::entryMarks(app.game, 13).offMainLine);
    EXPECT_EQ(game::variationNote(app.game), "variation 1 of 2 at move 11");
    EXPECT_TRUE(app.game.Unsaved);

    // Delete in the line shown leaves the other line, which the list then
    // follows from the move before.
    extendedKey(keys::kEnd);
    extendedKey(keys::kLeft);
    extendedKey(keys::kLeft);
    ASSERT_EQ(app.game.CurrentMove, 11);
    extendedKey(keys::kDelete);
    EXPECT_EQ(app.game.CurrentMove, 10);
    EXPECT_EQ(entry(11), eleventh);
    EXPECT_EQ(app.game.moveCount(), 64);
    EXPECT_EQ(app.game.Tree.size(), 65U);
    EXPECT_EQ(game::variationNote(app.game), "");
}

// Ctrl+S writes the tree as it was read, with what was added; opened again
// it is the same tree, shown at the end of the main line.
TEST_F(VariationsTest, SavedAndOpenedAgainTheTreeIsTheSame) {
    const std::string read = testing::fileText(kRecords / "1009692.sgf");
    ASSERT_EQ(openGameFile(app, (kRecords / "1009692.sgf").string()), "");
    saveShownGame(app);
    const fs::path saved = folder_ / "tarnwick-1009692.sgf";
    EXPECT_EQ(testing::fileText(saved), read.substr(0, read.find(')') + 1) + "\n") << "unchanged, byte for byte";
    EXPECT_FALSE(app.game.Unsaved);

    // A header the window shows otherwise is kept as the record had it.
    const std::string escaped = "(;FF[4]EV[null]PB[Jo\\]hn]PW[hav.ch.13]SZ[8]XY[kept];W[E5]C[a \\\\ b])\n";
    std::ofstream(folder_ / "escaped.sgf") << escaped;
    ASSERT_EQ(openGameFile(app, (folder_ / "escaped.sgf").string()), "");
    platform.setDocumentsFolder((folder_ / "again").string());
    fs::create_directories(folder_ / "again");
    saveShownGame(app);
    EXPECT_EQ(testing::fileText(folder_ / "again" / "tarnwick-20260102-030405.sgf"), escaped);
    platform.setDocumentsFolder(folder_.string());

    ASSERT_EQ(openGameFile(app, (kRecords / "1009692.sgf").string()), "");
    extendedKey(keys::kHome);
    for (int i = 0; i < 3; ++i) extendedKey(keys::kRight);
    clickCell("A1");
    clickCell("B2");
    const record::Tree built = app.game.Tree;
    saveShownGame(app);
    ASSERT_EQ(openGameFile(app, (folder_ / "tarnwick-1009692-2.sgf").string()), "");
    EXPECT_TRUE(app.game.Tree == built);
    EXPECT_EQ(app.game.moveCount(), 64);
    EXPECT_EQ(app.game.CurrentMove, 63) << "at the main line's end, before its resignation";
}

TEST_F(VariationsTest, FilesWithSeveralGamesOrFaultsAreNamed) {
    std::ofstream(folder_ / "two.sgf") << "(;FF[4]SZ[8]PB[a]PW[b];W[E5];B[D4])\n(;FF[4]SZ[10]PB[c]PW[d];W[J10])\n";
    std::ofstream(folder_ / "broken.sgf") << "(;FF[4]SZ[8]PB[a]\n;W[E5];B[D4";
    ASSERT_EQ(openGameFile(app, (folder_ / "two.sgf").string()), "");
    EXPECT_EQ(app.board.BoardSize, 8);
    EXPECT_EQ(app.game.moveCount(), 2);
    const std::string problem = openGameFile(app, (folder_ / "broken.sgf").string());
    EXPECT_NE(problem.find("line 2, column "), std::string::npos) << problem;
    EXPECT_EQ(app.game.moveCount(), 2) << "nothing of a refused file is loaded";
}

// A game with moves never saved is kept at the end of the session, the one
// kept before beside it; --last opens it.
TEST_F(VariationsTest, AnUnsavedGameIsKeptForTheNextSession) {
    keepUnsavedGame(app);
    EXPECT_FALSE(fs::exists(folder_ / "state")) << "nothing to keep";
    clickCell("E5");
    keepUnsavedGame(app);
    clickCell("F6");
    keepUnsavedGame(app);
    const fs::path state = folder_ / "state";
    EXPECT_NE(testing::fileText(state / kEarlierGameFile).find(";W[E5])"), std::string::npos);
    const record::Tree built = app.game.Tree;

    HeadlessPlatform next;
    next.setDataFolder(testing::executableFolder());
    next.setStateFolder(state.string());
    App later(next);
    startUp(later);
    CommandLine line;
    line.last = true;
    openAtStart(later, line);
    EXPECT_TRUE(later.game.Tree == built);
    EXPECT_EQ(later.game.CurrentMove, 2);
}

TEST_F(VariationsTest, CommentsShowUnderTheListForTheirMove) {
    const auto inkUnderList = [&] {
        int ink = 0;
        for (int y = 290; y < 720; ++y)
            for (int x = 660; x < 1016; ++x) ink += pixel(x, y).r + pixel(x, y).g + pixel(x, y).b < 300 ? 1 : 0;
        return ink;
    };
    std::ofstream(folder_ / "comments.sgf")
        << "(;FF[4]SZ[8]C[A short game];W[E5]C[The centre \\] a fine start];B[D4];W[F6]C[A long comment that "
           "needs more than one line of the panel to be read in full, so it is wrapped at its blanks])";
    ASSERT_EQ(openGameFile(app, (folder_ / "comments.sgf").string()), "");
    showStudyNotes(app);  // as the main loop does after the input that opened it
    EXPECT_GT(inkUnderList(), 100) << "move 3's comment";
    EXPECT_EQ(game::shownComment(app.game).find("A long comment"), 0U);
    extendedKey(keys::kLeft);
    EXPECT_EQ(app.game.CurrentMove, 2);
    EXPECT_EQ(inkUnderList(), 0) << "move 2 has none";
    extendedKey(keys::kLeft);
    EXPECT_EQ(game::shownComment(app.game), "The centre ] a fine start");
    EXPECT_GT(inkUnderList(), 50);
}

}  // namespace
}  // namespace tarnwick
