#include "game/variations.h"

#include <algorithm>
#include <utility>

#include "game/navigation.h"
#include "record/moves.h"

namespace tarnwick::game {
namespace {

using record::NodeId;

bool hasMove(const record::Tree& tree, NodeId node) { return record::moveOf(tree, node).has_value(); }

// A move with an empty value ends what the list can show of a line, as the
// first empty value ends a record's moves for the server's reader.
bool endsLine(const record::Tree& tree, NodeId node) {
    const auto move = record::moveOf(tree, node);
    return move && move->value.empty();
}

// The move value of a list entry: "12.C10" -> "C10".
std::string_view entryValue(std::string_view entry) {
    const std::size_t point = entry.find('.');
    return point == std::string_view::npos ? entry : entry.substr(point + 1);
}

// Adds an entry's move below `parent`: a move the record syntax knows as
// such, else the value kept as it is.
NodeId appendEntry(record::Tree& tree, NodeId parent, int number, std::string_view value) {
    if (const auto move = record::parseMove(value)) {
        if (const auto child = record::addMove(tree, parent, *move)) return *child;
    }
    const std::string text = std::string(record::tagFor(tree, parent, number)) + "[" + record::escape(value) + "]";
    return tree.appendChild(parent, text).value_or(parent);
}

// Writes Moves from the line and keeps CurrentMove on it (nothing drawn).
void writeLine(GameFields& g, std::vector<NodeId> line) {
    g.Line = std::move(line);
    for (int k = 1; k <= MaxMoveSlots; ++k) {
        const auto at = static_cast<std::size_t>(k);
        g.Moves.set(k, at < g.Line.size() ? entryText(g.Tree, g.Line[at], k) : std::string());
    }
    g.LineRevision = g.Moves.revision();
    g.CurrentMove = std::min(g.CurrentMove, g.moveCount());
}

// Shows a new line in the list, the board at the same move.
void showLine(Game game, std::vector<NodeId> line) {
    writeLine(game.state, std::move(line));
    // The list is drawn anew: the entry highlighted before is no longer
    // there to be drawn plain again.
    game.list.HighlightText.clear();
    rebuildMoveList(game);
    showCurrentPosition(game);
    markCurrentMove(game);
}

bool onMainLine(const record::Tree& tree, NodeId node) {
    for (NodeId n = node; n != record::kRoot; n = tree.parent(n)) {
        if (n == record::kNoNode || tree.firstChild(tree.parent(n)) != n) return false;
    }
    return true;
}

// The alternatives of a move: its parent's children that hold a move.
record::Siblings alternativesOf(const record::Tree& tree, NodeId node) {
    record::Siblings siblings = record::siblingsOf(tree, node);
    record::Siblings moves;
    for (std::size_t i = 0; i < siblings.nodes.size(); ++i) {
        if (!hasMove(tree, siblings.nodes[i])) continue;
        if (i == siblings.index) moves.index = moves.nodes.size();
        moves.nodes.push_back(siblings.nodes[i]);
    }
    return moves;
}

}  // namespace

std::vector<NodeId> lineThrough(const record::Tree& tree, NodeId node) {
    std::vector<NodeId> line{record::kRoot};
    std::vector<NodeId> nodes = record::lineTo(tree, node);
    for (NodeId n = tree.firstChild(node); n != record::kNoNode; n = tree.firstChild(n)) nodes.push_back(n);
    for (const NodeId n : nodes) {
        if (n == record::kRoot || !hasMove(tree, n)) continue;
        if (endsLine(tree, n) || line.size() > static_cast<std::size_t>(MaxMoveSlots)) break;
        line.push_back(n);
    }
    return line;
}

std::string entryText(const record::Tree& tree, NodeId node, int k) {
    const auto move = record::moveOf(tree, node);
    return std::to_string(k) + "." + (move ? record::unescape(move->value) : std::string());
}

void takeTree(GameFields& g, record::Tree tree) {
    g.Tree = std::move(tree);
    g.Unsaved = false;
    g.Judged.clear();
    writeLine(g, lineThrough(g.Tree, record::kRoot));
}

void syncTree(GameFields& g) {
    if (g.LineRevision == g.Moves.revision()) return;
    record::Tree tree;
    tree.setPropertyText(record::kRoot, std::string(g.Tree.propertyText(record::kRoot)));
    std::vector<NodeId> line{record::kRoot};
    for (int k = 1; k <= g.moveCount(); ++k) line.push_back(appendEntry(tree, line.back(), k, entryValue(g.Moves[k])));
    g.Tree = std::move(tree);
    g.Line = std::move(line);
    g.LineRevision = g.Moves.revision();
}

EntryMarks entryMarks(const GameFields& g, int k) {
    const auto at = static_cast<std::size_t>(k);
    if (g.LineRevision != g.Moves.revision() || k < 1 || at >= g.Line.size()) return {};
    const NodeId node = g.Line[at];
    const auto judged = g.Judged.find(node);
    return {!onMainLine(g.Tree, node), alternativesOf(g.Tree, node).nodes.size() > 1,
            judged == g.Judged.end() ? 0 : judged->second};
}

bool playMove(Game game, const record::Move& move) {
    GameFields& g = game.state;
    if (g.CurrentMove >= MaxMoveSlots) return false;
    syncTree(g);
    const std::size_t nodesBefore = g.Tree.size();
    const auto child = record::addMove(g.Tree, g.Line[static_cast<std::size_t>(g.CurrentMove)], move);
    if (!child) return false;
    const bool added = g.Tree.size() != nodesBefore;
    g.Unsaved = g.Unsaved || added;
    if (added && g.CurrentMove == g.moveCount()) {
        // The list grows by one entry, as it does in a game without
        // variations: nothing else in it is drawn again.
        const int k = g.CurrentMove + 1;
        g.Line.resize(static_cast<std::size_t>(k));
        g.Line.push_back(*child);
        g.CurrentMove = k;
        // The swap caption has always listed its move as the bare word.
        g.Moves.set(k, move.kind == record::Move::Kind::Swap ? std::string("swap") : entryText(g.Tree, *child, k));
        g.LineRevision = g.Moves.revision();
        appendListEntry(game, k);
        showCurrentPosition(game);
        markCurrentMove(game);
        return true;
    }
    showLine(game, lineThrough(g.Tree, *child));
    stepForward(game);
    return true;
}

bool switchVariation(Game game, int step) {
    GameFields& g = game.state;
    if (g.CurrentMove < 1) return false;
    syncTree(g);
    const record::Siblings alternatives = alternativesOf(g.Tree, g.Line[static_cast<std::size_t>(g.CurrentMove)]);
    const auto index = static_cast<std::ptrdiff_t>(alternatives.index) + step;
    if (index < 0 || index >= static_cast<std::ptrdiff_t>(alternatives.nodes.size())) return false;
    showLine(game, lineThrough(g.Tree, alternatives.nodes[static_cast<std::size_t>(index)]));
    return true;
}

bool followVariationAfterTakeBack(Game game) {
    GameFields& g = game.state;
    const NodeId before = g.Line[static_cast<std::size_t>(g.CurrentMove) - 1];
    std::vector<NodeId> line = lineThrough(g.Tree, before);
    if (line.size() <= static_cast<std::size_t>(g.CurrentMove)) return false;
    g.CurrentMove -= 1;
    showLine(game, std::move(line));
    return true;
}

bool promoteShownLine(Game game) {
    GameFields& g = game.state;
    syncTree(g);
    if (onMainLine(g.Tree, g.Line.back())) return false;
    g.Tree.promote(g.Line.back());
    g.Unsaved = true;
    showLine(game, g.Line);
    return true;
}

bool addVariation(Game game, const std::vector<record::Move>& moves) {
    GameFields& g = game.state;
    syncTree(g);
    NodeId node = g.Line[static_cast<std::size_t>(g.CurrentMove)];
    const std::size_t nodesBefore = g.Tree.size();
    const int room = MaxMoveSlots - g.CurrentMove;
    for (std::size_t i = 0; i < moves.size() && static_cast<int>(i) < room; ++i) {
        const auto child = record::addMove(g.Tree, node, moves[i]);
        if (!child) break;
        node = *child;
    }
    if (g.Tree.size() == nodesBefore) return false;
    g.Unsaved = true;
    showLine(game, lineThrough(g.Tree, node));
    return true;
}

std::string variationNote(const GameFields& g) {
    if (g.LineRevision != g.Moves.revision()) return {};
    for (int k = std::min<int>(g.CurrentMove, static_cast<int>(g.Line.size()) - 1); k >= 1; --k) {
        const record::Siblings alternatives = alternativesOf(g.Tree, g.Line[static_cast<std::size_t>(k)]);
        if (alternatives.nodes.size() > 1) {
            return "variation " + std::to_string(alternatives.index + 1) + " of " +
                   std::to_string(alternatives.nodes.size()) + " at move " + std::to_string(k);
        }
    }
    return {};
}

std::string shownComment(const GameFields& g) {
    const auto at = static_cast<std::size_t>(g.CurrentMove);
    if (g.LineRevision != g.Moves.revision() || at >= g.Line.size()) return {};
    const auto values = g.Tree.values(g.Line[at], "C");
    return values && !values->empty() ? record::unescape(values->front()) : std::string();
}

}  // namespace tarnwick::game
