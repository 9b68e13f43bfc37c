// The sequence that shows a newly loaded game, in one place: the loaders of
// acquire/ only read texts into values.
#include "app/load_game.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/context.h"
#include "app/games_page.h"
#include "app/review_view.h"
#include "app/shell.h"
#include "board/board.h"
#include "game/game.h"
#include "game/navigation.h"
#include "game/variations.h"
#include "record/text.h"

namespace tarnwick {
namespace {

// "Invalid Game #" flashes four times over the number field, each step
// shown, and stays there; then a beep.
void flashInvalidGame(App& app) {
    Platform& p = app.platform;
    p.setFont(app.fonts.HeaderFont);
    p.setColors(colours::kBlack, colours::kWhite);
    for (int i = 0; i < 4; ++i) {
        p.drawBox(acquire::kNumberFieldLeft, acquire::kNumberFieldTop, acquire::kNumberFieldRight,
                  acquire::kNumberFieldBottom, colours::kWhite, colours::kWhite);
        p.present();
        p.sleepMs(150);
        p.setPos(acquire::kNumberFieldLeft + 3, acquire::kNumberFieldTop + 2);
        p.drawText("Invalid Game #");
        p.present();
        p.sleepMs(150);
    }
    p.beep();
}

}  // namespace

void prepareBoardForNewGame(App& app, int base) {
    if (base != app.board.BoardSize) {
        app.board.BoardSize = base;
        board::setUpBoardSize(app.board);
        clearShownGame(app);
        redrawMainPage(app);
    } else {
        game::clearPosition(gameOf(app));
        clearShownGame(app);
    }
}

void clearShownGame(App& app) {
    forgetReview(app);
    game::clearGame(gameOf(app));
    // Moves clicked from here are kept with the header the server's records
    // have, so a game built on the board is saved as one of them.
    game::takeTree(app.game, acquire::emptyGameTree(app.board.BoardSize));
}

void showGame(App& app, acquire::GameValues loaded) {
    prepareBoardForNewGame(app, loaded.base);
    game::GameFields& g = app.game;
    g.record = std::move(loaded.record);
    // The list shows the tree's main line; clearGame emptied every entry, so
    // a longer game shown before leaves none.
    game::takeTree(g, std::move(loaded.tree));
    game::drawGameHeader(gameOf(app));
    game::rebuildMoveList(gameOf(app));
    game::goToEnd(gameOf(app));
    adoptStoredReview(app);
    addShownGame(app, g.record.gameNumber.empty() ? "opened in the viewer" : "game " + g.record.gameNumber);
}

bool loadRecordText(App& app, std::string_view record) {
    std::optional<acquire::GameValues> loaded = acquire::readRecord(record);
    if (!loaded) {
        flashInvalidGame(app);
        return false;
    }
    showGame(app, std::move(*loaded));
    return true;
}

bool loadGameText(App& app, std::string_view text, std::string_view source) {
    // A whole game record (as a browser shows the server's record) loads as
    // a fetched one does.
    if (const std::optional<std::string> record = acquire::recordInText(text)) return loadRecordText(app, *record);
    // Everything that can refuse the text runs before the shown game is touched.
    std::optional<acquire::GameValues> loaded = acquire::readMoveList(text, app.board.BoardSize, source);
    if (!loaded) {
        app.platform.beep();
        return false;
    }
    showGame(app, std::move(*loaded));
    return true;
}

bool importClipboardGame(App& app) { return loadGameText(app, app.shell.ClipboardText); }

std::string openGameFile(App& app, std::string_view path) {
    const FileText file = acquire::readGameFile(app.platform, path);
    if (!file.ok) return file.problem;
    // A record that the record syntax refuses is named with where and why,
    // and nothing of it is loaded.
    const record::ReadResult read = record::readRecords(file.text);
    if (read.error && acquire::recordInText(file.text)) {
        return "\"" + std::string(path) + "\" line " + std::to_string(read.error->line) + ", column " +
               std::to_string(read.error->column) + ": " + read.error->reason;
    }
    const std::string_view name = path.substr(path.find_last_of('/') + 1);
    if (!loadGameText(app, file.text, name)) return acquire::notAGameProblem(path);
    if (read.trees.size() > 1) {
        showPanelMessage(app, "\"" + std::string(name) + "\" holds " + std::to_string(read.trees.size()) +
                                  " games: the first is shown");
    }
    return {};
}

namespace {

// Shows what a fetch brought: the game; "Invalid Game #" over the number
// field (and nothing else changed) for a reply without a game of either
// base; or, in the panel, why nothing came.
void showFetched(App& app, const acquire::Fetched& fetched) {
    if (fetched.records) {
        loadRecordText(app, fetched.records->first);
    } else if (!fetched.problem.empty()) {
        showPanelMessage(app, fetched.problem);
    }
}

}  // namespace

void loadGameByNumber(App& app) {
    const std::optional<std::string> number = acquire::enterGameNumber(app.platform, acquireFontsOf(app), app.acquire);
    // The entry took the keys: an Escape that ended it must not end the
    // program in the main loop.
    app.shell.LastKey.clear();
    if (!number) return;
    fetchGameByNumber(app, *number);
}

void fetchGameByNumber(App& app, std::string_view number) {
    showFetched(app, acquire::fetchGameRecordsShown(app.platform, app.board.Colours, acquireFontsOf(app), number, app.acquire.FetchLimits));
}

}  // namespace tarnwick
