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

namespace {

std::string problemOf(const HttpReply& reply) {
    using Outcome = HttpReply::Outcome;
    switch (reply.outcome) {
        case Outcome::Unreachable: return "the game server cannot be reached";
        case Outcome::TimedOut: return "the game server did not answer in time";
        case Outcome::TooLarge: return "the game server's reply is too large";
        case Outcome::Received:
        case Outcome::Cancelled:
        case Outcome::Failed: break;
    }
    return "the game server's reply cannot be read";
}

}  // namespace

Fetched fetchGameRecords(Platform& p, std::string_view number, const HttpLimits& limits) {
    // Keys are read while the fetch waits, so that Escape can end it; other
    // keys are dropped, as they are while any exchange waits.
    const auto notGivenUp = [&p] { return p.pollKey() != std::string(1, keys::kEscape); };
    const HttpReply reply = p.httpGet(kGameServerHost, recordPathFor(number), limits, notGivenUp);
    if (reply.outcome != HttpReply::Outcome::Received) {
        // Nobody wants a beep or a message for a wait they ended themselves.
        if (reply.outcome == HttpReply::Outcome::Cancelled) return {};
        p.beep();
        return {std::nullopt, "Game " + std::string(number) + ": " + problemOf(reply)};
    }
    // Only a successful reply carries the record; the body of an error
    // page (an unknown game's 404) counts as holding none.
    const bool success = reply.status >= 200 && reply.status <= 299;
    return {collectRecords(success ? std::string_view(reply.body) : std::string_view()), {}};
}

}  // namespace tarnwick::acquire
