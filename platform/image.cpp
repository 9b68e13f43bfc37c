#include "platform/image.h"

#include <SDL.h>

#include <cstring>

namespace tarnwick {

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

// SDL's BMP reader needs no video subsystem, so the headless tests load the
// very same files the window shows.
Image loadBmpFile(const std::string& path, int width, int height) {
    Image image;
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    if (loaded == nullptr) return image;
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(loaded);
    if (rgb == nullptr) return image;
    if (rgb->w > 0 && rgb->h > 0 && SDL_LockSurface(rgb) == 0) {
        image.width = rgb->w;
        image.height = rgb->h;
        image.pixels.resize(static_cast<std::size_t>(rgb->w) * rgb->h);
        for (int y = 0; y < rgb->h; ++y) {
            const auto* row = static_cast<const std::uint8_t*>(rgb->pixels) + static_cast<std::ptrdiff_t>(y) * rgb->pitch;
            std::memcpy(&image.pixels[static_cast<std::size_t>(y) * rgb->w], row,
                        static_cast<std::size_t>(rgb->w) * sizeof(std::uint32_t));
        }
        for (auto& p : image.pixels) p &= 0x00FFFFFFu;
        SDL_UnlockSurface(rgb);
    }
    SDL_FreeSurface(rgb);
    if (width != 0 && height != 0 && (width != image.width || height != image.height)) {
        return stretchImage(image, width, height);
    }
    return image;
}

}  // namespace tarnwick
