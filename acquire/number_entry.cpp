#include <string>
#include <string_view>

#include "acquire/acquire.h"
#include "app/context.h"

namespace tarnwick {
namespace {

// Keys that cannot be part of a game number and earn a beep: letters and
// punctuation (a cursor key's text ends in its scan-code letter, so it is
// refused too), and the space.
constexpr std::string_view kRefusedCharacters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^&*()_[{]}\\|;:',<.>/? ";

constexpr int kFieldLeft = 49, kFieldTop = 59, kFieldRight = 139, kFieldBottom = 77;
constexpr int kFirstDigitX = 52, kDigitY = 61, kDigitPitch = 7;
constexpr std::size_t kMaxDigits = 7;

void eraseNumberField(Platform& p) {
    p.setColors(colours::kBlack, colours::kWhite);
    p.drawBox(kFieldLeft, kFieldTop, kFieldRight, kFieldBottom, colours::kWhite, colours::kWhite);
}

// Waits for the next key; a closed window reads as Escape, since no key can
// come any more.
std::string waitForKey(Platform& p) {
    for (;;) {
        std::string key = p.pollKey();
        if (!key.empty()) return key;
        if (p.windowSize().width == 0) return std::string(1, keys::kEscape);
        p.sleepMs(5);
    }
}

// One pass of the entry, from an empty field up to Enter, Escape or the
// seventh digit; returns the key that ended it.
std::string enterDigits(App& app) {
    Platform& p = app.platform;
    AcquireFields& a = app.acquire;
    std::string& key = app.shell.LastKey;
    p.setFont(app.fonts.HeaderFont);
    eraseNumberField(p);
    int x = kFirstDigitX;
    a.TypedNumber.clear();
    key.clear();
    for (;;) {
        p.setPos(x, kDigitY);
        p.drawText("*");
        p.present();
        key = waitForKey(p);
        const bool isDigit = key.size() == 1 && key[0] >= '0' && key[0] <= '9';
        if (key.find_first_of(kRefusedCharacters) != std::string::npos) {
            p.beep();
        } else if (key == std::string(1, keys::kBackspace)) {
            if (!a.TypedNumber.empty()) {
                a.TypedNumber.pop_back();
                x -= kDigitPitch;
                p.setPos(x, kDigitY);
                p.drawText("    ");  // the digit and the cursor after it
                p.present();
            }
        } else if (isDigit && a.TypedNumber.size() < kMaxDigits) {
            p.setPos(x, kDigitY);
            p.drawText(key);
            x += kDigitPitch;
            p.present();
            a.TypedNumber += key;
        }
        if (a.TypedNumber.size() >= kMaxDigits || key == std::string(1, keys::kEnter) ||
            key == std::string(1, keys::kEscape)) {
            return key;
        }
        key.clear();
    }
}

// While a fetch waits, a line in the information panel says which game is
// being fetched. It stands on the panel's plain ground between the title and
// the players' band, where nothing else is drawn.
constexpr int kFetchLineX = 664, kFetchLineY = 93;

// The text's box and the ground colour under it, to paint it over with.
struct TextBox {
    int x1, y1, x2, y2;
    Colour ground;
};

TextBox showFetchLine(App& app) {
    Platform& p = app.platform;
    const std::string text = "Fetching game " + app.acquire.TypedNumber + " ...";
    p.setFont(app.fonts.HeaderFont);
    const Extent size = p.textSize(text);
    const TextBox box{kFetchLineX, kFetchLineY, kFetchLineX + size.width, kFetchLineY + size.height,
                      p.getPixel(kFetchLineX, kFetchLineY)};
    p.setColors(colours::kBlack, box.ground);
    p.setPos(box.x1, box.y1);
    p.drawText(text);
    p.present();
    return box;
}

void eraseText(Platform& p, const TextBox& box) { p.drawBox(box.x1, box.y1, box.x2, box.y2, box.ground, box.ground); }

}  // namespace

void loadGameByNumber(App& app) {
    AcquireFields& a = app.acquire;
    std::string key;
    // Enter after fewer than six digits starts the entry again.
    do {
        key = enterDigits(app);
        eraseNumberField(app.platform);
    } while (key != std::string(1, keys::kEscape) && a.TypedNumber.size() != 6 && a.TypedNumber.size() != 7);

    if (key == std::string(1, keys::kEscape)) {
        // Escape ends only the entry, not the program.
        app.shell.LastKey.clear();
        return;
    }
    a.RequestPath = recordPathFor(a.TypedNumber);
    const TextBox fetchLine = showFetchLine(app);
    fetchGameRecord(app);
    eraseText(app.platform, fetchLine);
    if (a.FetchOk != 1) return;
    loadRecordText(app);
}

}  // namespace tarnwick
