// The engine's live analysis on the board page, over the headless provider
// with a deterministic engine: one thread, a fixed seed, playout limits. A
// search is let run to its limit before the next refresh draws it, so what
// the board shows depends on nothing but the seed.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "board/board.h"
#include "engine/calibration.h"
#include "board/geometry.h"
#include "board/layout.h"
#include "app/load_game.h"
#include "screen_fixture.h"

namespace tarnwick {
namespace {

class AnalysisTest : public testing::ScreenTest {
  protected:
    void SetUp() override {
        app.analysis.EngineOptions.seed = 7;
        app.analysis.EngineOptions.treeBytes = std::size_t{64} << 20;
        app.analysis.SearchLimits.playouts = 3000;
        app.analysis.ThinkLimits = {1000, {}};
        // The virtual clock runs on while a poll waits for the engine.
        platform.setIdleLimitMs(std::int64_t{1} << 50);
        start();
        pollOnce(app);  // the clipboard of launch
    }
    // The search runs to its limit; the poll without input ends at the
    // next refresh, which draws the result.
    void settle() {
        app.analysis.Engine->wait();
        pollOnce(app);
    }
    engine::Snapshot snapshot() const { return app.analysis.Engine->snapshot(5); }
    bool searching() const { return app.analysis.Engine && app.analysis.Engine->snapshot(1).running; }
    std::map<havannah::Cell, board::CellMark> marks() const {
        std::map<havannah::Cell, board::CellMark> found;
        for (std::size_t cell = 0; cell < app.board.Painted.size(); ++cell)
            if (app.board.Painted[cell].mark.any()) found[static_cast<havannah::Cell>(cell)] = app.board.Painted[cell].mark;
        return found;
    }
    // A pixel of the disc above any text on it.
    Colour discPixel(havannah::Cell cell) const {
        const Point o = *board::cellOrigin(app.board, cell);
        return pixel(o.x + 13, o.y + 2);
    }
    // Dark pixels in rows first..last of the cell's stone square.
    int inkRows(havannah::Cell cell, int first, int last) const {
        const Point o = *board::cellOrigin(app.board, cell);
        int rows = 0;
        for (int y = first; y <= last; ++y) {
            bool ink = false;
            for (int x = 0; x < board::kStoneWidth; ++x) {
                const Colour c = pixel(o.x + x, o.y + y);
                ink = ink || c.r + c.g + c.b < 200;
            }
            rows += ink ? 1 : 0;
        }
        return rows;
    }
    int lineInk() const {
        int n = 0;
        for (int y = 225; y <= 256; ++y)
            for (int x = 654; x <= 1016; ++x) n += pixel(x, y) == pixel(653, y) ? 0 : 1;
        return n;
    }
    havannah::Cell cell(const char* name) const { return *app.board.Topology->parseCell(name); }
};

constexpr const char* kOpening = "1.E5 2.F6 3.D4 4.G7 5.D6 6.F4";

TEST_F(AnalysisTest, TheBestCandidatesAreMarkedInOrderAndLeaveNothingBehind) {
    paste(kOpening);
    const auto before = screen();
    key("a");
    settle();
    const engine::Snapshot snap = snapshot();
    ASSERT_EQ(snap.moves.size(), 5U);
    const auto shown = marks();
    ASSERT_EQ(shown.size(), 5U);
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const havannah::Cell c = snap.moves[i].move;
        ASSERT_TRUE(shown.contains(c));
        EXPECT_EQ(shown.at(c).rank, static_cast<int>(i) + 1);
        EXPECT_EQ(shown.at(c).percent, std::lround(engine::calibratedRate(snap.moves[i].winRate, snap.playouts) * 100));
        EXPECT_EQ(discPixel(c), board::markColour(static_cast<int>(i) + 1));
        EXPECT_GT(inkRows(c, 8, 19), 4) << "the percentage on the disc";
        EXPECT_GE(contrastRatio(colours::kBlack, board::markColour(static_cast<int>(i) + 1)), 4.5)
            << "the figures' black ink reads on every disc";
    }
    const Colour best = board::markColour(1);
    const Colour fifth = board::markColour(5);
    EXPECT_GT(best.g, best.r + 80) << "the best is a strong green";
    EXPECT_TRUE(fifth.r > 230 && fifth.g > 230 && fifth.b < fifth.g) << "the fifth a pale yellow";
    EXPECT_TRUE(std::regex_match(app.analysis.LineShown, std::regex(R"(Black to move: \d+% with [A-O]\d+ \(3000 playouts\))")))
        << app.analysis.LineShown;
    EXPECT_GT(lineInk(), 100);
    EXPECT_EQ(platform.presentedPixels(), screen()) << "what is drawn is presented";

