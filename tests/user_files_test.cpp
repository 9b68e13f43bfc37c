// The user's games: files opened from the command line or dropped on the
// window, whole records on the clipboard, Ctrl+S saving the shown game as a
// record and Ctrl+C copying its moves.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "app/load_game.h"
#include "board/layout.h"
#include "game/navigation.h"
#include "game/replay.h"
#include "havannah/tests/record_index.h"
#include "screen_fixture.h"
#include "temp_folder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

void writeText(const fs::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary) << text;
}

const fs::path kRecords = TARNWICK_RECORDS_DIR;

// The game the test starts from: a short base-8 record with its header.
constexpr std::string_view kShortRecord =
    "(;FF[4]EV[hav.mc.3.1]PB[Nagy Fathy]PW[kpatrick]SZ[8]RU[LG]RE[B]GC[ game #1009692]"
    "SO[http://www.littlegolem.com];W[H3];B[swap];W[F3];B[G4])";

class UserFilesTest : public testing::ScreenTest {
  protected:
    void SetUp() override {
        platform.setDocumentsFolder(folder_.string());
        start();
        // The clipboard's text at start counts as seen, so that only the
        // texts a test puts there are loaded.
        app.shell.SeenClipboardText = platform.readClipboardText();
    }

    // What the user sees of the game, one line each: the header, the moves,
    // the stones of the position shown.
    std::string shown() const {
        const game::GameRecord& r = app.game.record;
        std::string s = r.gameNumber + "|" + r.eventName + "|" + r.blackPlayer + "|" + r.whitePlayer + "|" +
                        r.resultText + "|" + std::to_string(app.board.BoardSize) + "\n";
        for (int k = 1; k <= app.game.moveCount(); ++k) s += app.game.Moves[k] + " ";
        s += "\n";
        const game::ShownPosition position = game::positionAfter(app.game.Moves, app.game.CurrentMove, app.board.Topology);
        for (havannah::Cell c = 0; c < app.board.Topology->cellCount(); ++c) {
            s += static_cast<char>('0' + static_cast<int>(position.stones.at(c)));
        }
        return s;
    }
    std::vector<std::string> moves() const {
        std::vector<std::string> out;
        for (int k = 1; k <= app.game.moveCount(); ++k) out.push_back(app.game.Moves[k]);
        return out;
    }
    void showShortRecord() { ASSERT_TRUE(loadGameText(app, std::string(kShortRecord))); }
    // One pass of the main loop, for input scripted 10 ms from now.
    void pollFor(std::function<void(std::int64_t atMs)> script) {
        script(platform.nowMs() + 10);
        pollOnce(app);
    }

    // The panel's message line begins with `start`.
    bool messageBegins(std::string_view start) {
        const board::Area& a = board::kPanelNoteArea;
        return showsText(board::kPanelTextLeft, board::kPanelMessageBottom + 1 - platform.textSize("Ag").height, start,
                         app.fonts.HeaderFont, pixel(a.x1, a.y1));
    }

    testing::TempFolder temp_{"user-files"};
    const fs::path folder_ = temp_.path();
};

TEST_F(UserFilesTest, EveryRealRecordSurvivesOpenSaveOpen) {
    const auto rows = testing::readIndex(kRecords);
    ASSERT_FALSE(rows.empty()) << "the real records are missing: " << kRecords;
    int records = 0;
    for (const testing::IndexRow& row : rows) {
        const std::string& file = row.file;
        const std::string& number = row.number;
        const int size = row.size;
        const std::string problem = openGameFile(app, (kRecords / file).string());
        if (size != 8 && size != 10) {
            EXPECT_NE(problem.find("holds no game"), std::string::npos) << file << " of base " << size;
            continue;
        }
        ASSERT_EQ(problem, "") << file;
        const std::string original = shown();
        saveShownGame(app);
        const fs::path saved = folder_ / ("tarnwick-" + number + ".sgf");
        ASSERT_EQ(openGameFile(app, saved.string()), "") << file;
        EXPECT_EQ(shown(), original) << file << " saved as:\n" << testing::fileText(saved);
        fs::remove(saved);
        ++records;
    }
    EXPECT_GE(records, 700);  // the base-8 and base-10 games
}

