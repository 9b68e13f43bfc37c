#include "record/tree.h"

#include <algorithm>
#include <utility>

#include "record/syntax.h"

namespace tarnwick::record {
namespace {

using syntax::isUpper;
using syntax::valueEnd;

// Calls visit(id, values) for each property of well-formed property text.
template <typename Visit>
void forEachProperty(std::string_view text, Visit visit) {
    std::size_t p = 0;
    std::vector<std::string_view> values;
    while (p < text.size()) {
        const std::size_t idStart = p;
        while (p < text.size() && isUpper(text[p])) ++p;
        const std::string_view id = text.substr(idStart, p - idStart);
        values.clear();
        while (p < text.size() && text[p] == '[') {
            const std::size_t end = valueEnd(text, p + 1);
            values.push_back(text.substr(p + 1, end - p - 1));
            p = end + 1;
        }
        if (!visit(id, values)) return;
    }
}

}  // namespace

bool isPropertyText(std::string_view text) {
    std::size_t p = 0;
    while (p < text.size()) {
        const std::size_t idStart = p;
        while (p < text.size() && isUpper(text[p])) ++p;
        if (p == idStart || p == text.size() || text[p] != '[') return false;
        while (p < text.size() && text[p] == '[') {
            const std::size_t end = valueEnd(text, p + 1);
            if (end == std::string_view::npos) return false;
            p = end + 1;
        }
    }
    return true;
}

std::string unescape(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t p = 0; p < raw.size(); ++p) {
        if (raw[p] != '\\') {
            out += raw[p];
            continue;
        }
        if (++p == raw.size()) break;
        // A line break after the escape only splits a long value: "\r\n" and
        // "\n\r" count as one break.
        if (raw[p] == '\n' || raw[p] == '\r') {
            if (p + 1 < raw.size() && (raw[p + 1] == '\n' || raw[p + 1] == '\r') && raw[p + 1] != raw[p]) ++p;
            continue;
        }
        out += raw[p];
    }
    return out;
}

std::string escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == ']' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

Tree::Tree() : nodes_(1) {}

std::vector<NodeId> Tree::children(NodeId id) const {
    std::vector<NodeId> out;
    for (NodeId c = firstChild(id); c != kNoNode; c = nodes_[c].nextSibling) out.push_back(c);
    return out;
}

std::string_view Tree::propertyText(NodeId id) const { return contains(id) ? std::string_view(nodes_[id].text) : std::string_view(); }

std::vector<Property> Tree::properties(NodeId id) const {
    std::vector<Property> out;
    forEachProperty(propertyText(id), [&](std::string_view name, const std::vector<std::string_view>& values) {
        out.push_back({name, values});
        return true;
    });
    return out;
}

std::optional<std::vector<std::string_view>> Tree::values(NodeId id, std::string_view property) const {
    std::optional<std::vector<std::string_view>> found;
    forEachProperty(propertyText(id), [&](std::string_view name, const std::vector<std::string_view>& values) {
        if (name == property) found = values;
        return !found;
    });
    return found;
}

std::optional<Tree::FirstValue> Tree::firstValue(NodeId id, std::initializer_list<std::string_view> ids) const {
    const std::string_view text = propertyText(id);
    for (std::size_t p = 0; p < text.size();) {
        const std::size_t idStart = p;
        while (isUpper(text[p])) ++p;  // property text always has a "[" after the identifier
        const std::string_view name = text.substr(idStart, p - idStart);
        const std::size_t firstEnd = valueEnd(text, p + 1);
        if (std::ranges::find(ids, name) != ids.end()) return FirstValue{name, text.substr(p + 1, firstEnd - p - 1)};
        p = firstEnd + 1;
        while (p < text.size() && text[p] == '[') p = valueEnd(text, p + 1) + 1;
    }
    return std::nullopt;
}

