#include "app/context.h"
#include "help/help.h"

namespace tarnwick {

void readDocumentation(App& app) {
    HelpFields& h = app.help;
    Platform& p = app.platform;
    h.DocLines.assign(1, std::string());  // entry 0 unused: lines count from 1
    h.DocLineCount = 0;
    p.fileOpen(kDocumentationFile);
    while (!p.fileAtEnd() && h.DocLineCount < HelpFields::MaxDocLines) {
        h.DocLines.push_back(p.fileReadLine());
        ++h.DocLineCount;
    }
    p.fileClose();
}

// The help page's sections and paging arrive with the documentation viewer.
void drawHelpTabs(App&) {}
void handleHelpInput(App&) {}

}  // namespace tarnwick
