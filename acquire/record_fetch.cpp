#include <string>
#include <string_view>

#include "acquire/acquire.h"
#include "app/context.h"

namespace tarnwick {

std::string recordPathFor(std::string_view gameNumber) {
    return "/servlet/sgf/" + std::string(gameNumber) + "/game.txt";
}

void collectRecords(App& app, std::string_view body) {
    AcquireFields& a = app.acquire;
    std::string& record = app.game.record.recordText;
    a.RecordCount = 0;
    a.ReplyLine.clear();
    record.clear();
    // The program holds one game: the first record is kept, later ones are
    // only counted.
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t end = body.find('\n', start);
        if (end == std::string_view::npos) end = body.size();
        a.ReplyLine.clear();
        for (std::size_t i = start; i < end; ++i) {
            if (body[i] != '\r') a.ReplyLine += body[i];
        }
        start = end + 1;
        const std::string& line = a.ReplyLine;
        if (line.empty()) continue;
        if (line.starts_with("(;FF")) {
            if (a.RecordCount < game::GameFields::GameSlotCount) ++a.RecordCount;
            if (a.RecordCount == 1) record = line;
        } else if (a.RecordCount == 1) {
            record += line;
        }
    }
}

void fetchGameRecord(App& app) {
    AcquireFields& a = app.acquire;
    Platform& p = app.platform;
    a.FetchOk = 0;
    const HttpReply reply = p.httpGet(kGameServerHost, a.RequestPath, a.FetchLimits);
    if (reply.outcome != HttpReply::Outcome::Received) {
        // Nobody hears a beep for a wait that ended with the window.
        if (reply.outcome != HttpReply::Outcome::Cancelled) p.beep();
        return;
    }
    // Only a successful reply carries the record; the body of an error
    // page (an unknown game's 404) counts as holding none.
    const bool success = reply.status >= 200 && reply.status <= 299;
    collectRecords(app, success ? std::string_view(reply.body) : std::string_view());
    a.FetchOk = 1;
}

}  // namespace tarnwick
