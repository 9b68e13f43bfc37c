// The live analysis: the engine the viewer owns, how it is set up, and what
// of its findings the board page shows.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "engine/engine.h"
#include "havannah/position.h"

namespace tarnwick {

// The engine as the viewer runs it: a start that follows on from the last
// search keeps only the top of the old tree, which is copied in about a
// millisecond, so stepping through a game stays as quick as without
// analysis. The tree is held to 256 MiB, which one thread fills in about two
// minutes; the search goes on after that without growing it, and the memory
// stays with the program until it ends.
inline engine::Options viewerOptions() {
    engine::Options options;
    options.keptNodes = 4096;
    options.treeBytes = std::size_t{256} << 20;
    return options;
}

struct AnalysisFields {
    // How the engine is made and how long it searches: main sets the thread
    // count; tests use one thread, a fixed seed and playout limits.
    engine::Options EngineOptions = viewerOptions();
    engine::Limits SearchLimits;  // the live analysis: until stopped
    engine::Limits ThinkLimits{0, std::chrono::seconds(1)};  // the G key without analysis
    // Made at its first use, so a session that never analyses never pays
    // for it.
    std::unique_ptr<engine::Engine> Engine;

    bool On = false;          // the A key
    bool StepsShown = false;  // the V key: the principal variation numbered
    // The position the engine searches; none while nothing is analysed.
    std::optional<havannah::Position> Analysed;
    std::string LineShown;    // the panel line as drawn
    bool LineHasFigures = false;  // it gives a search's figures
    std::string Idle;         // the line while nothing is analysed: why not
    // Where a note of the G key was drawn (the move shown, the list's
    // revision): it goes when the position shown changes.
    std::optional<std::pair<int, std::uint64_t>> NoteAt;
    int PollsSinceRefresh = 0;
};

}  // namespace tarnwick
