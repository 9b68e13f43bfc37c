// Checks the generated board and stone pictures against what the program
// does with them: it draws stones by copying the stone picture and flood-
// filling the key colour, erases by painting the colour found at (x + 2,
// y - 2), flood-fills the C1 face, and writes captions opaquely on the faces
// and slots it finds at fixed places. Each look's board pictures keep the
// same places. The pictures are read from the folder of this executable,
// where the build writes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "board/geometry.h"
#include "board/layout.h"
#include "board/palette.h"
#include "platform/colour.h"
#include "platform/image.h"

namespace tarnwick {
namespace {

constexpr Colour kKey = colours::kStoneKey;

struct Box {
    int x1, y1, x2, y2;  // both corners included
};

// A picture addressed in window pixels: its pixel (0, 0) is at window (origin, origin).
struct Picture {
    int width = 0;
    int height = 0;
    int origin = 0;
    std::vector<Colour> pixels;

    bool inside(int x, int y) const {
        return x >= origin && y >= origin && x - origin < width && y - origin < height;
    }
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>((y - origin) * width + x - origin);
    }
    Colour at(int x, int y) const { return pixels[index(x, y)]; }
    void set(int x, int y, Colour c) { pixels[index(x, y)] = c; }
    void fill(Box b, Colour c) {
        for (int y = b.y1; y <= b.y2; ++y) {
            for (int x = b.x1; x <= b.x2; ++x) set(x, y, c);
        }
    }
    int count(Box b, Colour c) const {
        int n = 0;
        for (int y = b.y1; y <= b.y2; ++y) {
            for (int x = b.x1; x <= b.x2; ++x) n += at(x, y) == c ? 1 : 0;
        }
        return n;
    }
    // The program's fill: the 4-connected area colour holding (x, y); returns the pixel count.
    int floodFill(int x, int y, Colour fill, Colour area) {
        int n = 0;
        std::vector<std::pair<int, int>> stack{{x, y}};
        while (fill != area && !stack.empty()) {
            const auto [px, py] = stack.back();
            stack.pop_back();
            if (!inside(px, py) || at(px, py) != area) continue;
            set(px, py, fill);
            ++n;
            stack.insert(stack.end(), {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}});
        }
        return n;
    }
};

std::string dataFolder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path().string(); }

// Strict reader: a 24-bit uncompressed bottom-up BMP with 4-byte row padding
// and a file size that matches its header.
Picture readBmp24(const std::string& name, int origin) {
    std::ifstream in(dataFolder() + "/" + name, std::ios::binary);
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
    Picture p;
    p.origin = origin;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        ADD_FAILURE() << name << ": missing or not a BMP";
        return p;
    }
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24);
    };
    EXPECT_EQ(u32(14), 40u) << name << ": info header";
    EXPECT_EQ(u32(28) & 0xFFFF, 24u) << name << ": bits per pixel";
    EXPECT_EQ(u32(30), 0u) << name << ": compression";
    const auto width = static_cast<int>(u32(18));
    const auto height = static_cast<int>(u32(22));  // positive: rows stored bottom-up
    const std::size_t stride = (static_cast<std::size_t>(std::max(width, 0)) * 3 + 3) / 4 * 4;
    if (width <= 0 || height <= 0 || b.size() != u32(10) + stride * static_cast<std::size_t>(height)) {
        ADD_FAILURE() << name << ": size does not match its header";
        return p;
    }
    p.width = width;
    p.height = height;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = &b[u32(10) + stride * static_cast<std::size_t>(height - 1 - y)];
        for (int x = 0; x < width; ++x) p.pixels.emplace_back(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    }
    return p;
}

std::string boardFile(int base, const board::Palette& look = board::classicPalette()) {
    return board::boardPictureFile(base == 8 ? "tk-board-base-08.bmp" : "tk-board-base-10.bmp", look);
}
const Picture& board(int base, const board::Palette& look = board::classicPalette()) {
    static std::map<std::string, Picture> read;
    const std::string name = boardFile(base, look);
    if (!read.contains(name)) read[name] = readBmp24(name, 1);
    return read[name];
}
const Picture& stone(bool black) {
    static const Picture blackStone = readBmp24("stone-lg-black.bmp", 0);
    static const Picture whiteStone = readBmp24("stone-lg-white.bmp", 0);
    return black ? blackStone : whiteStone;
}

