// A game record as the game server's text: the size check, every field
// parser, the header, the move list and the stones of the last position.
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
    const int beeps = program.platform.beepCount();
    const bool refused = !tarnwick::loadRecordText(program.app, tarnwick::fuzz::bytesOf(data, size));
    tarnwick::fuzz::require(program.platform.beepCount() == beeps + (refused ? 1 : 0), "only a refusal beeps");
    tarnwick::fuzz::require(!refused || program.app.game.moveCount() == 0, "a refusal leaves the (empty) game");
    tarnwick::fuzz::checkShownGame(program.app);
    return 0;
}
