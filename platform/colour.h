// Colours and the small value types shared by every layer that draws.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace tarnwick {

// An (r, g, b) colour with each channel in 0..255. Values outside that range
// are clamped when the colour is formed, so arithmetic on channels is safe.
struct Colour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    constexpr Colour() = default;
    constexpr Colour(int red, int green, int blue)
        : r(clampChannel(red)), g(clampChannel(green)), b(clampChannel(blue)) {}

    constexpr bool operator==(const Colour&) const = default;

    // Packed 0x00RRGGBB, the canvas's storage form.
    constexpr std::uint32_t packed() const {
        return (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | std::uint32_t{b};
    }
    static constexpr Colour fromPacked(std::uint32_t p) {
        return Colour(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                      static_cast<int>(p & 0xFF));
    }

  private:
    static constexpr std::uint8_t clampChannel(int v) {
        return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
    }
};

// The relative luminance of a colour on a screen (sRGB), 0 for black to 1
// for white, and the contrast ratio of two colours (1 to 21), as readability
// guidelines measure them: text wants 4.5 or more against its ground.
inline double relativeLuminance(Colour c) {
    const auto linear = [](std::uint8_t channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}
inline double contrastRatio(Colour a, Colour b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A line colour: a colour, or "whatever the foreground colour is now".
using LineColour = std::optional<Colour>;
inline constexpr LineColour kForeground = std::nullopt;

namespace colours {
inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kGrey{192, 192, 192};
inline constexpr Colour kDarkGrey{128, 128, 128};
inline constexpr Colour kPagePanel{251, 254, 198};
inline constexpr Colour kStoneKey{227, 199, 53};
inline constexpr Colour kMarker{192, 0, 0};
inline constexpr Colour kHighlightButton{248, 246, 50};
inline constexpr Colour kSwapOffered{24, 53, 232};
inline constexpr Colour kListHighlight{255, 128, 128};
}  // namespace colours

struct Point {
    int x = 0;
    int y = 0;
    constexpr bool operator==(const Point&) const = default;
};

struct Extent {
    int width = 0;
    int height = 0;
    constexpr bool operator==(const Extent&) const = default;
};

}  // namespace tarnwick
