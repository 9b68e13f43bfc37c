// The move list beside the board: every token as plain text, left to right
// in rows of grey bands, the current move bold on the highlight colour. It is
// drawn straight into the window. A list with more rows than the window
// holds scrolls by whole rows under the heading band, earliest rows first,
// so that the highlighted entry stays in view and no row covers the frame.
#include <algorithm>
#include <cmath>

#include "game/navigation.h"
#include "game/replay.h"
#include "game/variations.h"
#include "platform/text_fit.h"

namespace tarnwick::game {
namespace {

constexpr int kFirstPenX = 1016;
constexpr int kListLeftEdge = 656;
constexpr int kFirstPenY = 246;
constexpr int kRowPitch = 17;
constexpr int kEntryGap = 7;
constexpr int kBandHeight = 22;
// Rows shown at once: each row's band, outline included, must end above
// the window frame's bottom line (y 740). That is 27 rows, the last ending
// at y 727.
// Something drawn under the list (a review's graph) moves its end up to
// MoveListFields::Bottom, and the rows shown are fewer.
int shownRows(const MoveListFields& l) { return (l.Bottom - 1 - kFirstPenY - kBandHeight) / kRowPitch; }

bool validEntry(int k) { return k >= 1 && k <= MaxMoveSlots; }
std::size_t slot(int k) { return static_cast<std::size_t>(k); }

// Odd entries (Black's moves) are written in Black's ink, even ones in
// White's: black and white on today's grey.
Colour inkFor(const board::Palette& c, havannah::Player player) {
    return player == havannah::Player::White ? c.whiteMoveInk : c.blackMoveInk;
}

// Row 1 is the first row of the list laid out in full.
int rowAt(int penY) { return (penY - kFirstPenY) / kRowPitch; }
bool rowShown(const MoveListFields& l, int row) { return row > l.ScrolledRows && row <= l.ScrolledRows + shownRows(l); }
int shownY(const MoveListFields& l, int penY) { return penY - kRowPitch * l.ScrolledRows; }

// A row's grey band with its outline on the left, below and on the right;
// it covers the lower part of the band above.
void drawRowBand(Platform& p, const board::Palette& c, int y) {
    p.drawBox(654, y, 1018, y + kBandHeight, c.listBand, c.listBand);
    p.setColors(c.listEdge);
    p.setPos(653, y);
    p.drawLine(653, y + kBandHeight, kForeground);
    p.setPos(653, y + kBandHeight);
    p.drawLine(1019, y + kBandHeight, kForeground);
    p.setPos(1018, y);
    p.drawLine(1018, y + kBandHeight, kForeground);
}

// The marks of an entry of a game with variations, outside its text box so
// that the highlight, which paints that box, leaves them: a line under an
// entry off the main line, and a small square at the top right of a move
// that has alternatives. A game without variations has none.
//
// A reviewed move's judgement: a small square at the bottom right, outlined
// in black so that it reads on the grey band beside black and white inks,
// in the board's judgement colours.
void drawEntryMarks(Game game, int k) {
    const EntryMarks marks = entryMarks(game.state, k);
    if (!marks.offMainLine && !marks.hasAlternatives && marks.judged == 0) return;
    const MoveListFields& l = game.list;
    Platform& p = game.board.platform;
    const board::Palette& c = game.board.state.Colours;
    p.setFont(game.fonts.list);
    const Extent size = p.textSize(l.ListText[slot(k)]);
    const int x = l.EntryX[slot(k)];
    const int y = shownY(l, l.EntryY[slot(k)]);
    if (marks.offMainLine) {
        p.setPos(x, y + size.height);
        p.drawLine(x + size.width, y + size.height, c.variationMark);
    }
    if (marks.hasAlternatives) p.drawBox(x + size.width + 1, y, x + size.width + 4, y + 3, c.variationMark, c.variationMark);
    if (marks.judged > 0) {
        const Colour judged = c.marks.judgements[static_cast<std::size_t>(std::clamp(marks.judged, 1, 4) - 1)];
        p.drawBox(x + size.width + 1, y + size.height - 5, x + size.width + 6, y + size.height, colours::kBlack, judged);
    }
}

void drawPlainEntry(Game game, int k) {
    const MoveListFields& l = game.list;
    Platform& p = game.board.platform;
    const board::Palette& c = game.board.state.Colours;
    p.setColors(inkFor(c, k % 2 == 0 ? havannah::Player::White : havannah::Player::Black), c.listBand);
    p.setFont(game.fonts.list);
    p.setPos(l.EntryX[slot(k)], shownY(l, l.EntryY[slot(k)]));
    p.drawText(l.ListText[slot(k)]);
    drawEntryMarks(game, k);
}

// Places entry k after the entries placed before it; true when it opens a
// new row. The row test uses the width of the entry placed before this one,
// so an entry may reach past the limit; the first entry always opens a row.
bool placeEntry(Game game, int k) {
    MoveListFields& l = game.list;
    Platform& p = game.board.platform;
    const bool opensRow = l.LastEntryWidth + static_cast<float>(l.ListPenX) > static_cast<float>(l.ListRightLimit);
    if (opensRow) {
        l.ListPenY += kRowPitch;
        l.ListPenX = kListLeftEdge + kEntryGap;
    }
    p.setFont(game.fonts.list);
    const std::string& entry = game.state.Moves[k];
    const Extent size = p.textSize(entry);
    l.LastEntryWidth = static_cast<float>(size.width);
    l.ListText[slot(k)] = entry;
    l.EntryX[slot(k)] = l.ListPenX;
    l.EntryY[slot(k)] = l.ListPenY;
    l.ListPenX = static_cast<int>(std::nearbyint(l.LastEntryWidth + static_cast<float>(l.ListPenX) + kEntryGap));
    return opensRow;
}

// The heading band and the white area below it, then every entry of the
// shown rows, row by row. The first row's band reaches out of both; where it
// did, the panel's own colour (as right of the bands) comes back first.
void drawShownRows(Game game) {
    const MoveListFields& l = game.list;
    Platform& p = game.board.platform;
    const board::Palette& c = game.board.state.Colours;
    const Colour panel = p.getPixel(1020, 270);
    p.drawBox(653, 257, 1019, 279, panel, panel);
    p.drawBox(654, 257, 1018, 278, c.listBand, c.listBand);
    p.drawBox(652, 279, 1023, l.Bottom == kFrameBottom ? 736 : l.Bottom - 1, c.listGround, c.listGround);
    for (int k = 1; k <= MaxMoveSlots && !game.state.Moves[k].empty(); ++k) {
        const int y = l.EntryY[slot(k)];
        if (!rowShown(l, rowAt(y))) continue;
        if (k == 1 || l.EntryY[slot(k - 1)] != y) drawRowBand(p, c, shownY(l, y));
        drawPlainEntry(game, k);
    }
}

// The fewest rows scrolled out that show `row` (none: any) of a list of
// `rows` rows, starting from those scrolled out now.
int rowsToScroll(const MoveListFields& l, int row, int rows) {
    const int scrolled = std::clamp(l.ScrolledRows, 0, std::max(0, rows - shownRows(l)));
    return row > 0 ? std::clamp(scrolled, row - shownRows(l), row - 1) : scrolled;
}

}  // namespace

void rebuildMoveList(Game game) {
    MoveListFields& l = game.list;
    l.ListPenX = kFirstPenX;
    l.ListPenY = kFirstPenY;
    for (int k = 1; k <= MaxMoveSlots && !game.state.Moves[k].empty(); ++k) placeEntry(game, k);
    // A list that has become shorter needs fewer rows scrolled out.
    const int k = game.state.CurrentMove;
    const int currentRow = validEntry(k) && !game.state.Moves[k].empty() ? rowAt(l.EntryY[slot(k)]) : 0;
    l.ScrolledRows = rowsToScroll(l, currentRow, rowAt(l.ListPenY));
    drawShownRows(game);
}

void appendListEntry(Game game, int k) {
    if (!validEntry(k)) return;
    const bool opensRow = placeEntry(game, k);
    const MoveListFields& l = game.list;
    // Rows below the shown ones are drawn when the highlight scrolls to them.
    if (!rowShown(l, rowAt(l.EntryY[slot(k)]))) return;
    if (opensRow) drawRowBand(game.board.platform, game.board.state.Colours, shownY(l, l.EntryY[slot(k)]));
    drawPlainEntry(game, k);
}

void highlightCurrentEntry(Game game) {
    const int k = game.state.CurrentMove;
    if (k <= 0 || !validEntry(k)) return;
    MoveListFields& l = game.list;
    Platform& p = game.board.platform;
    const int scrolled = rowsToScroll(l, rowAt(l.EntryY[slot(k)]), rowAt(l.ListPenY));
    if (scrolled != l.ScrolledRows) {
        l.ScrolledRows = scrolled;
        drawShownRows(game);
    }
    const havannah::Player player = decodeMove(l.ListText[slot(k)]).player;
    p.setColors(inkFor(game.board.state.Colours, player), game.board.state.Colours.listHighlight);
    p.setFont(game.fonts.listBold);
    p.setPos(l.EntryX[slot(k)], shownY(l, l.EntryY[slot(k)]));
    p.drawText(l.ListText[slot(k)]);
    l.HighlightPlayer = player;
    l.HighlightText = l.ListText[slot(k)];
    l.HighlightX = l.EntryX[slot(k)];
    l.HighlightY = l.EntryY[slot(k)];
}

void redrawListEntry(Game game, int k) {
    const MoveListFields& l = game.list;
    if (!validEntry(k) || game.state.Moves[k].empty() || !rowShown(l, rowAt(l.EntryY[slot(k)]))) return;
    if (k == game.state.CurrentMove) {
        highlightCurrentEntry(game);
        drawEntryMarks(game, k);
    } else {
        drawPlainEntry(game, k);
    }
}

void unhighlightEntry(Game game) {
    const MoveListFields& l = game.list;
    if (l.HighlightText.empty() || !rowShown(l, rowAt(l.HighlightY))) return;
    Platform& p = game.board.platform;
    p.setFont(game.fonts.list);
    p.setPos(l.HighlightX, shownY(l, l.HighlightY));
    p.setColors(inkFor(game.board.state.Colours, l.HighlightPlayer), game.board.state.Colours.listBand);
    p.drawText(l.HighlightText);
}

void drawComment(Game game, std::string_view comment) {
    constexpr int kLeft = 664;
    constexpr int kRight = 1012;
    const int kBottom = std::min(727, game.list.Bottom - 8);
    constexpr int kGap = 6;
    const MoveListFields& l = game.list;
    Platform& p = game.board.platform;
    const int listBottom = game.state.moveCount() > 0 ? shownY(l, l.ListPenY) + kBandHeight : 278;
    int y = std::max(279, listBottom + 1) + kGap;
    if (y >= kBottom) return;
    const board::Palette& c = game.board.state.Colours;
    p.drawBox(654, y, 1018, kBottom + 1, c.listGround, c.listGround);
    p.setFont(game.fonts.list);
    p.setColors(c.listInk, c.listGround);
    const int height = p.textSize("Ag").height;
    // Word by word: a line takes words while they fit; a word wider than a
    // whole line is cut. Line breaks in the comment start new lines.
    std::size_t start = 0;
    while (start < comment.size() && y + height <= kBottom) {
        const std::size_t lineEnd = std::min(comment.find('\n', start), comment.size());
        std::size_t end = start;
        for (std::size_t next = start; next <= lineEnd;) {
            std::size_t wordEnd = comment.find(' ', next);
            wordEnd = std::min(wordEnd == std::string_view::npos ? lineEnd : wordEnd, lineEnd);
            if (end > start && p.textSize(comment.substr(start, wordEnd - start)).width > kRight - kLeft) break;
            end = wordEnd;
            next = wordEnd + 1;
        }
        p.setPos(kLeft, y);
        p.drawText(shortenAtEnd(p, comment.substr(start, end - start), kRight - kLeft));
        y += height;
        start = end + 1;
    }
}

void selectListEntry(Game game, int x, int y) {
    GameFields& g = game.state;
    MoveListFields& l = game.list;
    Platform& p = game.board.platform;
    p.setFont(game.fonts.list);
    const int count = g.moveCount();
    for (int k = 1; k <= MaxMoveSlots; ++k) {
        const Extent size = p.textSize(g.Moves[k]);
        const int ex = l.EntryX[slot(k)];
        const int ey = shownY(l, l.EntryY[slot(k)]);
        const bool shown = rowShown(l, rowAt(l.EntryY[slot(k)]));
        if (shown && x >= ex - 1 && x <= ex + size.width + 1 && y >= ey - 1 && y <= ey + size.height + 1) {
            const int scrolled = l.ScrolledRows;
            clearPosition(game);
            // Rebuilt from the empty board so every marker and the highlight end
            // on entry k. Stepping stops when it makes no progress: a resign
            // entry cannot be passed, so its click shows the move before it.
            while (g.CurrentMove < k) {
                const int before = g.CurrentMove;
                stepForward(game);
                if (g.CurrentMove == before) break;
            }
            // The steps scrolled the list from its top; it stays as it was
            // clicked, where the entry reached is in view.
            if (l.ScrolledRows != scrolled) {
                l.ScrolledRows = scrolled;
                drawShownRows(game);
                highlightCurrentEntry(game);
            }
            return;
        }
        if (k >= count) return;
    }
}

}  // namespace tarnwick::game
