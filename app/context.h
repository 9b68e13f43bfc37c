// The application: all program state, one object created by main and passed
// by reference through app/. Each layer's state is its own member
// (app.board, app.game, app.list, app.acquire, app.help, ...); nothing lives in
// globals, so a test builds a fresh program over a headless platform.
//
// This header is known inside app/ only: the layers below take just the
// parts they work on (boardOf, gameOf and the font helpers hand them out),
// never App.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "acquire/acquire.h"
#include "app/games_database.h"
#include "app/games_page.h"
#include "app/analysis_state.h"
#include "app/explorer_state.h"
#include "app/games_database.h"
#include "app/review_state.h"
#include "app/settings_file.h"
#include "board/board.h"
#include "game/game.h"
#include "help/button_images.h"
#include "help/help.h"
#include "help/help_state.h"
#include "platform/colour.h"
#include "platform/platform.h"

namespace tarnwick {

inline constexpr int MainTab = 1;
inline constexpr int LoadGameTab = 2;
inline constexpr int OptionsTab = 3;
inline constexpr int HelpTab = 4;

// The fonts made once at start-up and referred to by name.
struct FontSet {
    FontId BodyFont = kNoFont;        // documentation and information texts
    FontId DocHeadingFont = kNoFont;  // documentation headings
    FontId HelpFont = kNoFont;        // help section tabs
    FontId HelpBoldFont = kNoFont;    // the selected help section tab
    FontId ListFont = kNoFont;        // move list entries
    FontId ListBoldFont = kNoFont;    // the highlighted move list entry
    FontId LabelFont = kNoFont;       // cell names
    FontId MarkFont = kNoFont;        // figures and steps on analysis marks
    FontId TagFont = kNoFont;         // the count on an explorer tag under a disc or a name
    FontId CaptionFont = kNoFont;     // the C1 and Size button captions
    FontId HeaderFont = kNoFont;      // game header and number entry
    FontId TabFont = kNoFont;         // tab labels
    FontId TabBoldFont = kNoFont;     // the active tab's label
    FontId SwapFont = kNoFont;        // the "Swap" caption
};

// The main loop's state and the window's pages.
struct ShellFields {
    std::string LastKey;      // key text of the latest poll
    std::string HandedBackKey;  // a key read by automatic play for the next poll
    std::string ExtendedKey;  // its second character when it has two
    int ClickKind = 0;        // 0 none, 1 click, 2 second press of a double click
    int ClickX = 0;
    int ClickY = 0;
    int Wheel = 0;            // wheel steps of the latest poll, positive up
    std::string ClipboardText;
    std::string SeenClipboardText = "Havannah";  // last text handed to the import
    std::optional<std::string> OwnClipboardText;  // the program's own copy (Ctrl+C): never imported
    float CanvasWidth = 0;
    float CanvasHeight = 0;
    int ActiveTab = MainTab;
    std::string EscapeKey = std::string(1, keys::kEscape);
    // The engine's threads asked for by TARNWICK_THREADS: they outrank the
    // settings file.
    std::optional<int> ThreadsAsked;

    static constexpr int TabCount = 4;
    std::array<std::string, TabCount + 1> TabLabels{};  // 1..4
    std::array<int, TabCount + 1> PageTabLeft{};
    std::array<int, TabCount + 1> PageTabRight{};

    std::string VersionText = "version 1.03";
    std::string WindowTitle;
    bool GraphicWindow = false;  // the window was opened
    help::ButtonImageTable ButtonImages;
};

// What the board page last said about the line studied (app/study.cpp).
struct StudyFields {
    std::optional<std::pair<int, std::uint64_t>> ShownAt;  // the move shown, the list's revision
    bool CommentShown = false;
};

// The Options page: the control with the keyboard focus (an index into
// optionControls, none at first) and whether "Restore defaults" waits for
// its second press.
struct OptionsPageFields {
    int Focus = -1;
    bool RestoreAsked = false;
};

struct App {
    explicit App(Platform& p) : platform(p) {}
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    Platform& platform;
    ShellFields shell;
    FontSet fonts;
    board::BoardFields board;
    game::GameFields game;
    game::MoveListFields list;
    acquire::AcquireFields acquire;
    help::HelpFields help;
    AnalysisFields analysis;
    ReviewFields review;
    StudyFields study;
    // The games database, opened at its first use (main sets its path), the
    // Load Game page's table over it and the explorer that asks it.
    GamesDatabase games;
    GamesPageFields gamesPage;
    ExplorerFields explorer;
    SettingsFields settings;
    OptionsPageFields options;
};

// The parts of the program the layers below work on.
inline board::Board boardOf(App& app) {
    return {app.platform, app.board, {app.fonts.LabelFont, app.fonts.CaptionFont, app.fonts.SwapFont, app.fonts.MarkFont, app.fonts.TagFont}};
}
inline acquire::Fonts acquireFontsOf(const App& app) { return {app.fonts.HeaderFont}; }
// The font button of the help page changes the body and heading fonts, which
// the other information pages share: app keeps them and hands them down.
inline help::Fonts helpFontsOf(const App& app) {
    const FontSet& f = app.fonts;
    return {f.BodyFont, f.DocHeadingFont, f.HelpFont, f.HelpBoldFont};
}
inline game::Game gameOf(App& app) {
    return {boardOf(app), app.game, app.list, {app.fonts.ListFont, app.fonts.ListBoldFont, app.fonts.HeaderFont}};
}

}  // namespace tarnwick