bool Tree::setPropertyText(NodeId id, std::string text) {
    if (!contains(id) || !isPropertyText(text)) return false;
    nodes_[id].text = std::move(text);
    return true;
}

std::optional<NodeId> Tree::appendChild(NodeId parentId, std::string text) {
    if (!contains(parentId) || !isPropertyText(text) || nodes_.size() >= kNoNode) return std::nullopt;
    const auto id = static_cast<NodeId>(nodes_.size());
    nodes_.push_back(Node{parentId, kNoNode, kNoNode, kNoNode, std::move(text)});
    Node& parentNode = nodes_[parentId];
    (parentNode.lastChild == kNoNode ? parentNode.firstChild : nodes_[parentNode.lastChild].nextSibling) = id;
    parentNode.lastChild = id;
    ++live_;
    return id;
}

void Tree::unlink(NodeId id) {
    Node& parentNode = nodes_[nodes_[id].parent];
    NodeId before = kNoNode;
    for (NodeId c = parentNode.firstChild; c != id; c = nodes_[c].nextSibling) before = c;
    (before == kNoNode ? parentNode.firstChild : nodes_[before].nextSibling) = nodes_[id].nextSibling;
    if (parentNode.lastChild == id) parentNode.lastChild = before;
    nodes_[id].nextSibling = kNoNode;
}

bool Tree::promote(NodeId id) {
    if (!contains(id)) return false;
    for (NodeId n = id; n != kRoot; n = nodes_[n].parent) {
        Node& parentNode = nodes_[nodes_[n].parent];
        if (parentNode.firstChild == n) continue;
        unlink(n);
        nodes_[n].nextSibling = parentNode.firstChild;
        parentNode.firstChild = n;  // not the last: the former first child follows
    }
    return true;
}

bool Tree::remove(NodeId id) {
    if (id == kRoot || !contains(id)) return false;
    unlink(id);
    // Marks the subtree removed, walking it with a stack of its own: a line
    // may be thousands of nodes deep.
    std::vector<NodeId> pending{id};
    while (!pending.empty()) {
        const NodeId n = pending.back();
        pending.pop_back();
        for (NodeId c = nodes_[n].firstChild; c != kNoNode; c = nodes_[c].nextSibling) pending.push_back(c);
        nodes_[n] = Node{};
        --live_;
    }
    return true;
}

bool operator==(const Tree& a, const Tree& b) {
    if (a.size() != b.size()) return false;
    // Walks both trees side by side: each pair holds nodes in the same place.
    std::vector<std::pair<NodeId, NodeId>> pending{{kRoot, kRoot}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        if (a.nodes_[x].text != b.nodes_[y].text) return false;
        NodeId cx = a.nodes_[x].firstChild;
        NodeId cy = b.nodes_[y].firstChild;
        for (; cx != kNoNode && cy != kNoNode; cx = a.nodes_[cx].nextSibling, cy = b.nodes_[cy].nextSibling) {
            pending.emplace_back(cx, cy);
        }
        if (cx != cy) return false;  // one has more children than the other
    }
    return true;
}

std::vector<NodeId> lineTo(const Tree& tree, NodeId id) {
    std::vector<NodeId> line;
    for (NodeId n = tree.contains(id) ? id : kNoNode; n != kNoNode; n = tree.parent(n)) line.push_back(n);
    return {line.rbegin(), line.rend()};
}

std::vector<NodeId> mainLine(const Tree& tree) {
    std::vector<NodeId> line;
    for (NodeId n = kRoot; n != kNoNode; n = tree.firstChild(n)) line.push_back(n);
    return line;
}

Siblings siblingsOf(const Tree& tree, NodeId id) {
    if (!tree.contains(id)) return {};
    if (id == kRoot) return {{kRoot}, 0};
    Siblings out{tree.children(tree.parent(id)), 0};
    while (out.nodes[out.index] != id) ++out.index;
    return out;
}

}  // namespace tarnwick::record
