// Text on the clipboard: list detection, the choice of base, splitting,
// the notation table, the result and the board drawn at the last move.
#include <cstddef>
#include <cstdint>

#include "app/load_game.h"
#include "fuzz/fuzz_program.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    tarnwick::fuzz::program();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarnwick::fuzz::FuzzProgram& program = tarnwick::fuzz::program();
    program.clearShownGame();
    program.app.shell.ClipboardText = tarnwick::fuzz::bytesOf(data, size);
    const int beeps = program.platform.beepCount();
    tarnwick::importClipboardGame(program.app);
    const bool refused = program.platform.beepCount() != beeps;
    tarnwick::fuzz::require(program.platform.beepCount() <= beeps + 1, "at most one beep");
    tarnwick::fuzz::require(refused == program.app.game.record.eventName.empty(),
                            "a list loaded names its kind, a refusal leaves the (empty) game");
    tarnwick::fuzz::checkShownGame(program.app);
    return 0;
}
