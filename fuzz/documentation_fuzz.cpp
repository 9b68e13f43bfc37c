// The documentation file: its lines laid out into sections, then the
// About/Help page drawn and used: pages turned by keys, the font button
// pressed (a second layout in a wider font), another section's tab clicked.
//
// The page's frame, tab bar and panel do not depend on the file; they are
// drawn once, and each input draws the section tabs and pages on them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_program.h"
#include "help/help.h"

namespace tarnwick::fuzz {
namespace {

struct HelpPageProgram {
    HelpPageProgram() : started(program()) {
        startFonts = started.app.fonts;
        started.app.shell.ActiveTab = HelpTab;
        showHelpPage(started.app);
    }
    FuzzProgram& started;
    FontSet startFonts;  // the font button changes the body and heading fonts
};

HelpPageProgram& helpPage() {
    static HelpPageProgram shown;
    return shown;
}

// The lines as the file reader hands them out: split at line feeds, a
// carriage return right before a line feed dropped, other carriage returns
// kept, and no empty line after a final line feed.
void setDocumentationLines(help::HelpFields& h, std::string_view bytes) {
    h.DocLines.assign(1, std::string());  // slot 0 unused
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lineFeed = bytes.find('\n', start);
        if (lineFeed == std::string_view::npos) {
            h.DocLines.emplace_back(bytes.substr(start));
            break;
        }
        std::string_view line = bytes.substr(start, lineFeed - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        h.DocLines.emplace_back(line);
        start = lineFeed + 1;
    }
    h.DocLineCount = static_cast<int>(h.DocLines.size()) - 1;
}

// The text the sections' body lines hold, carriage returns left out: a
// line starting "+--" opens a box of three lines, and the line after a box is
// body text whatever it holds; lines before the first box belong to none.
std::string bodyText(const help::HelpFields& h) {
    std::string text;
    bool inSection = false;
    for (int line = 1; line <= h.DocLineCount; ++line) {
        const std::string& source = h.DocLines[static_cast<std::size_t>(line)];
        if (source.starts_with("+--")) {
            inSection = true;
            line += 3;
            if (line > h.DocLineCount) break;
        }
        if (!inSection) continue;
        for (const char c : h.DocLines[static_cast<std::size_t>(line)])
            if (c != '\r') text += c;
    }
    return text;
}

// The layout keeps every byte of the body text, in order, and ends each
// section with "end"; the viewer's tables follow the sections found.
void checkLayout(const help::HelpFields& h) {
    require(h.SectionCount >= 0 && h.DocText.size() == static_cast<std::size_t>(h.SectionCount) + 1 &&
                h.SectionTitle.size() == h.DocText.size() && h.CurrentPage.size() == h.DocText.size() &&
                h.PageStart.size() == h.DocText.size() && h.TabLeft.size() == h.DocText.size(),
            "one entry per section in every table");
    std::string laidOut;
    for (std::size_t s = 1; s < h.DocText.size(); ++s) {
        const std::vector<std::string>& lines = h.DocText[s];
        require(lines.size() >= 2 && lines.back() == "end", "each section ends with \"end\"");
        for (std::size_t i = 1; i + 1 < lines.size(); ++i) laidOut += lines[i];
    }
    require(laidOut == bodyText(h), "the laid-out lines hold the body text");
}

void pressKey(App& app, char scanLetter) {
    app.shell.ExtendedKey.assign(1, scanLetter);
    app.shell.ClickKind = 0;
    handleHelpPage(app);
}

void clickAt(App& app, int x, int y) {
    app.shell.ExtendedKey.clear();
    app.shell.ClickKind = 1;
    app.shell.ClickX = x;
    app.shell.ClickY = y;
}

}  // namespace
}  // namespace tarnwick::fuzz

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    tarnwick::fuzz::helpPage();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick;
    using namespace tarnwick::fuzz;
    HelpPageProgram& page = helpPage();
    App& app = page.started.app;
    help::HelpFields& h = app.help;

    app.fonts.BodyFont = page.startFonts.BodyFont;
    app.fonts.DocHeadingFont = page.startFonts.DocHeadingFont;
    h.DocFontChoice = 2;
    h.HelpSection = 1;
    setDocumentationLines(h, bytesOf(data, size));
    help::layoutDocumentation(app.platform, h, app.fonts.BodyFont);
    checkLayout(h);
    const help::Fonts fonts = helpFontsOf(app);
    help::drawHelpTabs(app.platform, h, fonts, app.shell.ButtonImages);

    pressKey(app, keys::kRight);
    pressKey(app, keys::kPageDown);
    pressKey(app, keys::kLeft);
    // Every step below redraws the whole page area; a text without sections
    // only ever shows the same message, so it stops here.
    if (h.SectionCount < 1) return 0;
    clickAt(app, 60, 690);  // the font button
    handleHelpPage(app);
    require(h.DocFontChoice == 3, "the font button takes the next font");
    checkLayout(h);
    pressKey(app, keys::kRight);
    if (h.SectionCount >= 2) {
        clickAt(app, h.TabLeft[2], 50);  // the second section's tab
        handleTabClick(app);
        pressKey(app, keys::kPageDown);
    }
    return 0;
}
