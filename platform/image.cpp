#include "platform/image.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cstring>

namespace tarnwick {

std::optional<FileStamp> fileStampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                     static_cast<std::int64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
                     static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

Image stretchImage(const Image& source, int width, int height) {
    Image out;
    if (source.empty() || width <= 0 || height <= 0) return out;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * source.height / height);
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * source.width / width);
            out.pixels[static_cast<std::size_t>(y) * width + x] =
                source.pixels[static_cast<std::size_t>(sy) * source.width + sx];
        }
    }
    return out;
}

namespace {

// Copies a surface's pixels row by row, packing each with pack(address of
// its first byte) into 0x00RRGGBB.
template <int BytesPerPixel, typename Pack>
Image packSurface(const SDL_Surface& surface, Pack pack) {
    Image image;
    image.width = surface.w;
    image.height = surface.h;
    image.pixels.resize(static_cast<std::size_t>(surface.w) * static_cast<std::size_t>(surface.h));
    std::uint32_t* out = image.pixels.data();
    for (int y = 0; y < surface.h; ++y) {
        const auto* in = static_cast<const std::uint8_t*>(surface.pixels) + static_cast<std::ptrdiff_t>(y) * surface.pitch;
        for (int x = 0; x < surface.w; ++x, in += BytesPerPixel) *out++ = pack(in);
    }
    return image;
}

// The surface's pixels as packed 0x00RRGGBB. The layouts SDL's BMP reader
// gives 24- and 32-bit pictures are packed in one pass; any other (palettes,
// 16 bits, unusual bit masks) goes through SDL's conversion first.
Image surfacePixels(SDL_Surface* surface) {
    if (surface->w <= 0 || surface->h <= 0) return {};
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return {};
    Image image;
    bool packed = true;
    switch (surface->format->format) {
        case SDL_PIXELFORMAT_BGR24:  // bytes blue, green, red
            image = packSurface<3>(*surface, [](const std::uint8_t* p) {
                return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                       static_cast<std::uint32_t>(p[2]) << 16;
            });
            break;
        case SDL_PIXELFORMAT_ARGB8888:  // native 32-bit words, alpha dropped
        case SDL_PIXELFORMAT_XRGB8888:
            image = packSurface<4>(*surface, [](const std::uint8_t* p) {
                std::uint32_t word;
                std::memcpy(&word, p, sizeof word);
                return word & 0x00FFFFFFu;
            });
            break;
        default:
            packed = false;
            break;
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (packed) return image;
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_XRGB8888, 0);
    if (rgb == nullptr) return {};
    image = rgb->format->format == SDL_PIXELFORMAT_XRGB8888 ? surfacePixels(rgb) : Image{};
    SDL_FreeSurface(rgb);
    return image;
}

}  // namespace

// SDL's BMP reader needs no video subsystem, so the headless tests load the
// very same files the window shows.
Image loadBmpFile(const std::string& path, int width, int height) {
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    if (loaded == nullptr) return {};
    Image image = surfacePixels(loaded);
    SDL_FreeSurface(loaded);
    if (width != 0 && height != 0 && (width != image.width || height != image.height)) {
        return stretchImage(image, width, height);
    }
    return image;
}

}  // namespace tarnwick
