// The drawing primitives every screen of the program is built from.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/text_fit.h"
#include "printers.h"

namespace tarnwick {
namespace {

constexpr Colour kRed{255, 0, 0};
constexpr Colour kBlue{0, 0, 255};
constexpr Colour kGreen{0, 160, 0};

class CanvasTest : public ::testing::Test {
  protected:
    CanvasTest() { p.clearWindow(colours::kWhite); }
    Colour at(int x, int y) const { return p.getPixel(x, y); }
    int countColour(int x1, int y1, int x2, int y2, Colour c) const {
        int n = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x) n += at(x, y) == c ? 1 : 0;
        return n;
    }
    HeadlessPlatform p;
};

TEST(ColourTest, ChannelsAreClampedWhenFormed) {
    EXPECT_EQ(Colour(-20, 300, 128), Colour(0, 255, 128));
    EXPECT_EQ(Colour::fromPacked(Colour(1, 2, 3).packed()), Colour(1, 2, 3));
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPixelAndMoveThePosition) {
    p.setPos(10, 10);
    p.drawLine(20, 10, kRed);
    EXPECT_EQ(at(10, 10), kRed);
    EXPECT_EQ(at(19, 10), kRed);
    EXPECT_EQ(at(20, 10), colours::kWhite);
    EXPECT_EQ(p.canvas().pos(), (Point{20, 10}));

    // A line continued from there paints the corner once, as its first pixel.
    p.drawLine(20, 15, kBlue);
    EXPECT_EQ(at(20, 10), kBlue);
    EXPECT_EQ(at(20, 14), kBlue);
    EXPECT_EQ(at(20, 15), colours::kWhite);

    // Backwards and diagonal lines too.
    p.setPos(50, 50);
    p.drawLine(40, 40, kGreen);
    EXPECT_EQ(at(50, 50), kGreen);
    EXPECT_EQ(at(41, 41), kGreen);
    EXPECT_EQ(at(40, 40), colours::kWhite);

    // A zero-length line draws nothing.
    p.setPos(100, 100);
    p.drawLine(100, 100, kRed);
    EXPECT_EQ(at(100, 100), colours::kWhite);
}

TEST_F(CanvasTest, LinesInTheForegroundColour) {
    p.setColors(kGreen);
    p.setPos(5, 5);
    p.drawLine(5, 8, kForeground);
    EXPECT_EQ(at(5, 7), kGreen);
}

TEST_F(CanvasTest, BoxOutlineLiesOnFirstAndLastButOneColumnAndRow) {
    p.drawBox(10, 20, 16, 25, kRed, kBlue);
    EXPECT_EQ(at(10, 20), kRed);
    EXPECT_EQ(at(15, 20), kRed);
    EXPECT_EQ(at(16, 20), colours::kWhite);
    EXPECT_EQ(at(10, 24), kRed);
    EXPECT_EQ(at(10, 25), colours::kWhite);
    EXPECT_EQ(at(15, 24), kRed);
    EXPECT_EQ(countColour(11, 21, 14, 23, kBlue), 4 * 3);
    EXPECT_EQ(countColour(9, 19, 17, 26, kRed), 2 * 6 + 2 * 3);

    // Corners in any order give the same box.
    HeadlessPlatform q;
    q.clearWindow(colours::kWhite);
    q.drawBox(16, 25, 10, 20, kRed, kBlue);
    EXPECT_EQ(q.canvas().pixels(), p.canvas().pixels());
}

TEST_F(CanvasTest, BoxesAreClippedAndDoNotMoveThePosition) {
    p.setPos(7, 8);
    p.drawBox(1, 1, 1024, 768, colours::kBlack, kBlue);
    EXPECT_EQ(at(1, 1), colours::kBlack);
    EXPECT_EQ(at(1023, 500), colours::kBlack);  // right outline on column x2 - 1
    EXPECT_EQ(at(500, 740), kBlue);            // the bottom outline row 767 lies below the buffer
    EXPECT_EQ(at(0, 0), colours::kWhite);
    EXPECT_EQ(p.canvas().pos(), (Point{7, 8}));
    p.drawBox(-50, -50, -10, -10, kRed, kRed);  // wholly outside: nothing, no crash
    EXPECT_EQ(at(0, 0), colours::kWhite);
}

TEST_F(CanvasTest, FloodFillRepaintsOnlyTheFourConnectedAreaOfExactlyTheAreaColour) {
    // A red ring with a white inside; a diagonal gap does not connect.
    p.drawBox(100, 100, 120, 120, kRed, colours::kWhite);
    p.setPixel(110, 110, Colour(255, 255, 254));  // nearly white: not the area
    p.floodFill(105, 105, kBlue, colours::kWhite);
    EXPECT_EQ(at(105, 105), kBlue);
    EXPECT_EQ(at(118, 118), kBlue);
    EXPECT_EQ(at(110, 110), Colour(255, 255, 254));
    EXPECT_EQ(at(99, 99), colours::kWhite);  // outside the ring
    EXPECT_EQ(at(100, 100), kRed);

    // Pixels that touch only at a corner are not connected.
    HeadlessPlatform q;
    q.clearWindow(colours::kWhite);
    q.setPixel(10, 10, kRed);
    q.setPixel(11, 11, kRed);
    q.floodFill(10, 10, kGreen, kRed);
    EXPECT_EQ(q.getPixel(10, 10), kGreen);
    EXPECT_EQ(q.getPixel(11, 11), kRed);
}

TEST_F(CanvasTest, FloodFillDoesNothingWhenTheSeedHasAnotherColour) {
    const auto before = p.canvas().pixels();
    p.floodFill(5, 5, kBlue, kRed);
    p.floodFill(-1, 5, kBlue, colours::kWhite);
    p.floodFill(5, 5, colours::kWhite, colours::kWhite);  // fill equals area
    EXPECT_EQ(p.canvas().pixels(), before);
}

TEST_F(CanvasTest, FloodFillCoversTheWholeBuffer) {
    p.floodFill(512, 370, kGreen, colours::kWhite);
    EXPECT_EQ(countColour(0, 0, Canvas::kWidth - 1, Canvas::kHeight - 1, kGreen), Canvas::kWidth * Canvas::kHeight);
}

TEST_F(CanvasTest, PixelsOutsideTheBufferAreIgnored) {
    p.setPixel(-1, 3, kRed);
    p.setPixel(1024, 3, kRed);
    p.setPixel(3, 741, kRed);
    EXPECT_EQ(at(-1, 3), colours::kBlack);
    EXPECT_EQ(at(1023, 740), colours::kWhite);
    p.setPixel(1023, 740, kRed);
    EXPECT_EQ(at(1023, 740), kRed);
    EXPECT_EQ(p.canvas().pos(), (Point{1023, 740}));
}

TEST_F(CanvasTest, ClearWindowResetsThePosition) {
    p.setPos(40, 40);
    p.clearWindow(kBlue);
    EXPECT_EQ(at(0, 0), kBlue);
    EXPECT_EQ(at(1023, 740), kBlue);
    EXPECT_EQ(p.canvas().pos(), (Point{0, 0}));
}

class TextTest : public CanvasTest {
  protected:
    TextTest() {
        mono = p.createFont("Courier New", 10, kRegular);
        header = p.createFont("Arial", 8, kBold);
    }
    FontId mono = kNoFont;
    FontId header = kNoFont;
};

TEST_F(TextTest, FontsResolveToTheMetricCompatibleFaces) {
    EXPECT_NE(p.fonts().fileOf(mono).find("LiberationMono-Regular"), std::string::npos) << p.fonts().fileOf(mono);
    EXPECT_NE(p.fonts().fileOf(header).find("LiberationSans-Bold"), std::string::npos) << p.fonts().fileOf(header);
    const FontId serif = p.createFont("Times New Roman", 10, kRegular);
    EXPECT_NE(p.fonts().fileOf(serif).find("LiberationSerif"), std::string::npos);
    // The same request gives the same font, so re-creating fonts never grows the table.
    EXPECT_EQ(p.createFont("Courier New", 10, kRegular), mono);
}

TEST_F(TextTest, OnlyWeightAndSlantChooseTheFontFile) {
    auto fileOf = [&](int points, int style) { return p.fonts().fileOf(p.createFont("Courier New", points, style)); };
    EXPECT_EQ(fileOf(8, kRegular), p.fonts().fileOf(mono));
    EXPECT_EQ(fileOf(10, kUnderline | kStrikeOut), p.fonts().fileOf(mono));
    const std::string bold = fileOf(10, kBold | kUnderline);
    EXPECT_NE(bold.find("LiberationMono-Bold."), std::string::npos) << bold;
    EXPECT_EQ(fileOf(8, kBold), bold);
    EXPECT_NE(fileOf(10, kBold | kItalic).find("LiberationMono-BoldItalic"), std::string::npos);
    EXPECT_NE(fileOf(10, kItalic).find("LiberationMono-Italic"), std::string::npos);
    // Another family with the same style has its own file.
    EXPECT_NE(p.fonts().fileOf(p.createFont("Arial", 10, kBold)).find("LiberationSans-Bold."), std::string::npos);
}

TEST_F(TextTest, PointSizesBecomePixelsAtNinetySixDpi) {
    EXPECT_EQ(FontLibrary::pixelSizeForPoints(6), 8);
    EXPECT_EQ(FontLibrary::pixelSizeForPoints(8), 11);
    EXPECT_EQ(FontLibrary::pixelSizeForPoints(10), 13);
    EXPECT_EQ(FontLibrary::pixelSizeForPoints(12), 16);
    EXPECT_EQ(FontLibrary::pixelSizeForPoints(0), 11);  // 0 means 8 points
}

TEST_F(TextTest, MonospaceTenPointMeasuresEightPixelsACharacter) {
    p.setFont(mono);
    EXPECT_EQ(p.textSize(" Main ").width, 48);
    EXPECT_EQ(p.textSize(" Load Game ").width, 88);
    EXPECT_EQ(p.textSize(" About/Help").width, 88);
    const Extent empty = p.textSize("");
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, p.textSize("Xy").height);
    EXPECT_GE(empty.height, 13);
}

