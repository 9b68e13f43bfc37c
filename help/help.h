// The documentation file and the About/Help page that shows it.
#pragma once

#include <string_view>

namespace tarnwick {

struct App;

inline constexpr const char* kDocumentationFile = "tk-documentation.txt";
// Shown on the help page when the file is missing or holds no section.
inline constexpr std::string_view kNoDocumentationText =
    "The documentation file tk-documentation.txt was not found beside the program.";

// Reads the documentation file beside the program into DocLines and lays it
// out. A missing file reads as empty: no sections, and the program goes on.
void readDocumentation(App& app);
// Finds the sections of DocLines and word-wraps each one to LayoutWidth in
// BodyFont, filling SectionTitle and DocText. Sizes the viewer's tables to
// the sections found and returns every section to its page 1.
void layoutDocumentation(App& app);

// The help page's contents, inside the panel that the page frame drew:
// the section tabs, then the current page (drawHelpPage).
void drawHelpTabs(App& app);
// The current page of HelpSection, the page arrows and the font button.
void drawHelpPage(App& app);
// Keys and presses while the About/Help page is shown: paging by the
// arrow keys, Page Up/Down and the arrow buttons; the font button.
void handleHelpInput(App& app);
// The font button: the next of seven body fonts, the text laid out again,
// every section back to its page 1 and the page redrawn.
void cycleHelpFont(App& app);

// Drawing steps of the help page.
void repairHelpEdge(App& app);
void drawFontButton(App& app);
// Image 2 (previous page) or 5 (next page) of the captured board buttons, as
// the page arrow at the foot of the page.
void drawButtonImage(App& app, int image);
void hidePageArrow(App& app, int image);

}  // namespace tarnwick
