// The board page's navigation buttons, captured by the app from the bare
// board picture, that the help page shows again as its page arrows.
#pragma once

#include <array>
#include <cstddef>

#include "platform/colour.h"

namespace tarnwick::help {

// The six navigation buttons (37 x 38 pixels used of 40 x 40).
class ButtonImageTable {
  public:
    static constexpr int kImages = 6;
    static constexpr int kSide = 40;
    // Indexed (image 1..6, column 1..40, row 1..40); outside reads black.
    Colour at(int image, int column, int row) const {
        return contains(image, column, row) ? pixels_[offset(image, column, row)] : Colour{};
    }
    void set(int image, int column, int row, Colour colour) {
        if (contains(image, column, row)) pixels_[offset(image, column, row)] = colour;
    }

  private:
    static constexpr bool contains(int image, int column, int row) {
        return image >= 1 && image <= kImages && column >= 1 && column <= kSide && row >= 1 && row <= kSide;
    }
    static constexpr std::size_t offset(int image, int column, int row) {
        return (static_cast<std::size_t>(image - 1) * kSide + static_cast<std::size_t>(row - 1)) * kSide +
               static_cast<std::size_t>(column - 1);
    }
    std::array<Colour, static_cast<std::size_t>(kImages) * kSide * kSide> pixels_{};
};

}  // namespace tarnwick::help