TEST_F(TextTest, TextIsOpaqueAndThePositionContinuesAfterIt) {
    p.setFont(header);
    p.setColors(colours::kBlack, kGreen);
    p.setPos(100, 200);
    p.drawText("Game #: ");
    const Extent label = p.textSize("Game #: ");
    EXPECT_EQ(p.canvas().pos(), (Point{100 + label.width, 200}));
    // The whole text box is painted: background where there is no ink.
    EXPECT_EQ(at(100 + label.width - 1, 200), kGreen);
    EXPECT_EQ(at(100, 200 + label.height - 1), kGreen);
    EXPECT_EQ(at(100 + label.width, 200), colours::kWhite);
    EXPECT_EQ(at(99, 200), colours::kWhite);

    p.drawText("1234567");
    const Extent value = p.textSize("1234567");
    EXPECT_EQ(p.canvas().pos(), (Point{100 + label.width + value.width, 200}));
    EXPECT_GT(countColour(100 + label.width, 200, 100 + label.width + value.width - 1, 200 + value.height - 1,
                          colours::kBlack),
              0);
}

TEST_F(TextTest, EmptyTextDrawsNothing) {
    p.setFont(mono);
    p.setColors(colours::kBlack, kGreen);
    p.setPos(10, 10);
    const auto before = p.canvas().pixels();
    p.drawText("");
    EXPECT_EQ(p.canvas().pixels(), before);
    EXPECT_EQ(p.canvas().pos(), (Point{10, 10}));
}

