// The game layer: the loaded game, shown on the board and listed beside it.
#pragma once

#include "board/board.h"
#include "game/game_state.h"
#include "platform/fonts.h"

namespace tarnwick::game {

// The fonts the game layer writes with.
struct Fonts {
    FontId list = kNoFont;      // move list entries
    FontId listBold = kNoFont;  // the highlighted entry
    FontId header = kNoFont;    // the game header and the panel's note
};

// What the game layer works on: the board it shows the game on, the loaded
// game, the move list beside the board and its fonts.
struct Game {
    board::Board board;
    GameFields& state;
    MoveListFields& list;
    Fonts fonts;
};

// Empties the moves and header fields, the board state and the move-list
// layout, ready for a new game (or none).
void clearGame(Game game);

// Paints the information panel's bands and writes the players, game number,
// event and result of the loaded game.
void drawGameHeader(Game game);

}  // namespace tarnwick::game
