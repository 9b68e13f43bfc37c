#include <string_view>

#include "app/context.h"
#include "app/options_page.h"
#include "app/shell.h"
#include "board/board.h"
#include "game/game.h"
#include "game/navigation.h"
#include "help/help.h"

namespace tarnwick {

void drawPageFrame(App& app) {
    Platform& p = app.platform;
    const struct {
        int x1, y1, x2, y2;
    } lines[] = {{1, 1, 1023, 1}, {1, 1, 1, 740}, {1, 740, 1023, 740}, {1023, 1, 1023, 740}};
    for (const auto& l : lines) {
        p.setPos(l.x1, l.y1);
        p.drawLine(l.x2, l.y2, colours::kBlack);
    }
}

// Tabs sit side by side from x 663, each as wide as its label plus 12, each
// sharing its right outline with the next one. The active tab is white with
// a bold label and opens into the page below it.
void drawTabBar(App& app) {
    Platform& p = app.platform;
    ShellFields& s = app.shell;
    int x = 663;
    for (int k = 1; k <= ShellFields::TabCount; ++k) {
        p.setFont(app.fonts.TabFont);
        const int w = p.textSize(s.TabLabels[k]).width;
        p.drawBox(x, 1, x + w + 12, 27, colours::kBlack, colours::kGrey);
        s.PageTabLeft[k] = x + 1;
        s.PageTabRight[k] = x + w + 11;
        if (k == s.ActiveTab) {
            p.setFont(app.fonts.TabBoldFont);
            p.setColors(colours::kBlack, colours::kWhite);
            const Colour face = p.getPixel(x + 1, 2);
            p.floodFill(x + 1, 2, colours::kWhite, face);
            p.setColors(colours::kWhite);
            p.setPos(x + 1, 26);
            p.drawLine(x + w + 12, 26, kForeground);
        } else {
            p.setColors(colours::kBlack, colours::kGrey);
        }
        p.setColors(colours::kBlack);
        p.setPos(x + 4, 5);
        p.drawText(s.TabLabels[k]);
        x += w + 11;
    }
    if (s.ActiveTab == ShellFields::TabCount) {
        p.setPos(x, 2);
        p.drawLine(x, 27, colours::kWhite);
    }
    p.setPos(663, 2);
    p.drawLine(663, 27, s.ActiveTab == MainTab ? colours::kWhite : colours::kBlack);
}

namespace {

// The panel of the information pages and of the help page.
void drawPagePanel(Platform& p) { p.drawBox(42, 44, 976, 724, colours::kBlack, colours::kPagePanel); }

}  // namespace

// Everything but the panel's contents: a white page, the frame, the tabs.
void drawInformationPage(App& app, int tab) {
    Platform& p = app.platform;
    app.shell.ActiveTab = tab;
    p.drawBox(1, 1, 1024, 768, colours::kBlack, colours::kWhite);
    drawPageFrame(app);
    drawTabBar(app);
    drawPagePanel(p);
}

namespace {

// The first tab whose edges hold x, within the tab row's rows 1..25 (the
// bottom outline rows 26 and 27 belong to no tab); 0 for none.
int pageTabAt(const ShellFields& s, int x, int y) {
    if (y < 1 || y > 25) return 0;
    for (int k = 1; k <= ShellFields::TabCount; ++k) {
        if (s.PageTabLeft[k] <= x && x <= s.PageTabRight[k]) return k;
    }
    return 0;
}

}  // namespace

void handleTabClick(App& app) {
    ShellFields& s = app.shell;
    const int k = pageTabAt(s, s.ClickX, s.ClickY);
    if (k != 0) {
        if (k == s.ActiveTab) return;
        s.ActiveTab = k;
        switch (k) {
            case MainTab:
                showMainPage(app);
                break;
            case LoadGameTab:
                showLoadGamePage(app);
                break;
            case OptionsTab:
                app.options = {};
                showOptionsPage(app);
                break;
            default:
                showHelpPage(app);
                break;
        }
        return;
    }
    if (s.ActiveTab != HelpTab) return;
    const int section = help::sectionTabAt(app.help, s.ClickX, s.ClickY);
    if (section == 0 || section == app.help.HelpSection) return;
    showHelpSection(app, section);
}

void showOptionsPage(App& app) {
    drawInformationPage(app, OptionsTab);
    drawOptionsPanel(app);
}

void showHelpPage(App& app) {
    drawInformationPage(app, HelpTab);
    help::drawHelpTabs(app.platform, app.help, helpFontsOf(app), app.shell.ButtonImages);
}

void showHelpSection(App& app, int section) {
    app.help.HelpSection = section;
    drawPagePanel(app.platform);
    help::drawHelpTabs(app.platform, app.help, helpFontsOf(app), app.shell.ButtonImages);
}

void handleHelpPage(App& app) {
    const ShellFields& s = app.shell;
    const help::Fonts chosen = help::handleHelpInput(app.platform, app.help, helpFontsOf(app), s.ButtonImages,
                                                     s.ExtendedKey, Click{s.ClickKind, s.ClickX, s.ClickY});
    app.fonts.BodyFont = chosen.BodyFont;
    app.fonts.DocHeadingFont = chosen.DocHeadingFont;
    // The font chosen is remembered for the next session.
    if (app.help.DocFontChoice != app.settings.Values.helpFont) {
        app.settings.Values.helpFont = app.help.DocFontChoice;
        saveSettings(app.platform, app.settings);
    }
}

// Back to the board page: the page is drawn from nothing, then the list and
// the moves up to CurrentMove are put back. CurrentMove keeps its value
// throughout; the moves are replayed so the board shows that position.
void showMainPage(App& app) {
    game::GameFields& g = app.game;
    redrawMainPage(app);
    game::drawGameHeader(gameOf(app));
    // The list is drawn on the same white area and grey band as when the
    // game was loaded, so the page comes back exactly as it was left.
    game::rebuildMoveList(gameOf(app));
    game::showCurrentPosition(gameOf(app));
    if (g.CurrentMove > 0) game::markCurrentMove(gameOf(app));
    board::drawCellLabels(boardOf(app));
}

}  // namespace tarnwick
