#include "assets/artwork.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <utility>
#include <vector>

#include "board/geometry.h"

namespace tarnwick::art {

using board::columnLength;
using board::gridSizeFor;
using board::hexInradius;
using board::hexNorm;
using board::stoneSquareOrigin;
namespace {

// The look's colours (board::PictureColours) for the board, the table and
// the panel; the buttons and fields keep their classic grey and white in
// every look, as the program draws their bevels and captions so.
constexpr Colour kButtonFace = colours::kGrey;
constexpr Colour kBevelLight = colours::kWhite;
constexpr Colour kBevelDark = colours::kDarkGrey;
constexpr Colour kGlyph{34, 34, 42};
constexpr Colour kPlayGlyph{20, 100, 44};
constexpr Colour kFieldBorderDark{128, 128, 128};
constexpr Colour kFieldBorderLight{255, 255, 255};
constexpr Colour kFieldBorderInner{64, 64, 64};

struct Vec {
    double x = 0;
    double y = 0;
};

Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator*(double k, Vec a) { return {k * a.x, k * a.y}; }
double cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }

double smoothstep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// ---------------------------------------------------------------------------
// Board layout per base: everything the program expects at fixed places.

struct Rect {
    int x1, y1, x2, y2;  // both corners included
};

struct Layout {
    int base = 8;
    double inradius = 20.0;     // half the vertical cell pitch: the hexagon's flat-to-centre distance
    double lineHalfWidth = 0.8; // cell borders; the stone squares leave about 1.5 px to spare on base 10
    double rimWidth = 6.0;
    std::vector<Rect> navButtons;
    Rect labelsButton;  // C1
    Rect sizeButton;
    Rect swapSlot;      // plain white under the "Swap" caption
};

Layout layoutFor(int base) {
    Layout l;
    l.base = base;
    if (base == 8) {
        l.inradius = hexInradius(8);
        l.rimWidth = 6.0;
        for (int k = 0; k < 6; ++k) l.navButtons.push_back({11 + 36 * k, 691, 44 + 36 * k, 726});
        l.labelsButton = {23, 561, 56, 596};
        l.sizeButton = {21, 630, 61, 658};
        l.swapSlot = {114, 634, 155, 655};
    } else {
        l.inradius = hexInradius(10);
        l.rimWidth = 4.5;
        for (const auto& [x1, x2] : {std::pair{16, 47}, std::pair{52, 83}, std::pair{88, 119},
                                     std::pair{124, 155}, std::pair{161, 192}, std::pair{197, 228}}) {
            l.navButtons.push_back({x1, 696, x2, 728});
        }
        l.labelsButton = {23, 587, 56, 622};
        l.sizeButton = {21, 638, 61, 675};
        l.swapSlot = {92, 650, 133, 671};
    }
    return l;
}

// ---------------------------------------------------------------------------
// The hexagonal grid.

struct Grid {
    std::vector<Vec> centres;
    std::vector<std::vector<int>> neighbours;
};

// Each cell's hexagon is centred on the middle of its stone square.
Grid gridFor(int base, double inradius) {
    Grid g;
    for (int c = 1; c <= gridSizeFor(base); ++c) {
        for (int p = 1; p <= columnLength(base, c); ++p) {
            const auto origin = stoneSquareOrigin(base, c, p);
            if (origin) g.centres.push_back({origin->x + 12.5, origin->y + 13.0});
        }
    }
    const double reach = 2.0 * inradius * 1.25;
    g.neighbours.resize(g.centres.size());
    for (std::size_t i = 0; i < g.centres.size(); ++i) {
        for (std::size_t j = 0; j < g.centres.size(); ++j) {
            const Vec d = g.centres[j] - g.centres[i];
            if (i != j && std::hypot(d.x, d.y) < reach) g.neighbours[i].push_back(static_cast<int>(j));
        }
    }
    return g;
}

Colour tableColour(const board::PictureColours& c, int y) {
    return mix(c.tableTop, c.tableBottom, std::clamp((y - 1) / 730.0, 0.0, 1.0));
}

// The board is a Voronoi partition of the cell centres (which on a hex
// lattice is the hex grid, and copes with the uneven column pitch), cut off
// where the nearest centre is farther than a hexagon's inradius, set in a
// wooden rim with a soft shadow.
void paintGrid(Raster& raster, const Layout& layout, const board::PictureColours& c) {
    const Grid grid = gridFor(layout.base, layout.inradius);
    const double r = layout.inradius;
    const double rim = layout.rimWidth;
    const Vec shadowOffset{2.5, 3.5};
    // The border band around the board, in hexagon distance from its edge.
    // It also darkens interior seams wherever neighbouring hexagons leave a
    // sliver between them (the uneven column steps), which keeps those seams
    // as closed as the rest; it stays clear of every stone square.
    const double outerLineFrom = -0.6;
    const double outerLineTo = 1.4;

    for (int y = raster.origin().y; y < raster.origin().y + raster.height(); ++y) {
        for (int x = raster.origin().x; x < raster.origin().x + raster.width(); ++x) {
            const Vec p{static_cast<double>(x), static_cast<double>(y)};
            int nearest = -1;
            double nearestD2 = std::numeric_limits<double>::max();
            double minHex = std::numeric_limits<double>::max();
            double minShadowHex = std::numeric_limits<double>::max();
            for (std::size_t i = 0; i < grid.centres.size(); ++i) {
                const Vec d = p - grid.centres[i];
                const double d2 = d.x * d.x + d.y * d.y;
                if (d2 < nearestD2) {
                    nearestD2 = d2;
                    nearest = static_cast<int>(i);
                }
                minHex = std::min(minHex, hexNorm(d.x, d.y));
                minShadowHex = std::min(minShadowHex, hexNorm(d.x - shadowOffset.x, d.y - shadowOffset.y));
            }
            const double edge = minHex - r;  // negative inside the board
            const double shadowEdge = minShadowHex - r - rim;
            if (shadowEdge > 8.0 && edge > rim + 1.0) continue;  // plain table

            Colour colour = raster.get(x, y);
            colour = mix(colour, c.shadow, 0.30 * (1.0 - smoothstep(-1.0, 7.0, shadowEdge)));

            const double rimT = std::clamp(edge / rim, 0.0, 1.0);
            Colour rimColour = mix(c.rimNear, c.rimFar, std::sqrt(rimT));
            rimColour = mix(rimColour, c.rimEdge, coverageFromDistance(std::fabs(edge - rim + 0.5) - 0.5));
            colour = mix(colour, rimColour, coverageFromDistance(edge - rim));

            const double inside = coverageFromDistance(edge);
            if (inside > 0.0) {
                // Distance to the nearest cell border: the perpendicular
                // bisector between this pixel's cell and a neighbour.
                double border = std::numeric_limits<double>::max();
                const Vec c1 = grid.centres[static_cast<std::size_t>(nearest)];
                for (const int j : grid.neighbours[static_cast<std::size_t>(nearest)]) {
                    const Vec c2 = grid.centres[static_cast<std::size_t>(j)];
                    const Vec d2v = p - c2;
                    const Vec span = c2 - c1;
                    const double dist = ((d2v.x * d2v.x + d2v.y * d2v.y) - nearestD2) /
                                        (2.0 * std::hypot(span.x, span.y));
                    border = std::min(border, dist);
                }
                const Colour cell =
                    mix(c.cell, c.gridLine, coverageFromDistance(border - layout.lineHalfWidth));
                colour = mix(colour, cell, inside);
            }
            const double band = std::min(edge - outerLineFrom, outerLineTo - edge);
            colour = mix(colour, c.gridLine, std::clamp(band + 0.5, 0.0, 1.0));
            raster.set(x, y, colour);
        }
    }
}

// ---------------------------------------------------------------------------
// Buttons and fields.

// A raised button: two light pixels on the top and left, two dark ones on
// the bottom and right, drawn in the order the program redraws them (dark
// lines last), and a flat face inside.
void paintBevelButton(Raster& raster, const Rect& b, Colour face) {
    raster.fillRect(b.x1, b.y1, b.x2, b.y2, face);
    raster.fillRect(b.x1, b.y1, b.x2 - 1, b.y1, kBevelLight);
    raster.fillRect(b.x1, b.y1 + 1, b.x2 - 2, b.y1 + 1, kBevelLight);
    raster.fillRect(b.x1, b.y1 + 1, b.x1, b.y2 - 1, kBevelLight);
    raster.fillRect(b.x1 + 1, b.y1 + 1, b.x1 + 1, b.y2 - 2, kBevelLight);
    raster.fillRect(b.x2 - 1, b.y1 + 1, b.x2 - 1, b.y2 - 1, kBevelDark);
    raster.fillRect(b.x2, b.y1, b.x2, b.y2 - 1, kBevelDark);
    raster.fillRect(b.x1 + 1, b.y2 - 1, b.x2 - 1, b.y2 - 1, kBevelDark);
    raster.fillRect(b.x1, b.y2, b.x2, b.y2, kBevelDark);
}

using Polygon = std::vector<Vec>;  // convex, any winding

bool insideConvex(const Polygon& poly, Vec p) {
    bool anyPositive = false;
    bool anyNegative = false;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Vec a = poly[i];
        const Vec b = poly[(i + 1) % poly.size()];
        const double c = cross(b - a, p - a);
        anyPositive = anyPositive || c > 0;
        anyNegative = anyNegative || c < 0;
    }
    return !(anyPositive && anyNegative);
}

