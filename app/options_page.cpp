#include "app/options_page.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "app/context.h"
#include "app/shell.h"

namespace tarnwick {
namespace {

using settings::Kind;
using settings::Key;

// Corners as drawBox takes them: the right column and bottom row excluded.
struct Area {
    int x1, y1, x2, y2;
    bool holds(int x, int y) const { return x >= x1 && x < x2 && y >= y1 && y < y2; }
};

// What a click on a control, or a key on the control in focus, does there.
enum class Action { Flip, Choose, Down, Up, Restore };
struct Target {
    Area area;
    Action action;
    int value = 0;  // Choose: the choice
};

// A key of the settings table with its control, or the Restore button (no
// key). The focus frame goes round `frame`.
struct Control {
    const Key* key = nullptr;
    int y = 0;  // the top of its text
    Area frame;
    std::vector<Target> targets;
};
struct Heading {
    std::string_view text;
    int y;
};
struct Layout {
    std::vector<Heading> headings;
    std::vector<Control> controls;
};

constexpr int kHeadingX = 72;
constexpr int kLabelX = 92;
constexpr int kControlX = 320;
constexpr int kTop = 62;
constexpr int kRowPitch = 22;
constexpr int kGroupGap = 8;
constexpr int kBoxSide = 15;
constexpr int kButtonWidth = 19;
constexpr int kValueWidth = 64;
constexpr int kNoteY = 650;
constexpr int kHintY = 690;
constexpr Area kPreview{690, 62, 950, 262};
constexpr Colour kFocusFrame = colours::kSwapOffered;

constexpr std::string_view kRestoreCaption = "Restore defaults";
constexpr std::string_view kConfirmCaption = "Press again to restore every default";
constexpr std::string_view kHint = "The arrows move between the settings, Space or Enter changes one, - and + step.";

// Where each heading and control stands; choice rows are as wide as their
// captions in `font`.
Layout layOut(Platform& p, FontId font) {
    Layout l;
    p.setFont(font);
    int y = kTop;
    std::string_view group;
    for (const Key& key : settings::keys()) {
        if (key.group.empty()) continue;
        if (key.group != group) {
            if (!group.empty()) y += kGroupGap;
            group = key.group;
            l.headings.push_back({group, y});
            y += kRowPitch;
        }
        Control c{&key, y, {}, {}};
        int x = kControlX;
        switch (key.kind) {
            case Kind::Switch:
                c.targets.push_back({{x, y - 1, x + kBoxSide, y + kBoxSide - 1}, Action::Flip});
                c.targets.push_back({{kLabelX, y - 3, kControlX, y + 16}, Action::Flip});  // the label too
                x += kBoxSide;
                break;
            case Kind::Choice:
                // Side by side, each sharing its right outline with the next.
                for (std::size_t i = 0; i < key.captions.size(); ++i) {
                    const int w = p.textSize(key.captions[i]).width + 12;
                    c.targets.push_back({{x, y - 3, x + w + 1, y + 16}, Action::Choose, static_cast<int>(i)});
                    x += w;
                }
                x += 1;
                break;
            case Kind::Number:
                c.targets.push_back({{x, y - 3, x + kButtonWidth, y + 16}, Action::Down});
                x += kButtonWidth + 4 + kValueWidth + 4;
                c.targets.push_back({{x, y - 3, x + kButtonWidth, y + 16}, Action::Up});
                x += kButtonWidth;
                break;
        }
        c.frame = {kLabelX - 6, y - 6, x + 4, y + 19};
        l.controls.push_back(std::move(c));
        y += kRowPitch;
    }
    y += 2 * kGroupGap;
    const int w = std::max(p.textSize(kRestoreCaption).width, p.textSize(kConfirmCaption).width) + 16;
    l.controls.push_back({nullptr, y, {kLabelX - 6, y - 6, kLabelX + w + 4, y + 21}, {{{kLabelX, y - 3, kLabelX + w, y + 18}, Action::Restore}}});
    return l;
}

// A rectangle's outline, two pixels wide, inside `a`.
void drawFrame(Platform& p, Area a, Colour colour) {
    for (int i = 0; i < 2; ++i) {
        const int x1 = a.x1 + i, y1 = a.y1 + i, x2 = a.x2 - 1 - i, y2 = a.y2 - 1 - i;
        p.setPos(x1, y1);
        p.drawLine(x2 + 1, y1, colour);
        p.setPos(x1, y2);
        p.drawLine(x2 + 1, y2, colour);
        p.setPos(x1, y1);
        p.drawLine(x1, y2 + 1, colour);
        p.setPos(x2, y1);
        p.drawLine(x2, y2 + 1, colour);
    }
}

// A button of the page: `face` with its caption centred, as the tabs are.
void drawButton(Platform& p, Area a, Colour face, FontId font, std::string_view caption) {
    p.drawBox(a.x1, a.y1, a.x2, a.y2, colours::kBlack, face);
    p.setFont(font);
    p.setColors(colours::kBlack, face);
    const int w = p.textSize(caption).width;
    p.setPos(a.x1 + (a.x2 - a.x1 - w) / 2, a.y1 + 3);
    p.drawText(caption);
}

void drawControl(App& app, const Control& c, bool focused) {
    Platform& p = app.platform;
    const FontSet& f = app.fonts;
    if (c.key == nullptr) {
        const bool asked = app.options.RestoreAsked;
        drawButton(p, c.targets[0].area, asked ? colours::kHighlightButton : colours::kGrey, f.HelpFont,
                   asked ? kConfirmCaption : kRestoreCaption);
    } else {
        const Key& key = *c.key;
        const int value = key.get(app.settings.Values);
        p.setFont(f.HelpFont);
        p.setColors(colours::kBlack, colours::kPagePanel);
        p.setPos(kLabelX, c.y);
        p.drawText(key.label);
        switch (key.kind) {
            case Kind::Switch: {
                const Area box = c.targets[0].area;
                p.drawBox(box.x1, box.y1, box.x2, box.y2, colours::kBlack, colours::kWhite);
                if (value != 0) {
                    // A tick, two pixels thick.
                    for (int dy = 0; dy < 2; ++dy) {
                        p.setPos(box.x1 + 3, box.y1 + 7 + dy);
                        p.drawLine(box.x1 + 6, box.y1 + 10 + dy, colours::kBlack);
                        p.drawLine(box.x1 + 12, box.y1 + 3 + dy, colours::kBlack);
                    }
                }
                break;
            }
            case Kind::Choice:
                for (const Target& target : c.targets) {
                    const bool chosen = target.value == value;
                    drawButton(p, target.area, chosen ? colours::kWhite : colours::kGrey,
                               chosen ? f.HelpBoldFont : f.HelpFont, key.captions[static_cast<std::size_t>(target.value)]);
                }
                break;
            case Kind::Number: {
                drawButton(p, c.targets[0].area, colours::kGrey, f.HelpBoldFont, "-");
                drawButton(p, c.targets[1].area, colours::kGrey, f.HelpBoldFont, "+");
                const Area shown{c.targets[0].area.x2 + 4, c.y - 3, c.targets[1].area.x1 - 4, c.y + 16};
                p.drawBox(shown.x1, shown.y1, shown.x2, shown.y2, colours::kBlack, colours::kWhite);
                const std::string text = key.text(value);
                p.setFont(f.HelpFont);
                p.setColors(colours::kBlack, colours::kWhite);
                p.setPos(shown.x2 - 5 - p.textSize(text).width, c.y);
                p.drawText(text);
                break;
            }
        }
    }
    if (focused) drawFrame(p, c.frame, kFocusFrame);
}

// Black or white, whichever reads better on `ground`.
Colour inkOn(Colour ground) {
    return contrastRatio(colours::kBlack, ground) >= contrastRatio(colours::kWhite, ground) ? colours::kBlack
                                                                                           : colours::kWhite;
}

// Every pixel whose middle lies within `outer` of (cx, cy) and not within
// `inner`: a disc for inner 0, else a ring.
void drawRound(Platform& p, double cx, double cy, double outer, double inner, Colour colour) {
    for (int y = static_cast<int>(cy - outer) - 1; y <= static_cast<int>(cy + outer) + 1; ++y) {
        for (int x = static_cast<int>(cx - outer) - 1; x <= static_cast<int>(cx + outer) + 1; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (d <= outer && d >= inner) p.setPixel(x, y, colour);
        }
    }
}

// A hexagon with flat top and bottom, as the board's cells stand:
// `inradius` from its middle to the flat sides.
void drawHexagon(Platform& p, double cx, double cy, double inradius, Colour colour) {
    const double circumradius = inradius * 2 / std::sqrt(3.0);
    for (int y = static_cast<int>(cy - inradius); y <= static_cast<int>(cy + inradius); ++y) {
        const double dy = std::abs(y + 0.5 - cy);
        if (dy > inradius) continue;
        const double half = circumradius - dy / std::sqrt(3.0);
        p.setPos(static_cast<int>(std::lround(cx - half)), y);
        p.drawLine(static_cast<int>(std::lround(cx + half)), y, colour);
    }
}

// A stone drawn as the board draws it; the last one marked in the theme's
// colour.
void drawPreviewStone(App& app, const board::Palette& palette, double cx, double cy, havannah::Player player, bool last) {
    board::placeStone(boardOf(app), player, {static_cast<int>(std::lround(cx - 12.5)), static_cast<int>(std::lround(cy - 13))}, false);
    if (!last) return;
    if (app.settings.Values.lastMarker == settings::LastMarker::Dot) {
        drawRound(app.platform, cx, cy, 3.5, 0, palette.marks.lastStone);
    } else {
        drawRound(app.platform, cx, cy, 7, 4.5, palette.marks.lastStone);
    }
}

// Seven cells of the chosen theme: stones of both colours, the last one
// marked, and the best candidate's disc.
void drawPreview(App& app) {
    Platform& p = app.platform;
    const auto theme = static_cast<std::size_t>(app.settings.Values.theme);
    const board::Palette palette = paletteFor(app.settings.Values.theme);
    const Colour ground = palette.picture.tableTop;
    const Colour best = palette.marks.ranks[0];
    p.drawBox(kPreview.x1, kPreview.y1, kPreview.x2, kPreview.y2, colours::kBlack, ground);
    p.setFont(app.fonts.HelpFont);
    p.setColors(inkOn(ground), ground);
    p.setPos(kPreview.x1 + 8, kPreview.y1 + 6);
    p.drawText(settings::findKey("board.theme")->captions[theme]);

    const double cx = (kPreview.x1 + kPreview.x2) / 2.0;
    const double cy = (kPreview.y1 + kPreview.y2) / 2.0 + 10;
    const double dx = 40 * std::sqrt(3.0) / 2;
    const std::pair<double, double> cells[] = {{0, 0}, {0, -40}, {0, 40}, {-dx, -20}, {dx, -20}, {-dx, 20}, {dx, 20}};
    for (const auto& [x, y] : cells) drawHexagon(p, cx + x, cy + y, 21.5, palette.picture.gridLine);
    for (const auto& [x, y] : cells) drawHexagon(p, cx + x, cy + y, 19.5, palette.picture.cell);
    drawPreviewStone(app, palette, cx - dx, cy - 20, havannah::Player::Black, false);
    drawPreviewStone(app, palette, cx, cy - 40, havannah::Player::White, false);
    drawPreviewStone(app, palette, cx, cy, havannah::Player::Black, true);
    drawRound(p, cx + dx, cy + 20, 12, 0, best);
    p.setFont(app.fonts.MarkFont);
    p.setColors(inkOn(best), best);
    const std::string figure = "62%";
    const Extent size = p.textSize(figure);
    p.setPos(static_cast<int>(std::lround(cx + dx - size.width / 2.0)), static_cast<int>(std::lround(cy + 20 - size.height / 2.0)));
    p.drawText(figure);
}

// The value a press of `target` gives the control's key.
int valueAfter(const Key& key, int value, const Target& target) {
    switch (target.action) {
        case Action::Choose:
            return target.value;
        case Action::Down:
            return key.next(value, false);
        case Action::Up:
        case Action::Flip:
        case Action::Restore:
            break;
    }
    return key.next(value, true);
}

// The control's target that Space or Enter presses, or - and + step.
std::optional<Target> keyedTarget(const Control& c, const std::string& keyText) {
    const bool press = keyText == " " || keyText == std::string(1, keys::kEnter);
    const bool down = keyText == "-";
    const bool up = keyText == "+" || keyText == "=";
    if (!press && !down && !up) return std::nullopt;
    if (c.key == nullptr) return press ? std::optional<Target>(c.targets[0]) : std::nullopt;
    if (c.key->kind == Kind::Switch) return press ? std::optional<Target>(c.targets[0]) : std::nullopt;
    return Target{{}, down ? Action::Down : Action::Up};
}

}  // namespace

void drawOptionsPanel(App& app) {
    Platform& p = app.platform;
    const Layout layout = layOut(p, app.fonts.HelpFont);
    p.setFont(app.fonts.HelpBoldFont);
    p.setColors(colours::kBlack, colours::kPagePanel);
    for (const Heading& h : layout.headings) {
        p.setPos(kHeadingX, h.y);
        p.drawText(h.text);
    }
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        drawControl(app, layout.controls[i], static_cast<int>(i) == app.options.Focus);
    }
    drawPreview(app);
    p.setFont(app.fonts.HelpFont);
    p.setColors(colours::kBlack, colours::kPagePanel);
    if (const std::string note = settingsFileNote(app.settings); !note.empty()) {
        p.setPos(kLabelX, kNoteY);
        p.drawText(note, 966);
    }
    p.setColors(colours::kDarkGrey, colours::kPagePanel);
    p.setPos(kLabelX, kHintY);
    p.drawText(kHint);
}

