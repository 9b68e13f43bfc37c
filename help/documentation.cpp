// Reading the documentation file and laying it out into sections of lines.
//
// The file's markup: a header box of three lines opens a section,
//
//     +----------------+
//     | Loading games  |
//     +----------------+
//
// its middle line, with every "|" removed, is the section's title. The line
// right after a box is always body text. Every other line is body text,
// word-wrapped to LayoutWidth; an empty line is a gap. A line holding "----"
// underlines the line above it, which the viewer draws as a heading.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "help/help.h"

namespace tarnwick::help {
namespace {

bool isHeaderBorder(std::string_view line) { return line.starts_with("+--"); }

// Word-wraps one source line onto the end of `out`.
//
// A word is a run of characters up to and including a blank, so the blanks
// of the source survive: two blanks in a row give a word of one blank, with
// its own width. Words are measured one by one and their widths added; a
// word that would take the line past `width` starts the next output line.
// When that happens while the line being built is still empty (a word wider
// than the whole line), the empty line is written as it is. A carriage
// return inside the line ends the output line there.
void wrapLine(const Platform& p, int width, std::string_view source, std::vector<std::string>& out) {
    std::string built;
    int builtWidth = 0;
    std::size_t pos = 0;
    do {
        const std::size_t start = pos;
        bool atReturn = false;
        while (pos < source.size()) {
            const char c = source[pos];
            if (c == '\r') {
                atReturn = true;
                break;
            }
            ++pos;
            if (c == ' ') break;
        }
        const std::string_view word = source.substr(start, pos - start);
        if (atReturn) ++pos;  // the carriage return itself is not text
        const bool closesLine = atReturn || pos >= source.size();

        if (word.empty()) {
            // An empty source line, or a carriage return with nothing before it.
            out.push_back(std::move(built));
            built.clear();
            builtWidth = 0;
            continue;
        }
        const int w = p.textSize(word).width;
        if (w + builtWidth > width) {
            out.push_back(std::move(built));
            built.assign(word);
            builtWidth = w;
            if (closesLine) {
                out.push_back(std::move(built));
                built.clear();
                builtWidth = 0;
            }
        } else {
            built.append(word);
            builtWidth += w;
            if (closesLine) {
                out.push_back(std::move(built));
                built.clear();
                builtWidth = 0;
            }
        }
    } while (pos < source.size());
}

}  // namespace

void readDocumentation(Platform& p, HelpFields& h, FontId bodyFont) {
    h.DocLines.assign(1, std::string());  // slot 0 unused: lines count from 1
    p.fileOpen(kDocumentationFile);
    while (!p.fileAtEnd()) h.DocLines.push_back(p.fileReadLine());
    p.fileClose();
    h.DocLineCount = static_cast<int>(h.DocLines.size()) - 1;
    layoutDocumentation(p, h, bodyFont);
}

void layoutDocumentation(Platform& p, HelpFields& h, FontId bodyFont) {
    p.setFont(bodyFont);

    h.SectionTitle.assign(1, std::string());
    h.DocText.assign(1, {});
    const int lastLine = std::min(h.DocLineCount, static_cast<int>(h.DocLines.size()) - 1);
    int line = 1;
    while (line <= lastLine) {
        std::string* source = &h.DocLines[static_cast<std::size_t>(line)];
        if (isHeaderBorder(*source)) {
            std::string title;
            if (line + 1 <= lastLine) {
                std::string& titleLine = h.DocLines[static_cast<std::size_t>(line + 1)];
                std::erase(titleLine, '|');  // kept so, for the next layout
                title = titleLine;
            }
            h.SectionTitle.push_back(std::move(title));
            h.DocText.emplace_back(1, std::string());  // slot 0 unused
            // Past the bottom border: the first line after the box is body
            // text whatever it holds, even another border.
            line += 3;
            if (line > lastLine) break;
            source = &h.DocLines[static_cast<std::size_t>(line)];
        }
        // Text before the first header box belongs to no section.
        if (h.DocText.size() > 1) wrapLine(p, h.LayoutWidth, *source, h.DocText.back());
        ++line;
    }

    h.SectionCount = static_cast<int>(h.DocText.size()) - 1;
    for (std::size_t s = 1; s < h.DocText.size(); ++s) h.DocText[s].emplace_back("end");

    // The viewer's tables follow the sections found. Page starts of an
    // earlier layout point at lines that have moved: every section goes
    // back to its page 1 and its pages are found again as they are drawn.
    const std::size_t slots = static_cast<std::size_t>(h.SectionCount) + 1;
    h.CurrentPage.assign(slots, 1);
    h.PageStart.assign(slots, {});
    h.SectionEnded.assign(slots, 0);
    h.TabLeft.resize(slots, 0);
    h.TabRight.resize(slots, 0);
    if (h.HelpSection < 1 || h.HelpSection > h.SectionCount) h.HelpSection = 1;
}

}  // namespace tarnwick::help
