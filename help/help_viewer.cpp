// The documentation viewer on the About/Help page: a row of section tabs
// along the top of the light-yellow panel, one page of the chosen section's
// lines, two arrow buttons at the foot that turn pages and a button showing
// "A" that cycles through seven body fonts.
#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "help/help.h"

namespace tarnwick::help {
namespace {

constexpr Colour kPanel = colours::kPagePanel;

// Section tabs.
constexpr int kTabsLeft = 42;
constexpr int kTabTop = 44;
constexpr int kTabBottom = 70;

// The page area and its text.
constexpr int kPageLeft = 44;
constexpr int kPageTop = 76;
constexpr int kPageRight = 974;
constexpr int kPageBottom = 721;
constexpr int kTextX = 62;
constexpr int kFirstTextY = 104;
constexpr int kPageFootY = 645;  // a page ends after the line that reaches this
constexpr int kHeadingGap = 8;
constexpr int kEmptyLineHeight = 12;

// The buttons at the foot of the page: the captured board buttons, 36 x 38
// pixels of them, with a click range one pixel inside.
constexpr int kPreviousArrow = 2;  // the board's Back button
constexpr int kNextArrow = 5;      // the board's Forward button
constexpr int kButtonTop = 679;
constexpr int kButtonWidth = 36;
constexpr int kButtonHeight = 38;
constexpr int kPreviousArrowLeft = 892;
constexpr int kNextArrowLeft = 932;
constexpr int kFontButtonLeft = 52;

struct FontRow {
    const char* family;
    int points;
};
constexpr FontRow kFontTable[] = {
    {"Courier New", 8}, {"Courier New", 10}, {"Courier New", 12}, {"Arial", 8},
    {"Arial", 10},      {"Times New Roman", 8}, {"Times New Roman", 10},
};
constexpr int kFontRows = static_cast<int>(std::size(kFontTable));

std::size_t at(int index) { return static_cast<std::size_t>(index); }

// The section shown, or 0 when there is none to show (no documentation).
int shownSection(HelpFields& h) {
    const int count = h.SectionCount;
    if (count < 1 || h.DocText.size() <= at(count) || h.CurrentPage.size() <= at(count) ||
        h.PageStart.size() <= at(count) || h.SectionEnded.size() <= at(count) ||
        h.SectionTitle.size() <= at(count) || h.TabLeft.size() <= at(count) || h.TabRight.size() <= at(count)) {
        return 0;
    }
    if (h.HelpSection < 1 || h.HelpSection > count) h.HelpSection = 1;
    return h.HelpSection;
}

// First line of a page; 0 while not known.
int pageStart(const HelpFields& h, int section, int page) {
    const std::vector<int>& starts = h.PageStart[at(section)];
    return page >= 1 && at(page) < starts.size() ? starts[at(page)] : 0;
}

void setPageStart(HelpFields& h, int section, int page, int line) {
    std::vector<int>& starts = h.PageStart[at(section)];
    if (starts.size() <= at(page)) starts.resize(at(page) + 1, 0);
    starts[at(page)] = line;
}

int arrowLeft(int image) {
    if (image == kPreviousArrow) return kPreviousArrowLeft;
    if (image == kNextArrow) return kNextArrowLeft;
    return -1;
}

void drawImageAt(Platform& p, const ButtonImageTable& images, int image, int left, int top) {
    for (int row = 1; row <= kButtonHeight; ++row) {
        for (int column = 1; column <= kButtonWidth; ++column) {
            p.setPixel(left + column - 1, top + row - 1, images.at(image, column, row));
        }
    }
}

bool inside(int x, int y, int left, int top, int right, int bottom) {
    return left <= x && x <= right && top <= y && y <= bottom;
}

// Image 2 (previous page) or 5 (next page) of the captured board buttons, as
// the page arrow at the foot of the page.
void drawButtonImage(Platform& p, const ButtonImageTable& images, int image) {
    const int left = arrowLeft(image);
    if (left < 0) return;
    drawImageAt(p, images, image, left, kButtonTop);
}

void hidePageArrow(Platform& p, int image) {
    const int left = arrowLeft(image);
    if (left < 0) return;
    p.drawBox(left, kButtonTop, left + kButtonWidth, kButtonTop + kButtonHeight, kPanel, kPanel);
}

// The previous-page arrow's picture with a grey face over its arrow and the
// letter "A" in the body font on it.
void drawFontButton(Platform& p, const ButtonImageTable& images, FontId bodyFont) {
    drawImageAt(p, images, kPreviousArrow, kFontButtonLeft, kButtonTop);
    p.drawBox(57, 683, 83, 711, colours::kGrey, colours::kGrey);
    p.setColors(colours::kBlack, colours::kGrey);
    p.setFont(bodyFont);
    p.setPos(65, 689);
    p.drawText("A");
}

// The panel's right outline, the white strip right of it and the window
// frame's right edge, drawn again after a page whose text may have run past
// the page area.
void repairHelpEdge(Platform& p) {
    p.setColors(colours::kBlack, colours::kWhite);
    p.setPos(975, 77);
    p.drawLine(975, 720, kForeground);
    p.drawBox(976, 76, 1023, 721, colours::kWhite, colours::kWhite);
    p.setPos(1023, 76);
    p.drawLine(1023, 721, kForeground);
    p.setColors(kPanel);
    p.setPos(974, 77);
    p.drawLine(974, 720, kForeground);
}

void turnBack(Platform& p, HelpFields& h, const Fonts& fonts, const ButtonImageTable& images) {
    const int s = shownSection(h);
    if (s == 0 || h.CurrentPage[at(s)] < 2) return;
    --h.CurrentPage[at(s)];
    drawHelpPage(p, h, fonts, images);
}

// Forward only from a drawn page that did not reach the section's end: its
// drawing recorded where the next page starts.
void turnForward(Platform& p, HelpFields& h, const Fonts& fonts, const ButtonImageTable& images) {
    const int s = shownSection(h);
    if (s == 0 || h.SectionEnded[at(s)] != 0) return;
    const int next = h.CurrentPage[at(s)] + 1;
    if (pageStart(h, s, next) == 0) return;
    h.CurrentPage[at(s)] = next;
    drawHelpPage(p, h, fonts, images);
}

}  // namespace

// Tabs side by side from x 42, each as wide as its title plus 12, sharing its
// right outline with the next. The open tab takes the panel's colour, a bold
// title and no bottom outline, so that it opens into the page.
void drawHelpTabs(Platform& p, HelpFields& h, const Fonts& fonts, const ButtonImageTable& images) {
    const int shown = shownSection(h);
    int x = kTabsLeft;
    const int count = shown != 0 ? h.SectionCount : 0;
    for (int s = 1; s <= count; ++s) {
        const std::string& title = h.SectionTitle[at(s)];
        p.setFont(fonts.HelpFont);
        const int w = p.textSize(title).width;
        p.drawBox(x, kTabTop, x + w + 12, kTabBottom, colours::kBlack, colours::kGrey);
        h.TabLeft[at(s)] = x + 1;
        h.TabRight[at(s)] = x + w + 11;
        if (s == shown) {
            p.setFont(fonts.HelpBoldFont);
            p.setColors(colours::kBlack, kPanel);
            const Colour face = p.getPixel(x + 1, kTabTop + 1);
            p.floodFill(x + 1, kTabTop + 1, kPanel, face);
            p.setPos(x + 1, kTabBottom - 1);
            p.drawLine(x + w + 12, kTabBottom - 1, kPanel);
        } else {
            p.setColors(colours::kBlack, colours::kGrey);
        }
        p.setPos(x + 4, 48);
        p.drawText(title);
        x += w + 11;
    }
    if (shown != 0 && shown == h.SectionCount) {
        p.setPos(x, kTabTop + 1);
        p.drawLine(x, kTabBottom, kPanel);
    }
    drawHelpPage(p, h, fonts, images);
}

// Clicks count on rows 42..68, within a tab's recorded edges.
int sectionTabAt(const HelpFields& h, int x, int y) {
    if (y < 42 || y > 68) return 0;
    const int drawn = std::min({h.SectionCount, static_cast<int>(h.TabLeft.size()) - 1,
                                static_cast<int>(h.TabRight.size()) - 1});
    for (int s = 1; s <= drawn; ++s) {
        if (h.TabLeft[at(s)] <= x && x <= h.TabRight[at(s)]) return s;
    }
    return 0;
}

// Lines are drawn from y 104 until one brings y to 645 or further; the next
// page starts at the first line not drawn. A heading never ends a page. A line followed by a "----" line
// is a heading: bold, underlined, 8 pixels more below it; the "----" line
// itself is not drawn. Lines are drawn flush left, without leading blanks.
void drawHelpPage(Platform& p, HelpFields& h, const Fonts& fonts, const ButtonImageTable& images) {
    p.setColors(colours::kBlack, kPanel);
    p.drawBox(kPageLeft, kPageTop, kPageRight, kPageBottom, kPanel, kPanel);
    p.setFont(fonts.BodyFont);

    const int s = shownSection(h);
    if (s == 0) {
        p.setPos(kTextX, kFirstTextY);
        p.drawText(kNoDocumentationText);
        hidePageArrow(p, kPreviousArrow);
        hidePageArrow(p, kNextArrow);
        drawFontButton(p, images, fonts.BodyFont);
        return;
    }

    int& page = h.CurrentPage[at(s)];
    if (page < 1) page = 1;
    const std::vector<std::string>& text = h.DocText[at(s)];
    // The last entry is the section's "end"; the lines come before it.
    const int endIndex = static_cast<int>(text.size()) - 1;
    const int first = pageStart(h, s, page);
    h.SectionEnded[at(s)] = 0;
    const int top = first > 0 ? first : 1;
    int i = top;
    int y = kFirstTextY;
    do {
        if (i >= endIndex) {
            h.SectionEnded[at(s)] = 1;
            break;
        }
        const std::string& line = text[at(i)];
        const bool gapAtPageTop = line.empty() && page > 1 && i == first;
        if (!gapAtPageTop && line.find("----") == std::string::npos) {
            const bool heading = text[at(i + 1)].find("----") != std::string::npos;
            p.setFont(heading ? fonts.DocHeadingFont : fonts.BodyFont);
            std::string_view shown = line;
            shown.remove_prefix(std::min(shown.find_first_not_of(' '), shown.size()));
            if (shown.empty()) {
                y += kEmptyLineHeight;
            } else {
                const int step = p.textSize(shown).height + 2 + (heading ? kHeadingGap : 0);
                // A heading that would end the page opens the next one, with
                // the text it heads; at the top of a page it always stays.
                if (heading && i != top && y + step >= kPageFootY) break;
                p.setPos(kTextX, y);
                p.drawText(shown);
                y += step;
            }
        }
        ++i;
    } while (y < kPageFootY);
    // A page that ends on the section's last line ends the section: no
    // arrow leads on to a page holding nothing.
    if (i >= endIndex) h.SectionEnded[at(s)] = 1;

    if (page == 1) {
        hidePageArrow(p, kPreviousArrow);
    } else {
        drawButtonImage(p, images, kPreviousArrow);
    }
    if (h.SectionEnded[at(s)] != 0) {
        hidePageArrow(p, kNextArrow);
    } else {
        setPageStart(h, s, page + 1, i);
        drawButtonImage(p, images, kNextArrow);
    }
    drawFontButton(p, images, fonts.BodyFont);
}

// Keys first: Left and Page Up turn back, Right and Page Down forward. Then
// a press on an arrow button or the font button. The arrows' ranges answer
// even while an arrow is hidden; the page checks make that press do nothing.
Fonts handleHelpInput(Platform& p, HelpFields& h, const Fonts& fonts, const ButtonImageTable& images,
                      std::string_view extendedKey, Click click) {
    if (extendedKey.size() == 1) {
        const char k = extendedKey[0];
        if (k == keys::kLeft || k == keys::kPageUp) {
            turnBack(p, h, fonts, images);
            return fonts;
        }
        if (k == keys::kRight || k == keys::kPageDown) {
            turnForward(p, h, fonts, images);
            return fonts;
        }
    }
    if (click.kind != 1) return fonts;
    const int top = kButtonTop + 1;
    const int bottom = kButtonTop + kButtonHeight - 3;
    if (inside(click.x, click.y, kPreviousArrowLeft + 1, top, kPreviousArrowLeft + kButtonWidth - 2, bottom)) {
        turnBack(p, h, fonts, images);
    } else if (inside(click.x, click.y, kNextArrowLeft + 1, top, kNextArrowLeft + kButtonWidth - 2, bottom)) {
        turnForward(p, h, fonts, images);
    } else if (inside(click.x, click.y, kFontButtonLeft + 1, top, kFontButtonLeft + kButtonWidth - 2, bottom)) {
        return cycleHelpFont(p, h, fonts, images);
    }
    return fonts;
}

Fonts chooseHelpFont(Platform& p, HelpFields& h, const Fonts& fonts, int choice) {
    h.DocFontChoice = std::clamp(choice, 1, kFontRows);
    const FontRow& row = kFontTable[at(h.DocFontChoice - 1)];
    Fonts chosen = fonts;
    chosen.BodyFont = p.createFont(row.family, row.points, kRegular);
    chosen.DocHeadingFont = p.createFont(row.family, row.points, kBold | kUnderline);
    return chosen;
}

// Seven rows, then back to the first. createFont returns the same font for
// the same request, so the font table does not grow however often this runs.
// The layout also returns every section to its page 1. The body font is the
// text font of the other information pages too, so they change with it.
Fonts cycleHelpFont(Platform& p, HelpFields& h, const Fonts& fonts, const ButtonImageTable& images) {
    const Fonts chosen = chooseHelpFont(p, h, fonts, h.DocFontChoice >= 1 && h.DocFontChoice < kFontRows ? h.DocFontChoice + 1 : 1);
    layoutDocumentation(p, h, chosen.BodyFont);
    drawHelpPage(p, h, chosen, images);
    repairHelpEdge(p);
    return chosen;
}

}  // namespace tarnwick::help
