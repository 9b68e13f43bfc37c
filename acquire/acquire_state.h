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
};

}  // namespace tarnwick::acquire
