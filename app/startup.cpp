#include "app/analysis.h"
#include "app/review_view.h"
#include "app/context.h"
#include "app/options_page.h"
#include "app/shell.h"
#include "acquire/acquire.h"
#include "board/board.h"
#include "game/variations.h"
#include "help/help.h"

namespace tarnwick {

// The move list's entries are 17 pixels apart: 10 points still fits.
void setTextSize(App& app, settings::TextSize size) {
    Platform& p = app.platform;
    FontSet& f = app.fonts;
    const bool large = size == settings::TextSize::Large;
    f.ListFont = p.createFont("Courier New", large ? 10 : 8, kRegular);
    f.ListBoldFont = p.createFont("Courier New", large ? 10 : 8, kBold);
    f.HeaderFont = p.createFont("Arial", large ? 9 : 8, kBold);
}

namespace {

void createFonts(App& app) {
    Platform& p = app.platform;
    FontSet& f = app.fonts;
    f.BodyFont = p.createFont("Courier New", 10, kRegular);
    f.DocHeadingFont = p.createFont("Courier New", 10, kBold | kUnderline);
    f.HelpFont = p.createFont("Courier New", 10, kRegular);
    f.HelpBoldFont = p.createFont("Courier New", 10, kBold);
    setTextSize(app, settings::TextSize::Normal);
    f.LabelFont = p.createFont("Arial", 6, kRegular);
    // A figure alone on an analysis disc: as large and heavy as the disc
    // allows ("62%" is 18 of its 24 pixels).
    f.MarkFont = p.createFont("Arial", 7, kBold);
    // Under a disc or a name the explorer's tag has half the square: a
    // smaller figure, as heavy.
    f.TagFont = p.createFont("Arial", 6, kBold);
    // Antialiased 6-point strokes blur into grey smudges at 96 DPI; one point
    // more, hinted and in two colours, reads sharply on the small buttons.
    f.CaptionFont = p.createFont("Arial", 7, kCrisp);
    f.TabFont = p.createFont("Courier New", 10, kRegular);
    f.TabBoldFont = p.createFont("Courier New", 10, kBold);
    f.SwapFont = p.createFont("Courier New", 10, kBold | kUnderline);
}

}  // namespace

// Every layer's state starts as its type says (base 8, a delay of 500 ms,
// the second help font, the list's pen at its start); start-up only lays out
// the board, makes the fonts and opens the window.
void startUp(App& app) {
    board::setUpBoardSize(app.board);
    game::takeTree(app.game, acquire::emptyGameTree(app.board.BoardSize));

    ShellFields& s = app.shell;
    s.TabLabels = {"", " Main ", " Load Game ", " Options ", " About/Help"};
    s.ActiveTab = MainTab;
    s.VersionText = "version 1.03";
    s.WindowTitle = "  Tarnwick  (" + s.VersionText + ")";
    s.EscapeKey = std::string(1, keys::kEscape);

    createFonts(app);
    app.settings = readSettings(app.platform);
    applySettings(app, settings::Settings{});

    Platform& p = app.platform;
    board::loadStoneImages(p, app.board);

    if (const auto placement = windowPlacementOf(app.settings.Values)) p.setWindowPlacement(*placement);
    p.openWindow(s.WindowTitle, Canvas::kWidth, Canvas::kHeight);
    s.GraphicWindow = true;

    redrawMainPage(app);
    if (app.settings.Values.cellNamesAtStart) board::toggleCellLabels(boardOf(app));
    p.present();

    // Read and laid out once the first page is up, so that the window does
    // not wait for it; nothing shows it before the first poll.
    help::readDocumentation(p, app.help, app.fonts.BodyFont);

    s.ClipboardText = p.readClipboardText();
    s.SeenClipboardText = "Havannah";
}

void rememberWindowPlacement(App& app) {
    const std::optional<WindowPlacement> placement = app.platform.windowPlacement();
    if (!placement) return;
    const settings::Settings values = withWindowPlacement(app.settings.Values, *placement);
    if (values == app.settings.Values) return;
    app.settings.Values = values;
    saveSettings(app.platform, app.settings);
}

void closeGraphicWindow(App& app) {
    if (app.platform.windowSize().width != 0) app.platform.closeWindow();
    app.shell.GraphicWindow = false;
}

void runProgram(App& app, const CommandLine& line) {
    startUp(app);
    openAtStart(app, line);
    do {
        pollOnce(app);
    } while (app.shell.LastKey != app.shell.EscapeKey && app.shell.CanvasWidth != 0);
    endAnalysis(app);
    stopReview(app);
    closeGraphicWindow(app);
    // After the window has gone, so that closing stays immediate.
    rememberWindowPlacement(app);
    keepUnsavedGame(app);
}

}  // namespace tarnwick
