// The documentation: its source lines, its laid-out sections and the viewer.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

struct HelpFields {
    static constexpr int MaxDocLines = 500;
    std::vector<std::string> DocLines;  // the file's lines, 1-based in use (slot 0 unused)
    int DocLineCount = 0;
    int LayoutWidth = 900;

    int SectionCount = 0;
    std::vector<std::string> SectionTitle;            // 1..SectionCount
    std::vector<std::vector<std::string>> DocText;    // [section][line], each ended by "end"

    int HelpSection = 1;
    int DocFontChoice = 2;
    std::vector<int> CurrentPage;
    std::vector<std::vector<int>> PageStart;
    std::vector<int> SectionEnded;
    std::vector<int> TabLeft;
    std::vector<int> TabRight;
};

}  // namespace tarnwick
