// The move list beside the board: every token as plain text, left to right
// in rows of grey bands, the current move bold on the highlight colour. It is
// drawn straight into the window and keeps no scroll state; a long game
// simply continues downward.
#include <cmath>

#include "app/context.h"
#include "game/navigation.h"
#include "game/replay.h"

namespace tarnwick {
namespace {

constexpr int kFirstPenX = 1016;
constexpr int kFirstPenY = 246;
constexpr int kRowPitch = 17;
constexpr int kEntryGap = 7;

bool validEntry(int k) { return k >= 1 && k <= MaxMoveSlots; }
std::size_t slot(int k) { return static_cast<std::size_t>(k); }

// Odd entries (Black's moves) are written in black, even ones in white.
Colour inkFor(havannah::Player player) { return player == havannah::Player::White ? colours::kWhite : colours::kBlack; }

}  // namespace

void rebuildMoveList(App& app) {
    Platform& p = app.platform;
    app.list.ListPenX = kFirstPenX;
    app.list.ListPenY = kFirstPenY;
    p.drawBox(659, 257, 1018, 278, colours::kGrey, colours::kGrey);
    p.drawBox(652, 279, 1023, 736, colours::kWhite, colours::kWhite);
    for (int k = 1; k <= MaxMoveSlots && !app.game.Moves[k].empty(); ++k) appendListEntry(app, k);
}

void appendListEntry(App& app, int k) {
    if (!validEntry(k)) return;
    MoveListFields& l = app.list;
    Platform& p = app.platform;
    l.ListLeftEdge = 656;
    // The row test uses the width of the entry drawn before this one, so an
    // entry may reach past the limit; the first entry always opens a row.
    if (l.LastEntryWidth + static_cast<float>(l.ListPenX) > static_cast<float>(l.ListRightLimit)) {
        l.ListPenY += kRowPitch;
        l.ListPenX = l.ListLeftEdge + kEntryGap;
        p.drawBox(654, l.ListPenY, 1018, l.ListPenY + 22, colours::kGrey, colours::kGrey);
        p.setColors(colours::kBlack);
        p.setPos(653, l.ListPenY);
        p.drawLine(653, l.ListPenY + 22, kForeground);
        p.setPos(653, l.ListPenY + 22);
        p.drawLine(1019, l.ListPenY + 22, kForeground);
        p.setPos(1018, l.ListPenY);
        p.drawLine(1018, l.ListPenY + 22, kForeground);
    }
    p.setColors(k % 2 == 0 ? colours::kWhite : colours::kBlack, colours::kGrey);
    p.setFont(app.fonts.ListFont);
    const std::string& entry = app.game.Moves[k];
    const Extent size = p.textSize(entry);
    l.LastEntryWidth = static_cast<float>(size.width);
    l.LastEntryHeight = static_cast<float>(size.height);
    p.setPos(l.ListPenX, l.ListPenY);
    p.drawText(entry);
    l.ListText[slot(k)] = entry;
    l.EntryX[slot(k)] = l.ListPenX;
    l.EntryY[slot(k)] = l.ListPenY;
    l.ListPenX = static_cast<int>(std::nearbyint(l.LastEntryWidth + static_cast<float>(l.ListPenX) + kEntryGap));
}

void highlightCurrentEntry(App& app) {
    const int k = app.game.CurrentMove;
    if (k <= 0 || !validEntry(k)) return;
    MoveListFields& l = app.list;
    Platform& p = app.platform;
    const havannah::Player player = decodeMove(l.ListText[slot(k)]).player;
    p.setColors(inkFor(player), colours::kListHighlight);
    p.setFont(app.fonts.ListBoldFont);
    p.setPos(l.EntryX[slot(k)], l.EntryY[slot(k)]);
    p.drawText(l.ListText[slot(k)]);
    l.HighlightPlayer = player;
    l.HighlightText = l.ListText[slot(k)];
    l.HighlightX = l.EntryX[slot(k)];
    l.HighlightY = l.EntryY[slot(k)];
}

void unhighlightEntry(App& app) {
    const MoveListFields& l = app.list;
    if (l.HighlightText.empty()) return;
    Platform& p = app.platform;
    p.setFont(app.fonts.ListFont);
    p.setPos(l.HighlightX, l.HighlightY);
    p.setColors(inkFor(l.HighlightPlayer), colours::kGrey);
    p.drawText(l.HighlightText);
}

void selectListEntry(App& app) {
    GameFields& g = app.game;
    MoveListFields& l = app.list;
    Platform& p = app.platform;
    const int x = app.shell.ClickX;
    const int y = app.shell.ClickY;
    p.setFont(app.fonts.ListFont);
    for (int k = 1; k <= MaxMoveSlots; ++k) {
        const Extent size = p.textSize(g.Moves[k]);
        l.LastEntryWidth = static_cast<float>(size.width);
        l.LastEntryHeight = static_cast<float>(size.height);
        const int ex = l.EntryX[slot(k)];
        const int ey = l.EntryY[slot(k)];
        if (x >= ex - 1 && x <= ex + size.width + 1 && y >= ey - 1 && y <= ey + size.height + 1) {
            clearPosition(app);
            // Rebuilt from the empty board so every marker and the highlight end
            // on entry k. Stepping stops when it makes no progress: a resign
            // entry cannot be passed, so its click shows the move before it.
            while (g.CurrentMove < k) {
                const int before = g.CurrentMove;
                stepForward(app);
                if (g.CurrentMove == before) break;
            }
            return;
        }
        if (k >= g.MoveCount) return;
    }
}

}  // namespace tarnwick
