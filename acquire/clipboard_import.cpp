// Reading a game from a pasted text: a record, or a move list.
//
// Two kinds of list are read. A Little Golem list numbers every move and
// names cells in board notation ("1.D4 2.swap 3.E5 4.resign"). An It's Your
// Turn list numbers the moves in pairs and names cells in the lowercase
// notation of base 8 ("1. a8 b9 2. h1"). Anything else is no list.
//
// The clipboard can hold any text of any size, so every pass over it is a
// single left-to-right scan, and the tokens kept are few and short.
#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquire/acquire.h"
#include "acquire/import.h"
#include "game/replay.h"

namespace tarnwick::acquire {
namespace {

constexpr std::string_view kLittleGolemEvent = "Little Golem Havannah Game";
constexpr std::string_view kPasted = " (pasted from clipboard)";
constexpr std::string_view kItsYourTurnEvent = "It's Your Turn Havannah Game";
constexpr std::string_view kUnknown = "Unknown";
constexpr std::string_view kWhiteResigned = "Black wins (White resigned)";
constexpr std::string_view kBlackResigned = "White wins (Black resigned)";

// The move box of a Little Golem game page ends with its headings and
// navigation links; whatever stands from there on is not part of the list.
// By the time the list is split, the import has turned each run of three
// spaces into one, so the headings are looked for in that form too;
// otherwise their words would be cut off only at the links and kept as moves.
constexpr std::array<std::string_view, 5> kMoveBoxEnds = {
    "List of moves  txt   <<  <  >  >>",
    "List of moves  txt <<  <  >  >>",
    "List of moves  hgf   <<  <  >  >>",
    "List of moves  hgf <<  <  >  >>",
    "<<  <  >  >>",
};

// A move token is a number, a point and a cell name or a word: a dozen
// characters at most. A longer one can only be stray text; it is cut to this
// length so that the move list never lays out a whole clipboard as one entry.
constexpr std::size_t kMaxTokenLength = 64;

// Cells of the base-10 board that the base-8 board lacks, each written after
// a move's point: columns P to S by their letter alone, the others by the
// positions past the base-8 column's top (I15 is left out). A marker matches
// as the start of a name, so ".A9" is found in ".A95" too.
constexpr std::string_view kBase10OnlyColumns = "PQRS";
constexpr std::array<std::array<std::string_view, 6>, 15> kBase10Markers = {{
    {"9", "10"},                              // A
    {"10", "11"},                             // B
    {"11", "12"},                             // C
    {"12", "13"},                             // D
    {"13", "14"},                             // E
    {"14", "15"},                             // F
    {"15", "16"},                             // G
    {"16", "17"},                             // H
    {"16", "17", "18"},                       // I
    {"14", "15", "16", "17", "18", "19"},     // J
    {"13", "14", "15", "16", "17", "18"},     // K
    {"12", "13", "14", "15", "16", "17"},     // L
    {"11", "12", "13", "14", "15", "16"},     // M
    {"10", "11", "12", "13", "14", "15"},     // N
    {"9", "10", "11", "12", "13", "14"},      // O
}};

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

char upperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char lowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// "resign" in any letter case at position i.
bool resignWordAt(std::string_view text, std::size_t i) {
    constexpr std::string_view kWord = "resign";
    if (text.size() - i < kWord.size() || lowerCase(text[i]) != 'r') return false;
    for (std::size_t j = 0; j < kWord.size(); ++j)
        if (lowerCase(text[i + j]) != kWord[j]) return false;
    return true;
}

// Where a resignation is written: the first "resign", else the first
// "Resign", else the first in any other case ("RESIGN").
std::optional<std::size_t> findResignWord(std::string_view text) {
    for (const std::string_view word : {"resign", "Resign"})
        if (const std::size_t at = text.find(word); at != std::string_view::npos) return at;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (resignWordAt(text, i)) return i;
    return std::nullopt;
}

// Every occurrence, left to right; a replaced part is not scanned again.
void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    std::size_t at = s.find(from);
    if (at == std::string::npos) return;
    std::string out;
    out.reserve(s.size());
    std::size_t start = 0;
    for (; at != std::string::npos; at = s.find(from, start)) {
        out.append(s, start, at - start);
        out.append(to);
        start = at + from.size();
    }
    out.append(s, start, std::string::npos);
    s = std::move(out);
}

void trimSpaces(std::string& s) {
    const std::size_t last = s.find_last_not_of(' ');
    if (last == std::string::npos) {
        s.clear();
        return;
    }
    s.erase(last + 1);
    s.erase(0, s.find_first_not_of(' '));
}

// Line breaks and tabs become spaces; a run of three spaces (as a line break
// after a space leaves) becomes one; the text is trimmed and ends in a space.
void normalise(std::string& text) {
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    replaceAll(text, "   ", " ");
    trimSpaces(text);
    text += ' ';
}

// The letters that tell the two kinds of list apart from each other and from
// prose. The words "swap" and "resign" (any case) are left out: they belong
// to Little Golem lists, which otherwise name cells in upper case only.
struct LetterCensus {
    int lowercase = 0;           // letters a..s, at most INT_MAX
    bool lateLowercase = false;  // any of t..z
    bool lateUppercase = false;  // any of T..Z
};

LetterCensus takeCensus(std::string_view text) {
    LetterCensus census;
    std::size_t i = 0;
    while (i < text.size()) {
        if (resignWordAt(text, i)) {
            i += 6;
            continue;
        }
        if (text[i] == 's' && text.compare(i, 4, "swap") == 0) {
            i += 4;
            continue;
        }
        const char c = text[i++];
        if (c >= 'a' && c <= 's') {
            if (census.lowercase < INT_MAX) ++census.lowercase;
        } else if (c >= 't' && c <= 'z') {
            census.lateLowercase = true;
        } else if (c >= 'T' && c <= 'Z') {
            census.lateUppercase = true;
        }
    }
    return census;
}

// Whether a point is followed by a cell that only base 10 has.
bool hasBase10Marker(std::string_view text) {
    for (std::size_t at = text.find('.'); at != std::string_view::npos; at = text.find('.', at + 1)) {
        if (at + 1 >= text.size()) break;
        const char column = text[at + 1];
        if (kBase10OnlyColumns.find(column) != std::string_view::npos) return true;
        if (column < 'A' || column > 'O') continue;
        const std::string_view rest = text.substr(at + 2);
        for (const std::string_view number : kBase10Markers[static_cast<std::size_t>(column - 'A')])
            if (!number.empty() && rest.starts_with(number)) return true;
    }
    return false;
}

// Collects the non-empty tokens handed to it, each cut to kMaxTokenLength,
// up to game::MaxMoveSlots of them.
class TokenCollector {
  public:
    bool full() const { return tokens_.size() >= static_cast<std::size_t>(game::MaxMoveSlots); }
    void add(std::string_view token) {
        if (token.empty() || full()) return;
        tokens_.emplace_back(token.substr(0, kMaxTokenLength));
    }
    std::vector<std::string> take() { return std::move(tokens_); }

