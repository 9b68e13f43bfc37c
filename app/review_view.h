// The whole-game review on the board page: the R key, progress and summary
// on the panel line, judged moves marked in the list, N and Shift+N to go
// from one mistake to the next, and the engine's better move shown before a
// judged move.
#pragma once

namespace tarnwick {

struct App;

// R: reviews the line shown (the analysis gives way), or stops the review
// running, keeping what it has found.
void toggleReview(App& app);
// N (+1) and Shift+N (-1): the position before the next or previous move
// judged a mistake or worse, of either player.
void goToJudgedMove(App& app, int direction);
// Escape and the window's close: stops a running review; true when one ran.
bool stopReview(App& app);
bool reviewRunning(const App& app);
// Another game is shown: the review of the last one is stopped and dropped.
void forgetReview(App& app);
// A game just shown whose record holds a review (of this version) shows it
// without searching again; one by an older engine says so.
void adoptStoredReview(App& app);

// A click on the review's graph shows the move under it; true when the
// click was on the graph.
bool clickOnGraph(App& app, int x, int y);
// Whether the main loop's wait should end for a look at the review's
// progress; counts the wait's 10 ms polls.
bool reviewRefreshDue(App& app);
// Takes the review's news into the list and the panel line; true when
// something was drawn.
bool refreshReview(App& app);
// After any input: the better move before a judged move, or the summary;
// true when something was drawn.
bool followReview(App& app);

}  // namespace tarnwick
