#include "platform/sdl/key_mapping.h"

#include <cstdint>

#include "platform/platform.h"

namespace tarnwick::sdl {
namespace {

// PC scan code letters (set 1) of the function keys.
constexpr char kF1 = 0x3B;   // ';' .. F10 = 0x44 'D'
constexpr char kF11 = static_cast<char>(0x85);
constexpr char kF12 = static_cast<char>(0x86);

// The scan code letter of a cursor or function key, or 0 for other keys.
char extendedLetter(SDL_Keycode key) {
    switch (key) {
        case SDLK_LEFT: return keys::kLeft;
        case SDLK_RIGHT: return keys::kRight;
        case SDLK_UP: return keys::kUp;
        case SDLK_DOWN: return keys::kDown;
        case SDLK_HOME: return keys::kHome;
        case SDLK_END: return keys::kEnd;
        case SDLK_INSERT: return keys::kInsert;
        case SDLK_DELETE: return keys::kDelete;
        case SDLK_PAGEUP: return keys::kPageUp;
        case SDLK_PAGEDOWN: return keys::kPageDown;
        case SDLK_F11: return kF11;
        case SDLK_F12: return kF12;
        default: break;
    }
    if (key >= SDLK_F1 && key <= SDLK_F10) return static_cast<char>(kF1 + (key - SDLK_F1));
    return 0;
}

// The cursor key a keypad key stands for when it does not type a digit; 0 for
// keypad 5 and keys that are not on the keypad's cursor block.
char keypadCursorLetter(SDL_Keycode key) {
    switch (key) {
        case SDLK_KP_1: return keys::kEnd;
        case SDLK_KP_2: return keys::kDown;
        case SDLK_KP_3: return keys::kPageDown;
        case SDLK_KP_4: return keys::kLeft;
        case SDLK_KP_6: return keys::kRight;
        case SDLK_KP_7: return keys::kHome;
        case SDLK_KP_8: return keys::kUp;
        case SDLK_KP_9: return keys::kPageUp;
        case SDLK_KP_0: return keys::kInsert;
        case SDLK_KP_PERIOD: return keys::kDelete;
        default: return 0;
    }
}

bool isKeypadDigitKey(SDL_Keycode key) {
    return (key >= SDLK_KP_1 && key <= SDLK_KP_0) || key == SDLK_KP_PERIOD;
}

// The control code of Ctrl + key, or 0 when the key has none.
char controlCode(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<char>(key - SDLK_a + 1);
    switch (key) {
        case SDLK_LEFTBRACKET: return 27;
        case SDLK_BACKSLASH: return 28;
        case SDLK_RIGHTBRACKET: return 29;
        default: return 0;
    }
}

}  // namespace

std::string keyDownText(SDL_Keycode key, Uint16 modifiers) {
    if (const char letter = extendedLetter(key)) return keys::extended(letter);
    if (isKeypadDigitKey(key)) {
        const bool numLock = (modifiers & KMOD_NUM) != 0;
        const bool shift = (modifiers & KMOD_SHIFT) != 0;
        if (numLock && !shift) return {};  // the digit comes as text input
        const char letter = keypadCursorLetter(key);
        return letter ? keys::extended(letter) : std::string{};
    }
    switch (key) {
        case SDLK_RETURN:
        case SDLK_RETURN2:
        case SDLK_KP_ENTER: return std::string(1, keys::kEnter);
        case SDLK_BACKSPACE: return std::string(1, keys::kBackspace);
        case SDLK_ESCAPE: return std::string(1, keys::kEscape);
        case SDLK_TAB:
            // With Ctrl or Alt it belongs to the window manager.
            if ((modifiers & (KMOD_CTRL | KMOD_ALT)) != 0) return {};
            return (modifiers & KMOD_SHIFT) != 0 ? keys::extended(keys::kBackTab) : std::string(1, keys::kTab);
        default: break;
    }
    // Ctrl + Alt is AltGr on some keyboards: that types characters, not codes.
    if ((modifiers & KMOD_CTRL) != 0 && (modifiers & KMOD_ALT) == 0) {
        if (const char code = controlCode(key)) return std::string(1, code);
    }
    return {};
}

std::string textInputKey(std::string_view utf8) {
    std::string result;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::uint32_t code = 0;
        std::size_t length = 0;
        if (lead < 0x80) {
            code = lead;
            length = 1;
        } else if ((lead & 0xE0) == 0xC0) {
            code = lead & 0x1F;
            length = 2;
        } else if ((lead & 0xF0) == 0xE0) {
            code = lead & 0x0F;
            length = 3;
        } else if ((lead & 0xF8) == 0xF0) {
            code = lead & 0x07;
            length = 4;
        } else {
            ++i;  // a stray continuation byte or an invalid lead byte
            continue;
        }
        bool valid = i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!valid || code < kSmallest[length]) {  // cut short or overlong
            ++i;
            continue;
        }
        i += length;
        // Control characters come through key presses, never as text.
        if (code >= 0x20 && code != 0x7F && code <= 0xFF) {
            result.assign(1, static_cast<char>(code));
        }
    }
    return result;
}

std::string KeyTranslator::onKeyDown(SDL_Keycode key, Uint16 modifiers) {
    std::string text = keyDownText(key, modifiers);
    lastKeyDownGaveKey_ = !text.empty();
    return text;
}

std::string KeyTranslator::onTextInput(std::string_view utf8) {
    if (lastKeyDownGaveKey_) {
        lastKeyDownGaveKey_ = false;
        return {};
    }
    return textInputKey(utf8);
}

}  // namespace tarnwick::sdl
