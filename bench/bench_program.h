// A started program over the headless provider, for the benchmarks.
#pragma once

#include <filesystem>

#include "app/context.h"
#include "app/shell.h"
#include "platform/headless/headless_platform.h"

namespace tarnwick::bench {

// The board pictures and fonts sit beside the benchmark executables.
struct StartedProgram {
    StartedProgram() : app(platform) {
        platform.setDataFolder(std::filesystem::read_symlink("/proc/self/exe").parent_path().string());
        startUp(app);
    }
    HeadlessPlatform platform;
    App app;
};

}  // namespace tarnwick::bench
