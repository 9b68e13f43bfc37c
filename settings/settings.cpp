#include "settings/settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <type_traits>

namespace tarnwick::settings {
namespace {

// Field accessors for the table, one pair per kind of field.
template <auto Member>
int getFlag(const Settings& s) {
    return s.*Member ? 1 : 0;
}
template <auto Member>
void setFlag(Settings& s, int value) {
    s.*Member = value != 0;
}
template <auto Member>
int getWhole(const Settings& s) {
    return static_cast<int>(s.*Member);
}
template <auto Member>
void setWhole(Settings& s, int value) {
    using Field = std::remove_cvref_t<decltype(s.*Member)>;
    s.*Member = static_cast<Field>(value);
}
// A field with no value stands for the automatic choice, `low` in the table.
template <auto Member, int Automatic>
int getOptional(const Settings& s) {
    return (s.*Member).value_or(Automatic);
}
template <auto Member, int Automatic>
void setOptional(Settings& s, int value) {
    if (value == Automatic) {
        s.*Member = std::nullopt;
    } else {
        s.*Member = value;
    }
}

constexpr std::array<std::string_view, 4> kThemes{"classic", "high-contrast", "dark", "colour-safe"};
constexpr std::array<std::string_view, 4> kThemeCaptions{"Classic", "High contrast", "Dark", "Colour-safe"};
constexpr std::array<std::string_view, 2> kMarkers{"dot", "ring"};
constexpr std::array<std::string_view, 2> kMarkerCaptions{"Red dot", "Ring"};
constexpr std::array<std::string_view, 2> kStones{"pictures", "discs"};
constexpr std::array<std::string_view, 2> kStoneCaptions{"Pictures", "Flat discs"};
constexpr std::array<std::string_view, 2> kSizes{"normal", "large"};
constexpr std::array<std::string_view, 2> kSizeCaptions{"Normal", "Larger"};

constexpr int kNoPosition = -32768;

Key plainKey(std::string_view name, std::string_view group, std::string_view label, Kind kind,
             int (*get)(const Settings&), void (*set)(Settings&, int)) {
    Key key;
    key.name = name;
    key.group = group;
    key.label = label;
    key.kind = kind;
    key.get = get;
    key.set = set;
    return key;
}
Key flag(std::string_view name, std::string_view group, std::string_view label, int (*get)(const Settings&),
         void (*set)(Settings&, int)) {
    Key key = plainKey(name, group, label, Kind::Switch, get, set);
    key.high = 1;
    return key;
}
Key choice(std::string_view name, std::string_view group, std::string_view label,
           std::span<const std::string_view> words, std::span<const std::string_view> captions,
           int (*get)(const Settings&), void (*set)(Settings&, int)) {
    Key key = plainKey(name, group, label, Kind::Choice, get, set);
    key.choices = words;
    key.captions = captions;
    key.high = static_cast<int>(words.size()) - 1;
    return key;
}
Key number(std::string_view name, std::string_view group, std::string_view label, int low, int high, int step,
           int (*get)(const Settings&), void (*set)(Settings&, int)) {
    Key key = plainKey(name, group, label, Kind::Number, get, set);
    key.low = low;
    key.high = high;
    key.step = step;
    return key;
}

const std::vector<Key>& table() {
    static const std::vector<Key> keys = [] {
        using S = Settings;
        std::vector<Key> k{
            choice("board.theme", "Board", "Colours", kThemes, kThemeCaptions, getWhole<&S::theme>, setWhole<&S::theme>),
            choice("board.last_stone", "Board", "Last stone", kMarkers, kMarkerCaptions, getWhole<&S::lastMarker>,
                   setWhole<&S::lastMarker>),
            flag("board.cell_names", "Board", "Cell names at start", getFlag<&S::cellNamesAtStart>,
                 setFlag<&S::cellNamesAtStart>),
            choice("stones.style", "Stones", "Stones", kStones, kStoneCaptions, getWhole<&S::stones>, setWhole<&S::stones>),
            choice("fonts.size", "Fonts", "List, header, panel", kSizes, kSizeCaptions, getWhole<&S::textSize>,
                   setWhole<&S::textSize>),
            number("help.font", "Fonts", "Help page font", 1, 7, 1, getWhole<&S::helpFont>, setWhole<&S::helpFont>),
            number("playback.delay_ms", "Playback", "Delay (ms)", 50, 10000, 50, getWhole<&S::playbackDelayMs>,
                   setWhole<&S::playbackDelayMs>),
            number("engine.threads", "Engine", "Threads", 0, 256, 1, getOptional<&S::engineThreads, 0>,
                   setOptional<&S::engineThreads, 0>),
            number("engine.memory_mib", "Engine", "Memory (MiB)", 16, 65536, 1, getWhole<&S::engineMemoryMiB>,
                   setWhole<&S::engineMemoryMiB>),
            number("engine.candidates", "Engine", "Candidates shown", 1, 10, 1, getWhole<&S::candidates>,
                   setWhole<&S::candidates>),
            number("engine.think_seconds", "Engine", "G move (s)", 1, 600, 1, getWhole<&S::thinkSeconds>,
                   setWhole<&S::thinkSeconds>),
            number("engine.review_seconds", "Engine", "Review a position (s)", 1, 600, 1, getWhole<&S::reviewSeconds>,
                   setWhole<&S::reviewSeconds>),
            // Kept, not yet shown: games made by clicking follow the swap rule.
            flag("games.swap_rule", "", "", getFlag<&S::swapRule>, setFlag<&S::swapRule>),
            flag("program.sound", "Program", "Sound", getFlag<&S::sound>, setFlag<&S::sound>),
            number("window.x", "", "", kNoPosition, 32767, 1, getOptional<&S::windowX, kNoPosition>,
                   setOptional<&S::windowX, kNoPosition>),
            number("window.y", "", "", kNoPosition, 32767, 1, getOptional<&S::windowY, kNoPosition>,
                   setOptional<&S::windowY, kNoPosition>),
            // The window can be made as small as a quarter of its picture.
            number("window.width", "", "", 256, 16384, 1, getWhole<&S::windowWidth>, setWhole<&S::windowWidth>),
            number("window.height", "", "", 185, 16384, 1, getWhole<&S::windowHeight>, setWhole<&S::windowHeight>),
            flag("window.full_screen", "", "", getFlag<&S::fullScreen>, setFlag<&S::fullScreen>),
            // Kept in the file only: games opened, fetched or saved go into the
            // games database unless it says off.
            flag("database.add_games", "", "", getFlag<&S::addGamesToDatabase>, setFlag<&S::addGamesToDatabase>),
        };
        for (Key& key : k) {
            if (key.name == "engine.threads" || key.name == "window.x" || key.name == "window.y") key.automatic = "auto";
            if (key.name == "engine.memory_mib") key.doubling = true;
        }
        return k;
    }();
    return keys;
}

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// Why `text` is not UTF-8 text, or nothing when it is.
std::string notText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0) return "it holds NUL bytes";
        const int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
            return "it is not UTF-8 text";
        }
        for (int k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) {
                return "it is not UTF-8 text";
            }
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return {};
}

