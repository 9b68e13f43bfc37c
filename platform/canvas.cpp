#include "platform/canvas.h"

#include <algorithm>
#include <cstdlib>

namespace tarnwick {
namespace {

// Rows up to this many pixels are filled with plain stores.
constexpr std::size_t kNarrowRow = 16;

// Sets `count` pixels from `first` on. A plain loop of 32-bit stores is not
// vectorised at -O2, while libc's memmove (which std::copy_n calls) is: a few
// pixels are written one by one, then copied onward in blocks that double
// each time.
void fillPixels(std::uint32_t* first, std::size_t count, std::uint32_t packed) {
    const std::size_t head = std::min(count, kNarrowRow);
    std::fill(first, first + head, packed);
    for (std::size_t done = head; done < count;) {
        const std::size_t block = std::min(done, count - done);
        std::copy_n(first, block, first + done);
        done += block;
    }
}

}  // namespace

Canvas::Canvas(const FontLibrary& fonts)
    : fonts_(fonts), pixels_(static_cast<std::size_t>(kWidth) * kHeight, colours::kWhite.packed()) {}

void Canvas::clear(Colour colour) {
    fillRect(0, 0, kWidth - 1, kHeight - 1, colour.packed());
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
    const auto width = static_cast<std::size_t>(x2 - x1 + 1);
    if (width <= kNarrowRow) {  // a call per row would cost more than it saves
        for (int y = y1; y <= y2; ++y) std::fill_n(&pixels_[index(x1, y)], width, packed);
        return;
    }
    // The first row is filled, the others copied from it.
    const std::uint32_t* top = &pixels_[index(x1, y1)];
    fillPixels(&pixels_[index(x1, y1)], width, packed);
    for (int y = y1 + 1; y <= y2; ++y) std::copy_n(top, width, &pixels_[index(x1, y)]);
}

void Canvas::drawText(std::string_view text, int right) {
    if (text.empty()) return;
    const TextBitmap& bitmap = fonts_.renderShared(font_, text, foreground_, background_);
    // The columns of the text inside the buffer, copied a row at a time.
    const int x1 = std::max(pos_.x, 0);
    const int x2 = static_cast<int>(
        std::min<long long>(static_cast<long long>(pos_.x) + bitmap.width, std::clamp(right, 0, kWidth)));
    if (x1 < x2) {
        for (int row = 0; row < bitmap.height; ++row) {
            const int y = pos_.y + row;
            if (y < 0 || y >= kHeight) continue;
            const auto* src = &bitmap.pixels[static_cast<std::size_t>(row) * bitmap.width + (x1 - pos_.x)];
            std::copy(src, src + (x2 - x1), &pixels_[index(x1, y)]);
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
    if (right - x1 < 2 || bottom - y1 < 2) {  // no inside: all outline
        fillRect(x1, y1, right, bottom, line.packed());
        return;
    }
    // Outline and inside each written once.
    fillRect(x1, y1, right, y1, line.packed());
    fillRect(x1, bottom, right, bottom, line.packed());
    fillRect(x1, y1 + 1, x1, bottom - 1, line.packed());
    fillRect(right, y1 + 1, right, bottom - 1, line.packed());
    fillRect(x1 + 1, y1 + 1, right - 1, bottom - 1, fill.packed());
}

// Scanline fill over the 4-connected region of exactly `area` that holds the
// seed (the classic seed fill of Graphics Gems I, "A Seed Fill Algorithm").
// Each stack entry is a row to look along under a run [x1, x2] already
// filled in its parent row y - dy; the parent row is looked at again only
// where a new run reaches past the parent's ends, so most pixels are read
// about once. The explicit stack keeps deep regions off the call stack. The
// region filled does not depend on the order of the work.
void Canvas::floodFill(int x, int y, Colour fill, Colour area) {
    if (!inside(x, y)) return;
    const std::uint32_t target = area.packed();
    const std::uint32_t replacement = fill.packed();
    if (pixels_[index(x, y)] != target || target == replacement) return;

    fillStack_.clear();
    const auto push = [this](int row, int x1, int x2, int dy) {
        if (row >= 0 && row < kHeight) fillStack_.push_back({row, x1, x2, dy});
    };
    // The seed's own row first (its "parent" below is looked at through the
    // leaks), then the row below under the seed.
    push(y + 1, x, x, 1);
    push(y, x, x, -1);
    while (!fillStack_.empty()) {
        const FillRun run = fillStack_.back();
        fillStack_.pop_back();
        std::uint32_t* row = &pixels_[index(0, run.y)];
        int cx = run.x1;
        int left = cx;
        if (row[cx] == target) {
            // The first run may start left of the parent's: that part may
            // lead back into the parent's row.
            while (left > 0 && row[left - 1] == target) --left;
            if (left < run.x1) push(run.y - run.dy, left, run.x1 - 1, -run.dy);
        } else {
            while (cx <= run.x2 && row[cx] != target) ++cx;
            left = cx;
        }
        while (cx <= run.x2) {
            while (cx < kWidth && row[cx] == target) ++cx;
            std::fill(row + left, row + cx, replacement);
            push(run.y + run.dy, left, cx - 1, run.dy);
            if (cx - 1 > run.x2) push(run.y - run.dy, run.x2 + 1, cx - 1, -run.dy);  // past the parent's right end
            // The next run that starts under the parent.
            while (cx <= run.x2 && row[cx] != target) ++cx;
            left = cx;
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
