// The documentation file and the About/Help page that shows it.
#pragma once

namespace tarnwick {

struct App;

inline constexpr const char* kDocumentationFile = "tk-documentation.txt";

// Reads the documentation file beside the program into DocLines.
void readDocumentation(App& app);
// Draws the section tabs and the current page of the help page.
void drawHelpTabs(App& app);
// Keys and clicks while the About/Help page is shown.
void handleHelpInput(App& app);

}  // namespace tarnwick
