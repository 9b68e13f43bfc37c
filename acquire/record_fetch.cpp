#include <optional>
#include <string>
#include <string_view>

#include "acquire/acquire.h"

namespace tarnwick::acquire {

std::string recordPathFor(std::string_view gameNumber) {
    return "/servlet/sgf/" + std::string(gameNumber) + "/game.txt";
}

Records collectRecords(std::string_view body) {
    Records records;
    std::string line;
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t end = body.find('\n', start);
        if (end == std::string_view::npos) end = body.size();
        line.clear();
        for (std::size_t i = start; i < end; ++i) {
            if (body[i] != '\r') line += body[i];
        }
        start = end + 1;
        if (line.empty()) continue;
        if (line.starts_with(kRecordStart)) {
            if (records.count < game::GameFields::GameSlotCount) ++records.count;
            if (records.count == 1) records.first = line;
        } else if (records.count == 1) {
            records.first += line;
        }
    }
    return records;
}

std::optional<Records> fetchGameRecords(Platform& p, std::string_view number, const HttpLimits& limits) {
    const HttpReply reply = p.httpGet(kGameServerHost, recordPathFor(number), limits);
    if (reply.outcome != HttpReply::Outcome::Received) {
        // Nobody hears a beep for a wait that ended with the window.
        if (reply.outcome != HttpReply::Outcome::Cancelled) p.beep();
        return std::nullopt;
    }
    // Only a successful reply carries the record; the body of an error
    // page (an unknown game's 404) counts as holding none.
    const bool success = reply.status >= 200 && reply.status <= 299;
    return collectRecords(success ? std::string_view(reply.body) : std::string_view());
}

}  // namespace tarnwick::acquire
