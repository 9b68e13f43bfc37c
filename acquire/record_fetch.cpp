#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "acquire/acquire.h"

namespace tarnwick::acquire {

std::string recordPathFor(std::string_view gameNumber) {
    return "/servlet/sgf/" + std::string(gameNumber) + "/game.txt";
}

std::vector<std::string> splitRecords(std::string_view body) {
    std::vector<std::string> records;
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
            records.push_back(line);
        } else if (!records.empty()) {
            records.back() += line;
        }
    }
    return records;
}

Records collectRecords(std::string_view body) {
    std::vector<std::string> all = splitRecords(body);
    Records records;
    records.count = static_cast<int>(std::min<std::size_t>(all.size(), game::GameFields::GameSlotCount));
    if (!all.empty()) records.first = std::move(all.front());
    return records;
}

std::string playerGameListPath(std::string_view playerId, std::string_view gameType) {
    return "/jsp/info/player_game_list_txt.jsp?plid=" + std::string(playerId) + "&gtid=" + std::string(gameType);
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

// Keys are read while a fetch waits, so that Escape can end it; other keys
// are dropped, as they are while any exchange waits.
HttpReply getFromGameServer(Platform& p, const std::string& path, const HttpLimits& limits) {
    const auto notGivenUp = [&p] { return p.pollKey() != std::string(1, keys::kEscape); };
    return p.httpGet(kGameServerHost, path, limits, notGivenUp);
}

}  // namespace

Fetched fetchGameRecords(Platform& p, std::string_view number, const HttpLimits& limits) {
    const HttpReply reply = getFromGameServer(p, recordPathFor(number), limits);
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

PlayerGames fetchPlayerGames(Platform& p, std::string_view playerId, const HttpLimits& limits) {
    PlayerGames games;
    for (const std::string_view type : kHavannahGameTypes) {
        const HttpReply reply = getFromGameServer(p, playerGameListPath(playerId, type), limits);
        if (reply.outcome == HttpReply::Outcome::Cancelled) {
            games.cancelled = true;
            break;
        }
        std::string problem;
        if (reply.outcome != HttpReply::Outcome::Received)
            problem = problemOf(reply);
        else if (reply.status < 200 || reply.status > 299)
            problem = "the game server answered " + std::to_string(reply.status);
        if (!problem.empty()) {
            p.beep();
            games.problems.push_back(std::string(type) + ": " + problem);
            continue;
        }
        std::vector<std::string> records = splitRecords(reply.body);
        games.records.insert(games.records.end(), std::make_move_iterator(records.begin()),
                             std::make_move_iterator(records.end()));
    }
    return games;
}

}  // namespace tarnwick::acquire