void handleOptionsPage(App& app) {
    const ShellFields& s = app.shell;
    OptionsPageFields& o = app.options;
    const Layout layout = layOut(app.platform, app.fonts.HelpFont);
    const int count = static_cast<int>(layout.controls.size());

    int index = -1;
    std::optional<Target> pressed;
    bool moved = false;
    if (s.ClickKind == 1) {
        for (int i = 0; i < count && !pressed; ++i) {
            for (const Target& target : layout.controls[static_cast<std::size_t>(i)].targets) {
                if (!target.area.holds(s.ClickX, s.ClickY)) continue;
                index = i;
                pressed = target;
                break;
            }
        }
    } else if (!s.LastKey.empty()) {
        const std::string& k = s.LastKey;
        if (k == std::string(1, keys::kTab) || k == keys::extended(keys::kDown) || k == keys::extended(keys::kRight)) {
            o.Focus = o.Focus + 1 < count ? o.Focus + 1 : 0;
            moved = true;
        } else if (k == keys::extended(keys::kBackTab) || k == keys::extended(keys::kUp) || k == keys::extended(keys::kLeft)) {
            o.Focus = o.Focus > 0 ? o.Focus - 1 : count - 1;
            moved = true;
        } else if (o.Focus >= 0 && o.Focus < count) {
            index = o.Focus;
            pressed = keyedTarget(layout.controls[static_cast<std::size_t>(index)], k);
        }
    }
    if (!pressed) {
        // Anything but the second press forgets the first.
        if (moved || o.RestoreAsked) {
            o.RestoreAsked = false;
            showOptionsPage(app);
        }
        return;
    }

    o.Focus = index;
    const settings::Settings before = app.settings.Values;
    const Control& control = layout.controls[static_cast<std::size_t>(index)];
    if (control.key == nullptr) {
        if (o.RestoreAsked) app.settings.Values = settings::Settings{};
        o.RestoreAsked = !o.RestoreAsked;
    } else {
        o.RestoreAsked = false;
        const Key& key = *control.key;
        key.set(app.settings.Values, valueAfter(key, key.get(app.settings.Values), *pressed));
    }
    if (app.settings.Values != before) {
        applySettings(app, before);
        saveSettings(app.platform, app.settings);
    }
    showOptionsPage(app);
}

