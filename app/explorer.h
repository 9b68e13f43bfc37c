// The opening explorer on the board page: the moves the games database
// holds from the position shown, as a tag with the number of games on each
// of their cells and a line in the information panel.
#pragma once

namespace tarnwick {

struct App;

// The O key: shows or hides the explorer (the database is opened at the
// first showing).
void toggleExplorer(App& app);
// After any input and at the analysis's and the review's refreshes: asks
// the database about the position shown when it has changed, brings the
// tags to it, and draws the line when the explorer has it; true when
// something was drawn.
bool followExplorer(App& app);
// Whether the panel line is the explorer's: it is on, and neither the
// analysis nor a running review is using the line.
bool explorerHasLine(const App& app);

}  // namespace tarnwick