TEST_F(UserFilesTest, FilesThatHoldNoGameAreNamedAndChangeNothing) {
    std::string binary(100'000, '\0');
    std::mt19937 random(7);
    for (char& c : binary) c = static_cast<char>(random());
    writeText(folder_ / "binary.sgf", binary);
    writeText(folder_ / "big.txt", std::string(10 * 1024 * 1024, '1'));
    writeText(folder_ / "empty.sgf", "");
    writeText(folder_ / "prose.txt", "Dear diary, today I lost again.\n");
    writeText(folder_ / "base6.sgf", "(;FF[4]SZ[6]SO[x.net];W[A1])");
    // A pipe nobody writes to would hold the program up for ever if read.
    ASSERT_EQ(::mkfifo((folder_ / "pipe.sgf").c_str(), 0600), 0);
    const struct {
        std::string name;
        std::string why;
    } cases[] = {
        {"missing.sgf", "No such file or directory"},
        {"", "it is a folder"},
        {"binary.sgf", "holds no game"},
        {"big.txt", "larger than 4096 KiB"},
        {"empty.sgf", "holds no game"},
        {"prose.txt", "holds no game"},
        {"base6.sgf", "holds no game"},
        {"pipe.sgf", "not a regular file"},
    };
    showShortRecord();
    const std::string before = shown();
    for (const auto& c : cases) {
        const std::string path = (folder_ / c.name).string();
        const std::string problem = openGameFile(app, path);
        EXPECT_NE(problem.find("\"" + path + "\""), std::string::npos) << problem;
        EXPECT_NE(problem.find(c.why), std::string::npos) << problem;
        EXPECT_EQ(shown(), before) << c.name;
    }
    // Opened from the command line (as from the desktop's menu, with no
    // terminal to read), the reason shows in the window too.
    CommandLine line;
    line.file = (folder_ / "prose.txt").string();
    openAtStart(app, line);
    EXPECT_TRUE(messageBegins("\"/")) << "the problem is named in the panel";
    EXPECT_EQ(shown(), before);
}

TEST_F(UserFilesTest, ListsAndRecordsOpenFromFilesDropsAndTheClipboard) {
    const std::string record = testing::fileText(kRecords / "1009692.sgf");
    // As a browser shows the server's record: text around it, CRLF lines.
    const std::string pageCopy = "Game 1009692\r\n" + record.substr(0, 80) + "\r\n" + record.substr(80) + "\r\nback";
    writeText(folder_ / "game.hgf", pageCopy);
    writeText(folder_ / "list.txt", "1.E5 2.swap 3.D4\n");
    writeText(folder_ / "iyt.txt", "1. a8 b9 2. h1\n");

    ASSERT_EQ(openGameFile(app, (kRecords / "1009692.sgf").string()), "");
    const std::string fetched = shown();
    EXPECT_EQ(app.game.record.blackPlayer, "Nagy Fathy");

    ASSERT_EQ(openGameFile(app, (folder_ / "list.txt").string()), "");
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.E5", "2.swap", "3.D4"}));
    EXPECT_EQ(app.game.record.eventName, "Little Golem Havannah Game (from list.txt)");
    ASSERT_EQ(openGameFile(app, (folder_ / "game.hgf").string()), "");
    EXPECT_EQ(shown(), fetched);
    ASSERT_EQ(openGameFile(app, (folder_ / "iyt.txt").string()), "");
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.A1", "2.B3", "3.H1"}));
    EXPECT_EQ(app.game.record.eventName, "It's Your Turn Havannah Game (from iyt.txt)");

    // Through the main loop: a record on the clipboard, a dropped list, a
    // dropped record file, a dropped file that is gone.
    pollFor([&](std::int64_t at) { platform.setClipboard(pageCopy, at); });
    EXPECT_EQ(shown(), fetched);
    EXPECT_EQ(platform.beepCount(), 0);
    pollFor([&](std::int64_t at) { platform.drop(Drop{false, "1.E5 2.swap 3.D4"}, at); });
    EXPECT_EQ(moves(), (std::vector<std::string>{"1.E5", "2.swap", "3.D4"}));
    pollFor([&](std::int64_t at) { platform.drop(Drop{true, (folder_ / "game.hgf").string()}, at); });
    EXPECT_EQ(shown(), fetched);
    pollFor([&](std::int64_t at) { platform.drop(Drop{true, (folder_ / "gone.sgf").string()}, at); });
    EXPECT_EQ(shown(), fetched);
    ASSERT_EQ(platform.problems().size(), 1U);
    EXPECT_NE(platform.problems()[0].find("gone.sgf"), std::string::npos);
}

TEST_F(UserFilesTest, SavingNeverOverwritesAndSaysWhereOrWhyNot) {
    showShortRecord();
    const std::string before = shown();
    writeText(folder_ / "tarnwick-1009692.sgf", "someone else's file");
    const std::string ctrlS(1, keys::kCtrlS);
    for (int k = 0; k < 2; ++k) pollFor([&](std::int64_t at) { platform.pressKey(ctrlS, at); });
    EXPECT_TRUE(messageBegins("Saved /"));
    EXPECT_EQ(testing::fileText(folder_ / "tarnwick-1009692.sgf"), "someone else's file");
    for (const std::string name : {"tarnwick-1009692-2.sgf", "tarnwick-1009692-3.sgf"}) {
        ASSERT_TRUE(fs::exists(folder_ / name)) << name;
        ASSERT_EQ(openGameFile(app, (folder_ / name).string()), "");
        EXPECT_EQ(shown(), before);
    }
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 3);

    // However deep the folder, the message fits its line and still says
    // what happened.
    const fs::path deep = folder_ / std::string(120, 'd');
    fs::create_directories(deep);
    platform.setDocumentsFolder(deep.string());
    saveShownGame(app);
    EXPECT_TRUE(messageBegins("Saved /"));
    platform.setDocumentsFolder(folder_.string());

    // A game without a number is named by the date and time.
    ASSERT_TRUE(loadGameText(app, "1.E5 2.swap 3.D4"));
    saveShownGame(app);
    EXPECT_TRUE(fs::exists(folder_ / "tarnwick-20260102-030405.sgf"));

    // A folder that is missing, or is a file: the message says why, the
    // game stays.
    for (const fs::path& where : {folder_ / "missing", folder_ / "tarnwick-1009692.sgf"}) {
        platform.setDocumentsFolder(where.string());
        const int beeps = platform.beepCount();
        saveShownGame(app);
        EXPECT_EQ(platform.beepCount(), beeps + 1);
        EXPECT_NE(platform.problems().back().find("cannot write in " + where.string()), std::string::npos)
            << platform.problems().back();
        EXPECT_TRUE(messageBegins("Not saved: ")) << "a failure never reads like success";
        EXPECT_EQ(moves(), (std::vector<std::string>{"1.E5", "2.swap", "3.D4"}));
    }
}

