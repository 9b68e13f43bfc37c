#include "platform/fonts.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstring>

namespace tarnwick {

struct FontLibrary::Face {
    std::string family;
    int points = 0;
    int style = 0;
    int pixelSize = 0;
    std::string file;
    TTF_Font* font = nullptr;

    ~Face() {
        if (font != nullptr) TTF_CloseFont(font);
    }
};

namespace {

// Finds the file of the best face for a family and style. Bold and italic
// come from real faces (Liberation Mono Bold and so on), never synthesised.
std::string findFontFile(std::string_view family, int style) {
    if (FcInit() == FcFalse) return {};
    FcPattern* pattern = FcPatternCreate();
    const std::string name(family);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, (style & kBold) != 0 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, (style & kItalic) != 0 ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    if (match != nullptr) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr) {
            file = reinterpret_cast<const char*>(path);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        int extra = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= text.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            code = (code << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

int FontLibrary::pixelSizeForPoints(int points) {
    if (points == 0) points = 8;
    return static_cast<int>(std::nearbyint(points * 96.0 / 72.0));
}

void FontLibrary::loadConfiguration() { FcInit(); }

FontLibrary::FontLibrary() { TTF_Init(); }

FontLibrary::~FontLibrary() {
    faces_.clear();
    TTF_Quit();
}

FontId FontLibrary::create(std::string_view family, int points, int style) {
    if (points == 0) points = 8;
    // Only weight and slant choose the file; sizes, underline and strike-out
    // are applied to it.
    constexpr int kFileStyle = kBold | kItalic;
    const Face* sameFile = nullptr;
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        const Face& f = *faces_[i];
        if (f.family == family && f.points == points && f.style == style) return static_cast<FontId>(i);
        if (f.family == family && (f.style & kFileStyle) == (style & kFileStyle)) sameFile = &f;
    }
    auto face = std::make_unique<Face>();
    face->family = std::string(family);
    face->points = points;
    face->style = style;
    face->pixelSize = pixelSizeForPoints(points);
    // A fontconfig match costs far more than the lookup here.
    face->file = sameFile != nullptr ? sameFile->file : findFontFile(family, style);
    if (!face->file.empty() && TTF_WasInit() > 0) {
        face->font = TTF_OpenFont(face->file.c_str(), face->pixelSize);
        if (face->font != nullptr) {
            int ttfStyle = TTF_STYLE_NORMAL;
            if ((style & kUnderline) != 0) ttfStyle |= TTF_STYLE_UNDERLINE;
            if ((style & kStrikeOut) != 0) ttfStyle |= TTF_STYLE_STRIKETHROUGH;
            TTF_SetFontStyle(face->font, ttfStyle);
            if ((style & kCrisp) != 0) TTF_SetFontHinting(face->font, TTF_HINTING_MONO);
        }
    }
    faces_.push_back(std::move(face));
    return static_cast<FontId>(faces_.size() - 1);
}

const FontLibrary::Face* FontLibrary::face(FontId font) const {
    if (font < 0 || static_cast<std::size_t>(font) >= faces_.size()) return nullptr;
    return faces_[static_cast<std::size_t>(font)].get();
}

int FontLibrary::cellHeight(FontId font) const {
    const Face* f = face(font);
    if (f == nullptr) return 0;
    return f->font != nullptr ? TTF_FontHeight(f->font) : f->pixelSize;
}

std::size_t FontLibrary::TextKeyHash::operator()(const TextKey& key) const {
    std::size_t h = std::hash<std::string>{}(key.text);
    for (const std::uint32_t part : {static_cast<std::uint32_t>(key.font), key.fg, key.bg}) {
        h ^= part + 0x9e3779b9U + (h << 6) + (h >> 2);
    }
    return h;
}

Extent FontLibrary::measure(FontId font, std::string_view text) const {
    if (text.size() > kMaxKeptTextBytes) return measureUncached(font, text);
    TextKey key{font, 0, 0, std::string(text)};
    if (const auto it = sizes_.find(key); it != sizes_.end()) return it->second;
    const Extent size = measureUncached(font, text);
    if (sizes_.size() >= kMaxKeptSizes) sizes_.clear();
    sizes_.emplace(std::move(key), size);
    return size;
}

const TextBitmap& FontLibrary::renderShared(FontId font, std::string_view text, Colour fg, Colour bg) const {
    if (text.size() > kMaxKeptTextBytes) {
        unkept_ = render(font, text, fg, bg);
        return unkept_;
    }
    TextKey key{font, fg.packed(), bg.packed(), std::string(text)};
    if (const auto it = renderings_.find(key); it != renderings_.end()) return it->second;
    TextBitmap bitmap = render(font, text, fg, bg);
    const std::size_t pixels = bitmap.pixels.size();
    if (renderingPixels_ + pixels > kMaxKeptPixels) {
        renderings_.clear();
        renderingPixels_ = 0;
    }
    renderingPixels_ += pixels;
    return renderings_.emplace(std::move(key), std::move(bitmap)).first->second;
}

Extent FontLibrary::measureUncached(FontId font, std::string_view text) const {
    const Face* f = face(font);
    const int height = cellHeight(font);
    if (f == nullptr || f->font == nullptr || text.empty()) return {0, height};
    const std::string s(text);
    int w = 0;
    int h = 0;
    const int rc = isValidUtf8(s) ? TTF_SizeUTF8(f->font, s.c_str(), &w, &h) : TTF_SizeText(f->font, s.c_str(), &w, &h);
    if (rc != 0) return {0, height};
    return {w, height};
}

TextBitmap FontLibrary::render(FontId font, std::string_view text, Colour fg, Colour bg) const {
    TextBitmap out;
    const Face* f = face(font);
    if (f == nullptr || f->font == nullptr || text.empty()) return out;
    // Rendering stops at an embedded NUL; so does measuring, so the two agree.
    const std::string s(text.substr(0, text.find('\0')));
    if (s.empty()) return out;
    const SDL_Color sdlFg{fg.r, fg.g, fg.b, 255};
    const SDL_Color sdlBg{bg.r, bg.g, bg.b, 255};
    const bool utf8 = isValidUtf8(s);
    const bool crisp = (f->style & kCrisp) != 0;
    SDL_Surface* surface = crisp ? (utf8 ? TTF_RenderUTF8_Solid(f->font, s.c_str(), sdlFg)
                                         : TTF_RenderText_Solid(f->font, s.c_str(), sdlFg))
                                 : (utf8 ? TTF_RenderUTF8_Shaded(f->font, s.c_str(), sdlFg, sdlBg)
                                         : TTF_RenderText_Shaded(f->font, s.c_str(), sdlFg, sdlBg));
    if (surface == nullptr) return out;
    const Extent size = measure(font, s);
    out.width = size.width;
    out.height = size.height;
    out.pixels.assign(static_cast<std::size_t>(out.width) * out.height, bg.packed());
    // Shaded rendering gives an 8-bit surface whose palette blends bg to fg;
    // solid rendering one whose index 0 is the (transparent) background and
    // every other index the ink.
    if (surface->format->BytesPerPixel == 1 && surface->format->palette != nullptr && SDL_LockSurface(surface) == 0) {
        const SDL_Palette* palette = surface->format->palette;
        const int rows = std::min(out.height, surface->h);
        const int cols = std::min(out.width, surface->w);
        for (int y = 0; y < rows; ++y) {
            const auto* row = static_cast<const std::uint8_t*>(surface->pixels) + static_cast<std::ptrdiff_t>(y) * surface->pitch;
            for (int x = 0; x < cols; ++x) {
                const SDL_Color c = palette->colors[std::min<int>(row[x], palette->ncolors - 1)];
                const Colour colour = !crisp ? Colour(c.r, c.g, c.b) : row[x] != 0 ? fg : bg;
                out.pixels[static_cast<std::size_t>(y) * out.width + x] = colour.packed();
            }
        }
        SDL_UnlockSurface(surface);
    }
    SDL_FreeSurface(surface);
    return out;
}

std::string FontLibrary::fileOf(FontId font) const {
    const Face* f = face(font);
    return f != nullptr ? f->file : std::string();
}

}  // namespace tarnwick
