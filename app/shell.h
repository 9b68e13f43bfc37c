// The application shell: start-up, the main loop, the board page's input,
// the full redraw and the tabbed pages.
#pragma once

namespace tarnwick {

struct App;

// Start-up: tables, fonts, stone pictures, the window, the documentation and
// the first Main page, presented.
void startUp(App& app);
// Waits for one event (key, click, clipboard change or the window closing),
// polling every 10 ms, and hands it to the page shown.
void pollOnce(App& app);
void closeGraphicWindow(App& app);
// startUp, then pollOnce until Escape on the Main page or the window closed,
// then closeGraphicWindow.
void runProgram(App& app);

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
// bar and the light-yellow panel, then its contents.
void showLoadGamePage(App& app);
void showOptionsPage(App& app);
void showHelpPage(App& app);

}  // namespace tarnwick
