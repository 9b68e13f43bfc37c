// A plain RGB picture for the artwork generator, with the blending helpers
// the painters share and a writer for 24-bit Windows BMP files.
//
// The board pictures are drawn in window coordinates: a Raster can carry an
// origin, so that at(x, y) addresses the pixel that will appear at window
// pixel (x, y) once the program draws the picture with its top-left corner at
// the origin. Writes outside the picture are dropped, reads give black.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/colour.h"

namespace tarnwick::art {

class Raster {
  public:
    Raster(int width, int height, Colour fill, Point origin = {0, 0});

    int width() const { return width_; }
    int height() const { return height_; }
    Point origin() const { return origin_; }

    bool contains(int x, int y) const {
        const int ix = x - origin_.x;
        const int iy = y - origin_.y;
        return ix >= 0 && iy >= 0 && ix < width_ && iy < height_;
    }
    Colour get(int x, int y) const;
    void set(int x, int y, Colour colour);
    // Mixes `colour` over the pixel with the given coverage (0 keeps it,
    // 1 replaces it).
    void blend(int x, int y, Colour colour, double coverage);
    // Fills the rectangle with both corners included.
    void fillRect(int x1, int y1, int x2, int y2, Colour colour);

    // Pixels row by row from the top, without any origin shift.
    const std::vector<Colour>& pixels() const { return pixels_; }

  private:
    int width_;
    int height_;
    Point origin_;
    std::vector<Colour> pixels_;
};

// a + (b - a) * t per channel, rounded.
Colour mix(Colour a, Colour b, double t);

// Coverage of a pixel by a shape whose signed distance (negative inside) at
// the pixel's centre is `d`: a one-pixel-wide linear ramp.
double coverageFromDistance(double d);

// The picture as a 24-bit uncompressed BMP: BITMAPINFOHEADER, rows stored
// bottom-up in blue-green-red order, each row padded to a multiple of 4 bytes.
std::vector<std::uint8_t> encodeBmp(const Raster& raster);

// Writes encodeBmp(raster) to `path`; false (and nothing promised about the
// file) when it cannot be written completely.
bool writeBmpFile(const std::string& path, const Raster& raster);

}  // namespace tarnwick::art
