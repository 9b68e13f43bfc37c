#include "assets/raster.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace tarnwick::art {

Raster::Raster(int width, int height, Colour fill, Point origin)
    : width_(width > 0 ? width : 0),
      height_(height > 0 ? height : 0),
      origin_(origin),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

Colour Raster::get(int x, int y) const {
    if (!contains(x, y)) return Colour{};
    return pixels_[static_cast<std::size_t>(y - origin_.y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x - origin_.x)];
}

void Raster::set(int x, int y, Colour colour) {
    if (!contains(x, y)) return;
    pixels_[static_cast<std::size_t>(y - origin_.y) * static_cast<std::size_t>(width_) +
            static_cast<std::size_t>(x - origin_.x)] = colour;
}

void Raster::blend(int x, int y, Colour colour, double coverage) {
    if (coverage <= 0.0 || !contains(x, y)) return;
    set(x, y, coverage >= 1.0 ? colour : mix(get(x, y), colour, coverage));
}

void Raster::fillRect(int x1, int y1, int x2, int y2, Colour colour) {
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) set(x, y, colour);
    }
}

Colour mix(Colour a, Colour b, double t) {
    const auto channel = [t](int u, int v) {
        return static_cast<int>(std::lround(u + (v - u) * t));
    };
    return Colour(channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b));
}

double coverageFromDistance(double d) {
    if (d <= -0.5) return 1.0;
    if (d >= 0.5) return 0.0;
    return 0.5 - d;
}

namespace {

void putLe16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

void putLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    putLe16(out, at, v & 0xFFFF);
    putLe16(out, at + 2, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> encodeBmp(const Raster& raster) {
    constexpr std::size_t kFileHeader = 14;
    constexpr std::size_t kInfoHeader = 40;
    const auto width = static_cast<std::size_t>(raster.width());
    const auto height = static_cast<std::size_t>(raster.height());
    const std::size_t stride = (width * 3 + 3) / 4 * 4;
    const std::size_t dataSize = stride * height;
    const std::size_t offset = kFileHeader + kInfoHeader;

    std::vector<std::uint8_t> out(offset + dataSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    putLe32(out, 2, static_cast<std::uint32_t>(out.size()));
    putLe32(out, 10, static_cast<std::uint32_t>(offset));
    putLe32(out, 14, kInfoHeader);
    putLe32(out, 18, static_cast<std::uint32_t>(width));
    putLe32(out, 22, static_cast<std::uint32_t>(height));  // positive: bottom-up rows
    putLe16(out, 26, 1);                                   // planes
    putLe16(out, 28, 24);                                  // bits per pixel
    putLe32(out, 30, 0);                                   // BI_RGB, no compression
    putLe32(out, 34, static_cast<std::uint32_t>(dataSize));
    putLe32(out, 38, 3780);  // 96 DPI in pixels per metre
    putLe32(out, 42, 3780);

    const auto& pixels = raster.pixels();
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t sourceRow = height - 1 - row;
        std::uint8_t* dst = out.data() + offset + row * stride;
        for (std::size_t x = 0; x < width; ++x) {
            const Colour c = pixels[sourceRow * width + x];
            dst[3 * x] = c.b;
            dst[3 * x + 1] = c.g;
            dst[3 * x + 2] = c.r;
        }
    }
    return out;
}

bool writeBmpFile(const std::string& path, const Raster& raster) {
    const std::vector<std::uint8_t> bytes = encodeBmp(raster);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                               &std::fclose);
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return written && std::fflush(file.get()) == 0;
}

}  // namespace tarnwick::art
