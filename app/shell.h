// The application shell: start-up, the main loop, the board page's input,
// the full redraw and the tabbed pages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/import_command.h"
#include "app/review_batch.h"
#include "settings/settings.h"

namespace tarnwick {
namespace game {
struct GameFields;
}

struct App;
struct Drop;

// What the command line asks for.
struct CommandLine {
    enum class Action { Run, Help, Version, Refuse, Review, Import };
    Action action = Action::Run;
    std::string file;        // a game file to open at start
    bool last = false;       // or the game kept at the end of the last session
    std::string gameNumber;  // or a game to fetch at start
    std::string problem;     // why the command line is refused
    ReviewBatch review;      // --review FILE... and its options
    ImportBatch import;      // --import PATH... [--database FILE]
};
// Reads the arguments after the program's name: --help, --version, one
// FILE or one NUMBER (digits only); or --review FILE... with --seconds S or
// --playouts N, --threads N and --output DIR, in any order; or --import
// PATH... with --database FILE.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);
// The text of --help.
std::string usageText();

// The fonts of the move list, the game header and the panel's lines, in
// today's size or larger.
void setTextSize(App& app, settings::TextSize size);
// Start-up: tables, fonts, stone pictures, the window, the documentation and
// the first Main page, presented.
void startUp(App& app);
// Waits for one event (key, click, clipboard change or the window closing),
// polling every 10 ms, and hands it to the page shown.
void pollOnce(App& app);
void closeGraphicWindow(App& app);
// At the end of a session: the window's place, size and full screen kept in
// the settings, when they differ from what the settings say.
void rememberWindowPlacement(App& app);
// startUp, then the game the command line names, then pollOnce until Escape
// on the Main page or the window closed, then closeGraphicWindow.
void runProgram(App& app, const CommandLine& line = {});

// The user's games: the file or number of the command line (a file that
// cannot be opened is named on standard error), a dropped file or text, the
// shown game saved (Ctrl+S) in the documents folder as a record, its moves
// copied (Ctrl+C) to the clipboard as a Little Golem list.
void openAtStart(App& app, const CommandLine& line);
// At the end of a session: a game with moves or variations never saved is
// written to the state folder as last-game.sgf (the one there before kept as
// last-game-1.sgf), for `tarnwick --last`.
void keepUnsavedGame(App& app);
inline constexpr const char* kLastGameFile = "last-game.sgf";
inline constexpr const char* kEarlierGameFile = "last-game-1.sgf";
void openDropped(App& app, const Drop& dropped);
void saveShownGame(App& app);
// The shown game as the record Ctrl+S writes: the whole tree.
std::string recordText(game::GameFields& g);
void copyShownMoves(App& app);
// One line in the information panel's note area, under the win note.
void showPanelMessage(App& app, std::string_view message);

// After any input: names the variation the line shown is in and shows the
// comment of the move shown, when either has changed; true when it drew.
bool showStudyNotes(App& app);

// Board page input.
void handleBoardPage(App& app);
void handleBoardClick(App& app);
void switchBoardSize(App& app);

// The Main page drawn from nothing (no stones, no move list).
void redrawMainPage(App& app);
void captureButtonImages(App& app);

// Tabs and pages.
void drawPageFrame(App& app);
void drawTabBar(App& app);
// A click on one of the four page tabs shows its page; on the About/Help
// page, a click on a section tab shows that section.
void handleTabClick(App& app);
void showMainPage(App& app);
// The information pages: each clears the window, draws the frame, the tab
// bar and the light-yellow panel (drawInformationPage), then its contents.
void drawInformationPage(App& app, int tab);
void showLoadGamePage(App& app);
void showOptionsPage(App& app);
void showHelpPage(App& app);
// The About/Help page showing `section` (1-based), at the page it was left on.
void showHelpSection(App& app, int section);
// Keys and presses while the About/Help page is shown; the font button
// changes the body font of every information page.
void handleHelpPage(App& app);

}  // namespace tarnwick
