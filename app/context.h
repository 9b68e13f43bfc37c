// The application context: all program state, one object created by main
// and passed by reference to every operation. Each subsystem keeps its
// fields in its own group (app.board.CellTableX, app.game.CurrentMove,
// app.list.ListPenX, app.help.HelpSection); nothing lives in globals, so a
// test builds a fresh program over a headless platform.
//
// This header is plain data. Every layer may read it; calls between the
// layers still go one way (board <- game <- acquire, help <- app).
#pragma once

#include <array>
#include <optional>
#include <string>

#include "acquire/acquire_state.h"
#include "app/analysis_state.h"
#include "board/board_state.h"
#include "game/game_state.h"
#include "help/help_state.h"
#include "platform/colour.h"
#include "platform/platform.h"

namespace tarnwick {

inline constexpr int MainTab = 1;
inline constexpr int LoadGameTab = 2;
inline constexpr int OptionsTab = 3;
inline constexpr int HelpTab = 4;

// The six navigation buttons captured from the board page (37 x 38 pixels
// used of 40 x 40), shown again as page arrows on the help page.
class ButtonImageTable {
  public:
    static constexpr int kImages = 6;
    static constexpr int kSide = 40;
    // Indexed (image 1..6, column 1..40, row 1..40); outside reads black.
    Colour at(int image, int column, int row) const {
        return contains(image, column, row) ? pixels_[offset(image, column, row)] : Colour{};
    }
    void set(int image, int column, int row, Colour colour) {
        if (contains(image, column, row)) pixels_[offset(image, column, row)] = colour;
    }

  private:
    static constexpr bool contains(int image, int column, int row) {
        return image >= 1 && image <= kImages && column >= 1 && column <= kSide && row >= 1 && row <= kSide;
    }
    static constexpr std::size_t offset(int image, int column, int row) {
        return (static_cast<std::size_t>(image - 1) * kSide + static_cast<std::size_t>(row - 1)) * kSide +
               static_cast<std::size_t>(column - 1);
    }
    std::array<Colour, static_cast<std::size_t>(kImages) * kSide * kSide> pixels_{};
};

// The fonts made once at start-up and referred to by name.
struct FontSet {
    FontId BodyFont = kNoFont;        // documentation and information texts
    FontId DocHeadingFont = kNoFont;  // documentation headings
    FontId HelpFont = kNoFont;        // help section tabs
    FontId HelpBoldFont = kNoFont;    // the selected help section tab
    FontId ListFont = kNoFont;        // move list entries
    FontId ListBoldFont = kNoFont;    // the highlighted move list entry
    FontId LabelFont = kNoFont;       // cell names
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
    std::string ClipboardText;
    std::string SeenClipboardText = "Havannah";  // last text handed to the import
    std::optional<std::string> OwnClipboardText;  // the program's own copy (Ctrl+C): never imported
    float CanvasWidth = 0;
    float CanvasHeight = 0;
    int ActiveTab = MainTab;
    std::string EscapeKey = std::string(1, keys::kEscape);

    static constexpr int TabCount = 4;
    std::array<std::string, TabCount + 1> TabLabels{};  // 1..4
    std::array<int, TabCount + 1> PageTabLeft{};
    std::array<int, TabCount + 1> PageTabRight{};

    std::string VersionText = "version 1.03";
    std::string WindowTitle;
    bool GraphicWindow = false;  // the window was opened
    ButtonImageTable ButtonImages;
    int BevelLight = 255;
};

struct App;

struct ShellHooks {
    // Automatic play steps inside one poll: it calls this after each step,
    // so the analysis follows the game as it plays. (After any other input
    // the main loop makes the analysis follow once the input is handled.)
    void (*positionShown)(App&) = nullptr;
};

struct App {
    explicit App(Platform& p) : platform(p) {}
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    Platform& platform;
    ShellFields shell;
    FontSet fonts;
    BoardFields board;
    GameFields game;
    MoveListFields list;
    tarnwick::acquire::AcquireFields acquire;
    HelpFields help;
    ShellHooks hooks;
    AnalysisFields analysis;
};

}  // namespace tarnwick