    // V numbers the principal variation on discs of its players' colours.
    key("v");
    const std::vector<engine::Move>& pv = snap.pv();
    ASSERT_GE(pv.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        const board::CellMark mark = marks().at(pv[i]);
        EXPECT_EQ(mark.step, static_cast<int>(i) + 1);
        EXPECT_EQ(discPixel(pv[i]), i == 1 ? colours::kWhite : colours::kBlack);
        // A candidate keeps its figure readable under the step.
        if (mark.rank > 0) {
            EXPECT_GT(inkRows(pv[i], 15, 23), 4) << "the percentage under step " << i + 1;
        }
    }
    key("v");
    EXPECT_EQ(discPixel(pv[0]), board::markColour(1));

    // Cell names and marks together: the name above the figure on the disc.
    clickAt(40, 580);
    ASSERT_TRUE(app.board.LabelsShown);
    const havannah::Cell top = snap.moves[0].move;
    EXPECT_GT(inkRows(top, 3, 12), 4) << "the name";
    EXPECT_GT(inkRows(top, 14, 23), 4) << "the percentage";
    EXPECT_EQ(discPixel(top), board::markColour(1));

    key("A");
    EXPECT_FALSE(searching());
    EXPECT_TRUE(marks().empty());
    EXPECT_EQ(lineInk(), 0);
    clickAt(40, 580);
    EXPECT_EQ(screen(), before) << "every mark and the line are gone, pixel for pixel";
}

TEST_F(AnalysisTest, TheAnalysisFollowsThePositionShown) {
    paste(kOpening);
    const auto before = screen();
    key("a");
    settle();
    const auto atEnd = marks();

    extendedKey(keys::kLeft);
    ASSERT_TRUE(app.analysis.Analysed);
    EXPECT_EQ(app.analysis.Analysed->movesPlayed(), 5);
    EXPECT_EQ(app.analysis.Analysed->toMove(), havannah::Player::White);
    settle();
    EXPECT_TRUE(std::regex_match(app.analysis.LineShown, std::regex("White to move: .*")));
    const engine::Snapshot back = snapshot();
    for (std::size_t i = 0; i < back.moves.size(); ++i) EXPECT_EQ(marks().at(back.moves[i].move).rank, static_cast<int>(i) + 1);
    EXPECT_EQ(marks().size(), 5U) << "no mark of the later position stays";

    extendedKey(keys::kRight);
    settle();
    key("a");
    EXPECT_EQ(screen(), before);

    // G with the analysis on plays its best move at once, and what the
    // search knew below that move is shown at once on the new position.
    key("a");
    settle();
    const engine::Move best = snapshot().moves.front().move;
    key("g");
    EXPECT_EQ(app.game.moveCount(), 7);
    EXPECT_EQ(app.game.Moves[7], "7." + app.board.Topology->name(best));
    EXPECT_FALSE(marks().empty()) << "the kept subtree gives marks before any refresh";
    EXPECT_FALSE(marks().contains(best));
    EXPECT_EQ(app.analysis.Analysed->movesPlayed(), 7);
}

// Black joins the corners A1 and A8 along column A with move 15.
constexpr const char* kBridgeGame =
    "1.A1 2.O1 3.A2 4.O2 5.A3 6.O3 7.A4 8.O4 9.A5 10.O5 11.A6 12.O6 13.A7 14.O7 15.A8 16.N3";

TEST_F(AnalysisTest, AWonPositionIsNotAnalysedAndAForcedWinIsNamed) {
    paste(kBridgeGame);
    // G says why it plays nothing, until the position shown changes.
    key("g");
    EXPECT_EQ(app.analysis.LineShown, "The game is over: no move to play");
    EXPECT_GT(lineInk(), 100);
    extendedKey(keys::kLeft);
    EXPECT_EQ(lineInk(), 0);
    extendedKey(keys::kRight);

    key("a");
    EXPECT_FALSE(searching());
    EXPECT_TRUE(marks().empty());
    EXPECT_EQ(app.analysis.LineShown, "The game is over: nothing to analyse");
    extendedKey(keys::kLeft);
    EXPECT_TRUE(marks().empty()) << "still won after move 15";
    EXPECT_EQ(app.analysis.LineShown, "The game is over: nothing to analyse");
    extendedKey(keys::kLeft);
    settle();
    EXPECT_EQ(app.analysis.LineShown, "Black wins by force: A8");
    const auto shown = marks();
    ASSERT_TRUE(shown.contains(cell("A8")));
    EXPECT_EQ(shown.at(cell("A8")).rank, 1);
    EXPECT_EQ(shown.at(cell("A8")).percent, 100);
}

// Black's column A and first row each need one corner more (A8, H1): White
// to move is lost, the line names both cells, and G blocks one of them.
constexpr const char* kTwoThreats =
    "1.A1 2.D5 3.A2 4.F5 5.A3 6.H5 7.A4 8.J5 9.A5 10.L5 11.A6 12.D8 13.A7 14.F8 15.B1 16.H8 17.C1 18.J8 19.D1 "
    "20.L8 21.E1 22.F11 23.F1 24.H11 25.G1";

TEST_F(AnalysisTest, ALostPositionNamesTheWinningCellsAndGBlocksOne) {
    paste(kTwoThreats);
    key("a");
    settle();
    EXPECT_EQ(app.analysis.LineShown, "Black wins by force: A8 or H1");
    key("g");
    ASSERT_EQ(app.game.moveCount(), 26);
    EXPECT_TRUE(app.game.Moves[26] == "26.A8" || app.game.Moves[26] == "26.H1") << app.game.Moves[26];
}

// Game 1009695 three moves before White's ring: the line names the proven
// win's length and its moves, and the first is the disc's.
TEST_F(AnalysisTest, AForcedWinFurtherAwayNamesItsLine) {
    std::ifstream file(std::string(TARNWICK_RECORDS_DIR) + "/1009695.sgf", std::ios::binary);
    paste(std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
    extendedKey(keys::kEnd);
    for (int i = 0; i < 3; ++i) extendedKey(keys::kLeft);
    key("a");
    settle();
    std::smatch found;
    ASSERT_TRUE(std::regex_match(app.analysis.LineShown, found,
                                 std::regex(R"(White wins by force in 3 moves: ([A-O]\d+) [A-O]\d+ [A-O]\d+)")))
        << app.analysis.LineShown;
    EXPECT_EQ(marks().at(cell(found[1].str().c_str())).rank, 1);
}

TEST_F(AnalysisTest, EscapeStopsTheAnalysisBeforeItEndsTheProgram) {
    app.analysis.SearchLimits = {};
    paste(kOpening);
    const auto before = screen();
    key("a");
    EXPECT_TRUE(searching());
    key(std::string(1, keys::kEscape));
    EXPECT_FALSE(searching());
    EXPECT_FALSE(app.analysis.On);
    EXPECT_NE(app.shell.LastKey, app.shell.EscapeKey) << "the program goes on";
    EXPECT_EQ(screen(), before);
    key(std::string(1, keys::kEscape));
    EXPECT_EQ(app.shell.LastKey, app.shell.EscapeKey) << "with nothing running, Escape ends it";
}

// Automatic play with the analysis on: each move's marks and figures appear
// in the wait after it, and no frame shows a search without figures.
TEST_F(AnalysisTest, TheAnalysisFollowsAutomaticPlay) {
    paste(kOpening);
    extendedKey(keys::kHome);
    key("a");
    std::vector<std::string> lines;
    std::set<int> movesWithMarks;
    platform.onPresent([&] {
        lines.push_back(app.analysis.LineShown);
        if (!marks().empty()) movesWithMarks.insert(app.game.CurrentMove);
        // Each search runs to its limit before the wait's next refresh.
        if (app.analysis.Engine) app.analysis.Engine->wait();
    });
    const auto& play = board::controlsFor(8).play;
    clickAt(play.x1 + 3, play.y1 + 3);
    platform.onPresent({});
    EXPECT_EQ(app.game.CurrentMove, 6);
    EXPECT_EQ(movesWithMarks, (std::set<int>{1, 2, 3, 4, 5, 6})) << "marks in the wait after each move";
    for (const std::string& line : lines) EXPECT_EQ(line.find("(0 playouts)"), std::string::npos) << line;
    EXPECT_TRUE(std::regex_match(lines.back(), std::regex(R"((Black|White) to move: \d+% with .*playouts\))"))) << lines.back();
}

// Black runs down column A from corner A1; White's 14th move leaves A8, the
// corner that completes the bridge.
constexpr const char* kIgnoredBridge =
    "1.A1 2.H8 3.A2 4.I8 5.A3 6.J8 7.A4 8.K8 9.A5 10.L8 11.A6 12.M8 13.A7 14.N7 15.A8";

// A stored review whose summary is longer than the line: each player has a
// decisive move, two blunders, a mistake and two inaccuracies. Position k's
// rate is for its side to move, so move k loses bestrate(k - 1) - (1 - rate(k)).
TEST_F(AnalysisTest, ALongSummaryKeepsToThePanel) {
    const struct {
        const char* move;
        double rate, bestRate;
    } positions[] = {
        {"", 0.85, 0.9},                                       // Black stands won...
        {"B[D4]", 0.85, 0.9}, {"W[E5]", 0.85, 0.9},            // ...and each throws it away
        {"B[D5]", 0.5, 0.75}, {"W[E4]", 0.5, 0.75},            // blunders
        {"B[C4]", 0.5, 0.75}, {"W[F5]", 0.5, 0.64},            // blunders, then mistakes
        {"B[C5]", 0.5, 0.64}, {"W[F4]", 0.5, 0.58},            // a mistake, then inaccuracies
        {"B[C6]", 0.5, 0.58}, {"W[F6]", 0.5, 0.58},
        {"B[B5]", 0.5, 0.58}, {"W[G5]", 0.5, 0.58},
    };
    std::string record = "(;SZ[8]TRV[" + std::string(engine::kReviewVersion) + "]TRB[" +
                         engine::describeBudget(app.review.Settings.budget) + "]";
    for (const auto& p : positions)
        record += std::string(*p.move ? ";" : "") + p.move + "TRP[rate=" + std::to_string(p.rate) +
                  " best=A1 bestrate=" + std::to_string(p.bestRate) + " playouts=100]";
    ASSERT_TRUE(loadRecordText(app, record + ")"));
    EXPECT_EQ(app.analysis.LineShown.find("inaccurac"), std::string::npos) << app.analysis.LineShown;
    EXPECT_NE(app.analysis.LineShown.find("2 blunders, 1 mistake; White: 1 decisive move"), std::string::npos)
        << app.analysis.LineShown;
    for (int y = 225; y <= 256; ++y)
        for (int x = 1018; x < 1024; ++x) ASSERT_EQ(pixel(x, y), pixel(x, 200)) << "the line stays in the panel at " << x << "," << y;
}

TEST_F(AnalysisTest, TheReviewJudgesTheMoveThatLetTheBridgeThrough) {
    app.review.Settings.budget = {400, {}};
    app.review.Settings.independent = true;
    paste(kIgnoredBridge);
    key("a");
    key("r");
    EXPECT_FALSE(app.analysis.On) << "the review and the analysis take turns";
    app.review.Review->wait();
    pollOnce(app);  // the refresh takes the results
    ASSERT_FALSE(app.review.Running);
    const record::NodeId fourteenth = app.game.Line[14];
    ASSERT_TRUE(app.game.Judged.contains(fourteenth));
    EXPECT_GE(app.game.Judged.at(fourteenth), 3) << "a blunder or decisive";
    EXPECT_TRUE(std::regex_match(app.analysis.LineShown, std::regex("Black: .*; White: .*blunder.*|Black: .*; White: .*decisive.*")))
        << app.analysis.LineShown;
    for (int y = 225; y <= 256; ++y)
        for (int x = 1018; x < 1024; ++x) ASSERT_EQ(pixel(x, y), pixel(x, 200)) << "the line stays in the panel at " << x << "," << y;

    // N goes to the position before a mistake: the better move is shown.
    extendedKey(keys::kHome);
    for (int presses = 0; presses < 20 && app.game.CurrentMove != 13; ++presses) key("n");
    ASSERT_EQ(app.game.CurrentMove, 13);
    EXPECT_TRUE(std::regex_match(app.analysis.LineShown, std::regex(R"(move 14 \(N7\) lost \d+%; A8 kept \d+%)")))
        << app.analysis.LineShown;
    EXPECT_EQ(marks().at(cell("A8")).rank, 1);
    extendedKey(keys::kEnd);
    key("N");
    EXPECT_EQ(app.game.CurrentMove, 13) << "Shift+N goes back to the position before the last mistake";

    // The graph under the list: the curve ends low for White, the shown
    // move's line moves with a click on the graph.
    EXPECT_EQ(app.list.Bottom, 600) << "the list keeps above the graph";
    int curve = 0;
    for (int y = 606; y <= 730; ++y)
        for (int x = 660; x <= 1011; ++x) curve += pixel(x, y) == Colour(30, 30, 30) ? 1 : 0;
    EXPECT_GT(curve, 100);
    clickAt(1011, 700);
    EXPECT_EQ(app.game.CurrentMove, 15);
    clickAt(660, 700);
    EXPECT_EQ(app.game.CurrentMove, 0);

    // The review goes into the record: saved and opened again it shows
    // without a search.
    ASSERT_TRUE(app.game.Unsaved);
    const std::string record = recordText(app.game);
    EXPECT_NE(record.find("TRV["), std::string::npos);
    App reopened(platform);
    startUp(reopened);
    ASSERT_TRUE(loadGameText(reopened, record));
    ASSERT_TRUE(reopened.review.Result);
    EXPECT_FALSE(reopened.review.Review) << "no search was needed";
    EXPECT_EQ(reopened.review.Result->moves, app.review.Result->moves);
    EXPECT_EQ(reopened.game.Judged.size(), app.game.Judged.size());
    EXPECT_EQ(reopened.analysis.LineShown.find("Black: "), 0U) << reopened.analysis.LineShown;
    showMainPage(app);

    // Another game drops the review, and the list has its whole column again.
    paste(kOpening);
    EXPECT_EQ(app.list.Bottom, game::kFrameBottom);
    EXPECT_TRUE(app.game.Judged.empty());
}

TEST_F(AnalysisTest, AnotherTabOrClosingTheWindowStopsTheSearch) {
    app.analysis.SearchLimits = {};  // searches until stopped
    paste(kOpening);
    const auto before = screen();
    key("a");
    for (int refreshes = 0; marks().empty() && refreshes < 100'000; ++refreshes) pollOnce(app);
    EXPECT_TRUE(searching());
    EXPECT_FALSE(marks().empty());
    clickAt(app.shell.PageTabLeft[HelpTab] + 5, 10);
    EXPECT_FALSE(searching());
    EXPECT_FALSE(app.analysis.On);
    key(std::string(1, keys::kEscape));
    ASSERT_EQ(app.shell.ActiveTab, MainTab);
    EXPECT_EQ(screen(), before);

    key("a");
    EXPECT_TRUE(searching());
    platform.closeByUser();
    pollOnce(app);
    EXPECT_FALSE(searching());
}

TEST_F(AnalysisTest, GPlaysTheEnginesMoveAfterThinkingAlone) {
    paste(kOpening);
    const auto lineBefore = lineInk();
    key("g");
    EXPECT_EQ(app.game.moveCount(), 7);
    EXPECT_EQ(app.game.CurrentMove, 7);
    const havannah::Cell played = *app.board.Topology->parseCell(app.game.Moves[7].substr(2));
    EXPECT_EQ(app.board.Painted[static_cast<std::size_t>(played)].stone, havannah::Stone::Black);
    EXPECT_EQ(lineInk(), lineBefore) << "the thinking sign is gone";
    EXPECT_FALSE(searching());

    // Escape ends an endless thought with the best move so far and does not
    // end the program.
    app.analysis.ThinkLimits = {};
    platform.pressKey(std::string(1, keys::kEscape), platform.nowMs() + 50);
    key("G");
    EXPECT_EQ(app.game.moveCount(), 8);
    EXPECT_FALSE(searching());
    EXPECT_NE(app.shell.LastKey, app.shell.EscapeKey);

    // At an earlier move, the engine's move starts a variation there; the
    // game's own moves stay in the tree.
    // (The 8th move is made a far corner first: the hurried thought above
    // may have found any cell, and the engine's answer must differ from it.)
    app.analysis.ThinkLimits = {1000, {}};
    extendedKey(keys::kDelete);
    const Point corner = *board::cellOrigin(app.board, cell("O1"));
    clickAt(corner.x + 13, corner.y + 13);
    ASSERT_EQ(app.game.Moves[8], "8.O1");
    extendedKey(keys::kLeft);
    key("g");
    EXPECT_EQ(app.game.CurrentMove, 8);
    EXPECT_NE(app.game.Moves[8], "8.O1");
    EXPECT_EQ(app.game.Tree.size(), 10U) << "the root, seven moves and two eighth moves";
}

}  // namespace
}  // namespace tarnwick
