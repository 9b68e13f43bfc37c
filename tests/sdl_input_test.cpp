// Key mapping, the key and click holders and the hand-over between the SDL
// provider's logic and window threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/frame_placement.h"
#include "platform/sdl/input_slots.h"
#include "platform/sdl/key_mapping.h"
#include "platform/sdl/window_bridge.h"

namespace tarnwick::sdl {
namespace {

std::string code(int c) { return std::string(1, static_cast<char>(c)); }

TEST(KeyMapping, CursorAndFunctionKeysGiveZeroAndTheirScanCode) {
    const struct {
        SDL_Keycode key;
        int scan;
    } cases[] = {
        {SDLK_LEFT, 'K'},   {SDLK_RIGHT, 'M'},    {SDLK_UP, 'H'},     {SDLK_DOWN, 'P'},
        {SDLK_HOME, 'G'},   {SDLK_END, 'O'},      {SDLK_INSERT, 'R'}, {SDLK_DELETE, 'S'},
        {SDLK_PAGEUP, 'I'}, {SDLK_PAGEDOWN, 'Q'}, {SDLK_F1, ';'},     {SDLK_F2, '<'},
        {SDLK_F9, 'C'},     {SDLK_F10, 'D'},      {SDLK_F11, 0x85},   {SDLK_F12, 0x86},
    };
    for (const auto& c : cases) {
        const std::string expected = keys::extended(static_cast<char>(c.scan));
        EXPECT_EQ(keyDownText(c.key, KMOD_NONE), expected) << "key " << c.key;
        // Modifiers do not change them.
        EXPECT_EQ(keyDownText(c.key, KMOD_LSHIFT | KMOD_NUM), expected) << "key " << c.key;
        EXPECT_EQ(keyDownText(c.key, KMOD_RCTRL), expected) << "key " << c.key;
    }
}

TEST(KeyMapping, KeysThatTypeNoTextGiveTheirCodes) {
    EXPECT_EQ(keyDownText(SDLK_RETURN, KMOD_NONE), code(13));
    EXPECT_EQ(keyDownText(SDLK_KP_ENTER, KMOD_NUM), code(13));
    EXPECT_EQ(keyDownText(SDLK_BACKSPACE, KMOD_NONE), code(8));
    EXPECT_EQ(keyDownText(SDLK_ESCAPE, KMOD_NONE), code(27));
    EXPECT_EQ(keyDownText(SDLK_TAB, KMOD_NONE), code(9));
    EXPECT_EQ(keyDownText(SDLK_TAB, KMOD_NUM), code(9));
    EXPECT_EQ(keyDownText(SDLK_TAB, KMOD_RSHIFT), keys::extended(0x0F)) << "Shift+Tab, as a PC keyboard gives it";
    EXPECT_EQ(keyDownText(SDLK_TAB, KMOD_LCTRL), "");
    EXPECT_EQ(keyDownText(SDLK_TAB, KMOD_LALT | KMOD_LSHIFT), "");
    // Printable keys come through text input only.
    EXPECT_EQ(keyDownText(SDLK_a, KMOD_NONE), "");
    EXPECT_EQ(keyDownText(SDLK_a, KMOD_LSHIFT), "");
    EXPECT_EQ(keyDownText(SDLK_SPACE, KMOD_NONE), "");
}

TEST(KeyMapping, ControlCombinationsGiveControlCodes) {
    EXPECT_EQ(keyDownText(SDLK_a, KMOD_LCTRL), code(1));
    EXPECT_EQ(keyDownText(SDLK_v, KMOD_RCTRL), code(keys::kCtrlV));
    EXPECT_EQ(keyDownText(SDLK_v, KMOD_LCTRL | KMOD_LSHIFT | KMOD_CAPS), code(22));
    EXPECT_EQ(keyDownText(SDLK_z, KMOD_LCTRL), code(26));
    EXPECT_EQ(keyDownText(SDLK_LEFTBRACKET, KMOD_LCTRL), code(27));
    EXPECT_EQ(keyDownText(SDLK_1, KMOD_LCTRL), "");
    // Ctrl + Alt is AltGr on some keyboards: it types, it is no control code.
    EXPECT_EQ(keyDownText(SDLK_q, KMOD_LCTRL | KMOD_RALT), "");
}

TEST(KeyMapping, KeypadIsCursorBlockWithoutNumLockOrWithShift) {
    const std::string end = keys::extended(keys::kEnd);
    EXPECT_EQ(keyDownText(SDLK_KP_1, KMOD_NUM), "");  // types "1" as text
    EXPECT_EQ(keyDownText(SDLK_KP_1, KMOD_NONE), end);
    EXPECT_EQ(keyDownText(SDLK_KP_1, KMOD_NUM | KMOD_RSHIFT), end);
    EXPECT_EQ(keyDownText(SDLK_KP_1, KMOD_LSHIFT), end);

    const struct {
        SDL_Keycode key;
        char scan;
    } block[] = {
        {SDLK_KP_2, keys::kDown}, {SDLK_KP_3, keys::kPageDown}, {SDLK_KP_4, keys::kLeft},
        {SDLK_KP_6, keys::kRight}, {SDLK_KP_7, keys::kHome},    {SDLK_KP_8, keys::kUp},
        {SDLK_KP_9, keys::kPageUp}, {SDLK_KP_0, keys::kInsert}, {SDLK_KP_PERIOD, keys::kDelete},
    };
    for (const auto& c : block) {
        EXPECT_EQ(keyDownText(c.key, KMOD_NONE), keys::extended(c.scan)) << "key " << c.key;
        EXPECT_EQ(keyDownText(c.key, KMOD_NUM), "") << "key " << c.key;
    }
    EXPECT_EQ(keyDownText(SDLK_KP_5, KMOD_NONE), "");  // no cursor key of its own
}

TEST(KeyMapping, TextInputGivesOneLatin1Byte) {
    EXPECT_EQ(textInputKey("a"), "a");
    EXPECT_EQ(textInputKey(" "), " ");
    EXPECT_EQ(textInputKey("~"), "~");
    EXPECT_EQ(textInputKey("\xC3\xA9"), "\xE9");      // é
    EXPECT_EQ(textInputKey("\xC2\xA3"), "\xA3");      // £
    EXPECT_EQ(textInputKey("\xC3\xBF"), "\xFF");      // ÿ, the last Latin-1 character
    EXPECT_EQ(textInputKey("\xE2\x82\xAC"), "");      // € is not Latin-1
    EXPECT_EQ(textInputKey("\xF0\x9F\x98\x80"), "");  // nor an emoji
    EXPECT_EQ(textInputKey(""), "");
}

TEST(KeyMapping, TextInputOfSeveralCharactersKeepsTheLastThatMaps) {
    EXPECT_EQ(textInputKey("ab"), "b");
    EXPECT_EQ(textInputKey("a\xE2\x82\xAC"), "a");
    EXPECT_EQ(textInputKey("\xC3\xA9x"), "x");
}

TEST(KeyMapping, MalformedTextInputGivesNothing) {
    EXPECT_EQ(textInputKey("\xC3"), "");          // cut short
    EXPECT_EQ(textInputKey("\xC3" "a"), "a");     // bad continuation: the 'a' still counts
    EXPECT_EQ(textInputKey("\xC1\x81"), "");      // overlong 'A'
    EXPECT_EQ(textInputKey("\xE0\x81\x81"), "");  // overlong 'A'
    EXPECT_EQ(textInputKey("\xA9"), "");          // stray continuation byte
    EXPECT_EQ(textInputKey("\xFF"), "");
    EXPECT_EQ(textInputKey("\x7F"), "");          // control characters come as key presses
    EXPECT_EQ(textInputKey("\x1B"), "");
}

TEST(KeyTranslator, ReportsAKeyPressOnceWhenSdlAlsoSendsItsText) {
    KeyTranslator translator;
    // Shift + keypad 1 with Num Lock off: X types "1", the key is End.
    EXPECT_EQ(translator.onKeyDown(SDLK_KP_1, KMOD_LSHIFT), keys::extended(keys::kEnd));
    EXPECT_EQ(translator.onTextInput("1"), "");
    // A letter gives nothing on its press and its character as text.
    EXPECT_EQ(translator.onKeyDown(SDLK_a, KMOD_NONE), "");
    EXPECT_EQ(translator.onTextInput("a"), "a");
    // Keypad digit with Num Lock on: the text is the key.
    EXPECT_EQ(translator.onKeyDown(SDLK_KP_1, KMOD_NUM), "");
    EXPECT_EQ(translator.onTextInput("1"), "1");
}

TEST(KeyTranslator, OnlyTheTextDirectlyAfterAReportedPressIsDropped) {
    KeyTranslator translator;
    EXPECT_EQ(translator.onKeyDown(SDLK_LEFT, KMOD_NONE), keys::extended(keys::kLeft));
    translator.onOtherEvent();  // e.g. the key's release
    EXPECT_EQ(translator.onTextInput("x"), "x");

    EXPECT_EQ(translator.onKeyDown(SDLK_RETURN, KMOD_NONE), code(13));
    EXPECT_EQ(translator.onTextInput("y"), "");
    EXPECT_EQ(translator.onTextInput("z"), "z");  // one text event per key press
}

TEST(KeySlot, TypedKeysWaitInOrderAndARepeatingKeyReplacesItsKind) {
    KeySlot slot;
    EXPECT_EQ(slot.take(), "");
    // Digits typed faster than the logic polls all arrive, Enter after them.
    for (const char* key : {"1", "2", "3", "\r"}) slot.put(key);
    for (const char* key : {"1", "2", "3", "\r"}) EXPECT_EQ(slot.take(), key);
    EXPECT_EQ(slot.take(), "");

    // A held arrow leaves one unread repeat, after the text before it.
    slot.put("a");
    slot.put(keys::extended(keys::kLeft));
    slot.put(keys::extended(keys::kLeft));
    slot.put(keys::extended(keys::kRight));
    EXPECT_EQ(slot.take(), "a");
    EXPECT_EQ(slot.take(), keys::extended(keys::kRight));
    EXPECT_EQ(slot.take(), "");

    for (std::size_t i = 0; i < KeySlot::kMaxPending + 5; ++i) slot.put("x");
    for (std::size_t i = 0; i < KeySlot::kMaxPending; ++i) slot.take();
    EXPECT_EQ(slot.take(), "");

    slot.put("b");
    slot.put("");  // no key: the pending one stays
    EXPECT_EQ(slot.take(), "b");

    slot.put("c");
    slot.clear();
    EXPECT_EQ(slot.take(), "");
}

TEST(ClickSlots, PressComesBeforeThePendingDoubleClickPress) {
    ClickSlots slots;
    EXPECT_EQ(slots.take(), Click{});
    slots.put(Click{1, 10, 20});
    slots.put(Click{2, 11, 21});
    EXPECT_EQ(slots.take(), (Click{1, 10, 20}));
    EXPECT_EQ(slots.take(), (Click{2, 11, 21}));
    EXPECT_EQ(slots.take(), Click{});
}

TEST(ClickSlots, NewPressReplacesAPendingOneOfItsKind) {
    ClickSlots slots;
    slots.put(Click{1, 1, 1});
    slots.put(Click{2, 2, 2});
    slots.put(Click{1, 3, 3});
    slots.put(Click{2, 4, 4});
    slots.put(Click{0, 5, 5});  // not a press: ignored
    slots.put(Click{3, 6, 6});
    EXPECT_EQ(slots.take(), (Click{1, 3, 3}));
    EXPECT_EQ(slots.take(), (Click{2, 4, 4}));
    EXPECT_EQ(slots.take(), Click{});

    slots.put(Click{1, 7, 7});
    slots.put(Click{2, 8, 8});
    slots.clear();
    EXPECT_EQ(slots.take(), Click{});
}

// A stand-in for the window thread: serves the bridge's requests the way the
// SDL window service does, and counts the frames it was asked to paint.
class FakeWindowThread {
  public:
    explicit FakeWindowThread(WindowBridge& bridge) : bridge_(bridge) {}

