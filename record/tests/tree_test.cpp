// The tree's operations, each on a small record given as text, with the
// tree written out afterwards and what the operation answered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/moves.h"
#include "record/text.h"

namespace tarnwick::record {
namespace {

Tree treeOf(const std::string& text) {
    ReadResult read = readRecords(text);
    EXPECT_FALSE(read.error) << text << ": " << read.error->reason;
    return read.trees.empty() ? Tree() : std::move(read.trees.front());
}

// The node whose move value is `value` ("" for the root), first in a
// depth-first walk; kNoNode when there is none.
NodeId nodePlaying(const Tree& tree, const std::string& value) {
    if (value.empty()) return kRoot;
    std::vector<NodeId> pending{kRoot};
    while (!pending.empty()) {
        const NodeId n = pending.back();
        pending.pop_back();
        const auto m = moveOf(tree, n);
        if (m && m->value == value) return n;
        for (const NodeId c : tree.children(n)) pending.push_back(c);
    }
    return kNoNode;
}

// The move values of the nodes, the root written "root".
std::string valuesOf(const Tree& tree, const std::vector<NodeId>& nodes) {
    std::string out;
    for (const NodeId n : nodes) {
        const auto m = moveOf(tree, n);
        out += (out.empty() ? "" : " ") + (m ? std::string(m->value) : std::string("root"));
    }
    return out;
}

enum class Op { Add, Promote, Remove };

TEST(TreeTest, Operations) {
    const char* const branched = "(;FF[4];W[A1](;B[B2];W[D4])(;B[C3](;W[E5])(;W[F6])))";
    const struct {
        const char* before;
        Op op;
        const char* at;    // the node operated on, by its move value ("" the root)
        const char* move;  // for Add
        const char* after;
        const char* answer;    // Add: the node returned; Promote, Remove: "yes" or "no"
        const char* line;      // to the node answered (Add) or operated on, after the operation
        const char* siblings;  // of that node, with its index
        const char* main;      // the main line after the operation
    } cases[] = {
        {branched, Op::Add, "A1", "c3", branched, "C3", "root A1 C3", "B2 C3 @1", "root A1 B2 D4"},
        {branched, Op::Add, "A1", "swap", "(;FF[4];W[A1](;B[B2];W[D4])(;B[C3](;W[E5])(;W[F6]))(;B[swap]))", "swap",
         "root A1 swap", "B2 C3 swap @2", "root A1 B2 D4"},
        {branched, Op::Add, "F6", "g7", "(;FF[4];W[A1](;B[B2];W[D4])(;B[C3](;W[E5])(;W[F6];B[G7])))", "G7",
         "root A1 C3 F6 G7", "G7 @0", "root A1 B2 D4"},
        {"(;FF[4];B[A1])", Op::Add, "A1", "E5", "(;FF[4];B[A1];W[E5])", "E5", "root A1 E5", "E5 @0", "root A1 E5"},
        {"(;FF[4]RU[LG])", Op::Add, "", "H3", "(;FF[4]RU[LG];W[H3])", "H3", "root H3", "H3 @0", "root H3"},
        {"(;FF[4])", Op::Add, "", "resign", "(;FF[4];B[resign])", "resign", "root resign", "resign @0", "root resign"},
        {branched, Op::Promote, "F6", "", "(;FF[4];W[A1](;B[C3](;W[F6])(;W[E5]))(;B[B2];W[D4]))", "yes",
         "root A1 C3 F6", "F6 E5 @0", "root A1 C3 F6"},
        {branched, Op::Promote, "D4", "", branched, "yes", "root A1 B2 D4", "D4 @0", "root A1 B2 D4"},
        {branched, Op::Remove, "B2", "", "(;FF[4];W[A1];B[C3](;W[E5])(;W[F6]))", "yes", "", "", "root A1 C3 E5"},
        {branched, Op::Remove, "E5", "", "(;FF[4];W[A1](;B[B2];W[D4])(;B[C3];W[F6]))", "yes", "", "", "root A1 B2 D4"},
        {branched, Op::Remove, "", "", branched, "no", "root", "root @0", "root A1 B2 D4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " at " + c.at + " " + c.move);
        Tree tree = treeOf(c.before);
        NodeId node = nodePlaying(tree, c.at);
        ASSERT_NE(node, kNoNode);
        std::string answer;
        if (c.op == Op::Add) {
            const std::optional<NodeId> added = addMove(tree, node, *parseMove(c.move));
            ASSERT_TRUE(added);
            node = *added;
            answer = moveOf(tree, node)->value;
        } else {
            answer = (c.op == Op::Promote ? tree.promote(node) : tree.remove(node)) ? "yes" : "no";
        }
        EXPECT_EQ(writeRecord(tree), c.after);
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(valuesOf(tree, lineTo(tree, node)), c.line);
        const Siblings siblings = siblingsOf(tree, node);
        const std::string shownSiblings = siblings.nodes.empty() ? "" : valuesOf(tree, siblings.nodes) + " @" + std::to_string(siblings.index);
        EXPECT_EQ(shownSiblings, c.siblings);
        EXPECT_EQ(valuesOf(tree, mainLine(tree)), c.main);
        EXPECT_EQ(tree, treeOf(c.after));
    }
}

TEST(TreeTest, EqualityIsShapeAndText) {
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"(;A[1];B[2])", "(;A[1](;B[2]))", true},
        {"(;A[1](;B[2])(;C[3]))", "(;A[1](;C[3])(;B[2]))", false},
        {"(;A[1](;B[2])(;C[3]))", "(;A[1];B[2];C[3])", false},
        {"(;A[1];B[2])", "(;A[1];B[2]C[])", false},
        {"(;A[1];B[2])", "(;A[1];B[2];;)", false},
    };
    for (const auto& c : cases) EXPECT_EQ(treeOf(c.a) == treeOf(c.b), c.equal) << c.a << " " << c.b;
}

// A removed node's id stays refused: nothing is added below it, and the
// tree does not hand it out again.
TEST(TreeTest, RemovedIdsStayInvalid) {
    Tree tree = treeOf("(;FF[4];W[A1];B[B2])");
    const NodeId b2 = nodePlaying(tree, "B2");
    ASSERT_TRUE(tree.remove(nodePlaying(tree, "A1")));
    EXPECT_EQ(tree.size(), 1U);
    EXPECT_FALSE(tree.contains(b2));
    EXPECT_FALSE(addMove(tree, b2, Move::at("C3")));
    EXPECT_FALSE(addMove(tree, kRoot, Move::at("C3]")));  // not a cell name
    EXPECT_FALSE(tree.promote(b2));
    const std::optional<NodeId> added = addMove(tree, kRoot, Move::at("C3"));
    ASSERT_TRUE(added);
    EXPECT_NE(*added, b2);
    EXPECT_EQ(writeRecord(tree), "(;FF[4];B[C3])");  // the W-first line went with A1
}

}  // namespace
}  // namespace tarnwick::record
