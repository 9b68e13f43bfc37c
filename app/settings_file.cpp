#include "app/settings_file.h"

namespace tarnwick {
namespace {

// Far more than any settings file: a larger file is not one.
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

std::string pathOf(const SettingsFields& s) { return s.Folder + "/" + kSettingsFile; }

}  // namespace

SettingsFields readSettings(Platform& platform) {
    SettingsFields s;
    s.Folder = platform.configFolder();
    if (s.Folder.empty()) return s;
    const FileText file = platform.readUserFile(pathOf(s), kMaxSettingsBytes);
    if (!file.ok) {
        // No file yet is the usual case, and the defaults are what it means.
        if (!file.missing) s.Unreadable = file.problem;
    } else {
        settings::Parsed parsed = settings::parseSettings(file.text);
        s.Unreadable = std::move(parsed.unreadable);
        if (s.Unreadable.empty()) {
            s.Values = parsed.settings;
            s.Text = file.text;
            for (const std::string& problem : parsed.problems) platform.reportProblem(pathOf(s) + " " + problem);
        }
    }
    if (!s.Unreadable.empty()) {
        platform.reportProblem("cannot read " + pathOf(s) + ": " + s.Unreadable +
                               "; the default settings are used and the file is left as it is");
    }
    return s;
}

void saveSettings(Platform& platform, SettingsFields& s) {
    if (s.Folder.empty() || !s.Unreadable.empty()) return;
    std::string text = settings::writeSettings(s.Values, s.Text);
    if (text == s.Text) return;
    const SavedFile saved = platform.replaceFile(s.Folder, kSettingsFile, "", text);
    if (!saved.ok) {
        // Said once: a folder that cannot be written stays so for each change.
        if (saved.problem != s.SaveProblem) platform.reportProblem("settings not saved: " + saved.problem);
        s.SaveProblem = saved.problem;
        return;
    }
    s.SaveProblem.clear();
    s.Text = std::move(text);
}

std::optional<WindowPlacement> windowPlacementOf(const settings::Settings& v) {
    const settings::Settings today;
    if (v.windowX == today.windowX && v.windowY == today.windowY && v.windowWidth == today.windowWidth &&
        v.windowHeight == today.windowHeight && v.fullScreen == today.fullScreen) {
        return std::nullopt;
    }
    WindowPlacement placement;
    if (v.windowX || v.windowY) placement.position = Point{v.windowX.value_or(0), v.windowY.value_or(0)};
    placement.size = {v.windowWidth, v.windowHeight};
    placement.fullScreen = v.fullScreen;
    return placement;
}

settings::Settings withWindowPlacement(settings::Settings v, const WindowPlacement& placement) {
    const auto clamped = [](std::string_view name, int value) { return settings::findKey(name)->clamp(value); };
    if (placement.position && (v.windowX || v.windowY || *placement.position != Point{0, 0})) {
        v.windowX = clamped("window.x", placement.position->x);
        v.windowY = clamped("window.y", placement.position->y);
    }
    if (placement.size.width > 0 && placement.size.height > 0) {
        v.windowWidth = clamped("window.width", placement.size.width);
        v.windowHeight = clamped("window.height", placement.size.height);
    }
    v.fullScreen = placement.fullScreen;
    return v;
}

std::string settingsFileNote(const SettingsFields& s) {
    if (!s.Unreadable.empty()) {
        return "The settings file cannot be read (" + s.Unreadable + "): defaults in use, changes not saved.";
    }
    if (!s.SaveProblem.empty()) return "Changes are not saved: " + s.SaveProblem;
    return {};
}

}  // namespace tarnwick