    void run() {
        for (;;) {
            bridge_.waitForRequests(std::chrono::milliseconds(20));
            const WindowRequests requests = bridge_.takeRequests();
            if (requests.close) bridge_.setWindowSize({});
            if (requests.open) bridge_.setWindowSize({requests.open->width, requests.open->height});
            if (requests.present) ++frames;
            bridge_.requestsServed();
            if (requests.logicFinished) return;
        }
    }

    std::atomic<int> frames{0};

  private:
    WindowBridge& bridge_;
};

std::vector<std::uint32_t> frameOf(std::uint32_t pixel) {
    return std::vector<std::uint32_t>(static_cast<std::size_t>(WindowBridge::kFrameWidth) * WindowBridge::kFrameHeight,
                                      pixel);
}

std::uint32_t firstPixelShown(WindowBridge& bridge) {
    std::uint32_t pixel = 0xFFFFFFFF;
    bridge.withFrame([&](const std::uint32_t* frame) { pixel = frame[0]; });
    return pixel;
}

TEST(WindowBridge, OpeningReturnsAtOnceAndKeepsFramesForTheWindow) {
    std::atomic<int> wakeUps{0};
    WindowBridge bridge([&] { ++wakeUps; });
    EXPECT_FALSE(bridge.withFrame([](const std::uint32_t*) {})) << "no frame before the first present";

    // No window thread serves yet (SDL may still be starting).
    bridge.openWindow({"title", 1024, 741});
    EXPECT_EQ(bridge.windowSize(), (Extent{1024, 741}));
    EXPECT_EQ(wakeUps.load(), 1);
    bridge.present(frameOf(0x00FF8040));
    EXPECT_EQ(firstPixelShown(bridge), 0x00FF8040u);

    // The window thread then finds both the window and the frame to paint.
    const WindowRequests requests = bridge.takeRequests();
    ASSERT_TRUE(requests.open);
    EXPECT_EQ(requests.open->title, "title");
    EXPECT_TRUE(requests.present);
    bridge.setWindowSize({1000, 700});  // what the window system gave
    bridge.requestsServed();
    EXPECT_EQ(bridge.windowSize(), (Extent{1000, 700}));

    // Asking again only retitles: the size stays the real one.
    bridge.openWindow({"other title", 1024, 741});
    EXPECT_EQ(bridge.windowSize(), (Extent{1000, 700}));
    EXPECT_EQ(bridge.takeRequests().open->title, "other title");
}

TEST(WindowBridge, AWindowThatCannotBeOpenedReadsAsClosed) {
    WindowBridge bridge([] {});
    bridge.openWindow({"t", 1024, 741});
    bridge.present(frameOf(1));
    (void)bridge.takeRequests();
    bridge.setWindowSize({});  // creation failed
    bridge.requestsServed();

    EXPECT_EQ(bridge.windowSize(), Extent{});
    bridge.present(frameOf(2));
    EXPECT_FALSE(bridge.takeRequests().present);
    EXPECT_EQ(firstPixelShown(bridge), 1u);

    // A request with no size opens nothing and reports nothing.
    bridge.openWindow({"t", 0, 741});
    EXPECT_EQ(bridge.windowSize(), Extent{});
}

TEST(WindowBridge, CloseGivesUpAWindowBeingOpenedAndWaitsForTheWindowThread) {
    WindowBridge bridge([] {});
    bridge.openWindow({"t", 1024, 741});
    bridge.keys().put("k");
    bridge.clicks().put(Click{1, 5, 5});

    std::atomic<bool> closed{false};
    std::thread logic([&] {
        bridge.closeWindow();
        closed = true;
    });
    // The size drops to (0, 0) as the close is asked for.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (bridge.windowSize() != Extent{} && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    ASSERT_EQ(bridge.windowSize(), Extent{});

    const WindowRequests requests = bridge.takeRequests();
    EXPECT_TRUE(requests.close);
    EXPECT_FALSE(requests.open) << "the window asked for is no longer wanted";
    EXPECT_FALSE(closed.load()) << "closeWindow returned before the window thread served it";
    bridge.requestsServed();
    logic.join();
    EXPECT_TRUE(closed.load());
    EXPECT_EQ(bridge.keys().take(), "");
    EXPECT_EQ(bridge.clicks().take(), Click{});
}

TEST(WindowBridge, WithoutAWindowSystemNothingOpensAndNobodyWaits) {
    WindowBridge bridge([] {});
    bridge.openWindow({"t", 1024, 741});
    (void)bridge.takeRequests();
    // A close waiting for the window thread is let go when the window
    // system turns out to be missing.
    std::thread logic([&] { bridge.closeWindow(); });
    bridge.waitForRequests(std::chrono::seconds(5));
    EXPECT_TRUE(bridge.takeRequests().close);
    bridge.windowSystemUnavailable();
    logic.join();

    bridge.openWindow({"t", 1024, 741});
    EXPECT_EQ(bridge.windowSize(), Extent{});
    bridge.present(frameOf(3));
    EXPECT_FALSE(bridge.withFrame([](const std::uint32_t*) {}));
    bridge.closeWindow();  // returns at once: nobody would serve it
    const WindowRequests requests = bridge.takeRequests();
    EXPECT_FALSE(requests.open);
    EXPECT_FALSE(requests.close);
    EXPECT_FALSE(requests.present);
}

TEST(WindowBridge, FramesReachTheWindowThreadOnlyWhileAWindowIsWanted) {
    WindowBridge bridge([] {});
    FakeWindowThread window(bridge);
    std::thread windowThread([&] { window.run(); });

    bridge.present(frameOf(0x00FF8040));  // no window asked for yet
    bridge.openWindow({"t", 1024, 741});
    bridge.present(frameOf(0x00FF8040));
    bridge.keys().put("k");
    bridge.closeWindow();
    EXPECT_EQ(bridge.keys().take(), "") << "input is dropped with the window";
    bridge.present(frameOf(0x00112233));  // window gone
    bridge.logicFinished();
    windowThread.join();

    EXPECT_EQ(window.frames.load(), 1);
    bridge.withFrame([](const std::uint32_t* frame) {
        EXPECT_EQ(frame[0], 0x00FF8040u);
        EXPECT_EQ(frame[WindowBridge::kFrameWidth * WindowBridge::kFrameHeight - 1], 0x00FF8040u);
    });
}

TEST(WindowBridge, ABurstOfRequestsPostsOneWakeUpUntilTheyAreTaken) {
    std::atomic<int> wakeUps{0};
    WindowBridge bridge([&] { ++wakeUps; });
    bridge.openWindow({"t", 1024, 741});
    // Act as the window thread: take what is pending, so the counting starts
    // from an idle bridge.
    (void)bridge.takeRequests();

    const int afterOpen = wakeUps.load();
    const std::vector<std::uint32_t> pixels = frameOf(0);
    for (int i = 0; i < 100; ++i) bridge.present(pixels);
    EXPECT_EQ(wakeUps.load(), afterOpen + 1);

    const WindowRequests requests = bridge.takeRequests();
    EXPECT_TRUE(requests.present);
    bridge.present(pixels);
    EXPECT_EQ(wakeUps.load(), afterOpen + 2);
}

// Every window point on the picture maps to the frame pixel drawn there:
// the picture keeps its shape, fills the window one way, is centred the
// other, and points beside it are no click.
TEST(FramePlacement, ScalesToFitCentredAndMapsPointsBack) {
    const struct {
        int width, height;
        SDL_Rect area;
        SDL_Point point;
        bool onPicture;
        SDL_Point frame;
    } cases[] = {
        {1024, 741, {0, 0, 1024, 741}, {1023, 740}, true, {1023, 740}},
        {1536, 1200, {0, 44, 1536, 1112}, {1535, 44}, true, {1023, 0}},
        {1536, 1200, {0, 44, 1536, 1112}, {100, 43}, false, {}},
        {2148, 1482, {50, 0, 2048, 1482}, {50 + 2 * 700 + 1, 2 * 300 + 1}, true, {700, 300}},
        {2148, 1482, {50, 0, 2048, 1482}, {49, 700}, false, {}},
        {512, 600, {0, 114, 512, 371}, {511, 114 + 370}, true, {1022, 739}},
    };
    for (const auto& c : cases) {
        const FramePlacement placement = placeFrame(c.width, c.height);
        EXPECT_EQ(std::vector<int>({placement.area.x, placement.area.y, placement.area.w, placement.area.h}),
                  std::vector<int>({c.area.x, c.area.y, c.area.w, c.area.h}))
            << c.width << "x" << c.height;
        int x = -1;
        int y = -1;
        ASSERT_EQ(placement.toFrame(c.point.x, c.point.y, x, y), c.onPicture) << c.point.x << "," << c.point.y;
        if (c.onPicture) {
            EXPECT_EQ(std::vector<int>({x, y}), std::vector<int>({c.frame.x, c.frame.y}));
        }
    }
}

TEST(FramePlacement, FirstSizeIsThePicturesWhereItFitsElseTheLargestOfItsShape) {
    const struct {
        SDL_Rect workArea;
        SDL_Point size;
    } cases[] = {
        {{0, 0, 1920, 1050}, {1024, 741}},
        {{0, 0, 1024, 741}, {1024, 741}},
        {{0, 0, 1024, 700}, {967, 700}},
        {{0, 0, 800, 1200}, {800, 578}},
        {{0, 0, 0, 0}, {1024, 741}},  // unknown: the picture's size
    };
    for (const auto& c : cases) {
        const SDL_Point size = firstWindowSize(1024, 741, c.workArea);
        EXPECT_EQ(std::vector<int>({size.x, size.y}), std::vector<int>({c.size.x, c.size.y}))
            << c.workArea.w << "x" << c.workArea.h;
    }
}

}  // namespace
}  // namespace tarnwick::sdl
