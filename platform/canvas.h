// The drawing surface: one 1024 x 741 pixel buffer, its drawing state and its
// primitives. Both providers draw into this same code, so what the headless
// tests read back is exactly what the window shows.
//
// Semantics every caller relies on:
//  - drawLine does not draw its end pixel and leaves the position there;
//  - drawBox puts its outline on columns x1 and x2-1 and rows y1 and y2-1,
//    corners in any order, and leaves the position alone;
//  - floodFill repaints the 4-connected region of exactly the area colour that
//    holds the seed, and does nothing when the seed has another colour;
//  - drawText paints an opaque box of the background colour behind the text
//    and leaves the position at the text's right end on the same line;
//  - everything is clipped to the buffer; reading outside it gives black.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/colour.h"
#include "platform/fonts.h"
#include "platform/image.h"

namespace tarnwick {

class Canvas {
  public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 741;

    explicit Canvas(const FontLibrary& fonts);

    void clear(Colour colour);
    void setColors(Colour foreground);
    void setColors(Colour foreground, Colour background);
    void setFont(FontId font) { font_ = font; }
    void setPos(int x, int y) { pos_ = {x, y}; }

    void drawText(std::string_view text) { drawText(text, kWidth); }
    // As drawText, but nothing from column `right` on: a text is kept to
    // its place. The position still moves on by the whole text's width.
    void drawText(std::string_view text, int right);
    Extent textSize(std::string_view text) const;
    void drawLine(int x, int y, LineColour colour);
    void drawBox(int x1, int y1, int x2, int y2, Colour line, Colour fill);
    void floodFill(int x, int y, Colour fill, Colour area);
    Colour getPixel(int x, int y) const {
        if (!inside(x, y)) return Colour{};
        return Colour::fromPacked(pixels_[index(x, y)]);
    }
    void setPixel(int x, int y, Colour colour);
    void copyImage(const Image& image, int x, int y);

    Point pos() const { return pos_; }
    Colour foreground() const { return foreground_; }
    Colour background() const { return background_; }
    FontId font() const { return font_; }

    // Row-major packed 0x00RRGGBB pixels, kWidth x kHeight.
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

    static constexpr bool inside(int x, int y) {
        return x >= 0 && y >= 0 && x < kWidth && y < kHeight;
    }

  private:
    static constexpr std::size_t index(int x, int y) {
        return static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x);
    }
    void put(int x, int y, std::uint32_t packed) {
        if (inside(x, y)) pixels_[index(x, y)] = packed;
    }
    void fillRect(int x1, int y1, int x2, int y2, std::uint32_t packed);  // inclusive

    const FontLibrary& fonts_;
    std::vector<std::uint32_t> pixels_;
    Point pos_{};
    Colour foreground_{};
    Colour background_{colours::kWhite};
    FontId font_ = kNoFont;
    struct FillRun {
        int y, x1, x2, dy;
    };
    std::vector<FillRun> fillStack_;  // reused by floodFill
};

}  // namespace tarnwick