TEST_F(TextTest, TextRunningOffTheBufferIsClipped) {
    p.setFont(mono);
    p.setColors(colours::kBlack, kGreen);
    p.setPos(1000, 735);
    p.drawText("clipped at the corner");
    EXPECT_EQ(at(1023, 740), kGreen);
    p.setPos(-30, -5);
    p.drawText("and here");
    EXPECT_EQ(at(0, 0), kGreen);
}

// Shortened texts fit and are cut between whole characters: "..." in the
// middle (a message keeps its first word and a file's name) or at the end.
TEST_F(TextTest, TextsAreShortenedBetweenWholeCharacters) {
    p.setFont(mono);  // eight pixels a character
    const struct {
        std::string text;
        int characters;  // the width
        std::string middle, end;
    } cases[] = {
        {"Saved /home/me/Documents/tarnwick-1009692.sgf", 60, "Saved /home/me/Documents/tarnwick-1009692.sgf",
         "Saved /home/me/Documents/tarnwick-1009692.sgf"},
        {"Saved /home/me/Documents/tarnwick-1009692.sgf", 20, "Saved /h...09692.sgf", "Saved /home/me/Do..."},
        {"Nagy Fathy", 8, "Na...thy", "Nagy..."},  // no blank before the dots at the end
        {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 5, "\xC3\xA9...\xC3\xA9", "\xC3\xA9\xC3\xA9..."},  // UTF-8
        {"\xE9\xE9\xE9\xE9\xE9\xE9", 5, "\xE9...\xE9", "\xE9\xE9..."},                                      // Latin-1
        {"abcdef", 2, "...", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " in " + std::to_string(c.characters));
        EXPECT_EQ(shortenInMiddle(p, c.text, c.characters * 8), c.middle);
        EXPECT_EQ(shortenAtEnd(p, c.text, c.characters * 8), c.end);
    }
}

