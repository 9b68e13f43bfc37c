// The drawing shortcuts: region fills, kept text renderings, board pictures
// taken back after release, and boxes written once. Each must give exactly
// the pixels of the plain way.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "printers.h"

namespace tarnwick {
namespace {

constexpr Colour kRed{255, 0, 0};
constexpr Colour kBlue{0, 0, 255};
constexpr Colour kGreen{0, 160, 0};

// The 4-connected region of `area` holding (x, y), found the plain way.
std::vector<bool> regionOf(const Platform& p, int x, int y, Colour area) {
    std::vector<bool> in(static_cast<std::size_t>(Canvas::kWidth) * Canvas::kHeight, false);
    if (p.getPixel(x, y) != area) return in;
    std::vector<Point> todo{{x, y}};
    in[static_cast<std::size_t>(y) * Canvas::kWidth + x] = true;
    while (!todo.empty()) {
        const Point q = todo.back();
        todo.pop_back();
        for (const Point n : {Point{q.x - 1, q.y}, Point{q.x + 1, q.y}, Point{q.x, q.y - 1}, Point{q.x, q.y + 1}}) {
            if (!Canvas::inside(n.x, n.y) || p.getPixel(n.x, n.y) != area) continue;
            const std::size_t i = static_cast<std::size_t>(n.y) * Canvas::kWidth + n.x;
            if (in[i]) continue;
            in[i] = true;
            todo.push_back(n);
        }
    }
    return in;
}

// Random blobs of two colours in a rectangle: concave, holed, split regions.
void paintNoise(Platform& p, std::mt19937& random, int x1, int y1, int x2, int y2, int percent) {
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            if (static_cast<int>(random() % 100) < percent) p.setPixel(x, y, kBlue);
}

TEST(FloodFillTest, FillsExactlyTheRegionOfTheSeedOnNoisyPictures) {
    struct Case {
        int x1, y1, x2, y2, percent;
    };
    // In the middle, and against each edge of the buffer.
    const Case cases[] = {
        {300, 300, 420, 380, 35}, {300, 300, 420, 380, 45}, {0, 0, 90, 60, 40},
        {930, 680, 1023, 740, 40}, {0, 600, 120, 740, 30},  {900, 0, 1023, 100, 38},
    };
    std::mt19937 random(1234);
    for (const Case& c : cases) {
        for (int seedTry = 0; seedTry < 4; ++seedTry) {
            HeadlessPlatform p;
            p.clearWindow(colours::kWhite);
            paintNoise(p, random, c.x1, c.y1, c.x2, c.y2, c.percent);
            const int sx = c.x1 + static_cast<int>(random() % static_cast<unsigned>(c.x2 - c.x1 + 1));
            const int sy = c.y1 + static_cast<int>(random() % static_cast<unsigned>(c.y2 - c.y1 + 1));
            const Colour area = p.getPixel(sx, sy);
            const std::vector<bool> expected = regionOf(p, sx, sy, area);
            const std::vector<std::uint32_t> before = p.canvas().pixels();
            p.floodFill(sx, sy, kRed, area);
            int wrong = 0;
            for (std::size_t i = 0; i < before.size(); ++i) {
                const std::uint32_t want = expected[i] ? kRed.packed() : before[i];
                wrong += p.canvas().pixels()[i] != want ? 1 : 0;
            }
            EXPECT_EQ(wrong, 0) << "noise " << c.percent << "% at " << c.x1 << "," << c.y1 << ", seed " << sx << ","
                                << sy;
        }
    }
}

TEST(FloodFillTest, FillsAWindingCorridorAndStopsAtOtherColours) {
    HeadlessPlatform p;
    p.clearWindow(colours::kWhite);
    // A comb: walls with gaps alternately at the top and the bottom, so the
    // one white corridor turns back on itself up and down many times.
    p.drawBox(100, 100, 301, 201, kBlue, colours::kWhite);
    for (int x = 110; x < 300; x += 10) {
        const bool gapTop = (x / 10) % 2 == 0;
        p.drawBox(x, gapTop ? 103 : 101, x + 1, gapTop ? 200 : 198, kBlue, kBlue);
    }
    const std::vector<bool> expected = regionOf(p, 105, 150, colours::kWhite);
    p.floodFill(105, 150, kGreen, colours::kWhite);
    for (int y = 95; y <= 205; ++y)
        for (int x = 95; x <= 305; ++x) {
            const bool in = expected[static_cast<std::size_t>(y) * Canvas::kWidth + x];
            EXPECT_EQ(p.getPixel(x, y) == kGreen, in) << x << "," << y;
        }
    EXPECT_EQ(p.getPixel(50, 50), colours::kWhite) << "the white outside the box is another region";
}

// What render() gives, placed at (x, y) and clipped, on a white canvas.
std::vector<std::uint32_t> expectedText(const Platform& p, FontId font, const std::string& text, Colour fg, Colour bg,
                                        int x, int y) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(Canvas::kWidth) * Canvas::kHeight,
                                      colours::kWhite.packed());
    const TextBitmap bitmap = p.fonts().render(font, text, fg, bg);
    for (int row = 0; row < bitmap.height; ++row)
        for (int col = 0; col < bitmap.width; ++col)
            if (Canvas::inside(x + col, y + row))
                pixels[static_cast<std::size_t>(y + row) * Canvas::kWidth + x + col] =
                    bitmap.pixels[static_cast<std::size_t>(row) * bitmap.width + col];
    return pixels;
}

