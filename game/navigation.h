// Moving through the loaded game and editing it by hand.
#pragma once

namespace tarnwick {

struct App;

void stepForward(App& app);
void stepBack(App& app);
void goToEnd(App& app);
void clearPosition(App& app);
void playGame(App& app);
void recordMove(App& app);
void takeBack(App& app);
void swapMove(App& app);
void selectListEntry(App& app);

}  // namespace tarnwick
