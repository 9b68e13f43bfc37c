#include "acquire/acquire.h"

#include "app/context.h"

namespace tarnwick {

// Game loading arrives with the record parsers; until then nothing loads.
void loadGameByNumber(App&) {}
void importClipboardGame(App&) {}

}  // namespace tarnwick
