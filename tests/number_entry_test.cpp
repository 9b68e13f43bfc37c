// Typing a game number into the field on the board page: which keys are
// taken, refused or ignored, what the field shows, and how the entry ends.
#include <gtest/gtest.h>

#include "app/load_game.h"
#include "http_test_server.h"
#include "screen_fixture.h"

namespace tarnwick {
namespace {

using testing::HttpTestServer;
using testing::ScriptedReply;

const std::string kEnter(1, keys::kEnter);
const std::string kEscape(1, keys::kEscape);
const std::string kBackspace(1, keys::kBackspace);

class NumberEntryTest : public testing::ScreenTest {
  protected:
    NumberEntryTest() : server_({ScriptedReply::withLength(200, "no record here")}) {}

    void SetUp() override {
        platform.setIdleLimitMs(2000);
        start();
        platform.redirectHost(std::string(acquire::kGameServerHost), server_.port());
    }

    void type(std::initializer_list<std::string> keyTexts) {
        for (const std::string& key : keyTexts) platform.pressKey(key, platform.nowMs());
    }
    std::size_t fetches() const { return server_.requests().size(); }

    // The number field as it should look with the characters of `text`
    // drawn one by one, 7 pixels apart, on a second program's screen.
    std::vector<Colour> expectedField(std::string_view text) {
        HeadlessPlatform other;
        other.setDataFolder(testing::executableFolder());
        App reference(other);
        startUp(reference);
        other.setFont(reference.fonts.HeaderFont);
        other.setColors(colours::kBlack, colours::kWhite);
        other.drawBox(49, 59, 139, 77, colours::kWhite, colours::kWhite);
        for (std::size_t i = 0; i < text.size(); ++i) {
            other.setPos(52 + 7 * static_cast<int>(i), 61);
            other.drawText(text.substr(i, 1));
        }
        return field(other);
    }
    static std::vector<Colour> field(const Platform& p) {
        std::vector<Colour> pixels;
        for (int y = 59; y < 77; ++y) {
            for (int x = 49; x < 139; ++x) pixels.push_back(p.getPixel(x, y));
        }
        return pixels;
    }
    // What the field showed at the last present of the entry.
    std::vector<Colour> presentedField() const {
        std::vector<Colour> pixels;
        const auto& shown = platform.presentedPixels();
        for (int y = 59; y < 77; ++y) {
            for (int x = 49; x < 139; ++x) pixels.push_back(Colour::fromPacked(shown[static_cast<std::size_t>(y) * Canvas::kWidth + x]));
        }
        return pixels;
    }

    HttpTestServer server_;
};

TEST_F(NumberEntryTest, SevenDigitsFetchAtOnceAndSixNeedEnter) {
    type({"1", "2", "3", "4", "5", "6", "7"});
    loadGameByNumber(app);
    ASSERT_EQ(fetches(), 1U);
    EXPECT_TRUE(server_.requests()[0].starts_with("GET /servlet/sgf/1234567/game.txt "));
    EXPECT_EQ(app.acquire.TypedNumber, "1234567");

    type({"9", "8", "7", "6", "5", "4", kEnter});
    loadGameByNumber(app);
    ASSERT_EQ(fetches(), 2U);
    EXPECT_TRUE(server_.requests()[1].starts_with("GET /servlet/sgf/987654/game.txt "));
}

TEST_F(NumberEntryTest, TooFewDigitsStartAgainSilentlyAndEscapeLeavesWithoutFetching) {
    type({"1", "2", "3", "4", "5", kEnter});
    type({"4", "2", kEscape});
    loadGameByNumber(app);
    EXPECT_EQ(fetches(), 0U);
    EXPECT_EQ(platform.beepCount(), 0);
    EXPECT_EQ(app.acquire.TypedNumber, "42") << "the digits typed since the restart";
    EXPECT_EQ(app.game.record.gameNumber, "") << "the header still names the game shown";
    EXPECT_TRUE(app.shell.LastKey.empty()) << "so the main loop does not end on this Escape";
    EXPECT_EQ(field(platform), expectedField("")) << "the field is left blank";
}

TEST_F(NumberEntryTest, RefusedKeysBeepAndIgnoredKeysDoNot) {
    type({"a", "Z", " ", "?", "\\", "'", "|", keys::extended(keys::kLeft), keys::extended(keys::kDelete)});
    type({"-", "=", "+", "~", std::string(1, keys::kCtrlV), "1", kEscape});
    loadGameByNumber(app);
    EXPECT_EQ(platform.beepCount(), 9);
    EXPECT_EQ(app.acquire.TypedNumber, "1") << "only the digit was typed";
}

TEST_F(NumberEntryTest, BackspaceErasesTheLastDigitAndItsCursor) {
    type({kBackspace, "1", "2", kBackspace});
    // The entry's last present shows the field before the Escape erases it.
    platform.pressKey(kEscape, platform.nowMs() + 1000);
    platform.closeByUser(platform.nowMs() + 500);
    loadGameByNumber(app);
    EXPECT_EQ(presentedField(), expectedField("1*")) << "1 then the cursor at (59,61)";
    EXPECT_EQ(platform.beepCount(), 0);
    EXPECT_EQ(fetches(), 0U);
}

TEST_F(NumberEntryTest, DigitsAreDrawnSevenPixelsApart) {
    type({"3", "0", "5"});
    platform.closeByUser(platform.nowMs() + 500);
    loadGameByNumber(app);
    EXPECT_EQ(presentedField(), expectedField("305*"));
}

// Through the main loop: a click on the field starts the entry, which holds
// every key until it ends; a window closed meanwhile ends it and the program.
TEST_F(NumberEntryTest, TheFieldClickStartsItAndAClosedWindowEndsIt) {
    platform.click(100, 65, 100);
    platform.pressKey("4", 200);
    platform.pressKey("2", 300);
    platform.closeByUser(400);
    EXPECT_EQ(pollUntilEnd(), 3) << "the clipboard of launch, the click, the closed window";
    EXPECT_EQ(app.shell.CanvasWidth, 0);
    EXPECT_EQ(app.acquire.TypedNumber, "42");
    EXPECT_EQ(fetches(), 0U);
    EXPECT_LT(platform.nowMs(), 500);
}

TEST_F(NumberEntryTest, EscapeInTheEntryDoesNotEndTheProgram) {
    platform.click(60, 70, 100);
    platform.pressKey(kEscape, 200);
    platform.pressKey("q", 300);
    pollOnce(app);  // the clipboard of launch
    pollOnce(app);  // the click and the entry
    EXPECT_TRUE(app.shell.LastKey.empty());
    pollOnce(app);
    EXPECT_GE(platform.nowMs(), 300);
    EXPECT_TRUE(platform.windowOpen());
}

}  // namespace
}  // namespace tarnwick
