#include "game/navigation.h"

#include "app/context.h"

namespace tarnwick {

// Navigation arrives with game playback; until then these leave the game as
// it is, which is also what they do on an empty game.
void stepForward(App&) {}
void stepBack(App&) {}
void goToEnd(App&) {}
void clearPosition(App&) {}
void playGame(App&) {}
void recordMove(App&) {}
void takeBack(App&) {}
void swapMove(App&) {}
void selectListEntry(App&) {}

}  // namespace tarnwick
