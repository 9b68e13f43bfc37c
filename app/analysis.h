// The engine's live analysis on the board page: candidate marks on the board,
// a line in the information panel, and the engine's own move on the G key.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "board/board_state.h"
#include "havannah/position.h"

namespace tarnwick {

struct App;

// The panel line under the game's details, which the analysis and the
// review share: `text` drawn there (`withFigures`: it gives a search's
// figures, which a new search keeps until it has its own).
void drawAnalysisLine(App& app, const std::string& text, bool withFigures = false);
// A note on the line that says why a key found nothing to do: it stays
// until the position shown changes, whatever else would use the line.
void showNote(App& app, const std::string& text);
// Whether `text` fits the line whole; a longer one is drawn cut short.
bool fitsAnalysisLine(App& app, std::string_view text);
// Brings every empty cell to its wanted analysis mark (one a cell), with
// the explorer's tag it has; true when any cell changed.
bool paintMarks(App& app, const std::vector<board::CellMark>& marks);

// The position on the board as a game position, when the rules followed
// every move up to it and nobody has won: the only kind the engine searches
// and the explorer asks about. Otherwise, why there is none ("The game is
// over").
struct GamePosition {
    std::optional<havannah::Position> position;
    std::string whyNot;
};
GamePosition shownGamePosition(const App& app);
// The same stones and the same side to move after as many moves.
bool samePosition(const havannah::Position& a, const havannah::Position& b);

// The A key: starts or stops the analysis of the position shown.
void toggleAnalysis(App& app);
// The V key: shows or hides the numbers of the principal variation.
void toggleVariationSteps(App& app);
// The G key: the engine plays for the side to move at the position shown
// (into a variation when a later move is listed).
void playEngineMove(App& app);
// The B key, while the analysis runs: the engine's best line from the
// position shown goes into the game as a variation, for stepping through.
void addEngineLine(App& app);

// Whether the main loop's wait should end for a refresh of the marks; counts
// the wait's 10 ms polls.
bool analysisRefreshDue(App& app);
// Takes a snapshot and brings the marks and the line to it; true when
// something was drawn.
bool refreshAnalysis(App& app);
// After any input: moves the analysis to the position shown (presenting the
// board without the old marks, then restarting the engine when it differs),
// ends it on another page; true when something was drawn since.
bool followShownPosition(App& app);
// Stops the engine and takes every mark and the line away (drawn only while
// the board page is shown).
void endAnalysis(App& app);

}  // namespace tarnwick