TEST(TextReuseTest, KeptRenderingsDrawTheSamePixelsAsFreshOnes) {
    HeadlessPlatform p;
    const FontId list = p.createFont("Courier New", 8, kRegular);
    const FontId bold = p.createFont("Courier New", 8, kBold);
    const std::string longLine(FontLibrary::kMaxKeptTextBytes + 5, 'x');
    struct Draw {
        FontId font;
        std::string text;
        Colour fg, bg;
        int x, y;
    };
    // The same text again in other colours and fonts, clipped at each edge,
    // and a text too long to keep.
    const Draw draws[] = {
        {list, "12.J10", colours::kBlack, colours::kGrey, 700, 300},
        {list, "12.J10", colours::kBlack, colours::kGrey, 700, 300},
        {list, "12.J10", colours::kWhite, colours::kGrey, 700, 300},
        {bold, "12.J10", colours::kWhite, colours::kListHighlight, 700, 300},
        {list, "12.J10", colours::kBlack, colours::kGrey, -20, -5},
        {list, "12.J10", colours::kBlack, colours::kGrey, 1000, 735},
        {list, longLine, kRed, colours::kWhite, 10, 10},
        {list, longLine, kRed, colours::kWhite, 10, 10},
    };
    for (const Draw& d : draws) {
        p.clearWindow(colours::kWhite);
        p.setFont(d.font);
        p.setColors(d.fg, d.bg);
        p.setPos(d.x, d.y);
        p.drawText(d.text);
        EXPECT_EQ(p.canvas().pixels(), expectedText(p, d.font, d.text, d.fg, d.bg, d.x, d.y)) << d.text;
        EXPECT_EQ(p.canvas().pos().x, d.x + p.textSize(d.text).width);
    }
}

TEST(TextReuseTest, RenderingsStayRightWhenTheKeptOnesAreLetGo) {
    HeadlessPlatform p;
    const FontId big = p.createFont("Courier New", 30, kRegular);
    p.setFont(big);
    p.setColors(colours::kBlack, colours::kWhite);
    // Far more than the kept pixels allow: the store is emptied on the way.
    std::size_t drawnPixels = 0;
    for (int k = 0; drawnPixels < 2 * FontLibrary::kMaxKeptPixels; ++k) {
        const std::string text = "move " + std::to_string(k) + " of many";
        p.setPos(0, 0);
        p.drawText(text);
        const Extent size = p.textSize(text);
        drawnPixels += static_cast<std::size_t>(size.width) * size.height;
    }
    for (const std::string text : {"move 0 of many", "move 5 of many"}) {
        p.clearWindow(colours::kWhite);
        p.setPos(40, 40);
        p.drawText(text);
        EXPECT_EQ(p.canvas().pixels(), expectedText(p, big, text, colours::kBlack, colours::kWhite, 40, 40)) << text;
    }
}

