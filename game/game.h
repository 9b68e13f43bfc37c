// Game operations: clearing the loaded game and showing its header.
#pragma once

namespace tarnwick {

struct App;

// Empties the moves and header fields, the board state and the move-list
// layout, ready for a new game (or none).
void clearGame(App& app);

// Paints the information panel's bands and writes the players, game number,
// event and result of the loaded game.
void drawGameHeader(App& app);

}  // namespace tarnwick