// A line split at its first '=', or nothing for a line that is not one.
struct Assignment {
    std::string_view key;
    std::string_view value;
};
std::optional<Assignment> assignmentIn(std::string_view line) {
    const std::string_view content = trim(line);
    if (content.empty() || content.front() == '#') return std::nullopt;
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return Assignment{trim(content.substr(0, equals)), trim(content.substr(equals + 1))};
}

// The file's lines without their endings; a last line without an ending
// counts as a line.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string assignmentLine(const Key& key, const Settings& s) {
    return std::string(key.name) + " = " + key.text(key.get(s));
}

}  // namespace

int Key::clamp(int value) const {
    if (kind == Kind::Number) return std::clamp(value, low, high);
    return value >= low && value <= high ? value : get(Settings{});
}

std::string Key::text(int value) const {
    switch (kind) {
        case Kind::Switch:
            return value != 0 ? "on" : "off";
        case Kind::Choice:
            return value >= 0 && static_cast<std::size_t>(value) < choices.size() ? std::string(choices[static_cast<std::size_t>(value)]) : "";
        case Kind::Number:
            break;
    }
    if (!automatic.empty() && value == low) return std::string(automatic);
    return std::to_string(value);
}

Key::Reading Key::read(std::string_view written) const {
    const std::string word = lower(written);
    if (kind == Kind::Switch) {
        for (std::string_view yes : {"on", "true", "yes", "1"}) {
            if (word == yes) return {1, {}};
        }
        for (std::string_view no : {"off", "false", "no", "0"}) {
            if (word == no) return {0, {}};
        }
        return {std::nullopt, "not on or off"};
    }
    if (kind == Kind::Choice) {
        std::string listed;
        for (std::size_t i = 0; i < choices.size(); ++i) {
            if (word == choices[i]) return {static_cast<int>(i), {}};
            listed += (i == 0 ? "" : i + 1 == choices.size() ? " or " : ", ") + std::string(choices[i]);
        }
        return {std::nullopt, "not one of " + listed};
    }
    if (!automatic.empty() && word == automatic) return {low, {}};
    int value = 0;
    const char* first = written.data();
    const char* last = written.data() + written.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    const std::string range = "from " + text(low) + " to " + std::to_string(high);
    if (first == last || end != last || (error != std::errc{} && error != std::errc::result_out_of_range)) {
        return {std::nullopt, "not a whole number " + range};
    }
    if (error == std::errc::result_out_of_range || value < low || value > high) return {std::nullopt, "not " + range};
    return {value, {}};
}