  private:
    std::vector<std::string> tokens_;
};

// Calls `take` with each space-separated token of the text in order (empty
// ones too, from runs of spaces) until it returns false.
template <typename Take>
void forEachToken(std::string_view text, Take take) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t space = std::min(text.find(' ', start), text.size());
        if (!take(text.substr(start, space - start))) return;
        start = space + 1;
    }
}

// The two moves after each point of an It's Your Turn list, in order, at
// most game::MaxMoveSlots of them. Runs of spaces separate the moves like one
// space, so an extra space never costs a move.
std::vector<std::string_view> collectPairedMoves(std::string_view text) {
    std::vector<std::string_view> moves;
    std::size_t p = 0;
    while (moves.size() < static_cast<std::size_t>(game::MaxMoveSlots)) {
        const std::size_t point = text.find('.', p);
        if (point == std::string_view::npos) break;
        p = point + 1;
        for (int n = 0; n < 2 && moves.size() < static_cast<std::size_t>(game::MaxMoveSlots); ++n) {
            p = std::min(text.find_first_not_of(' ', p), text.size());
            if (p == text.size()) return moves;
            const std::size_t end = std::min(text.find(' ', p), text.size());
            moves.push_back(text.substr(p, end - p));
            p = end;
        }
    }
    return moves;
}

// The list without the spaces around it and without the move box's end and
// whatever follows that.
std::string_view numberedListPart(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    text = text.substr(first, text.find_last_not_of(' ') + 1 - first);
    for (const std::string_view end : kMoveBoxEnds)
        if (const std::size_t at = text.find(end); at != std::string_view::npos) text = text.substr(0, at);
    return text;
}