board::Palette paletteFor(settings::Theme theme) {
    switch (theme) {
        case settings::Theme::HighContrast:
            return board::highContrastPalette();
        case settings::Theme::Dark:
            return board::darkPalette();
        case settings::Theme::ColourSafe:
            return board::colourSafePalette();
        case settings::Theme::Classic:
            break;
    }
    return board::classicPalette();
}

void applySettings(App& app, const settings::Settings& before) {
    const settings::Settings& now = app.settings.Values;
    if (now.sound != before.sound) app.platform.setSoundOn(now.sound);
    app.games.AddOpenedGames = now.addGamesToDatabase;
    if (now.textSize != before.textSize) setTextSize(app, now.textSize);
    // Drawn so from the next time the board page is drawn.
    app.board.FlatStones = now.stones == settings::StoneStyle::Discs;
    app.board.RingMarker = now.lastMarker == settings::LastMarker::Ring;
    app.board.Colours = paletteFor(now.theme);
    if (now.helpFont != before.helpFont) {
        const help::Fonts chosen = help::chooseHelpFont(app.platform, app.help, helpFontsOf(app), now.helpFont);
        app.fonts.BodyFont = chosen.BodyFont;
        app.fonts.DocHeadingFont = chosen.DocHeadingFont;
        // Laid out anew when read already; at start-up it is read later.
        if (app.help.DocLineCount > 0) help::layoutDocumentation(app.platform, app.help, app.fonts.BodyFont);
    }
    if (now.playbackDelayMs != before.playbackDelayMs) app.game.PlaybackDelay = static_cast<float>(now.playbackDelayMs);
    if (now.thinkSeconds != before.thinkSeconds) app.analysis.ThinkLimits.time = std::chrono::seconds(now.thinkSeconds);
    if (now.reviewSeconds != before.reviewSeconds) {
        app.review.Settings.budget.time = std::chrono::seconds(now.reviewSeconds);
    }
    // The engine's size and threads are fixed when it is made: one made
    // already is let go while it is idle and made anew at its next use.
    const bool engineChanged = now.engineThreads != before.engineThreads || now.engineMemoryMiB != before.engineMemoryMiB;
    if (now.engineMemoryMiB != before.engineMemoryMiB) {
        const std::size_t bytes = static_cast<std::size_t>(now.engineMemoryMiB) << 20;
        app.analysis.EngineOptions.treeBytes = bytes;
        app.review.Settings.treeBytes = bytes;
    }
    if (now.engineThreads != before.engineThreads) {
        const int threads = app.shell.ThreadsAsked.value_or(now.engineThreads.value_or(engine::defaultThreads()));
        app.analysis.EngineOptions.threads = threads;
        app.review.Settings.threads = threads;
    }
    if (engineChanged && !app.analysis.On && !app.analysis.Analysed) app.analysis.Engine.reset();
}

}  // namespace tarnwick
