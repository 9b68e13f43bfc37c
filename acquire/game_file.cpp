// Games as files and texts of the user's: opening a file that holds a game
// record or a move list, and writing the shown game out again as a record or
// as a move list.
#include <string>
#include <string_view>
#include <utility>

#include "acquire/acquire.h"
#include "app/context.h"

namespace tarnwick {
namespace {

// The value of one move token: "12.C10" -> "C10", "2.swap" -> "swap".
std::string_view moveValue(std::string_view token) {
    const std::size_t point = token.find('.');
    return point == std::string_view::npos ? token : token.substr(point + 1);
}

// A bracketed value: a "]" would end it early, so it is written as ")";
// the reader always takes a value's first character, so an empty value is
// written as one space.
std::string bracketed(std::string_view value) {
    if (value.empty()) value = " ";
    std::string out = "[";
    for (const char c : value) out += c == ']' ? ')' : c;
    out += ']';
    return out;
}

// The record's result letter for the result shown: a fetched record shows
// "2-0" or "0-2", a pasted list names the winner.
std::string_view resultLetter(std::string_view shown) {
    if (shown == "2-0" || shown.starts_with("Black wins")) return "B";
    if (shown == "0-2" || shown.starts_with("White wins")) return "W";
    return "?";
}

}  // namespace

bool loadGameText(App& app, std::string text) {
    // The import reads and rewrites ClipboardText; the clipboard's own text
    // is put back so that the main loop does not take it for a new one.
    std::string clipboard = std::exchange(app.shell.ClipboardText, std::move(text));
    const bool loaded = importClipboardGame(app);
    app.shell.ClipboardText = std::move(clipboard);
    return loaded;
}

std::string openGameFile(App& app, std::string_view path) {
    FileText file = app.platform.readUserFile(path, kMaxGameFileBytes);
    const std::string name = "\"" + std::string(path) + "\"";
    if (!file.ok) return "cannot open " + name + ": " + file.problem;
    if (!loadGameText(app, std::move(file.text))) {
        return name + " holds no game this program shows (a base-8 or base-10 record or move list)";
    }
    return {};
}

void fetchGameByNumber(App& app, std::string_view number) {
    app.acquire.RequestPath = recordPathFor(number);
    fetchGameRecord(app);
    if (app.acquire.FetchOk == 1) loadRecordText(app);
}

std::string recordOfShownGame(const App& app) {
    const game::GameRecord& r = app.game.record;
    std::string out = "(;FF[4]";
    out += "EV" + bracketed(r.eventName);
    // The reader finds the white player after the black one.
    out += "PB" + bracketed(r.blackPlayer);
    out += "PW" + bracketed(r.whitePlayer);
    out += "SZ" + bracketed(std::to_string(app.board.BoardSize));
    out += "RU[LG]";
    out += "RE" + bracketed(resultLetter(r.resultText));
    if (!r.gameNumber.empty()) out += "GC" + bracketed(" game #" + r.gameNumber);
    // The reader takes every value after the source as a move, so the source
    // comes last in the header.
    out += "SO[http://www.littlegolem.net]";
    const game::MoveList& moves = app.game.Moves;
    for (int k = 1; k <= game::MaxMoveSlots && !moves[k].empty(); ++k) {
        // The first move is tagged W in the server's records, then B, W, ...
        out += k % 2 == 1 ? ";W" : ";B";
        out += bracketed(moveValue(moves[k]));
    }
    out += ")\n";
    return out;
}

std::string moveListOfShownGame(const App& app) {
    std::string out;
    const game::MoveList& moves = app.game.Moves;
    for (int k = 1; k <= game::MaxMoveSlots && !moves[k].empty(); ++k) {
        if (!out.empty()) out += ' ';
        out += std::to_string(k) + "." + std::string(moveValue(moves[k]));
    }
    return out;
}

}  // namespace tarnwick
