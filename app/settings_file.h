// The settings as the program keeps them: the values in use and the file
// they are kept in, read once at start-up and written at every change.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"
#include "settings/settings.h"

namespace tarnwick {

inline constexpr const char* kSettingsFile = "settings.ini";

struct SettingsFields {
    settings::Settings Values;
    std::string Folder;      // where the file lives; empty: nowhere, nothing is written
    std::string Text;        // the file as last read or written
    // Why the file there could not be read at all. It is left as it is: the
    // defaults are used and changes last only until the program ends.
    std::string Unreadable;
    std::string SaveProblem;  // why the latest change could not be written
};

// The settings of the configuration folder, or the defaults. A value the
// file gets wrong, a file that cannot be read, each is one line on standard
// error; nothing stops the program.
SettingsFields readSettings(Platform& platform);
// Writes the values in use, keeping the file's comments and other lines, to
// a temporary file that then replaces the old one. A failure is reported
// once on standard error and kept for the Options page.
void saveSettings(Platform& platform, SettingsFields& settings);
// Where the window opens for these settings; nothing when they ask for what
// a window without settings gets (the top left corner, the picture's size).
std::optional<WindowPlacement> windowPlacementOf(const settings::Settings& values);
// The settings with the window's placement at the end of a session. A window
// at the top left corner keeps "auto" for its position.
settings::Settings withWindowPlacement(settings::Settings values, const WindowPlacement& placement);
// One line about the file for the Options page; empty when all is well.
std::string settingsFileNote(const SettingsFields& settings);

}  // namespace tarnwick
