// State of getting games in: the number entry, the fetch and the import.
#pragma once

#include <string>

#include "platform/http_client.h"

namespace tarnwick {

struct AcquireFields {
    std::string TypedNumber;
    std::string RequestPath;
    std::string ReplyLine;
    int RecordCount = 0;
    int FetchOk = 0;
    int PreviousBoardSize = 8;
    int GameValid = 0;
    int PerMoveNumbered = 1;
    int LowercaseCount = 0;
    std::string PairedMoveText;
    // Bounds of one fetch from the game server; tests shorten them.
    HttpLimits FetchLimits;
};

}  // namespace tarnwick
