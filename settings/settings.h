// The program's settings: a value type with today's behaviour as its
// defaults, and the text of the settings file read and written.
//
// The file holds `key = value` lines; blank lines and lines starting with
// '#' are comments. One table (keys()) names every key with its kind, its
// range or choices and where the Options page shows it; reading, writing,
// checking and the page all go by it. The defaults are the field
// initialisers of Settings, so a program without a settings file behaves
// exactly as one that never had settings.
//
// No file access here: text in, text out.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::settings {

enum class Theme { Classic, HighContrast, Dark, ColourSafe };
enum class LastMarker { Dot, Ring };
enum class StoneStyle { Pictures, Discs };
enum class TextSize { Normal, Large };

struct Settings {
    // Board
    Theme theme = Theme::Classic;
    LastMarker lastMarker = LastMarker::Dot;
    bool cellNamesAtStart = false;
    // Stones
    StoneStyle stones = StoneStyle::Pictures;
    // Fonts
    TextSize textSize = TextSize::Normal;
    int helpFont = 2;  // row of the help page's font table (1..7)
    // Playback
    int playbackDelayMs = 500;
    // Engine
    std::optional<int> engineThreads;  // none: all hardware threads but one
    int engineMemoryMiB = 256;         // the tree of the analysis and of the review
    int candidates = 5;                // analysis discs on the board
    int thinkSeconds = 1;              // the G key's search
    int reviewSeconds = 1;             // the review's search per position
    bool swapRule = true;              // games made by clicking on the board
    // Program
    bool sound = true;
    std::optional<int> windowX;  // none: the window manager places the window
    std::optional<int> windowY;
    int windowWidth = 1024;
    int windowHeight = 741;
    bool fullScreen = false;
    bool addGamesToDatabase = true;  // games opened, fetched or saved

    bool operator==(const Settings&) const = default;
};

enum class Kind { Switch, Choice, Number };

// One key of the file. Every value travels as an int: a switch 0 or 1, a
// choice its index, a number itself. A number with an `automatic` word has
// its lowest value stand for "automatic" and is written as that word.
struct Key {
    std::string_view name;   // in the file: "engine.candidates"
    std::string_view group;  // heading on the Options page; empty: not shown there
    std::string_view label;  // on the Options page
    Kind kind = Kind::Switch;
    std::span<const std::string_view> choices;  // Choice: the words in the file
    std::span<const std::string_view> captions; // Choice: as the page shows them
    int low = 0;   // Number: the range, both ends included
    int high = 0;
    int step = 1;            // Number: what - and + add or take away
    bool doubling = false;   // Number: - and + halve and double instead
    std::string_view automatic;  // Number: the word for `low`, if any
    int (*get)(const Settings&) = nullptr;
    void (*set)(Settings&, int) = nullptr;

    // The value within range (the nearest end) or, for a choice or switch,
    // the default when out of range.
    int clamp(int value) const;
    // The value's text in the file.
    std::string text(int value) const;
    // The value a file text stands for, or why it stands for none.
    struct Reading {
        std::optional<int> value;
        std::string problem;
    };
    Reading read(std::string_view written) const;
    // The value after a - (up = false) or + (up = true) of the page: a number
    // moves by its step, a choice to the next one round the row, a switch
    // flips.
    int next(int value, bool up) const;
};

std::span<const Key> keys();
const Key* findKey(std::string_view name);

struct Parsed {
    Settings settings;
    // One line for each value not used: the line, the key, the value, why,
    // and the default used instead.
    std::vector<std::string> problems;
    // Lines of the file that are neither comments nor known keys, kept as
    // they are by writeSettings.
    std::vector<std::string> unknownLines;
    // Set when the text is not a settings file at all (not UTF-8 text, or
    // with NUL bytes): nothing of it is used, and it must not be written
    // over. Says why, in words.
    std::string unreadable;
};
Parsed parseSettings(std::string_view text);

// The file's new text: `previous` with the values of known keys rewritten
// and every other line (comments, unknown keys, their order, its line
// endings) kept; keys it lacks are added at the end in the table's order.
std::string writeSettings(const Settings& settings, std::string_view previous);

}  // namespace tarnwick::settings
