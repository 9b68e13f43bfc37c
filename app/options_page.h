// The Options page: the settings under their headings, each with a control
// (a box to tick, a row of choices, a value with - and + buttons), a
// "Restore defaults" button that asks for a second press, and a preview of
// the board's colours. A change takes effect and is written at once.
#pragma once

#include "board/palette.h"
#include "settings/settings.h"

namespace tarnwick {

struct App;

// The page's contents inside the panel that the page frame drew.
void drawOptionsPanel(App& app);
// Keys and presses while the page is shown: Tab, Down or Right move the
// focus to the next control, Shift+Tab, Up or Left to the one before; Space or Enter
// changes the control in focus, - and + step its value.
void handleOptionsPage(App& app);
// The colours the board page is drawn in with a theme.
board::Palette paletteFor(settings::Theme theme);
// Makes the settings that differ between `before` and the values in use
// take effect where they show. At start-up `before` is the defaults, so a
// program without a settings file is left exactly as it was.
void applySettings(App& app, const settings::Settings& before);

}  // namespace tarnwick