// Fills the union of convex polygons with 4 x 4 samples per pixel.
void fillPolygons(Raster& raster, const std::vector<Polygon>& shapes, Colour colour) {
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (const auto& poly : shapes) {
        for (const Vec v : poly) {
            minX = std::min(minX, v.x);
            minY = std::min(minY, v.y);
            maxX = std::max(maxX, v.x);
            maxY = std::max(maxY, v.y);
        }
    }
    for (int y = static_cast<int>(std::floor(minY)) - 1; y <= static_cast<int>(std::ceil(maxY)) + 1; ++y) {
        for (int x = static_cast<int>(std::floor(minX)) - 1; x <= static_cast<int>(std::ceil(maxX)) + 1;
             ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    const Vec s{x - 0.375 + 0.25 * sx, y - 0.375 + 0.25 * sy};
                    hits += std::any_of(shapes.begin(), shapes.end(),
                                        [s](const Polygon& poly) { return insideConvex(poly, s); })
                                ? 1
                                : 0;
                }
            }
            raster.blend(x, y, colour, hits / 16.0);
        }
    }
}

Polygon translated(const Polygon& poly, Vec by, double scale) {
    Polygon out;
    for (const Vec v : poly) out.push_back(by + scale * v);
    return out;
}

Polygon mirrored(const Polygon& poly) {
    Polygon out;
    for (const Vec v : poly) out.push_back({-v.x, v.y});
    return out;
}

