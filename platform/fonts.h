// Fonts: families resolved through fontconfig, rendered by SDL2_ttf at 96 DPI.
//
// Both providers share this, so the headless tests measure and draw text with
// exactly the faces and metrics the window shows. A font's pixel size is its
// point size x 96 / 72, rounded half to even (10 pt -> 13 px), and its cell
// height is the face's line height at that size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/colour.h"

namespace tarnwick {

using FontId = int;
inline constexpr FontId kNoFont = -1;

enum FontStyle : int {
    kRegular = 0,
    kBold = 1,
    kItalic = 2,
    kUnderline = 4,
    kStrikeOut = 8,
    // Hinted to the pixel grid and drawn in two colours only: small captions
    // stay sharp where antialiased strokes would blur into grey.
    kCrisp = 16,
};

// Rendered text: an opaque rectangle of packed 0x00RRGGBB pixels.
struct TextBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

class FontLibrary {
  public:
    FontLibrary();
    ~FontLibrary();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;

    // Returns the font for (family, points, style). Asking again for the same
    // triple returns the same id, so a caller that re-creates fonts (the help
    // page's font button) does not grow the table. Points 0 means 8. A family
    // that cannot be found still gives a usable id that draws nothing.
    FontId create(std::string_view family, int points, int style);

    Extent measure(FontId font, std::string_view text) const;
    int cellHeight(FontId font) const;
    TextBitmap render(FontId font, std::string_view text, Colour fg, Colour bg) const;
    // The same pixels as render(), kept for reuse when the text is short:
    // cell names, move list entries and captions are drawn again and again
    // with the same font and colours. The reference stays valid until the
    // next call on this library.
    const TextBitmap& renderShared(FontId font, std::string_view text, Colour fg, Colour bg) const;

    // Texts up to this many bytes are kept; longer ones (documentation
    // lines) seldom come back and would crowd the short ones out.
    static constexpr std::size_t kMaxKeptTextBytes = 32;
    // Kept renderings are all let go when their pixels pass this count
    // (4 MB); the board page's working set is a small part of it.
    static constexpr std::size_t kMaxKeptPixels = std::size_t{1} << 20;
    // Kept measurements likewise, past this many.
    static constexpr std::size_t kMaxKeptSizes = 16384;

    // The file the font was loaded from (empty when none was found).
    std::string fileOf(FontId font) const;

    static int pixelSizeForPoints(int points);

    // Reads fontconfig's configuration and font lists now (tens of
    // milliseconds), so that the first create() need not. May run on another
    // thread while that thread does other work, but must have returned
    // before any FontLibrary looks a font up.
    static void loadConfiguration();

  private:
    struct Face;
    std::vector<std::unique_ptr<Face>> faces_;
    const Face* face(FontId font) const;
    Extent measureUncached(FontId font, std::string_view text) const;

    // A text in one font (and, for renderings, one pair of colours). The
    // caches are mutable: rendering and measuring a font's text always give
    // the same result, so keeping it changes nothing a caller can see. Only
    // the logic thread uses the library.
    struct TextKey {
        FontId font = kNoFont;
        std::uint32_t fg = 0;
        std::uint32_t bg = 0;
        std::string text;
        bool operator==(const TextKey&) const = default;
    };
    struct TextKeyHash {
        std::size_t operator()(const TextKey& key) const;
    };
    mutable std::unordered_map<TextKey, TextBitmap, TextKeyHash> renderings_;
    mutable std::size_t renderingPixels_ = 0;
    mutable TextBitmap unkept_;  // the latest rendering of a long text
    mutable std::unordered_map<TextKey, Extent, TextKeyHash> sizes_;
};

// True when the bytes form valid UTF-8; texts that are not are shown as Latin-1.
bool isValidUtf8(std::string_view text);

}  // namespace tarnwick
