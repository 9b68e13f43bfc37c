#include <optional>
#include <string>
#include <string_view>

#include "acquire/acquire.h"
#include "board/board.h"

namespace tarnwick::acquire {
namespace {

// Keys that cannot be part of a game number and earn a beep: letters and
// punctuation (a cursor key's text ends in its scan-code letter, so it is
// refused too), and the space.
constexpr std::string_view kRefusedCharacters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^&*()_[{]}\\|;:',<.>/? ";

constexpr int kFirstDigitX = 52, kDigitY = 61, kDigitPitch = 7;
constexpr std::size_t kMaxDigits = 7;

void eraseNumberField(Platform& p) {
    p.setColors(colours::kBlack, colours::kWhite);
    p.drawBox(kNumberFieldLeft, kNumberFieldTop, kNumberFieldRight, kNumberFieldBottom, colours::kWhite, colours::kWhite);
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
std::string enterDigits(Platform& p, const Fonts& fonts, std::string& typed) {
    p.setFont(fonts.header);
    eraseNumberField(p);
    int x = kFirstDigitX;
    typed.clear();
    for (;;) {
        p.setPos(x, kDigitY);
        p.drawText("*");
        p.present();
        const std::string key = waitForKey(p);
        const bool isDigit = key.size() == 1 && key[0] >= '0' && key[0] <= '9';
        if (key.find_first_of(kRefusedCharacters) != std::string::npos) {
            p.beep();
        } else if (key == std::string(1, keys::kBackspace)) {
            if (!typed.empty()) {
                typed.pop_back();
                x -= kDigitPitch;
                p.setPos(x, kDigitY);
                p.drawText("    ");  // the digit and the cursor after it
                p.present();
            }
        } else if (isDigit && typed.size() < kMaxDigits) {
            p.setPos(x, kDigitY);
            p.drawText(key);
            x += kDigitPitch;
            p.present();
            typed += key;
        }
        if (typed.size() >= kMaxDigits || key == std::string(1, keys::kEnter) ||
            key == std::string(1, keys::kEscape)) {
            return key;
        }
    }
}

}  // namespace

std::optional<std::string> enterGameNumber(Platform& p, const Fonts& fonts, AcquireFields& entry) {
    std::string& typed = entry.TypedNumber;
    std::string key;
    // Enter after fewer than six digits starts the entry again.
    do {
        key = enterDigits(p, fonts, typed);
        eraseNumberField(p);
    } while (key != std::string(1, keys::kEscape) && typed.size() != 6 && typed.size() != 7);
    if (key == std::string(1, keys::kEscape)) return std::nullopt;
    return typed;
}

Fetched fetchGameRecordsShown(Platform& p, const board::Palette& palette, const Fonts& fonts, std::string_view number,
                              const HttpLimits& limits) {
    board::drawPanelMessage(p, palette, fonts.header, "Fetching game " + std::string(number) + " ...");
    p.present();
    Fetched fetched = fetchGameRecords(p, number, limits);
    board::drawPanelMessage(p, palette, fonts.header, "");
    return fetched;
}

}  // namespace tarnwick::acquire