// The digit two places before the resignation word is the last digit of the
// resigning move's number ("24.resign"): an even number is White's move.
std::string numberedListResult(std::string_view text) {
    const std::optional<std::size_t> at = findResignWord(text);
    if (!at) return std::string(kUnknown);
    const char digit = *at >= 2 ? text[*at - 2] : '\0';
    const bool even = digit == '0' || digit == '2' || digit == '4' || digit == '6' || digit == '8';
    return std::string(even ? kWhiteResigned : kBlackResigned);
}

// The resigning move's number is its entry's: the first resign entry, or,
// when the resignation is written outside the moves collected, the move
// after the last one (the player to move resigned).
std::string pairedListResult(const std::vector<std::string>& moves, std::string_view text) {
    const auto resign = std::find_if(moves.begin(), moves.end(), [](const std::string& m) { return game::isResignToken(m); });
    std::size_t resigning = 0;
    if (resign != moves.end()) {
        resigning = static_cast<std::size_t>(resign - moves.begin()) + 1;
    } else {
        if (!findResignWord(text)) return std::string(kUnknown);
        resigning = moves.size() + 1;
    }
    return std::string(resigning % 2 == 0 ? kWhiteResigned : kBlackResigned);
}

}  // namespace

std::vector<std::string> splitNumberedMoves(std::string_view text) {
    TokenCollector tokens;
    // A line break with no space before it leaves two spaces, so an empty
    // token: it takes no entry, or it would end the game there.
    forEachToken(numberedListPart(text), [&](std::string_view token) {
        tokens.add(token);
        return !tokens.full();
    });
    return tokens.take();
}

std::vector<std::string> splitPairedMoves(std::string_view text) {
    // A move starting with ")" ends the moves.
    TokenCollector tokens;
    for (const std::string_view move : collectPairedMoves(text)) {
        if (move.starts_with(')')) break;
        tokens.add(move);
    }
    std::vector<std::string> moves = tokens.take();
    for (std::size_t k = 0; k < moves.size(); ++k) {
        std::string move = toBoardNotation(moves[k]);
        std::transform(move.begin(), move.end(), move.begin(), upperCase);
        moves[k] = std::to_string(k + 1) + "." + move;
    }
    return moves;
}

std::optional<std::string> recordInText(std::string_view text) {
    const std::size_t start = text.find(kRecordStart);
    if (start == std::string_view::npos) return std::nullopt;
    return collectRecords(text.substr(start)).first;
}

std::optional<GameValues> readMoveList(std::string_view pasted, int shownBase, std::string_view source) {
    std::string text(pasted);
    normalise(text);
    const LetterCensus letters = takeCensus(text);

    // Which list, and which base.
    const bool hasSwap = contains(text, "swap");
    if (!hasSwap && (letters.lateLowercase || letters.lateUppercase)) return std::nullopt;
    GameValues game;
    game.base = shownBase;
    bool numbered = true;
    if (hasBase10Marker(text)) {
        game.base = 10;
    } else if (letters.lowercase > 0 && !hasSwap) {
        game.base = 8;
        numbered = false;
    } else if (!text.starts_with("1.")) {
        return std::nullopt;
    }
    replaceAll(text, ". ", ".");
    // Lowercase text with no numbered move in it is some other text, not an
    // It's Your Turn list: loading it would only empty the board.
    if (!numbered && collectPairedMoves(text).empty()) return std::nullopt;

    game::GameRecord& record = game.record;
    // The event says where the list came from: a pasted Little Golem list
    // says so, and a list read from a file names the file.
    const std::string origin = source.empty() ? std::string() : " (from " + std::string(source) + ")";
    if (numbered) {
        record.eventName = std::string(kLittleGolemEvent) + (source.empty() ? std::string(kPasted) : origin);
        game.moves = splitNumberedMoves(text);
        // A resignation past the move box's end is not the list's.
        record.resultText = numberedListResult(numberedListPart(text));
    } else {
        record.eventName = std::string(kItsYourTurnEvent) + origin;
        game.moves = splitPairedMoves(text);
        record.resultText = pairedListResult(game.moves, text);
    }
    record.blackPlayer = kUnknown;
    record.whitePlayer = kUnknown;
    record.gameNumber = kUnknown;
    game.tree = treeOfGame(game);
    return game;
}

}  // namespace tarnwick::acquire
