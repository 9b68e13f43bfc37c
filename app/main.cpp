// Tarnwick: a viewer for recorded games of Havannah.
#include "app/context.h"
#include "app/shell.h"
#include "platform/sdl/sdl_program.h"

int main() {
    return tarnwick::runSdlProgram([](tarnwick::Platform& platform) {
        tarnwick::App app(platform);
        tarnwick::runProgram(app);
    });
}