enum class Glyph { kStart, kBack, kPlay, kPause, kForward, kEnd };

// Glyph outlines around the face centre, in pixels at scale 1.
std::vector<Polygon> glyphShapes(Glyph glyph) {
    const Polygon smallArrow{{-4.5, -6.5}, {5.0, 0.0}, {-4.5, 6.5}};
    const std::vector<Polygon> end{{{-8.5, -6.0}, {-1.5, 0.0}, {-8.5, 6.0}},
                                   {{-2.5, -6.0}, {4.5, 0.0}, {-2.5, 6.0}},
                                   {{5.5, -6.0}, {8.0, -6.0}, {8.0, 6.0}, {5.5, 6.0}}};
    switch (glyph) {
        case Glyph::kStart: {
            std::vector<Polygon> start;
            for (const auto& poly : end) start.push_back(mirrored(poly));
            return start;
        }
        case Glyph::kBack:
            return {mirrored(smallArrow)};
        case Glyph::kPlay:
            return {{{-5.5, -8.5}, {8.0, 0.0}, {-5.5, 8.5}}};
        case Glyph::kPause:
            return {{{-5.5, -7.5}, {-1.75, -7.5}, {-1.75, 7.5}, {-5.5, 7.5}},
                    {{1.75, -7.5}, {5.5, -7.5}, {5.5, 7.5}, {1.75, 7.5}}};
        case Glyph::kForward:
            return {smallArrow};
        case Glyph::kEnd:
            return end;
    }
    return {};
}

void paintNavigationButtons(Raster& raster, const Layout& layout) {
    constexpr Glyph kOrder[] = {Glyph::kStart, Glyph::kBack,    Glyph::kPlay,
                                Glyph::kPause, Glyph::kForward, Glyph::kEnd};
    const double scale = layout.base == 8 ? 1.0 : 0.9;
    for (std::size_t k = 0; k < layout.navButtons.size(); ++k) {
        const Rect& b = layout.navButtons[k];
        paintBevelButton(raster, b, kButtonFace);
        // The face spans x1 + 2 .. x2 - 2; its centre, nudged half a pixel
        // up-left so the glyph sits optically centred on the raised face.
        const Vec centre{(b.x1 + b.x2) / 2.0 - 0.5, (b.y1 + b.y2) / 2.0 - 0.5};
        std::vector<Polygon> shapes;
        for (const auto& poly : glyphShapes(kOrder[k])) shapes.push_back(translated(poly, centre, scale));
        fillPolygons(raster, shapes, kOrder[k] == Glyph::kPlay ? kPlayGlyph : kGlyph);
    }
}

