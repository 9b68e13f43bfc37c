// Games as files and texts of the user's: opening a file that holds a game
// record or a move list, and writing the shown game out again as a record or
// as a move list.
#include <string>
#include <string_view>

#include "acquire/acquire.h"
#include "record/text.h"

namespace tarnwick::acquire {
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

FileText readGameFile(Platform& p, std::string_view path) {
    FileText file = p.readUserFile(path, kMaxGameFileBytes);
    if (!file.ok) file.problem = "cannot open \"" + std::string(path) + "\": " + file.problem;
    return file;
}

std::string notAGameProblem(std::string_view path) {
    return "\"" + std::string(path) + "\" holds no game this program shows (a base-8 or base-10 record or move list)";
}

std::string recordOfGame(const game::GameRecord& r, const game::MoveList& moves, int base) {
    std::string out = "(;FF[4]";
    out += "EV" + bracketed(r.eventName);
    // The reader finds the white player after the black one.
    out += "PB" + bracketed(r.blackPlayer);
    out += "PW" + bracketed(r.whitePlayer);
    out += "SZ" + bracketed(std::to_string(base));
    out += "RU[LG]";
    out += "RE" + bracketed(resultLetter(r.resultText));
    if (!r.gameNumber.empty()) out += "GC" + bracketed(" game #" + r.gameNumber);
    // The reader takes every value after the source as a move, so the source
    // comes last in the header.
    out += "SO[http://www.littlegolem.net]";
    for (int k = 1; k <= game::MaxMoveSlots && !moves[k].empty(); ++k) {
        // The first move is tagged W in the server's records, then B, W, ...
        out += k % 2 == 1 ? ";W" : ";B";
        out += bracketed(moveValue(moves[k]));
    }
    out += ")\n";
    return out;
}

record::Tree treeOfGame(const GameValues& game) {
    game::MoveList moves;
    for (std::size_t k = 0; k < game.moves.size(); ++k) moves.set(static_cast<int>(k) + 1, game.moves[k]);
    record::ReadResult read = record::readRecords(recordOfGame(game.record, moves, game.base));
    return read.trees.empty() ? record::Tree() : std::move(read.trees.front());
}

record::Tree emptyGameTree(int base) {
    GameValues empty;
    empty.base = base;
    return treeOfGame(empty);
}

std::string moveListOfGame(const game::MoveList& moves) {
    std::string out;
    for (int k = 1; k <= game::MaxMoveSlots && !moves[k].empty(); ++k) {
        if (!out.empty()) out += ' ';
        out += std::to_string(k) + "." + std::string(moveValue(moves[k]));
    }
    return out;
}

}  // namespace tarnwick
