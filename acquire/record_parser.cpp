#include <string_view>

#include "acquire/acquire.h"
#include "app/context.h"
#include "board/board.h"
#include "game/game.h"
#include "game/navigation.h"
#include "game/game_state.h"

namespace tarnwick {
namespace {

// Positions count from 1; a position past either end reads as no character.
struct Text {
    std::string_view s;
    std::size_t size() const { return s.size(); }
    // The character at position p (1-based), or '\0' standing for none.
    bool has(std::size_t p) const { return p >= 1 && p <= s.size(); }
    char at(std::size_t p) const { return has(p) ? s[p - 1] : '\0'; }
    bool is(std::size_t p, char c) const { return has(p) && s[p - 1] == c; }
    void appendTo(std::string& out, std::size_t p) const {
        if (has(p)) out += s[p - 1];
    }
};

// The rest of the text after the first occurrence of the marker; empty when
// the marker does not occur.
std::string_view after(std::string_view text, std::string_view marker) {
    const std::size_t at = text.find(marker);
    return at == std::string_view::npos ? std::string_view() : text.substr(at + marker.size());
}

// Copies from position p up to (not including) the next "]", always taking
// the first character even when it is "]"; returns the position reached.
std::size_t copyValue(const Text& t, std::size_t p, std::string& out) {
    do {
        t.appendTo(out, p);
        ++p;
    } while (t.has(p) && t.at(p) != ']');
    return p;
}

// Every occurrence, left to right; a replaced part is not scanned again.
void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, start)) {
        out.append(s, start, at - start);
        out.append(to);
        start = at + from.size();
    }
    out.append(s, start, std::string::npos);
    s = std::move(out);
}

const std::string& record(const App& app) { return app.game.record.recordText; }

}  // namespace

void checkBoardSize(App& app) {
    AcquireFields& a = app.acquire;
    a.PreviousBoardSize = app.board.BoardSize;
    const std::string& text = record(app);
    if (text.find("SZ[8]") != std::string::npos) {
        app.board.BoardSize = 8;
        a.GameValid = 1;
        return;
    }
    if (text.find("SZ[10]") != std::string::npos) {
        app.board.BoardSize = 10;
        a.GameValid = 1;
        return;
    }
    a.GameValid = 0;
    // The message flashes four times over the number field, each step
    // shown, and stays there.
    Platform& p = app.platform;
    p.setFont(app.fonts.HeaderFont);
    p.setColors(colours::kBlack, colours::kWhite);
    for (int i = 0; i < 4; ++i) {
        p.drawBox(49, 59, 139, 77, colours::kWhite, colours::kWhite);
        p.present();
        p.sleepMs(150);
        p.setPos(52, 61);
        p.drawText("Invalid Game #");
        p.present();
        p.sleepMs(150);
    }
    p.beep();
}

void parseEvent(App& app) {
    std::string& event = app.game.record.eventName;
    copyValue(Text{after(record(app), "EV[")}, 1, event);
    replaceAll(event, "hav", "Hav");
    replaceAll(event, "mc", "MonthlyCup");
    replaceAll(event, "rt", "Rated Tourney");
    replaceAll(event, "null", "Unrated Game");
    replaceAll(event, "ch", "Championship");
}

// The "PW" search starts just after the "PB" value, so a "PW" that stands
// before "PB" is not found. Any two characters "PB" or "PW" match.
void parsePlayers(App& app) {
    const Text t{record(app)};
    std::size_t p = 0;
    for (const auto& [tag, field] : {std::pair<std::string_view, std::string*>{"PB", &app.game.record.blackPlayer},
                                     std::pair<std::string_view, std::string*>{"PW", &app.game.record.whitePlayer}}) {
        do {
            ++p;
        } while (p <= t.size() && !(t.is(p, tag[0]) && t.is(p + 1, tag[1])));
        p += 3;  // the tag and the "[" after it
        p = copyValue(t, p, *field);
    }
}

void parseResult(App& app) {
    std::string& result = app.game.record.resultText;
    const std::string_view value = after(record(app), "RE[");
    result = value.empty() ? std::string() : std::string(1, value.front());
    if (result != "W" && result != "B") result = "?";
    resultToText(app);
}

void resultToText(App& app) {
    std::string& result = app.game.record.resultText;
    if (result == "W") {
        result = "0-2";
    } else if (result == "B") {
        result = "2-0";
    } else if (result == "?") {
        result = "Game still in progress";
    } else {
        result = "Unknown";
    }
}

void parseGameNumber(App& app) {
    const Text t{after(record(app), "game #")};
    std::string& number = app.game.record.gameNumber;
    for (std::size_t p = 1; p <= t.size(); ++p) {
        t.appendTo(number, p);
        if (t.is(p + 1, ']')) break;
    }
}

// Every bracketed value after the record's source value becomes one move,
// in text order, whatever property name stands before it; the values are
// then numbered "1.", "2.", ... The source ends ".com]" in older records and
// ".net]" in later ones.
void parseMoves(App& app) {
    const std::string& text = record(app);
    const Text t{text.find(".com]") != std::string::npos ? after(text, ".com]") : after(text, ".net]")};
    game::GameFields& g = app.game;
    std::size_t p = 0;
    for (int k = 1; k <= game::MaxMoveSlots; ++k) {
        do {
            ++p;
        } while (p <= t.size() && !t.is(p, '['));
        if (p > t.size()) break;
        ++p;
        std::string value;
        // A value whose "]" is missing runs to the end, less its last character.
        do {
            t.appendTo(value, p);
            ++p;
        } while (!t.is(p, ']') && p < t.size());
        g.Moves.set(k, std::move(value));
        if (t.is(p + 1, ')') || p >= t.size()) break;
    }
    int k = 0;
    while (k + 1 <= game::MaxMoveSlots && !g.Moves[k + 1].empty()) {
        ++k;
        g.Moves.set(k, std::to_string(k) + "." + g.Moves[k]);
        g.MoveCount += 1;
    }
}

void prepareBoardForNewGame(App& app) {
    if (app.board.BoardSize != app.acquire.PreviousBoardSize) {
        board::setUpBoardSize(app.board);
        game::clearGame(gameOf(app));
        if (app.hooks.redrawMainPage != nullptr) app.hooks.redrawMainPage(app);
    } else {
        game::clearPosition(gameOf(app));
        game::clearGame(gameOf(app));
    }
}

void loadRecordText(App& app) {
    checkBoardSize(app);
    if (app.acquire.GameValid != 1) return;
    prepareBoardForNewGame(app);
    parseEvent(app);
    parsePlayers(app);
    parseResult(app);
    parseGameNumber(app);
    parseMoves(app);
    game::drawGameHeader(gameOf(app));
    game::rebuildMoveList(gameOf(app));
    game::goToEnd(gameOf(app));
}

}  // namespace tarnwick
