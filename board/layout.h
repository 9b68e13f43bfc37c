// Where the board page's controls are, per base: the two board pictures
// place them differently. Every click area and button outline of the page
// has its home here.
#pragma once

namespace tarnwick::board {

// A rectangle of window pixels, both corners included.
struct Area {
    int x1, y1, x2, y2;
    constexpr bool holds(int x, int y) const { return x >= x1 && x <= x2 && y >= y1 && y <= y2; }
};

struct ControlAreas {
    // What a click hits.
    Area numberField, start, back, play, pause, forward, end, labels, size, swap;
    // The Play button's rectangle, round which its bevel is drawn; one pixel
    // wider than its click area on base 8 because the picture's button is.
    Area playBevel;
};

inline constexpr ControlAreas kBase8Controls{
    {41, 59, 155, 76},    {12, 691, 44, 725},   {48, 691, 80, 725},  {84, 691, 116, 725},
    {120, 691, 152, 725}, {156, 691, 188, 725}, {192, 691, 224, 725}, {24, 561, 55, 596},
    {21, 630, 61, 658},   {118, 640, 150, 651}, {83, 691, 116, 726},
};

inline constexpr ControlAreas kBase10Controls{
    {41, 59, 155, 76},    {16, 696, 47, 728},   {52, 696, 83, 728},  {88, 696, 119, 728},
    {124, 696, 155, 728}, {161, 696, 192, 728}, {197, 696, 228, 728}, {24, 586, 55, 622},
    {21, 638, 61, 675},   {97, 655, 128, 666},  {88, 696, 119, 728},
};

// The information panel's free space between the players' band and the game
// number band: the win or refused move is named on its upper line, what
// became of a file or a fetch on its lower one, each a few pixels clear of
// the band next to it. It shows the board picture's own colour, which its
// top-left pixel keeps (no text reaches it).
inline constexpr Area kPanelNoteArea{654, 133, 1015, 167};
inline constexpr int kPanelTextLeft = 664;
inline constexpr int kPanelNoteTop = 136;         // the upper line's top row
inline constexpr int kPanelMessageBottom = 164;   // the lower line's last row

// Base 10's controls for base 10, base 8's for any other base.
constexpr const ControlAreas& controlsFor(int base) { return base == 10 ? kBase10Controls : kBase8Controls; }

}  // namespace tarnwick::board
