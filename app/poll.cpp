#include <optional>
#include <string>
#include <utility>

#include "app/analysis.h"
#include "app/games_page.h"
#include "app/context.h"
#include "app/explorer.h"
#include "app/load_game.h"
#include "app/options_page.h"
#include "app/review_view.h"
#include "app/shell.h"

namespace tarnwick {

void pollOnce(App& app) {
    ShellFields& s = app.shell;
    Platform& p = app.platform;

    // Wait, polling every 10 ms, until something happens; while the analysis
    // runs, also until its marks are due for a refresh.
    std::optional<Drop> dropped;
    bool refreshDue = false;
    for (;;) {
        s.ClipboardText = p.readClipboardText();
        // A key that automatic play handed back comes first.
        s.LastKey = s.HandedBackKey.empty() ? p.pollKey() : std::exchange(s.HandedBackKey, std::string());
        const Click click = p.pollMouse();
        s.ClickKind = click.kind;
        s.ClickX = click.x;
        s.ClickY = click.y;
        s.Wheel = p.pollWheel();
        dropped = p.pollDrop();
        p.sleepMs(10);
        const Extent size = p.windowSize();
        s.CanvasWidth = static_cast<float>(size.width);
        s.CanvasHeight = static_cast<float>(size.height);
        if (!s.LastKey.empty() || s.ClickKind != 0 || s.Wheel != 0 || s.CanvasWidth == 0 || s.ClipboardText != s.SeenClipboardText ||
            dropped) {
            break;
        }
        // Either may be due: both count the poll.
        const bool analysisDue = analysisRefreshDue(app);
        const bool reviewDue = reviewRefreshDue(app);
        if (analysisDue || reviewDue || importPending(app)) {
            refreshDue = true;
            break;
        }
    }
    if (s.CanvasWidth == 0) {
        endAnalysis(app);
        stopReview(app);
        return;
    }
    if (refreshDue) {
        const bool analysisDrew = refreshAnalysis(app);
        const bool reviewDrew = refreshReview(app);
        const bool importDrew = continueImport(app);
        // A review that has just ended gives the line back to the explorer.
        const bool explorerDrew = followExplorer(app);
        if (analysisDrew || reviewDrew || importDrew || explorerDrew) p.present();
        return;
    }

    if (s.LastKey.size() == 2) s.ExtendedKey = s.LastKey.substr(1, 1);
    // Files and folders dropped on the Load Game page go into the database;
    // anywhere else a dropped game is opened.
    if (dropped && s.ActiveTab == LoadGameTab) {
        importDropped(app, *dropped);
    } else if (dropped) {
        openDropped(app, *dropped);
    }

    // A clipboard change is imported only while the Main page is shown; on
    // another page it waits until the Main page is back.
    if (s.ClipboardText != s.SeenClipboardText && s.ActiveTab == MainTab) {
        s.SeenClipboardText = s.ClipboardText;
        if (s.ClipboardText != s.OwnClipboardText) {
            importClipboardGame(app);
            // A loaded game shows at once, although no key or click came.
            p.present();
        }
    }

    if (s.ActiveTab == MainTab) {
        handleBoardPage(app);
    } else if (s.ActiveTab == HelpTab) {
        handleHelpPage(app);
    } else if (s.ActiveTab == LoadGameTab) {
        handleGamesPage(app);
    } else if (s.ActiveTab == OptionsTab) {
        handleOptionsPage(app);
    }

    if (s.ClickKind == 1) handleTabClick(app);

    if (s.ActiveTab != MainTab && s.LastKey == s.EscapeKey) {
        s.ActiveTab = MainTab;
        showMainPage(app);
        p.present();
        s.LastKey.clear();
    }

    const bool notesDrew = showStudyNotes(app);
    // The analysis follows whatever the input did to the position shown,
    // and so do what the review shows there and the explorer.
    const bool analysisDrew = followShownPosition(app);
    const bool reviewDrew = followReview(app);
    const bool explorerDrew = followExplorer(app);
    if (!s.LastKey.empty() || s.ClickKind > 0 || notesDrew || analysisDrew || reviewDrew || explorerDrew) p.present();

    // Escape pressed on the Main page survives: the main loop ends on it.
    if (s.LastKey != s.EscapeKey) s.LastKey.clear();
    s.ExtendedKey.clear();
    s.ClickKind = 0;
    s.Wheel = 0;
}

}  // namespace tarnwick
