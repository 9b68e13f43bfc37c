// The documentation file and the About/Help page that shows it.
//
// The page draws on the platform's canvas with the fonts and button images
// it is handed; its own state is HelpFields. The font button chooses the
// body and heading fonts: the functions that may press it return the fonts
// to use from then on, for the caller to keep.
#pragma once

#include <string_view>

#include "help/button_images.h"
#include "help/help_state.h"
#include "platform/platform.h"

namespace tarnwick::help {

inline constexpr const char* kDocumentationFile = "tk-documentation.txt";
// Shown on the help page when the file is missing or holds no section.
inline constexpr std::string_view kNoDocumentationText =
    "The documentation file tk-documentation.txt was not found beside the program.";

// The fonts the help page draws with.
struct Fonts {
    FontId BodyFont = kNoFont;        // documentation text and the font button's "A"
    FontId DocHeadingFont = kNoFont;  // documentation headings
    FontId HelpFont = kNoFont;        // section tabs
    FontId HelpBoldFont = kNoFont;    // the open section's tab
};

// Reads the documentation file beside the program into DocLines and lays it
// out in `bodyFont`. A missing file reads as empty: no sections, and the
// program goes on.
void readDocumentation(Platform& p, HelpFields& h, FontId bodyFont);
// Finds the sections of DocLines and word-wraps each one to LayoutWidth in
// `bodyFont`, filling SectionTitle and DocText. Sizes the viewer's tables to
// the sections found and returns every section to its page 1.
void layoutDocumentation(Platform& p, HelpFields& h, FontId bodyFont);

// The help page's contents, inside the panel that the page frame drew:
// the section tabs, then the current page (drawHelpPage).
void drawHelpTabs(Platform& p, HelpFields& h, const Fonts& fonts, const ButtonImageTable& images);
// The current page of HelpSection, the page arrows and the font button.
void drawHelpPage(Platform& p, HelpFields& h, const Fonts& fonts, const ButtonImageTable& images);
// The section whose tab holds (x, y) as the tabs were last drawn; 0 for none.
int sectionTabAt(const HelpFields& h, int x, int y);
// Keys and presses while the About/Help page is shown: paging by the
// arrow keys, Page Up/Down and the arrow buttons; the font button.
// `extendedKey` is the scan letter of a cursor or function key, else empty.
Fonts handleHelpInput(Platform& p, HelpFields& h, const Fonts& fonts, const ButtonImageTable& images,
                      std::string_view extendedKey, Click click);
// Row `choice` (1..7) of the font table as DocFontChoice and the body and
// heading fonts; the documentation is not laid out again.
Fonts chooseHelpFont(Platform& p, HelpFields& h, const Fonts& fonts, int choice);
// The font button: the next of seven body fonts, the text laid out again,
// every section back to its page 1 and the page redrawn.
Fonts cycleHelpFont(Platform& p, HelpFields& h, const Fonts& fonts, const ButtonImageTable& images);

}  // namespace tarnwick::help
