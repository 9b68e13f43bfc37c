// The whole-game review as the viewer runs it.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/review.h"
#include "record/tree.h"

namespace tarnwick {

// About a second of the search a position: main sets the threads (all but
// one); tests use one thread, a seed and a playout budget.
inline engine::ReviewSettings viewerReviewSettings() {
    engine::ReviewSettings settings;
    settings.budget.time = std::chrono::seconds(1);
    settings.treeBytes = std::size_t{256} << 20;
    return settings;
}

struct ReviewFields {
    engine::ReviewSettings Settings = viewerReviewSettings();
    // Made at the first review.
    std::unique_ptr<engine::Review> Review;
    // The latest results, while the review runs and after.
    std::optional<engine::ReviewResult> Result;
    std::vector<record::NodeId> Line;  // the nodes reviewed, the root first
    bool Running = false;
    int PollsSinceRefresh = 0;
    // Positions of the result already stored in the record.
    int StoredPositions = 0;
    // The graph as drawn: positions done, the move shown, the list's revision.
    std::optional<std::tuple<int, int, std::uint64_t>> GraphAt;
};

}  // namespace tarnwick