TEST_F(UserFilesTest, CtrlCCopiesTheMovesWithoutLoadingThemBack) {
    // Moves added by clicks count: a record's game made one move longer.
    showShortRecord();
    const havannah::Cell cell = *app.board.Topology->parseCell("A1");
    game::recordMove(gameOf(app), cell);
    pollFor([&](std::int64_t at) { platform.pressKey(std::string(1, keys::kCtrlC), at); });
    ASSERT_EQ(platform.clipboardWrites(), (std::vector<std::string>{"1.H3 2.swap 3.F3 4.G4 5.A1"}));
    EXPECT_EQ(app.game.record.blackPlayer, "Nagy Fathy") << "the copied text is not imported as a new game";
    EXPECT_EQ(platform.beepCount(), 0);
}

TEST(CommandLineTest, Arguments) {
    using Action = CommandLine::Action;
    const struct {
        std::vector<std::string> arguments;
        Action action;
        std::string file, number;
        bool last = false;
        // --review: the files, the playouts, the time (ms), the threads and the folder.
        std::vector<std::string> review = {};
        std::uint64_t playouts = 0;
        long long ms = 0;
        int threads = 0;
        std::string output = {};
    } cases[] = {
        {{}, Action::Run, "", ""},
        {{"--help"}, Action::Help, "", ""},
        {{"--version", "game.sgf"}, Action::Version, "", ""},
        {{"my game.sgf"}, Action::Run, "my game.sgf", ""},
        {{"1009692"}, Action::Run, "", "1009692"},
        {{"./1009692"}, Action::Run, "./1009692", ""},
        {{"-x"}, Action::Refuse, "", ""},
        {{"a.sgf", "b.sgf"}, Action::Refuse, "a.sgf", ""},
        {{"--last"}, Action::Run, "", "", true},
        {{"--last", "a.sgf"}, Action::Refuse, "", "", true},
        {{"a.sgf", "--last"}, Action::Refuse, "a.sgf", ""},
        {{"--playouts", "5", "a.sgf"}, Action::Refuse, "", ""},
        {{"--review", "a.sgf", "b.sgf"}, Action::Review, "", "", false, {"a.sgf", "b.sgf"}},
        {{"a.sgf", "--review", "--playouts", "200", "--threads", "1", "--output", "out"},
         Action::Review, "", "", false, {"a.sgf"}, 200, 0, 1, "out"},
        {{"--review", "1009692", "--seconds", "2.5"}, Action::Review, "", "", false, {"1009692"}, 0, 2500},
        {{"--review", "a.sgf", "--seconds", "3"}, Action::Review, "", "", false, {"a.sgf"}, 0, 3000},
        {{"--review", "a.sgf", "--help"}, Action::Help, "", ""},
        {{"--review"}, Action::Refuse, "", ""},
        {{"--review", "--review", "a.sgf"}, Action::Refuse, "", ""},
        {{"--review", "a.sgf", "--seconds", "1", "--playouts", "5"}, Action::Refuse, "", ""},
        {{"--review", "a.sgf", "--seconds", "0"}, Action::Refuse, "", ""},
        {{"--review", "a.sgf", "--seconds", "1.25"}, Action::Refuse, "", ""},
        {{"--review", "a.sgf", "--playouts", "0"}, Action::Refuse, "", ""},
        {{"--review", "a.sgf", "--playouts", "5x"}, Action::Refuse, "", ""},
        {{"--review", "a.sgf", "--threads", "0"}, Action::Refuse, "", ""},
        {{"--review", "a.sgf", "--threads"}, Action::Refuse, "", ""},
        {{"--review", "a.sgf", "--output", "x", "--output", "y"}, Action::Refuse, "", ""},
        {{"--review", "a.sgf", "-x"}, Action::Refuse, "", ""},
    };
    for (const auto& c : cases) {
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(line.file, c.file);
        EXPECT_EQ(line.gameNumber, c.number);
        EXPECT_EQ(line.last, c.last);
        EXPECT_EQ(line.problem.empty(), c.action != Action::Refuse);
        EXPECT_EQ(line.review.files, c.review);
        EXPECT_EQ(line.review.budget.playouts, c.playouts);
        EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(line.review.budget.time).count(), c.ms);
        EXPECT_EQ(line.review.threads, c.threads);
        EXPECT_EQ(line.review.outputFolder, c.output);
    }
}

TEST(CommandLineTest, ImportArguments) {
    using Action = CommandLine::Action;
    const struct {
        std::vector<std::string> arguments;
        Action action;
        std::vector<std::string> paths = {};
        std::string database = {};
    } cases[] = {
        {{"--import", "a.sgf", "games"}, Action::Import, {"a.sgf", "games"}},
        {{"games", "--database", "my.sqlite", "--import"}, Action::Import, {"games"}, "my.sqlite"},
        {{"--import", "a.sgf", "--version"}, Action::Version},
        {{"--import"}, Action::Refuse},
        {{"--import", "a.sgf", "--database"}, Action::Refuse},
        {{"--import", "a.sgf", "--database", "x", "--database", "y"}, Action::Refuse},
        {{"--import", "a.sgf", "--playouts", "5"}, Action::Refuse},
        {{"--import", "a.sgf", "--review"}, Action::Refuse},
        // The window's own database.
        {{"--database", "x", "a.sgf"}, Action::Run, {}, "x"},
        {{"a.sgf", "--database"}, Action::Refuse},
    };
    for (const auto& c : cases) {
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(line.import.paths, c.paths);
        EXPECT_EQ(line.import.database, c.database);
    }
}

}  // namespace
}  // namespace tarnwick
