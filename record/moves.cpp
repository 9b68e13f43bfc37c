#include "record/moves.h"

#include <algorithm>
#include <vector>

namespace tarnwick::record {
namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameWord(std::string_view text, std::string_view lowerWord) {
    return std::ranges::equal(text, lowerWord, [](char c, char w) { return (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) == w; });
}

// The letter and number of a cell name, as havannah::Topology::parseCell
// reads them on any board.
bool isCellName(std::string_view text) {
    if (text.size() < 2 || text.size() > 3) return false;
    const char letter = upper(text[0]);
    if (letter < 'A' || letter > 'Z' || text[1] < '1' || text[1] > '9') return false;
    return text.size() == 2 || (text[2] >= '0' && text[2] <= '9');
}

// The tag of the first move among the nodes, if any.
std::optional<std::string_view> firstTag(const Tree& tree, std::span<const NodeId> nodes) {
    for (const NodeId n : nodes) {
        if (const auto m = moveOf(tree, n)) return m->tag;
    }
    return std::nullopt;
}

}  // namespace

Move Move::at(std::string_view cellName) {
    Move move{Kind::Cell, std::string(cellName)};
    if (!move.cell.empty()) move.cell[0] = upper(move.cell[0]);
    return move;
}

std::optional<Move> parseMove(std::string_view value) {
    if (isCellName(value)) return Move::at(value);
    if (sameWord(value, "swap")) return Move::swap();
    if (sameWord(value, "resign")) return Move::resign();
    return std::nullopt;
}

std::string moveValue(const Move& move) {
    switch (move.kind) {
        case Move::Kind::Cell: return move.cell;
        case Move::Kind::Swap: return "swap";
        case Move::Kind::Resign: return "resign";
    }
    return {};
}

std::optional<NodeMove> moveOf(const Tree& tree, NodeId id) {
    if (id == kRoot) return std::nullopt;
    // A move has one value; further ones are kept but not read.
    const std::optional<Tree::FirstValue> found = tree.firstValue(id, {"B", "W"});
    if (!found) return std::nullopt;
    return NodeMove{found->id, found->value, parseMove(unescape(found->value))};
}

int moveNumber(const Tree& tree, NodeId id) {
    const std::vector<NodeId> line = lineTo(tree, id);
    return moveCount(tree, line);
}

int moveCount(const Tree& tree, std::span<const NodeId> nodes) {
    // Counting needs only the property, not what its value says.
    return static_cast<int>(
        std::ranges::count_if(nodes, [&](NodeId n) { return n != kRoot && tree.firstValue(n, {"B", "W"}).has_value(); }));
}

std::string_view tagFor(const Tree& tree, NodeId parent, int number) {
    std::optional<std::string_view> first = firstTag(tree, lineTo(tree, parent));
    if (!first) first = firstTag(tree, mainLine(tree));
    if (!first) {
        const auto rules = tree.values(kRoot, "RU");
        if (rules && rules->front() == "LG") first = "W";
    }
    const bool oddIsW = first == "W";
    return (number % 2 == 1) == oddIsW ? "W" : "B";
}

std::optional<NodeId> addMove(Tree& tree, NodeId parent, const Move& move) {
    if (!tree.contains(parent) || (move.kind == Move::Kind::Cell && !isCellName(move.cell))) return std::nullopt;
    for (const NodeId child : tree.children(parent)) {
        const auto m = moveOf(tree, child);
        if (m && m->move == move) return child;
    }
    std::string text(tagFor(tree, parent, moveNumber(tree, parent) + 1));
    text += '[' + escape(moveValue(move)) + ']';
    return tree.appendChild(parent, std::move(text));
}

NodePosition positionAt(const Tree& tree, NodeId id, const std::shared_ptr<const havannah::Topology>& topology) {
    NodePosition out{havannah::Position(topology), std::nullopt};
    havannah::Position& position = out.position;
    int number = 0;
    bool resigned = false;
    for (const NodeId n : lineTo(tree, id)) {
        const std::optional<NodeMove> m = moveOf(tree, n);
        if (!m) continue;
        ++number;
        std::string_view reason;
        std::optional<havannah::Refusal> refusal;
        if (!m->move) {
            reason = "is not a move";
        } else if (resigned) {
            reason = "comes after a resignation";
        } else if (m->move->kind == Move::Kind::Resign) {
            resigned = true;
        } else if (m->move->kind == Move::Kind::Swap) {
            refusal = position.swap();
        } else if (const std::optional<havannah::Cell> cell = topology->parseCell(m->move->cell)) {
            refusal = position.play(*cell);
        } else {
            refusal = havannah::Refusal::OffBoard;
        }
        if (refusal) reason = havannah::describe(*refusal);
        if (!reason.empty()) {
            out.refused = RefusedMove{n, number, unescape(m->value), std::string(reason)};
            break;
        }
    }
    return out;
}

}  // namespace tarnwick::record
