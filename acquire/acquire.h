// Getting games in: by game number from the game server, or pasted.
#pragma once

namespace tarnwick {

struct App;

// Reads a game number typed into the field on the board page and fetches it.
void loadGameByNumber(App& app);
// Loads the game whose move list is in ClipboardText, or beeps.
void importClipboardGame(App& app);

}  // namespace tarnwick