// Rounded rectangle with an outline, both corners included.
void paintPlate(Raster& raster, const Rect& r, double radius, Colour fill, Colour outline) {
    const Vec centre{(r.x1 + r.x2) / 2.0, (r.y1 + r.y2) / 2.0};
    const Vec half{(r.x2 - r.x1) / 2.0 + 0.5, (r.y2 - r.y1) / 2.0 + 0.5};
    for (int y = r.y1; y <= r.y2; ++y) {
        for (int x = r.x1; x <= r.x2; ++x) {
            // Signed distance to the rounded rectangle.
            const double qx = std::fabs(x - centre.x) - (half.x - radius);
            const double qy = std::fabs(y - centre.y) - (half.y - radius);
            const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
            const double d = outside + std::min(std::max(qx, qy), 0.0) - radius;
            const Colour inner = mix(fill, outline, coverageFromDistance(std::fabs(d + 0.5) - 0.5));
            raster.blend(x, y, inner, coverageFromDistance(d));
        }
    }
}

// ---------------------------------------------------------------------------
// Text: rendered white on black, the brightness is the coverage, blended over
// whatever the picture has there.

void stampText(Raster& raster, const FontLibrary& fonts, FontId font, std::string_view text, int x, int y,
               Colour colour) {
    const TextBitmap bitmap = fonts.render(font, text, colours::kWhite, colours::kBlack);
    for (int row = 0; row < bitmap.height; ++row) {
        for (int col = 0; col < bitmap.width; ++col) {
            const std::uint32_t p =
                bitmap.pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(bitmap.width) +
                              static_cast<std::size_t>(col)];
            const int level = static_cast<int>(std::max({(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF}));
            raster.blend(x + col, y + row, colour, level / 255.0);
        }
    }
}

void paintNumberField(Raster& raster, FontLibrary& fonts, const board::PictureColours& c) {
    // The white box is x 49..138, y 59..76; a sunken two-pixel edge just
    // outside it, and the label above, clear of the click area x 41..155.
    raster.fillRect(47, 57, 140, 78, kFieldBorderLight);
    raster.fillRect(47, 57, 139, 57, kFieldBorderDark);
    raster.fillRect(47, 57, 47, 77, kFieldBorderDark);
    raster.fillRect(48, 58, 138, 58, kFieldBorderInner);
    raster.fillRect(48, 58, 48, 76, kFieldBorderInner);
    raster.fillRect(139, 58, 139, 77, Colour{223, 223, 223});
    raster.fillRect(48, 77, 139, 77, Colour{223, 223, 223});
    raster.fillRect(49, 59, 138, 76, colours::kWhite);
    const FontId label = fonts.create("Arial", 8, kBold);
    stampText(raster, fonts, label, "Game #", 48, 41, c.ink);
}

void paintTitle(Raster& raster, FontLibrary& fonts, const board::PictureColours& c) {
    const FontId title = fonts.create("Times New Roman", 26, kBold | kItalic);
    const FontId subtitle = fonts.create("Times New Roman", 11, kItalic);
    const std::string_view name = "Tarnwick";
    const std::string_view tagline = "a Havannah game viewer";
    const int centre = 838;
    const Extent nameSize = fonts.measure(title, name);
    const Extent taglineSize = fonts.measure(subtitle, tagline);
    const int nameX = centre - nameSize.width / 2;
    stampText(raster, fonts, title, name, nameX + 1, 33, c.titleShade);
    stampText(raster, fonts, title, name, nameX, 32, c.ink);
    stampText(raster, fonts, subtitle, tagline, centre - taglineSize.width / 2, 74, c.inkSoft);
}

// The move list's grey band and white area, exactly where the program
// draws them whenever it lays the list out anew, so that the list looks the
// same whether its entries were added one by one or all drawn again.
void paintMoveListArea(Raster& raster, const board::Palette& palette) {
    raster.fillRect(654, 257, 1017, 277, palette.listBand);
    raster.fillRect(652, 279, 1022, kBoardPictureHeight, palette.listGround);
}

}  // namespace

Raster paintBoard(int base, FontLibrary& fonts, const board::Palette& palette) {
    if (base != 8 && base != 10) return Raster(0, 0, Colour{});
    const board::PictureColours& c = palette.picture;
    const Layout layout = layoutFor(base);
    Raster raster(kBoardPictureWidth, kBoardPictureHeight, Colour{}, kBoardPictureOrigin);
    for (int y = 1; y <= kBoardPictureHeight; ++y) {
        raster.fillRect(1, y, kBoardPictureWidth, y, tableColour(c, y));
    }
    // The panel runs on below the picture, so its left edge reaches the
    // picture's foot straight, with no rounded corner.
    paintPlate(raster, {651, 30, 1030, kBoardPictureHeight + 20}, 6.0, c.panel, c.panelBorder);
    paintGrid(raster, layout, c);
    paintNavigationButtons(raster, layout);
    paintBevelButton(raster, layout.labelsButton, kButtonFace);
    paintBevelButton(raster, layout.sizeButton, kButtonFace);
    paintPlate(raster, layout.swapSlot, 3.0, colours::kWhite, c.slotBorder);
    paintNumberField(raster, fonts, c);
    paintTitle(raster, fonts, c);
    paintMoveListArea(raster, palette);
    return raster;
}