std::vector<Point> cellOrigins(int base) {
    std::vector<Point> out;
    for (int c = 1; c <= board::gridSizeFor(base); ++c) {
        for (int p = 1; p <= board::columnLength(base, c); ++p) out.push_back(*board::stoneSquareOrigin(base, c, p));
    }
    return out;
}

Colour cellColour(int base, const board::Palette& look = board::classicPalette()) {
    const Point o = *board::stoneSquareOrigin(base, 1, 1);
    return board(base, look).at(o.x + 2, o.y - 2);
}

Box square(Point o) { return {o.x, o.y, o.x + 25, o.y + 26}; }
int area(Box b) { return (b.x2 - b.x1 + 1) * (b.y2 - b.y1 + 1); }

struct Look {
    int base;
    const char* name;
    board::Palette palette;
};

class BoardPicture : public ::testing::TestWithParam<Look> {
  protected:
    int base() const { return GetParam().base; }
    const board::Palette& look() const { return GetParam().palette; }
    int offset() const { return base() == 8 ? 0 : 26; }
    const Picture& pic() const { return board(base(), look()); }
};

TEST_P(BoardPicture, HasItsSizeAndReadsTheSameThroughTheProgramsLoader) {
    ASSERT_EQ(pic().width, 1024);
    ASSERT_EQ(pic().height, 739);
    const Image loaded = loadBmpFile(dataFolder() + "/" + boardFile(base(), look()), 0, 0);
    ASSERT_EQ(loaded.width * loaded.height, 1024 * 739);
    for (const auto& [x, y] :
         {std::pair{1, 1}, std::pair{41, 591}, std::pair{500, 400}, std::pair{1024, 739}}) {
        EXPECT_EQ(Colour::fromPacked(loaded.pixels[static_cast<std::size_t>(y - 1) * 1024 + (x - 1)]),
                  pic().at(x, y));
    }
}

TEST_P(BoardPicture, EveryCellIsOneFlatColourUnderItsStoneSquare) {
    const Colour cell = cellColour(base(), look());
    EXPECT_NE(cell, kKey);
    EXPECT_EQ(cell, look().picture.cell);
    EXPECT_GE(contrastRatio(look().labelInk, cell), 4.5) << "the names read on it";
    EXPECT_EQ(cell, cellColour(base() == 8 ? 10 : 8, look())) << "the stones are blended against one cell colour";
    for (const Point o : cellOrigins(base())) {
        EXPECT_EQ(pic().at(o.x + 2, o.y - 2), cell) << o.x << "," << o.y;
        EXPECT_EQ(pic().count(square(o), cell), 26 * 27) << o.x << "," << o.y;
    }
}

TEST_P(BoardPicture, CellsAreClosedByTheirBorders) {
    // A gap in a border would let a fill from the centre run into the
    // neighbours or off the board.
    Picture p = pic();
    const double r = base() == 8 ? 20.0 : 19.0;
    for (const Point o : cellOrigins(base())) {
        const int filled = p.floodFill(o.x + 12, o.y + 13, Colour{1, 2, 3}, cellColour(base(), look()));
        EXPECT_LT(filled, 2.0 * std::sqrt(3.0) * r * r) << o.x << "," << o.y;
    }
}

TEST_P(BoardPicture, StonesPlaceAndEraseWithoutTrace) {
    Picture p = pic();
    for (const bool black : {true, false}) {
        for (const Point o : cellOrigins(base())) {
            // placeStone with the marker dot, then eraseStone.
            const Colour cell = p.at(o.x + 2, o.y - 2);
            const Picture& s = stone(black);
            for (int y = 0; y < s.height; ++y) {
                for (int x = 0; x < s.width; ++x) p.set(o.x + x, o.y + y, s.at(x, y));
            }
            p.fill({o.x + 8, o.y + 8, o.x + 15, o.y + 15}, colours::kMarker);
            p.floodFill(o.x + 1, o.y + 1, cell, kKey);
            p.floodFill(o.x + 1, o.y + 24, cell, kKey);
            EXPECT_EQ(p.count(square(o), kKey), 0) << o.x << "," << o.y;

            p.fill(square(o), kKey);
            p.floodFill(o.x + 1, o.y + 1, cell, kKey);
            p.floodFill(o.x + 1, o.y + 24, cell, kKey);
        }
    }
    EXPECT_TRUE(p.pixels == pic().pixels) << "erasing every stone must give back the empty board";
}

