// The game tree's reader on any bytes: what it accepts is written and read
// back to equal trees, and the written text is a fixed point; each game's
// main line is played through the rules, which must name a refused move on
// that line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz/fuzz_rule.h"
#include "record/moves.h"
#include "record/text.h"

namespace {

using namespace tarnwick::record;


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ReadResult read = readRecords({reinterpret_cast<const char*>(data), size});
    require(read.error.has_value() == read.trees.empty(), "a text gives games or an error, never both");
    if (read.error) {
        require(read.error->line >= 1 && read.error->column >= 1, "an error has a place");
        return 0;
    }
    const std::string written = writeRecords(read.trees);
    const ReadResult again = readRecords(written);
    require(!again.error, "a written text is read again");
    require(again.trees == read.trees, "a written text reads back to equal trees");
    require(writeRecords(again.trees) == written, "writing is a fixed point");

    static const auto topology = std::make_shared<const tarnwick::havannah::Topology>(8);
    for (const Tree& tree : read.trees) {
        const std::vector<NodeId> line = mainLine(tree);
        const NodePosition end = positionAt(tree, line.back(), topology);
        require(!end.refused || std::ranges::find(line, end.refused->node) != line.end(), "the refused move is on the line");
        require(end.position.movesPlayed() <= moveCount(tree, line), "no more moves played than the line holds");
    }
    return 0;
}