TEST_F(TextTest, BytesThatAreNotUtf8AreShownAsLatin1) {
    EXPECT_TRUE(isValidUtf8("Ren\xC3\xA9"));
    EXPECT_FALSE(isValidUtf8("Ren\xE9"));
    EXPECT_FALSE(isValidUtf8("\xC3"));          // cut short
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // surrogate
    p.setFont(mono);
    // Either way the name is one character wide per letter.
    EXPECT_EQ(p.textSize("Ren\xC3\xA9").width, 32);
    EXPECT_EQ(p.textSize("Ren\xE9").width, 32);
}

TEST(ImageTest, StretchingPicksTheNearestPixel) {
    Image source{2, 1, {Colour(255, 0, 0).packed(), Colour(0, 0, 255).packed()}};
    const Image wide = stretchImage(source, 4, 2);
    ASSERT_EQ(wide.pixels.size(), 8U);
    EXPECT_EQ(wide.pixels[1], Colour(255, 0, 0).packed());
    EXPECT_EQ(wide.pixels[2], Colour(0, 0, 255).packed());
    EXPECT_EQ(wide.pixels[7], Colour(0, 0, 255).packed());
    EXPECT_TRUE(stretchImage(Image{}, 4, 4).empty());
}

class BitmapTest : public CanvasTest {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("tarnwick-bitmap-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        p.setDataFolder(folder.string());
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // A 24-bit bottom-up BMP of 3 x 2 pixels: top row red, green, blue.
    void writeSmallBmp(const std::string& name) {
        const unsigned char pixels[2][12] = {
            {0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0},      // bottom row: black, white, black
            {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0},      // top row: red, green, blue (BGR)
        };
        std::ofstream out(folder / name, std::ios::binary);
        auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
        out.write("BM", 2);
        u32(54 + 24);
        u32(0);
        u32(54);
        u32(40);
        u32(3);
        u32(2);
        u16(1);
        u16(24);
        u32(0);
        u32(24);
        u32(2835);
        u32(2835);
        u32(0);
        u32(0);
        out.write(reinterpret_cast<const char*>(pixels), sizeof pixels);
    }

    std::filesystem::path folder;
};

TEST_F(BitmapTest, LoadsAtItsOwnSizeOrStretched) {
    writeSmallBmp("small.bmp");
    const ImageId natural = p.loadBitmap("small.bmp", 0, 0);
    p.copyBitmap(natural, 10, 10);
    EXPECT_EQ(at(10, 10), kRed);
    EXPECT_EQ(at(11, 10), Colour(0, 255, 0));
    EXPECT_EQ(at(12, 10), Colour(0, 0, 255));
    EXPECT_EQ(at(10, 11), colours::kBlack);
    EXPECT_EQ(at(13, 10), colours::kWhite);

    const ImageId stretched = p.loadBitmap("small.bmp", 6, 4);
    p.copyBitmap(stretched, 100, 100);
    EXPECT_EQ(at(101, 101), Colour(255, 0, 0));
    EXPECT_EQ(at(105, 101), Colour(0, 0, 255));
    EXPECT_EQ(at(105, 103), colours::kBlack);
    EXPECT_EQ(at(106, 100), colours::kWhite);

    // Copies are clipped at the buffer's edges.
    p.copyBitmap(stretched, 1021, 739);
    EXPECT_EQ(at(1023, 740), Colour(0, 255, 0));
    p.copyBitmap(stretched, -3, -1);
    EXPECT_EQ(at(0, 0), Colour(0, 255, 0));
}

TEST_F(BitmapTest, MissingOrUnreadableFileGivesAnEmptyImageThatDrawsNothing) {
    std::ofstream(folder / "broken.bmp") << "not a picture";
    const auto before = p.canvas().pixels();
    p.copyBitmap(p.loadBitmap("missing.bmp", 1024, 731), 1, 1);
    p.copyBitmap(p.loadBitmap("broken.bmp", 0, 0), 1, 1);
    p.copyBitmap(12345, 1, 1);  // no such image
    EXPECT_EQ(p.canvas().pixels(), before);
}

TEST_F(BitmapTest, ReleasingTheNewestImageReusesItsSlot) {
    writeSmallBmp("small.bmp");
    const ImageId keep = p.loadBitmap("small.bmp", 0, 0);
    ImageId board = p.loadBitmap("small.bmp", 0, 0);
    for (int redraw = 0; redraw < 50; ++redraw) {
        p.releaseBitmap(board);
        board = p.loadBitmap("small.bmp", 0, 0);
    }
    EXPECT_EQ(p.imageCount(), 2U);
    p.copyBitmap(keep, 0, 0);
    EXPECT_EQ(at(0, 0), Colour(255, 0, 0));
}

TEST_F(BitmapTest, EmptyImagesKeepTheirIdsWhenAnotherIsReleased) {
    const ImageId missing = p.loadBitmap("missing.bmp", 0, 0);
    const ImageId board = p.loadBitmap("missing.bmp", 0, 0);
    p.releaseBitmap(board);
    writeSmallBmp("small.bmp");
    const ImageId next = p.loadBitmap("small.bmp", 0, 0);
    EXPECT_NE(next, missing);
    p.copyBitmap(missing, 0, 0);
    EXPECT_EQ(at(0, 0), colours::kWhite) << "the missing picture still draws nothing";
}

// The same 3 x 2 picture stored in each pixel layout a BMP file can have:
// top row red, green, blue; bottom row white, black and a mixed colour
// (yellow where the layout cannot hold any channel value exactly).
struct BmpLayout {
    const char* name;
    int bitsPerPixel;
    std::uint32_t compression;          // 0 plain, 3 bit fields
    std::vector<std::uint32_t> masks;   // red, green, blue, for bit fields
    bool palette;                       // 8 bits: an index into colours()
    bool exact;                         // holds every 8-bit channel value
    std::function<std::string(Colour)> bytes;  // one pixel, unless palette
};

std::vector<Colour> pictureColours(bool exact) {
    return {kRed, Colour(0, 255, 0), kBlue, colours::kWhite, colours::kBlack,
            exact ? Colour(0x12, 0x34, 0x56) : Colour(255, 255, 0)};
}

std::string le32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string le16(std::uint16_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }

void writeBmp(const std::filesystem::path& path, const BmpLayout& layout) {
    const std::vector<Colour> colours = pictureColours(layout.exact);
    std::string table;
    if (layout.palette) {
        for (const Colour c : colours) table += std::string{static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r), 0};
    }
    for (const std::uint32_t mask : layout.masks) table += le32(mask);
    std::string rows;
    for (int y = 1; y >= 0; --y) {  // bottom row first
        std::string row;
        for (int x = 0; x < 3; ++x) {
            const int index = y * 3 + x;
            row += layout.palette ? std::string(1, static_cast<char>(index)) : layout.bytes(colours[static_cast<std::size_t>(index)]);
        }
        row.resize((row.size() + 3) / 4 * 4, '\0');
        rows += row;
    }
    const auto offset = static_cast<std::uint32_t>(14 + 40 + table.size());
    std::ofstream out(path, std::ios::binary);
    out << "BM" << le32(offset + static_cast<std::uint32_t>(rows.size())) << le32(0) << le32(offset)
        << le32(40) << le32(3) << le32(2) << le16(1) << le16(static_cast<std::uint16_t>(layout.bitsPerPixel))
        << le32(layout.compression) << le32(static_cast<std::uint32_t>(rows.size())) << le32(2835) << le32(2835)
        << le32(layout.palette ? static_cast<std::uint32_t>(colours.size()) : 0) << le32(0) << table << rows;
}

