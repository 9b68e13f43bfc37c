// State of getting games in: the number entry and the bounds of a fetch.
#pragma once

#include <string>

#include "platform/http_client.h"

namespace tarnwick::acquire {

struct AcquireFields {
    // The digits in the number field during the last pass of the entry.
    std::string TypedNumber;
    // Bounds of one fetch from the game server; tests shorten them.
    HttpLimits FetchLimits;
    // Bounds of the fetch of a player's list of games: a list holds a
    // record for each finished game, so it may be many megabytes and take
    // longer to arrive.
    HttpLimits PlayerListLimits{.totalMs = 60000, .maxBodyBytes = std::size_t{48} << 20};
};

}  // namespace tarnwick::acquire