TEST_P(BoardPicture, LabelsButtonFaceIsFlatAndFillsExactly) {
    Picture p = pic();
    const int o = offset();
    const Colour face = p.at(41, 591);
    EXPECT_NE(face, colours::kHighlightButton);
    EXPECT_EQ(p.at(43, 582 + o), face);
    const Box faceBox{25, 563 + o, 54, 594 + o};
    EXPECT_EQ(p.count(faceBox, face), area(faceBox));
    // Pressing fills exactly the face; releasing restores the picture.
    EXPECT_EQ(p.floodFill(43, 582 + o, colours::kHighlightButton, face), area(faceBox));
    p.floodFill(43, 582 + o, face, colours::kHighlightButton);
    EXPECT_TRUE(p.pixels == pic().pixels);
    // Drawn raised, as the program redraws it.
    EXPECT_EQ(p.at(23, 561 + o), colours::kWhite);
    EXPECT_EQ(p.at(24, 594 + o), colours::kWhite);
    EXPECT_EQ(p.at(56, 561 + o), colours::kDarkGrey);
    EXPECT_EQ(p.at(23, 596 + o), colours::kDarkGrey);
}

TEST_P(BoardPicture, CaptionPlacesAreFlat) {
    const Colour sizeFace = pic().at(41, 642);
    EXPECT_NE(sizeFace, colours::kWhite);
    // "Size" over the other base's number, Arial 7 pt, with a pixel to spare
    // (base 8: none below the number, whose box ends on the face's last row);
    // then the Swap caption, Courier New 10 pt bold.
    const std::vector<std::pair<Box, Colour>> places =
        base() == 8 ? std::vector<std::pair<Box, Colour>>{{{33, 636, 56, 648}, sizeFace},
                                                          {{36, 645, 50, 656}, sizeFace},
                                                          {{118, 637, 151, 652}, colours::kWhite}}
                    : std::vector<std::pair<Box, Colour>>{{{32, 647, 55, 659}, sizeFace},
                                                          {{37, 656, 47, 668}, sizeFace},
                                                          {{96, 653, 129, 668}, colours::kWhite}};
    for (const auto& [box, colour] : places) EXPECT_EQ(pic().count(box, colour), area(box)) << box.x1;

    const Box field{49, 59, 138, 76};
    EXPECT_EQ(pic().count(field, colours::kWhite), area(field));
    for (int y = 59; y <= 76; ++y) {
        EXPECT_NE(pic().at(48, y), colours::kWhite) << "field border, row " << y;
        EXPECT_NE(pic().at(139, y), colours::kWhite) << "field border, row " << y;
        // The rest of the click area x 41..155 is plain surface.
        const Colour plain = pic().at(41, y);
        EXPECT_EQ(pic().count({41, y, 46, y}, plain) + pic().count({141, y, 155, y}, plain), 21) << y;
    }
}