int Key::next(int value, bool up) const {
    switch (kind) {
        case Kind::Switch:
            return value != 0 ? 0 : 1;
        case Kind::Choice: {
            const int count = high + 1;
            return ((value + (up ? 1 : -1)) % count + count) % count;
        }
        case Kind::Number:
            break;
    }
    if (doubling) return clamp(up ? (value > high / 2 ? high : value * 2) : value / 2);
    return clamp(up ? (value > high - step ? high : value + step) : (value < low + step ? low : value - step));
}

std::span<const Key> keys() { return table(); }

const Key* findKey(std::string_view name) {
    for (const Key& key : table()) {
        if (key.name == name) return &key;
    }
    return nullptr;
}

Parsed parseSettings(std::string_view text) {
    Parsed result;
    if (std::string why = notText(text); !why.empty()) {
        result.unreadable = std::move(why);
        return result;
    }
    const std::vector<std::string_view> lines = linesOf(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = lines[n];
        const std::optional<Assignment> assignment = assignmentIn(line);
        const Key* key = assignment ? findKey(lower(assignment->key)) : nullptr;
        if (key == nullptr) {
            if (!trim(line).empty() && trim(line).front() != '#') result.unknownLines.emplace_back(trim(line));
            continue;
        }
        const Key::Reading reading = key->read(assignment->value);
        if (reading.value) {
            key->set(result.settings, *reading.value);
        } else {
            // A bad value leaves the default, even after a good one earlier
            // in the file: the later line is the one the user last wrote.
            key->set(result.settings, key->get(Settings{}));
            result.problems.push_back("line " + std::to_string(n + 1) + ": " + std::string(key->name) + " = " +
                                      std::string(assignment->value) + " is " + reading.problem + "; using " +
                                      key->text(key->get(Settings{})));
        }
    }
    return result;
}

std::string writeSettings(const Settings& settings, std::string_view previous) {
    std::string out;
    std::vector<bool> written(table().size(), false);
    const std::vector<std::string_view> lines = linesOf(previous);
    for (const std::string_view line : lines) {
        const std::optional<Assignment> assignment = assignmentIn(line);
        const Key* key = assignment ? findKey(lower(assignment->key)) : nullptr;
        if (key == nullptr) {
            out += line;
        } else {
            written[static_cast<std::size_t>(key - table().data())] = true;
            out += assignmentLine(*key, settings);
            if (!line.empty() && line.back() == '\r') out += '\r';
        }
        out += '\n';
    }
    // Kept as it was: a file whose last line had no ending gets none back.
    if (!previous.empty() && previous.back() != '\n') out.pop_back();
    if (previous.empty()) out = "# Tarnwick settings: key = value; lines starting with # are comments.\n";
    const bool crlf = previous.find("\r\n") != std::string_view::npos;
    for (std::size_t i = 0; i < table().size(); ++i) {
        if (written[i]) continue;
        if (!out.empty() && out.back() != '\n') out += crlf ? "\r\n" : "\n";
        out += assignmentLine(table()[i], settings) + (crlf ? "\r\n" : "\n");
    }
    return out;
}

}  // namespace tarnwick::settings
