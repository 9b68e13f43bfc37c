#include "platform/canvas.h"

#include <algorithm>
#include <cstdlib>

namespace tarnwick {

Canvas::Canvas(const FontLibrary& fonts)
    : fonts_(fonts), pixels_(static_cast<std::size_t>(kWidth) * kHeight, colours::kWhite.packed()) {}

void Canvas::clear(Colour colour) {
    std::fill(pixels_.begin(), pixels_.end(), colour.packed());
    pos_ = {0, 0};
}

void Canvas::setColors(Colour foreground) { foreground_ = foreground; }

void Canvas::setColors(Colour foreground, Colour background) {
    foreground_ = foreground;
    background_ = background;
}

void Canvas::fillRect(int x1, int y1, int x2, int y2, std::uint32_t packed) {
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, kWidth - 1);
    y2 = std::min(y2, kHeight - 1);
    if (x1 > x2 || y1 > y2) return;
    for (int y = y1; y <= y2; ++y) {
        auto* row = &pixels_[index(x1, y)];
        std::fill(row, row + (x2 - x1 + 1), packed);
    }
}

void Canvas::drawText(std::string_view text) {
    if (text.empty()) return;
    const TextBitmap bitmap = fonts_.render(font_, text, foreground_, background_);
    for (int row = 0; row < bitmap.height; ++row) {
        const int y = pos_.y + row;
        if (y < 0 || y >= kHeight) continue;
        for (int col = 0; col < bitmap.width; ++col) {
            put(pos_.x + col, y, bitmap.pixels[static_cast<std::size_t>(row) * bitmap.width + col]);
        }
    }
    pos_.x += bitmap.width;
}

Extent Canvas::textSize(std::string_view text) const { return fonts_.measure(font_, text); }

// Bresenham from the current position to (x, y); the end pixel is left out,
// so consecutive lines joined end to start never paint a corner twice.
void Canvas::drawLine(int x, int y, LineColour colour) {
    const std::uint32_t packed = colour.value_or(foreground_).packed();
    int x0 = pos_.x;
    int y0 = pos_.y;
    const int dx = std::abs(x - x0);
    const int dy = -std::abs(y - y0);
    const int sx = x0 < x ? 1 : -1;
    const int sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (x0 != x || y0 != y) {
        put(x0, y0, packed);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    pos_ = {x, y};
}

void Canvas::drawBox(int x1, int y1, int x2, int y2, Colour line, Colour fill) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const int right = x2 - 1;
    const int bottom = y2 - 1;
    if (right < x1 || bottom < y1) return;
    fillRect(x1, y1, right, bottom, line.packed());
    if (right - x1 >= 2 && bottom - y1 >= 2) fillRect(x1 + 1, y1 + 1, right - 1, bottom - 1, fill.packed());
}

// Scanline fill over the 4-connected region of exactly `area` that holds the
// seed. The explicit stack keeps deep regions off the call stack.
void Canvas::floodFill(int x, int y, Colour fill, Colour area) {
    if (!inside(x, y)) return;
    const std::uint32_t target = area.packed();
    const std::uint32_t replacement = fill.packed();
    if (pixels_[index(x, y)] != target || target == replacement) return;

    fillStack_.clear();
    fillStack_.push_back(x);
    fillStack_.push_back(y);
    while (!fillStack_.empty()) {
        const int sy = fillStack_.back();
        fillStack_.pop_back();
        const int sx = fillStack_.back();
        fillStack_.pop_back();
        if (pixels_[index(sx, sy)] != target) continue;
        int left = sx;
        while (left > 0 && pixels_[index(left - 1, sy)] == target) --left;
        int right = sx;
        while (right < kWidth - 1 && pixels_[index(right + 1, sy)] == target) ++right;
        std::fill(&pixels_[index(left, sy)], &pixels_[index(right, sy)] + 1, replacement);
        for (const int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= kHeight) continue;
            bool inRun = false;
            for (int nx = left; nx <= right; ++nx) {
                const bool match = pixels_[index(nx, ny)] == target;
                if (match && !inRun) {
                    fillStack_.push_back(nx);
                    fillStack_.push_back(ny);
                }
                inRun = match;
            }
        }
    }
}

void Canvas::setPixel(int x, int y, Colour colour) {
    put(x, y, colour.packed());
    pos_ = {x, y};
}

void Canvas::copyImage(const Image& image, int x, int y) {
    if (image.empty()) return;
    const int x1 = std::max(x, 0);
    const int x2 = std::min(x + image.width, kWidth);
    if (x1 >= x2) return;
    for (int row = 0; row < image.height; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= kHeight) continue;
        const auto* src = &image.pixels[static_cast<std::size_t>(row) * image.width + (x1 - x)];
        std::copy(src, src + (x2 - x1), &pixels_[index(x1, ty)]);
    }
}

}  // namespace tarnwick