TEST_P(BoardPicture, NavigationButtonsAreBevelledInsideTheirClickAreas) {
    std::vector<Box> areas;
    const std::pair<int, int> base10[] = {{16, 47}, {52, 83}, {88, 119}, {124, 155}, {161, 192}, {197, 228}};
    for (int k = 0; k < 6; ++k) {
        areas.push_back(base() == 8 ? Box{11 + 36 * k, 691, 44 + 36 * k, 726}
                                    : Box{base10[k].first, 696, base10[k].second, 728});
    }
    for (const Box& a : areas) {
        const std::string where = "button at x " + std::to_string(a.x1);
        EXPECT_EQ(pic().at(a.x1, a.y1), colours::kWhite) << where;
        EXPECT_EQ(pic().at(a.x1 + 1, a.y2 - 2), colours::kWhite) << where;
        EXPECT_EQ(pic().at(a.x2, a.y2), colours::kDarkGrey) << where;
        EXPECT_EQ(pic().at(a.x2 - 1, a.y1 + 2), colours::kDarkGrey) << where;
        EXPECT_EQ(pic().at(a.x1 + 3, a.y1 + 3), colours::kGrey) << where;
        int dark = 0;
        for (int y = a.y1 + 2; y <= a.y2 - 2; ++y) {
            for (int x = a.x1 + 2; x <= a.x2 - 2; ++x) {
                const Colour c = pic().at(x, y);
                dark += c.r + c.g + c.b < 240 ? 1 : 0;
            }
        }
        EXPECT_GT(dark, 25) << where << " has no clear glyph";
        for (int y = a.y1; y <= a.y2; ++y) {
            for (const int x : {a.x1 - 1, a.x2 + 1}) {
                const Colour c = pic().at(x, y);
                EXPECT_TRUE(c != colours::kWhite && c != colours::kGrey && c != colours::kDarkGrey)
                    << where << " spills to " << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Bases, BoardPicture,
                         ::testing::Values(Look{8, "", board::classicPalette()}, Look{10, "", board::classicPalette()},
                                           Look{8, "HighContrast", board::highContrastPalette()},
                                           Look{10, "HighContrast", board::highContrastPalette()},
                                           Look{8, "Dark", board::darkPalette()}, Look{10, "Dark", board::darkPalette()}),
                         [](const auto& info) { return "Base" + std::to_string(info.param.base) + info.param.name; });

// The move list's bands and the panel's plate in the look's colours, where
// the program draws over them and reads them back.
TEST_P(BoardPicture, PanelAndListInTheLooksColours) {
    EXPECT_EQ(pic().at(700, 270), look().listBand);
    EXPECT_EQ(pic().at(700, 600), look().listGround);
    EXPECT_EQ(pic().at(board::kPanelNoteArea.x1, board::kPanelNoteArea.y1), look().picture.panel);
}

TEST(StonePictures, KeyBackgroundIsReachableFromBothSeeds) {
    for (const bool black : {true, false}) {
        Picture s = stone(black);
        ASSERT_EQ(s.width, 26);
        ASSERT_EQ(s.height, 27);
        EXPECT_EQ(s.at(1, 1), kKey);
        EXPECT_EQ(s.at(1, 24), kKey);
        s.floodFill(1, 1, Colour{1, 2, 3}, kKey);
        s.floodFill(1, 24, Colour{1, 2, 3}, kKey);
        EXPECT_EQ(s.count({0, 0, 25, 26}, kKey), 0) << (black ? "black" : "white");
    }
}

TEST(StonePictures, StonesAreShadedUnderTheMarker) {
    for (const bool black : {true, false}) {
        const Picture& s = stone(black);
        EXPECT_EQ(s.count({8, 8, 15, 15}, kKey), 0) << "the marker dot lies on the stone";
        const auto level = [&](int x, int y) { return (s.at(x, y).r + s.at(x, y).g + s.at(x, y).b) / 3; };
        EXPECT_TRUE(black ? level(14, 16) < 70 : level(14, 16) > 170);
        EXPECT_GT(level(8, 8), level(17, 18)) << "lit from the upper left";
    }
}

TEST(StonePictures, EdgesAreBlendedAgainstTheCellNotTheKey) {
    // A pixel blended with the key colour is yellower (red well above blue)
    // than anything the stone, its shadow or the cell colour can make.
    const Colour cell = cellColour(8);
    for (const bool black : {true, false}) {
        const Picture& s = stone(black);
        for (int y = 0; y < s.height; ++y) {
            for (int x = 0; x < s.width; ++x) {
                const Colour c = s.at(x, y);
                if (c == kKey) continue;
                EXPECT_LE(c.r - c.b, cell.r - cell.b + 2) << black << " " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace tarnwick
