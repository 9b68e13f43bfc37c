#include "acquire/acquire.h"
#include "app/context.h"

namespace tarnwick {

void importClipboardGame(App&) {}

}  // namespace tarnwick
