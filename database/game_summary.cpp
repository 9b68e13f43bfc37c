#include "database/game_summary.h"

#include <cstdio>

#include "record/header.h"
#include "record/moves.h"

namespace tarnwick::database {
namespace {

// 64 bits of FNV-1a from a seed; two seeds give the identity's 128 bits.
std::uint64_t fnv(std::string_view text, std::uint64_t seed) {
    std::uint64_t hash = 0xcbf29ce484222325ULL ^ seed;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string hashIdentity(std::string_view text) {
    char hex[40];
    std::snprintf(hex, sizeof hex, "h%016llx%016llx", static_cast<unsigned long long>(fnv(text, 0)),
                  static_cast<unsigned long long>(fnv(text, 0x5bd1e995)));
    return hex;
}

std::optional<std::int64_t> numberOf(const std::optional<std::string>& digits) {
    // gameNumber gives digits only; more than 18 of them is no game number.
    if (!digits || digits->empty() || digits->size() > 18) return std::nullopt;
    return std::stoll(*digits);
}

}  // namespace

std::string endingText(unsigned kinds) {
    if (kinds & kResignation) return "resignation";
    if (kinds == kNoEnding) return "none";
    return havannah::describe({(kinds & kRing) != 0, (kinds & kBridge) != 0, (kinds & kFork) != 0});
}

std::variant<GameSummary, NotStored> summarize(const record::Tree& tree, SymmetryTable& symmetries) {
    GameSummary game;
    const std::optional<int> base = record::base(tree);
    if (!base) return NotStored{"has no board size (SZ)"};
    if (*base < havannah::kMinBase || *base > havannah::kMaxBase)
        return NotStored{"is on a board of base " + std::to_string(*base) + ", which Havannah does not have"};
    game.base = *base;
    game.gameNumber = numberOf(record::gameNumber(tree));
    game.black = record::playerName(tree, havannah::Player::Black).value_or("");
    game.white = record::playerName(tree, havannah::Player::White).value_or("");
    game.event = record::event(tree).value_or("");
    game.result = record::headerValue(tree, "RE").value_or("");

    const Symmetry& symmetry = symmetries.forBase(*base);
    havannah::Position position(symmetries.topology(*base));
    Symmetry::Running running(symmetry);
    CanonicalKey here = running.key();
    game.positions.push_back({here.key, std::nullopt});
    // Players and moves name a game without a number.
    std::string identityText = game.black + '\n' + game.white + '\n' + std::to_string(*base) + '\n';

    const std::vector<record::NodeId> line = record::mainLine(tree);
    for (std::size_t k = 1; k < line.size(); ++k) {
        const std::optional<record::NodeMove> node = record::moveOf(tree, line[k]);
        if (!node) continue;  // a node with no move (a comment) is no move of the line
        ++game.moves;
        const std::string number = "move " + std::to_string(game.moves);
        if (!node->move) return NotStored{number + " (" + record::unescape(node->value) + ") is not a move"};
        const record::Move& move = *node->move;
        identityText += record::moveValue(move) + ';';
        if (game.ending & kResignation) return NotStored{number + " comes after a resignation"};
        if (move.kind == record::Move::Kind::Resign) {
            if (game.ending != kNoEnding) continue;  // the game was already won on the board
            game.ending = kResignation;
            game.endingMove = game.moves;
            game.winner = havannah::opponent(record::playerOfMove(game.moves));
            continue;
        }
        int next = kSwapCode;
        if (move.kind == record::Move::Kind::Swap) {
            if (const auto refusal = position.swap())
                return NotStored{number + " (swap) " + std::string(havannah::describe(*refusal))};
            // The one stone changes colour.
            for (havannah::Cell cell = 0; cell < position.topology().cellCount(); ++cell) {
                if (position.at(cell) == havannah::Stone::Empty) continue;
                running.remove(cell, havannah::Stone::Black);
                running.add(cell, havannah::Stone::White);
            }
        } else {
            const std::optional<havannah::Cell> cell = position.topology().parseCell(move.cell);
            if (!cell) return NotStored{number + " (" + move.cell + ") is off the board"};
            const havannah::Stone stone = havannah::stoneOf(position.toMove());
            if (const auto refusal = position.play(*cell))
                return NotStored{number + " (" + move.cell + ") " + std::string(havannah::describe(*refusal))};
            next = symmetry.canonicalMove(here, *cell);
            running.add(*cell, stone);
        }
        game.positions.back().next = next;
        here = running.key();
        game.positions.push_back({here.key, std::nullopt});
        if (position.isWon() && game.ending == kNoEnding) {
            const havannah::WinKinds kinds = position.winKinds();
            game.ending = (kinds.ring ? kRing : 0U) | (kinds.bridge ? kBridge : 0U) | (kinds.fork ? kFork : 0U);
            game.endingMove = game.moves;
            game.winner = position.winner();
        }
    }
    if (game.ending == kNoEnding) game.winner = record::winner(tree);
    game.identity = game.gameNumber ? "#" + std::to_string(*game.gameNumber) : hashIdentity(identityText);
    return game;
}

}  // namespace tarnwick::database
