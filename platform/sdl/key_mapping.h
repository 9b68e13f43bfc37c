// Turns SDL keyboard events into the program's key texts.
//
// Typed characters arrive as SDL_TEXTINPUT and become one byte each (a
// character that fits Latin-1 gives that byte, others give nothing). Keys that
// type nothing arrive only as SDL_KEYDOWN: Enter, Backspace, Escape, control
// combinations (their control code) and cursor and function keys (code 0 then
// the key's PC scan code, set 1). Keypad cursor keys count as cursor keys when
// Num Lock is off or Shift is held, and type digits otherwise.
#pragma once

#include <SDL_keycode.h>

#include <string>
#include <string_view>

namespace tarnwick::sdl {

// The key text of a key press that types no text of its own; empty when the
// key gives nothing or its character comes through text input.
std::string keyDownText(SDL_Keycode key, Uint16 modifiers);

// The key text for an SDL_TEXTINPUT event (UTF-8). A text of several
// characters gives the last one that maps, as if each had been typed in turn
// into a one-key holder.
std::string textInputKey(std::string_view utf8);

// Keeps one key press from being reported twice: SDL posts the text of a key
// press as an SDL_TEXTINPUT event right after its SDL_KEYDOWN, so the text
// that directly follows a key press that already gave a key text is dropped
// (e.g. Shift + keypad 1 with Num Lock off: End, not End and "1").
class KeyTranslator {
  public:
    std::string onKeyDown(SDL_Keycode key, Uint16 modifiers);
    std::string onTextInput(std::string_view utf8);
    // Any other event ends the pairing of a key press with its text.
    void onOtherEvent() { lastKeyDownGaveKey_ = false; }

  private:
    bool lastKeyDownGaveKey_ = false;
};

}  // namespace tarnwick::sdl
