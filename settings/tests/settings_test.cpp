// The settings file's text: defaults, every key read and written back, the
// lines the program does not know kept, and bad values refused one by one.
#include <gtest/gtest.h>

#include <string>

#include "settings/settings.h"

namespace tarnwick::settings {
namespace {

// Settings with every key moved off its default by one press of +.
Settings allChanged() {
    Settings s;
    for (const Key& key : keys()) key.set(s, key.next(key.get(s), true));
    return s;
}

TEST(SettingsTest, NoFileMeansTheDefaultsAndAFullFileIsWrittenForThem) {
    const Parsed empty = parseSettings("");
    EXPECT_EQ(empty.settings, Settings{});
    EXPECT_TRUE(empty.problems.empty());
    EXPECT_TRUE(empty.unreadable.empty());
    EXPECT_EQ(writeSettings(Settings{}, ""),
              "# Tarnwick settings: key = value; lines starting with # are comments.\n"
              "board.theme = classic\n"
              "board.last_stone = dot\n"
              "board.cell_names = off\n"
              "stones.style = pictures\n"
              "fonts.size = normal\n"
              "help.font = 2\n"
              "playback.delay_ms = 500\n"
              "engine.threads = auto\n"
              "engine.memory_mib = 256\n"
              "engine.candidates = 5\n"
              "engine.think_seconds = 1\n"
              "engine.review_seconds = 1\n"
              "games.swap_rule = on\n"
              "program.sound = on\n"
              "window.x = auto\n"
              "window.y = auto\n"
              "window.width = 1024\n"
              "window.height = 741\n"
              "window.full_screen = off\n"
              "database.add_games = on\n");
}

TEST(SettingsTest, EveryKeyIsReadBackAsWritten) {
    const Settings changed = allChanged();
    for (const Key& key : keys()) {
        SCOPED_TRACE(key.name);
        EXPECT_NE(key.get(changed), key.get(Settings{})) << "the test moves every key";
        // Each key alone, then all of them in one file.
        Settings one;
        key.set(one, key.get(changed));
        EXPECT_EQ(parseSettings(writeSettings(one, "")).settings, one);
        // Every value a choice can take.
        for (int v = key.low; key.kind != Kind::Number && v <= key.high; ++v) {
            EXPECT_EQ(key.read(key.text(v)).value, v);
        }
    }
    EXPECT_EQ(parseSettings(writeSettings(changed, "")).settings, changed);
}

TEST(SettingsTest, CommentsAndUnknownKeysKeepTheirPlaceAndOnlyKnownValuesChange) {
    const std::string before =
        "# my settings\r\n"
        "future.key = 12\r\n"
        "  Board.Theme=dark   \r\n"
        "\r\n"
        "a line of its own\r\n"
        "engine.candidates = 7\r\n"
        "; not a comment here\r\n"
        "engine.candidates = 9";  // no line ending at the end
    const Parsed parsed = parseSettings(before);
    EXPECT_EQ(parsed.settings.theme, Theme::Dark);
    EXPECT_EQ(parsed.settings.candidates, 9) << "the later line wins";
    EXPECT_EQ(parsed.unknownLines, (std::vector<std::string>{"future.key = 12", "a line of its own", "; not a comment here"}));
    EXPECT_TRUE(parsed.problems.empty());

    Settings s = parsed.settings;
    s.candidates = 3;
    s.sound = false;
    const std::string after = writeSettings(s, before);
    EXPECT_EQ(after.substr(0, after.find("program.sound")),
              "# my settings\r\n"
              "future.key = 12\r\n"
              "board.theme = dark\r\n"
              "\r\n"
              "a line of its own\r\n"
              "engine.candidates = 3\r\n"
              "; not a comment here\r\n"
              "engine.candidates = 3\r\n"
              "board.last_stone = dot\r\n"
              "board.cell_names = off\r\n"
              "stones.style = pictures\r\n"
              "fonts.size = normal\r\n"
              "help.font = 2\r\n"
              "playback.delay_ms = 500\r\n"
              "engine.threads = auto\r\n"
              "engine.memory_mib = 256\r\n"
              "engine.think_seconds = 1\r\n"
              "engine.review_seconds = 1\r\n"
              "games.swap_rule = on\r\n");
    EXPECT_EQ(parseSettings(after).settings, s);
    EXPECT_EQ(writeSettings(s, after), after) << "a second write changes nothing";
}

TEST(SettingsTest, EachBadValueFallsBackToItsDefaultAndIsNamedOnce) {
    const struct {
        const char* line;
        const char* problem;
    } cases[] = {
        {"engine.candidates = 11", "line 1: engine.candidates = 11 is not from 1 to 10; using 5"},
        {"engine.candidates = 0", "line 1: engine.candidates = 0 is not from 1 to 10; using 5"},
        {"engine.candidates = five", "line 1: engine.candidates = five is not a whole number from 1 to 10; using 5"},
        {"engine.candidates = 5.5", "line 1: engine.candidates = 5.5 is not a whole number from 1 to 10; using 5"},
        {"engine.candidates =", "line 1: engine.candidates =  is not a whole number from 1 to 10; using 5"},
        {"engine.memory_mib = 99999999999999999999", "line 1: engine.memory_mib = 99999999999999999999 is not from 16 to 65536; using 256"},
        {"engine.threads = -1", "line 1: engine.threads = -1 is not from auto to 256; using auto"},
        {"program.sound = maybe", "line 1: program.sound = maybe is not on or off; using on"},
        {"board.theme = blue", "line 1: board.theme = blue is not one of classic, high-contrast, dark or colour-safe; using classic"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Parsed parsed = parseSettings(std::string("engine.threads = 4\n") + c.line + "\n");
        ASSERT_EQ(parsed.problems.size(), 1U);
        std::string expected = c.problem;
        expected.replace(5, 1, "2");  // the bad value is on the file's second line
        EXPECT_EQ(parsed.problems[0], expected);
        Settings wanted;
        if (std::string(c.line).rfind("engine.threads", 0) != 0) wanted.engineThreads = 4;
        EXPECT_EQ(parsed.settings, wanted);
    }
    // Good values in other spellings.
    const Parsed spelled = parseSettings("program.sound = NO\nengine.threads = AUTO\nengine.candidates = +7\n");
    EXPECT_TRUE(spelled.problems.empty());
    EXPECT_FALSE(spelled.settings.sound);
    EXPECT_EQ(spelled.settings.engineThreads, std::nullopt);
    EXPECT_EQ(spelled.settings.candidates, 7);
}

TEST(SettingsTest, TextThatIsNotUtf8IsNotASettingsFile) {
    for (const std::string& text : {std::string("engine.candidates = 3\n\xff\xfe"), std::string("sound = on\0\n", 12),
                                   std::string("label = caf\xc3"), std::string("x = \xe2\x82")}) {
        const Parsed parsed = parseSettings(text);
        EXPECT_FALSE(parsed.unreadable.empty()) << text;
        EXPECT_EQ(parsed.settings, Settings{});
    }
    EXPECT_TRUE(parseSettings("# caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb2\n").unreadable.empty());
}

TEST(SettingsTest, ThePageStepsStayInRange) {
    const Key& memory = *findKey("engine.memory_mib");
    EXPECT_EQ(memory.next(256, true), 512);
    EXPECT_EQ(memory.next(16, false), 16);
    EXPECT_EQ(memory.next(65536, true), 65536);
    const Key& delay = *findKey("playback.delay_ms");
    EXPECT_EQ(delay.next(500, false), 450);
    EXPECT_EQ(delay.next(9990, true), 10000);
    EXPECT_EQ(delay.next(60, false), 50);
    const Key& theme = *findKey("board.theme");
    EXPECT_EQ(theme.next(0, false), 3) << "round the row";
    EXPECT_EQ(theme.next(3, true), 0);
    EXPECT_EQ(findKey("program.sound")->next(1, true), 0);
}

}  // namespace
}  // namespace tarnwick::settings
