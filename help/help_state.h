// The documentation: its source lines, its laid-out sections and the viewer.
//
// Every table counts from 1 (slot 0 unused), so that "section 1, line 1" reads
// as such everywhere. The tables are sized by the layout as it goes: a file,
// a section or a section's paging may be as long as it is.
#pragma once

#include <string>
#include <vector>

namespace tarnwick::help {

struct HelpFields {
    std::vector<std::string> DocLines;  // the file's lines, 1..DocLineCount (slot 0 unused)
    int DocLineCount = 0;
    int LayoutWidth = 900;  // widest laid-out line, in pixels

    int SectionCount = 0;
    std::vector<std::string> SectionTitle;          // 1..SectionCount
    std::vector<std::vector<std::string>> DocText;  // [section][line], each ended by "end"

    int HelpSection = 1;    // the section shown
    int DocFontChoice = 2;  // row of the font table in use (1..7)
    std::vector<int> CurrentPage;                // per section; each section keeps its own page
    std::vector<std::vector<int>> PageStart;     // [section][page]: first line of the page; 0 = not known yet
    std::vector<int> SectionEnded;               // per section: 1 when its last drawing reached "end"
    std::vector<int> TabLeft;                    // per section: click edges of its tab
    std::vector<int> TabRight;
};

}  // namespace tarnwick::help
