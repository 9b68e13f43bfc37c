#include "havannah/text.h"

#include <gtest/gtest.h>

namespace tarnwick::havannah {
namespace {

// Bases 2 and 3 written out in full, with their stones placed by name.
struct Layout {
    int base;
    const char* black;
    const char* white;
    const char* text;
};
const Layout kLayouts[] = {
    {2, "", "", "  .\n.   .\n  .\n.   .\n  .\nblack to move\n"},
    {2, "A1 B3", "C2", "  X\n.   O\n  .\nX   .\n  .\nwhite to move\n"},
    {3, "C5 A1", "C1 E3",
     "    X\n"
     "  .   .\n"
     ".   .   O\n"
     "  .   .\n"
     ".   .   .\n"
     "  .   .\n"
     "X   .   .\n"
     "  .   .\n"
     "    O\n"
     "black to move\n"},
};

TEST(TextTest, LayoutMatchesTheBoard) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.text);
        Position position(layout.base);
        int stones = 0;
        for (const auto& [names, stone] : {std::pair{layout.black, Stone::Black}, std::pair{layout.white, Stone::White}}) {
            for (std::string_view rest = names; !rest.empty();) {
                const std::string_view name = rest.substr(0, rest.find(' '));
                rest.remove_prefix(std::min(rest.size(), name.size() + 1));
                position.place(*position.topology().parseCell(name), stone);
                ++stones;
            }
        }
        position.setToMove(stones % 2 == 0 ? Player::Black : Player::White);
        EXPECT_EQ(toText(position), layout.text);
        const auto parsed = parsePosition(layout.text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(toText(*parsed), layout.text);
        EXPECT_EQ(parsed->movesPlayed(), stones);
    }
}

TEST(TextTest, RoundTripOnEveryBase) {
    for (int base = kMinBase; base <= kMaxBase; ++base) {
        Position position(base);
        const int cells = position.topology().cellCount();
        // A fixed scatter of both colours over the board.
        for (Cell cell = 0; cell < cells; ++cell)
            position.place(cell, cell % 3 == 0 ? Stone::Black : cell % 7 == 1 ? Stone::White : Stone::Empty);
        position.setToMove(Player::White);
        const std::string text = toText(position);
        const auto parsed = parsePosition(text);
        ASSERT_TRUE(parsed.has_value()) << base;
        EXPECT_EQ(parsed->base(), base);
        EXPECT_EQ(toText(*parsed), text);
    }
}

TEST(TextTest, ParsingIsLenientOnBlanksAndCaseOnly) {
    const auto loose = parsePosition(" x \t.\r\n. o .\n\n.\t.\n   white to move  \n\n");
    ASSERT_TRUE(loose.has_value());
    EXPECT_EQ(toText(*loose), "  X\n.   .\n  O\n.   .\n  .\nwhite to move\n");
    // Without the side line the side follows from the stones.
    EXPECT_EQ(parsePosition("X......")->toMove(), Player::White);
    EXPECT_EQ(parsePosition("X.O....")->toMove(), Player::Black);
    EXPECT_EQ(parsePosition("X.O....\nwhite to move")->toMove(), Player::White);
    EXPECT_EQ(parsePosition(std::string(cellCountFor(12), '.'))->base(), 12);
    for (const char* bad : {"", "......", "........", "...-...", ".......\nred to move",
                            ".......\nblack to move\nblack to move", ".......black to move", "white to move",
                            ".......\nBlack to move"}) {
        EXPECT_EQ(parsePosition(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(parsePosition(std::string(".......\0", 8)), std::nullopt);
    EXPECT_EQ(parsePosition(std::string(cellCountFor(12) + 1, '.')), std::nullopt);
    EXPECT_EQ(parsePosition(std::string(100000, '.')), std::nullopt);
}

}  // namespace
}  // namespace tarnwick::havannah