TEST_F(BitmapTest, EveryPixelLayoutGivesTheSamePicture) {
    auto bytes = [](std::initializer_list<int> values) {
        std::string out;
        for (const int v : values) out += static_cast<char>(v);
        return out;
    };
    const BmpLayout layouts[] = {
        {"24-bit", 24, 0, {}, false, true, [&](Colour c) { return bytes({c.b, c.g, c.r}); }},
        // Plain 32-bit pixels: the fourth byte is alpha (or unused) and dropped.
        {"32-bit", 32, 0, {}, false, true, [&](Colour c) { return bytes({c.b, c.g, c.r, 0x80}); }},
        {"32-bit x-r-g-b fields", 32, 3, {0xFF0000, 0xFF00, 0xFF}, false, true,
         [&](Colour c) { return bytes({c.b, c.g, c.r, 0xAB}); }},
        {"32-bit x-b-g-r fields", 32, 3, {0xFF, 0xFF00, 0xFF0000}, false, true,
         [&](Colour c) { return bytes({c.r, c.g, c.b, 0xAB}); }},
        {"16-bit 5-5-5 fields", 16, 3, {0x7C00, 0x03E0, 0x001F}, false, false,
         [&](Colour c) {
             const int v = (c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3;
             return bytes({v & 0xFF, v >> 8});
         }},
        {"8-bit palette", 8, 0, {}, true, true, nullptr},
    };
    for (const BmpLayout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        writeBmp(folder / "layout.bmp", layout);
        const Image image = loadBmpFile((folder / "layout.bmp").string(), 0, 0);
        ASSERT_EQ(image.width, 3);
        ASSERT_EQ(image.height, 2);
        const std::vector<Colour> expected = pictureColours(layout.exact);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(image.pixels[i], expected[i].packed()) << "pixel " << i;
        }
    }
}

}  // namespace
}  // namespace tarnwick
