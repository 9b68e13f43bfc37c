// The body of the game server's reply: the records collected from its
// lines, then the first one shown as a fetch by number shows it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/load_game.h"
#include "fuzz/fuzz_program.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    tarnwick::fuzz::program();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarnwick::fuzz::FuzzProgram& program = tarnwick::fuzz::program();
    program.clearShownGame();
    const std::string_view body = tarnwick::fuzz::bytesOf(data, size);
    const tarnwick::acquire::Records records = tarnwick::acquire::collectRecords(body);
    const std::string& record = records.first;
    tarnwick::fuzz::require(records.count == 0 ? record.empty() : record.starts_with("(;FF"),
                            "the record kept is the first one collected");
    tarnwick::fuzz::require(record.size() <= body.size(), "a record is made of the body's bytes");
    tarnwick::loadRecordText(program.app, record);
    tarnwick::fuzz::checkShownGame(program.app);
    return 0;
}
