#include "app/context.h"
#include "app/shell.h"
#include "board/board.h"
#include "game/game.h"
#include "game/navigation.h"

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

// Page changes arrive with the information pages; the Main page is the
// only page until then.
void handleTabClick(App&) {}

// Back to the board page: the page is drawn from nothing, then the list and
// the moves up to CurrentMove are put back. CurrentMove keeps its value
// throughout; the moves are replayed so the board shows that position.
void showMainPage(App& app) {
    GameFields& g = app.game;
    redrawMainPage(app);
    drawGameHeader(app);
    app.list.ListPenX = 1016;
    app.list.ListPenY = 246;
    for (int k = 1; k <= MaxMoveSlots && !g.Moves[k].empty(); ++k) appendListEntry(app, k);
    if (g.CurrentMove > 0) highlightCurrentEntry(app);
    for (int i = 1; i <= g.CurrentMove; ++i) {
        g.ShownMoveText = g.Moves[i];
        showMove(app);
    }
    drawCellLabels(app);
}

}  // namespace tarnwick