Raster paintStone(StoneKind kind) {
    // The stone sits a little up-left of the square's middle, between the
    // hexagon's centre (12.5, 13) and the program's marker (11.5, 11.5); its
    // shadow falls down-right onto the cell.
    constexpr Vec kCentre{12.2, 12.6};
    constexpr double kRadius = 12.0;
    constexpr Vec kShadowCentre{12.9, 13.4};
    constexpr int kSamples = 6;
    // Light from the upper left, in front of the board.
    const double lightLength = std::sqrt(0.55 * 0.55 + 0.65 * 0.65 + 1.0);
    const double lx = -0.55 / lightLength, ly = -0.65 / lightLength, lz = 1.0 / lightLength;
    const double hLength = std::sqrt(lx * lx + ly * ly + (lz + 1.0) * (lz + 1.0));
    const double hx = lx / hLength, hy = ly / hLength, hz = (lz + 1.0) / hLength;

    const auto stoneColour = [&](double dx, double dy) {
        // A slightly flattened sphere: stones are lens-shaped.
        const double rho2 = std::min(1.0, dx * dx + dy * dy);
        double nx = dx, ny = dy, nz = 0.8 * std::sqrt(1.0 - rho2);
        const double n = std::sqrt(nx * nx + ny * ny + nz * nz);
        nx /= n;
        ny /= n;
        nz /= n;
        const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
        const double specular = std::max(0.0, nx * hx + ny * hy + nz * hz);
        if (kind == StoneKind::kBlack) {
            const double glow = std::pow(specular, 7.0);
            const double v = 20.0 + 28.0 * diffuse + 100.0 * glow;
            return std::array<double, 3>{v, v, v + 4.0};
        }
        const double shade = 0.68 + 0.32 * diffuse;
        const double glow = 28.0 * std::pow(specular, 18.0);
        return std::array<double, 3>{250.0 * shade + glow, 246.0 * shade + glow, 234.0 * shade + glow};
    };

    Raster raster(kStonePictureWidth, kStonePictureHeight, colours::kStoneKey);
    for (int y = 0; y < kStonePictureHeight; ++y) {
        for (int x = 0; x < kStonePictureWidth; ++x) {
            // The top and bottom rows and the right column keep the key
            // colour: the stone may touch the left column, and the key
            // around it then still forms an upper part reaching the seed
            // (1, 1) and a lower part reaching the seed (1, 24) of the
            // program's flood fill. The erasing box leaves the right column
            // and the bottom row alone, so nothing of a stone may lie there.
            const bool ring = y == 0 || y == kStonePictureHeight - 1 || x == kStonePictureWidth - 1;
            double sum[3] = {0, 0, 0};
            int stoneHits = 0;
            double shadowTotal = 0.0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = x - 0.5 + (sx + 0.5) / kSamples;
                    const double py = y - 0.5 + (sy + 0.5) / kSamples;
                    const double dx = (px - kCentre.x) / kRadius;
                    const double dy = (py - kCentre.y) / kRadius;
                    if (dx * dx + dy * dy <= 1.0) {
                        const auto c = stoneColour(dx, dy);
                        for (int i = 0; i < 3; ++i) sum[i] += c[i];
                        ++stoneHits;
                        continue;
                    }
                    const double shadowDistance = std::hypot(px - kShadowCentre.x, py - kShadowCentre.y);
                    const double shadow =
                        ring ? 0.0 : 0.36 * (1.0 - smoothstep(kRadius - 0.6, kRadius + 1.1, shadowDistance));
                    shadowTotal += shadow;
                    const Colour under = mix(kCellColour, board::PictureColours{}.shadow, shadow);
                    sum[0] += under.r;
                    sum[1] += under.g;
                    sum[2] += under.b;
                }
            }
            constexpr double kCount = kSamples * kSamples;
            if (stoneHits == 0 && shadowTotal / kCount < 0.004) continue;  // plain key colour
            raster.set(x, y,
                       Colour(static_cast<int>(std::lround(sum[0] / kCount)),
                              static_cast<int>(std::lround(sum[1] / kCount)),
                              static_cast<int>(std::lround(sum[2] / kCount))));
        }
    }
    return raster;
}

}  // namespace tarnwick::art