class PictureReuseTest : public ::testing::Test {
  protected:
    PictureReuseTest() {
        folder = std::filesystem::temp_directory_path() /
                 ("tarnwick-reuse-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        p.setDataFolder(folder.string());
        p.clearWindow(colours::kWhite);
    }
    ~PictureReuseTest() override { std::filesystem::remove_all(folder); }

    // A 24-bit BMP of 4 x 2 pixels all of one colour.
    void writeBmp(const std::filesystem::path& path, Colour c) {
        std::ofstream out(path, std::ios::binary);
        auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
        out.write("BM", 2);
        for (const std::uint32_t v : {54U + 24U, 0U, 54U, 40U, 4U, 2U}) u32(v);
        u16(1);
        u16(24);
        for (const std::uint32_t v : {0U, 24U, 2835U, 2835U, 0U, 0U}) u32(v);
        for (int i = 0; i < 8; ++i) {
            const char bgr[3] = {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r)};
            out.write(bgr, 3);
        }
    }
    // Releases the picture and loads the file again, as a full redraw does.
    Colour reloadAndDraw(ImageId& image) {
        p.releaseBitmap(image);
        image = p.loadBitmap("board.bmp", 8, 4);
        p.clearWindow(colours::kWhite);
        p.copyBitmap(image, 0, 0);
        return p.getPixel(7, 3);
    }

    std::filesystem::path folder;
    HeadlessPlatform p;
};

TEST_F(PictureReuseTest, AReleasedPictureComesBackUnlessItsFileChanged) {
    writeBmp(folder / "board.bmp", kRed);
    ImageId image = p.loadBitmap("board.bmp", 8, 4);
    const ImageId first = image;
    EXPECT_EQ(reloadAndDraw(image), kRed);
    EXPECT_EQ(image, first);
    EXPECT_EQ(p.imageCount(), 1U);

    // Replaced by another file of the same size.
    writeBmp(folder / "new.bmp", kBlue);
    std::filesystem::rename(folder / "new.bmp", folder / "board.bmp");
    EXPECT_EQ(reloadAndDraw(image), kBlue);

    // Rewritten in place, with a later time.
    const auto stamp = std::filesystem::last_write_time(folder / "board.bmp");
    writeBmp(folder / "board.bmp", kGreen);
    std::filesystem::last_write_time(folder / "board.bmp", stamp + std::chrono::seconds(2));
    EXPECT_EQ(reloadAndDraw(image), kGreen);

    // Gone: nothing is drawn, as for any missing picture.
    std::filesystem::remove(folder / "board.bmp");
    EXPECT_EQ(reloadAndDraw(image), colours::kWhite);
    EXPECT_EQ(p.imageCount(), 1U);
}

TEST_F(PictureReuseTest, AReleasedPictureDrawsNothingAndOtherSizesAreReadAfresh) {
    writeBmp(folder / "board.bmp", kRed);
    const ImageId image = p.loadBitmap("board.bmp", 8, 4);
    p.releaseBitmap(image);
    p.copyBitmap(image, 0, 0);
    EXPECT_EQ(p.getPixel(0, 0), colours::kWhite);

    // The kept 8 x 4 pixels do not serve a 2 x 2 load of the same file.
    const ImageId small = p.loadBitmap("board.bmp", 2, 2);
    p.copyBitmap(small, 0, 0);
    EXPECT_EQ(p.getPixel(1, 1), kRed);
    EXPECT_EQ(p.getPixel(2, 2), colours::kWhite);
}

TEST(BoxTest, OutlineAndInsideOfSmallAndLargeBoxes) {
    HeadlessPlatform p;
    for (int w = 1; w <= 5; ++w) {
        for (int h = 1; h <= 5; ++h) {
            p.clearWindow(colours::kWhite);
            p.drawBox(10, 10, 10 + w, 10 + h, kRed, kBlue);
            for (int y = 8; y <= 17; ++y)
                for (int x = 8; x <= 17; ++x) {
                    const bool inBox = x >= 10 && x < 10 + w && y >= 10 && y < 10 + h;
                    const bool inside = x > 10 && x < 9 + w && y > 10 && y < 9 + h;
                    const Colour want = !inBox ? colours::kWhite : inside ? kBlue : kRed;
                    EXPECT_EQ(p.getPixel(x, y), want) << w << "x" << h << " at " << x << "," << y;
                }
        }
    }
    // Clipped by the buffer: the outline off the edges is not drawn.
    p.clearWindow(colours::kWhite);
    p.drawBox(1, 1, 1024, 768, colours::kBlack, colours::kWhite);
    EXPECT_EQ(p.getPixel(1, 740), colours::kBlack);
    EXPECT_EQ(p.getPixel(1023, 400), colours::kBlack);
    EXPECT_EQ(p.getPixel(500, 740), colours::kWhite);
    EXPECT_EQ(p.getPixel(0, 0), colours::kWhite);
}

}  // namespace
}  // namespace tarnwick
