// The game tree of a record: nodes in one flat vector, named by index.
//
// Every node holds its properties as the record gave them, identifiers and
// raw values with their escapes, in their order, packed in one string
// ("W[H3]C[good \] move]"): a move node's text fits in the string's own
// buffer, so most nodes cost no allocation. Only the blanks between tokens
// are dropped. Children are kept in order through first-child and
// next-sibling links; the first child continues the main line.
//
// Node 0 is the root (the record's header, no move). Ids stay valid until
// their node is removed; a removed node's id is never handed out again, so
// a stale id is refused rather than silently naming another node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::record {

using NodeId = std::uint32_t;
inline constexpr NodeId kRoot = 0;
inline constexpr NodeId kNoNode = UINT32_MAX;

// One property as stored: the identifier and its raw values, escapes kept.
struct Property {
    std::string_view id;
    std::vector<std::string_view> values;
};

// Whether `text` is a run of properties as a node stores them: identifiers
// of upper-case letters, each followed by one or more bracketed values in
// which "]" and "\" appear only escaped; no blanks between tokens.
bool isPropertyText(std::string_view text);

// A value's raw text as the reader's user sees it: an escaped character
// stands for itself, an escaped line break is dropped.
std::string unescape(std::string_view raw);
// Text as a raw value: "]" and "\" escaped.
std::string escape(std::string_view text);

class Tree {
  public:
    // A root without properties and nothing below it.
    Tree();

    NodeId root() const { return kRoot; }
    // Whether the id names a node of this tree that has not been removed.
    bool contains(NodeId id) const { return id < nodes_.size() && (id == kRoot || nodes_[id].parent != kNoNode); }
    // Nodes in the tree (the root included).
    std::size_t size() const { return live_; }

    // kNoNode where there is none, and for an id the tree does not contain.
    NodeId parent(NodeId id) const { return contains(id) ? nodes_[id].parent : kNoNode; }
    NodeId firstChild(NodeId id) const { return contains(id) ? nodes_[id].firstChild : kNoNode; }
    NodeId nextSibling(NodeId id) const { return contains(id) ? nodes_[id].nextSibling : kNoNode; }
    std::vector<NodeId> children(NodeId id) const;

    // The node's properties as stored (see isPropertyText); empty for an id
    // the tree does not contain.
    std::string_view propertyText(NodeId id) const;
    std::vector<Property> properties(NodeId id) const;
    // The raw values of the node's first property with that identifier.
    std::optional<std::vector<std::string_view>> values(NodeId id, std::string_view property) const;
    // The node's first property whose identifier is one of `ids`: that
    // identifier and its first raw value. Allocates nothing, for reading a
    // move on every node of a line.
    struct FirstValue {
        std::string_view id;
        std::string_view value;
    };
    std::optional<FirstValue> firstValue(NodeId id, std::initializer_list<std::string_view> ids) const;

    // Replaces the node's properties; false (nothing changed) when the text
    // is not property text or the tree does not contain the node.
    bool setPropertyText(NodeId id, std::string text);
    // Adds a node with these properties as the parent's last child; none
    // when the text is not property text, the parent is not in the tree or
    // the tree holds as many nodes as ids allow.
    std::optional<NodeId> appendChild(NodeId parent, std::string text);

    // Makes the node its parent's first child, and so on up to the root:
    // the line to the node becomes the main line. False for an id the tree
    // does not contain.
    bool promote(NodeId id);
    // Removes the node and everything below it; their ids become invalid.
    // False for the root and for an id the tree does not contain.
    bool remove(NodeId id);

    // Same shape and the same property text node by node, children in the
    // same order; ids and removed nodes do not count.
    friend bool operator==(const Tree& a, const Tree& b);

  private:
    // A removed node has no parent (only the root has none otherwise). The
    // last child is kept so that reading a node with many variations stays
    // linear.
    struct Node {
        NodeId parent = kNoNode;
        NodeId firstChild = kNoNode;
        NodeId lastChild = kNoNode;
        NodeId nextSibling = kNoNode;
        std::string text;
    };
    // Takes the node out of its parent's list of children.
    void unlink(NodeId id);

    std::vector<Node> nodes_;
    std::size_t live_ = 1;

  public:
    // For reports of memory use: the size of one node before its text.
    static constexpr std::size_t kNodeBytes = sizeof(Node);
};

// --- Walking the tree ---
// The node ids from the root down to the node, both included; empty for an
// id the tree does not contain.
std::vector<NodeId> lineTo(const Tree& tree, NodeId id);
// The root and first children down to the end of the main line.
std::vector<NodeId> mainLine(const Tree& tree);
// The node's parent's children in order (the root alone for the root) and
// where the node stands among them.
struct Siblings {
    std::vector<NodeId> nodes;
    std::size_t index = 0;
};
Siblings siblingsOf(const Tree& tree, NodeId id);

}  // namespace tarnwick::record
