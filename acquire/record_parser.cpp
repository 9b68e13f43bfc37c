#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "acquire/acquire.h"
#include "game/variations.h"
#include "record/text.h"

namespace tarnwick::acquire {
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

}  // namespace

std::optional<int> recordBase(std::string_view record) {
    if (record.find("SZ[8]") != std::string_view::npos) return 8;
    if (record.find("SZ[10]") != std::string_view::npos) return 10;
    return std::nullopt;
}

namespace {

std::string eventOf(std::string_view record) {
    std::string event;
    copyValue(Text{after(record, "EV[")}, 1, event);
    replaceAll(event, "hav", "Hav");
    replaceAll(event, "mc", "MonthlyCup");
    replaceAll(event, "rt", "Rated Tourney");
    replaceAll(event, "null", "Unrated Game");
    replaceAll(event, "ch", "Championship");
    return event;
}

// The "PW" search starts just after the "PB" value, so a "PW" that stands
// before "PB" is not found. Any two characters "PB" or "PW" match.
void readPlayers(std::string_view record, game::GameRecord& out) {
    const Text t{record};
    std::size_t p = 0;
    for (const auto& [tag, field] : {std::pair<std::string_view, std::string*>{"PB", &out.blackPlayer},
                                     std::pair<std::string_view, std::string*>{"PW", &out.whitePlayer}}) {
        do {
            ++p;
        } while (p <= t.size() && !(t.is(p, tag[0]) && t.is(p + 1, tag[1])));
        p += 3;  // the tag and the "[" after it
        p = copyValue(t, p, *field);
    }
}

// Only the first character of the value counts: "B" and "W" name the winner,
// anything else is a game still being played.
std::string resultOf(std::string_view record) {
    const std::string_view value = after(record, "RE[");
    const char winner = value.empty() ? '\0' : value.front();
    if (winner == 'W') return "0-2";
    if (winner == 'B') return "2-0";
    return "Game still in progress";
}

std::string gameNumberOf(std::string_view record) {
    const Text t{after(record, "game #")};
    std::string number;
    for (std::size_t p = 1; p <= t.size(); ++p) {
        t.appendTo(number, p);
        if (t.is(p + 1, ']')) break;
    }
    return number;
}

}  // namespace

game::GameRecord readRecordFields(std::string_view record) {
    game::GameRecord out;
    out.recordText = std::string(record);
    out.eventName = eventOf(record);
    readPlayers(record, out);
    out.resultText = resultOf(record);
    out.gameNumber = gameNumberOf(record);
    return out;
}

// Every bracketed value after the record's source value becomes one move,
// in text order, whatever property name stands before it; the values are
// then numbered "1.", "2.", ... up to the first empty one. The source ends
// ".com]" in older records and ".net]" in later ones.
std::vector<std::string> readRecordMoves(std::string_view record) {
    const Text t{record.find(".com]") != std::string_view::npos ? after(record, ".com]") : after(record, ".net]")};
    std::vector<std::string> moves;
    std::size_t p = 0;
    while (moves.size() < static_cast<std::size_t>(game::MaxMoveSlots)) {
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
        if (value.empty()) break;
        moves.push_back(std::to_string(moves.size() + 1) + "." + value);
        if (t.is(p + 1, ')') || p >= t.size()) break;
    }
    return moves;
}

std::optional<GameValues> readRecord(std::string_view record) {
    // The record syntax read whole gives the tree with every variation and
    // property; a text it refuses is still read as the server's records
    // always were, as one line of moves.
    record::ReadResult read = record::readRecords(record);
    const bool whole = !read.error && !read.trees.empty();
    // Of several games, the first is read.
    const std::string first = whole && read.trees.size() > 1 ? record::writeRecord(read.trees.front()) : std::string(record);
    const std::optional<int> base = recordBase(first);
    if (!base) return std::nullopt;
    GameValues game{*base, readRecordFields(first), {}, {}, whole ? static_cast<int>(read.trees.size()) : 1};
    if (whole) {
        game.tree = std::move(read.trees.front());
        const std::vector<record::NodeId> line = game::lineThrough(game.tree, record::kRoot);
        for (std::size_t k = 1; k < line.size(); ++k) {
            game.moves.push_back(game::entryText(game.tree, line[k], static_cast<int>(k)));
        }
    } else {
        game.moves = readRecordMoves(first);
        game.tree = treeOfGame(game);
    }
    return game;
}

}  // namespace tarnwick::acquire
