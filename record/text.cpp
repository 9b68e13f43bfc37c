#include "record/text.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "record/syntax.h"

namespace tarnwick::record {
namespace {

using syntax::isBlank;
using syntax::isUpper;

// Where reading went wrong, as an offset into the text.
struct Failure {
    std::size_t at = 0;
    std::string reason;
};

std::size_t skipBlanks(std::string_view t, std::size_t p) {
    while (p < t.size() && isBlank(t[p])) ++p;
    return p;
}

// The "(" of the next game from `from` on: one followed by ";", blanks aside.
std::size_t nextGame(std::string_view t, std::size_t from) {
    for (std::size_t p = t.find('(', from); p != std::string_view::npos; p = t.find('(', p + 1)) {
        const std::size_t next = skipBlanks(t, p + 1);
        if (next < t.size() && t[next] == ';') return p;
    }
    return std::string_view::npos;
}

std::string unexpected(char c) {
    if (c > ' ' && c < 0x7f) return std::string("unexpected '") + c + "'";
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(c));
    return std::string("unexpected byte ") + code;
}

// An identifier in a message, cut short: it may be megabytes long.
std::string shown(std::string_view id) {
    constexpr std::size_t kShown = 16;
    return id.size() <= kShown ? std::string(id) : std::string(id.substr(0, kShown)) + "...";
}

// A node's properties from `p` (just after its ";") up to what follows
// them, as the tree stores them: blanks between tokens dropped.
struct NodeRead {
    std::string text;
    std::size_t end = 0;
    std::optional<Failure> failure;
};

NodeRead readNode(std::string_view t, std::size_t p) {
    NodeRead node;
    while (true) {
        p = skipBlanks(t, p);
        if (p == t.size() || !isUpper(t[p])) break;
        const std::size_t idStart = p;
        while (p < t.size() && isUpper(t[p])) ++p;
        const std::string_view id = t.substr(idStart, p - idStart);
        p = skipBlanks(t, p);
        if (p == t.size() || t[p] != '[') {
            node.failure = Failure{p, "property " + shown(id) + " has no value"};
            return node;
        }
        node.text += id;
        while (p < t.size() && t[p] == '[') {
            const std::size_t end = syntax::valueEnd(t, p + 1);
            if (end == std::string_view::npos) {
                node.failure = Failure{p, "the value of " + shown(id) + " is not closed by ']'"};
                return node;
            }
            node.text.append(t.substr(p, end + 1 - p));
            p = skipBlanks(t, end + 1);
        }
    }
    node.end = p;
    return node;
}

struct GameRead {
    Tree tree;
    std::size_t end = 0;
    std::optional<Failure> failure;
};

// The game whose "(" stands at `open`, with at most `nodeBudget` nodes.
// Variations are followed with a stack of the open ones, never by
// recursion, so that deep nesting is refused rather than overflowing.
GameRead readGame(std::string_view t, std::size_t open, std::size_t nodeBudget) {
    GameRead game;
    const auto fail = [&](std::size_t at, std::string reason) {
        game.failure = Failure{at, std::move(reason)};
        return std::move(game);
    };
    // Each open variation: the node it hangs from (none for the game) and
    // where its "(" stands, for the message if it is never closed.
    struct Open {
        NodeId from;
        std::size_t at;
    };
    std::vector<Open> opened{{kNoNode, open}};
    // What may come next: after "(" only a node; after a variation closes,
    // only another variation or the end of the enclosing one.
    enum class Next { Node, Any, Variation } next = Next::Node;
    NodeId current = kNoNode;

    for (std::size_t p = open + 1;;) {
        p = skipBlanks(t, p);
        if (p == t.size()) return fail(opened.back().at, "'(' is not closed by ')'");
        const char c = t[p];
        if (c == ';' && next != Next::Variation) {
            NodeRead node = readNode(t, p + 1);
            if (node.failure) return fail(node.failure->at, std::move(node.failure->reason));
            if (current != kNoNode && game.tree.size() >= nodeBudget) {
                return fail(p, "more than " + std::to_string(kMaxNodes) + " nodes");
            }
            if (current == kNoNode) {
                game.tree.setPropertyText(kRoot, std::move(node.text));
                current = kRoot;
            } else {
                current = game.tree.appendChild(current, std::move(node.text)).value();
            }
            next = Next::Any;
            p = node.end;
        } else if (c == '(' && next != Next::Node) {
            if (opened.size() >= kMaxNesting) {
                return fail(p, "variations nested more than " + std::to_string(kMaxNesting) + " deep");
            }
            opened.push_back({current, p});
            next = Next::Node;
            ++p;
        } else if (c == ')' && next != Next::Node) {
            current = opened.back().from;
            opened.pop_back();
            ++p;
            if (opened.empty()) {
                game.end = p;
                return game;
            }
            next = Next::Variation;
        } else if (next == Next::Node) {
            return fail(p, "a variation must begin with a node (';')");
        } else if (next == Next::Variation) {
            return fail(p, "after a variation only '(' or ')' may follow");
        } else {
            return fail(p, unexpected(c));
        }
    }
}

ReadError errorAt(std::string_view t, std::size_t at, std::string reason) {
    const std::string_view before = t.substr(0, at);
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column = lineStart == std::string_view::npos ? at + 1 : at - lineStart;
    return {static_cast<int>(std::ranges::count(before, '\n')) + 1, static_cast<int>(column), std::move(reason)};
}

}  // namespace

ReadResult readRecords(std::string_view text) {
    ReadResult result;
    if (text.size() > kMaxTextBytes) {
        result.error = ReadError{1, 1, "the text is larger than " + std::to_string(kMaxTextBytes >> 20) + " MiB"};
        return result;
    }
    std::size_t nodes = 0;
    for (std::size_t at = nextGame(text, 0); at != std::string_view::npos; at = nextGame(text, at)) {
        if (nodes == kMaxNodes) {
            result.trees.clear();
            result.error = errorAt(text, at, "more than " + std::to_string(kMaxNodes) + " nodes");
            return result;
        }
        GameRead game = readGame(text, at, kMaxNodes - nodes);
        if (game.failure) {
            result.trees.clear();
            result.error = errorAt(text, game.failure->at, std::move(game.failure->reason));
            return result;
        }
        nodes += game.tree.size();
        result.trees.push_back(std::move(game.tree));
        at = game.end;
    }
    if (result.trees.empty()) result.error = errorAt(text, text.size(), "no game in the text (a game begins with \"(;\")");
    return result;
}

std::string writeRecord(const Tree& tree) {
    std::string out = "(";
    // For each branching node on the way down, the next child still to be
    // written as a variation (none when the last one is being written).
    std::vector<NodeId> pending;
    NodeId n = kRoot;
    while (true) {
        out += ';';
        out += tree.propertyText(n);
        const NodeId first = tree.firstChild(n);
        if (first != kNoNode) {
            const NodeId second = tree.nextSibling(first);
            if (second != kNoNode) {
                pending.push_back(second);
                out += '(';
            }
            n = first;
            continue;
        }
        // The end of a line: close variations until one has a sibling left.
        out += ')';
        while (!pending.empty() && pending.back() == kNoNode) {
            pending.pop_back();
            out += ')';
        }
        if (pending.empty()) return out;
        n = pending.back();
        pending.back() = tree.nextSibling(n);
        out += '(';
    }
}

std::string writeRecords(std::span<const Tree> trees) {
    std::string out;
    for (const Tree& tree : trees) {
        out += writeRecord(tree);
        out += '\n';
    }
    return out;
}

}  // namespace tarnwick::record
