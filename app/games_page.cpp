#include "app/games_page.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <string_view>
#include <utility>

#include "acquire/acquire.h"
#include "app/context.h"
#include "app/load_game.h"
#include "app/shell.h"
#include "platform/text_fit.h"
#include "record/text.h"

namespace tarnwick {

namespace {

// The page's rows, in the body font (8 pixels a character, 13 high).
constexpr int kLeft = 56;
constexpr int kSearchTop = 60;
constexpr int kFieldLeft = 136;
constexpr int kFieldRight = 456;
constexpr int kBaseTop = 84;
// The player field and its button, right of the base row.
constexpr int kPlayerLabelLeft = 560;
constexpr int kPlayerFieldLeft = 736;
constexpr int kPlayerFieldRight = 828;
constexpr int kFetchLeft = 848;
constexpr int kFetchRight = 948;
constexpr std::size_t kPlayerDigits = 9;
constexpr int kEndingTop = 104;
constexpr int kHeadingTop = 130;
constexpr int kRowHeight = 18;
constexpr int kFirstRowTop = kHeadingTop + kRowHeight + 2;
constexpr int kTableRight = 966;
constexpr int kImportTop = kFirstRowTop + kGamesPageRows * kRowHeight + 10;
constexpr int kStatusTop = kImportTop + 20;

struct TableColumn {
    const char* heading;
    int chars;  // width in characters
    database::Column column;
};
constexpr std::array<TableColumn, 7> kColumns{{
    {"Game #", 9, database::Column::GameNumber},
    {"Black", 19, database::Column::Black},
    {"White", 19, database::Column::White},
    {"Event", 20, database::Column::Event},
    {"Result", 7, database::Column::Result},
    {"Moves", 6, database::Column::Moves},
    {"Ending", 24, database::Column::Ending},
}};
constexpr int kCharWidth = 8;

struct Choice {
    const char* label;
    int value;
};
constexpr std::array<Choice, 3> kBaseChoices{{{"All", 0}, {"8", 8}, {"10", 10}}};
constexpr std::array<Choice, 6> kEndingChoices{{
    {"All", -1},
    {"Ring", database::kRing},
    {"Bridge", database::kBridge},
    {"Fork", database::kFork},
    {"Resigned", database::kResignation},
    {"None", database::kNoEnding},
}};

// Files imported in one slice between polls: a slice of one-game files
// takes a few tens of milliseconds.
constexpr std::size_t kImportSliceFiles = 40;
// Table rows a step of the wheel scrolls.
constexpr int kWheelRows = 3;

int columnLeft(std::size_t index) {
    int x = kLeft;
    for (std::size_t i = 0; i < index; ++i) x += (kColumns[i].chars + 1) * kCharWidth;
    return x;
}

// The game server writes "null" for a game outside any tournament; the table
// shows such games as "Unrated Game", so a search for that name finds them.
constexpr std::string_view kStoredUnrated = "null";
constexpr std::string_view kShownUnrated = "Unrated Game";

std::string shownEvent(const std::string& stored) { return stored == kStoredUnrated ? std::string(kShownUnrated) : stored; }

// The stored event prefix a search for an event means.
std::string storedEventPrefix(const std::string& search) {
    const bool unrated = search.size() <= kShownUnrated.size() &&
                         std::equal(search.begin(), search.end(), kShownUnrated.begin(), [](char a, char b) {
                             return std::tolower(static_cast<unsigned char>(a)) ==
                                    std::tolower(static_cast<unsigned char>(b));
                         });
    return unrated ? std::string(kStoredUnrated) : search;
}

database::Query queryOf(const GamesPageFields& page) {
    database::Query query;
    query.player = page.Search;
    query.base = page.Base == 0 ? std::nullopt : std::optional<int>(page.Base);
    const int ending = kEndingChoices[static_cast<std::size_t>(page.Ending)].value;
    if (ending == database::kNoEnding)
        query.endingIsNone = true;
    else if (ending > 0)
        query.ending = static_cast<unsigned>(ending);
    query.sortBy = page.SortBy;
    query.descending = page.Descending;
    return query;
}

// The games the search names as a player, or else as an event: typing a
// tournament's name finds its games too.
void readRows(GamesDatabase& games, GamesPageFields& page) {
    page.Rows.clear();
    database::Database* db = openGames(games);
    if (db == nullptr) {
        page.Count = 0;
        return;
    }
    database::Query query = queryOf(page);
    page.Count = db->countGames(query);
    if (page.Count == 0 && !page.Search.empty()) {
        query.player.clear();
        query.event = storedEventPrefix(page.Search);
        page.Count = db->countGames(query);
    }
    page.Selected = std::clamp<std::int64_t>(page.Selected, 0, std::max<std::int64_t>(0, page.Count - 1));
    page.Top = std::clamp<std::int64_t>(page.Top, std::max<std::int64_t>(0, page.Selected - kGamesPageRows + 1),
                                        page.Selected);
    query.limit = kGamesPageRows;
    query.offset = static_cast<int>(page.Top);
    page.Rows = db->games(query);
}

std::string endingOf(const database::GameRow& row) {
    if (row.ending == database::kNoEnding) return "";
    std::string text = database::endingText(row.ending);
    if (row.winner) text += std::string(" by ") + (*row.winner == havannah::Player::Black ? "Black" : "White");
    if (row.endingMove > 0) text += ", " + std::to_string(row.endingMove);
    return text;
}

void drawCell(Platform& p, int x, int y, int chars, std::string_view text) {
    p.setPos(x, y);
    p.drawText(shortenAtEnd(p, text, chars * kCharWidth));
}

// A row of choices, the chosen one framed.
template <std::size_t N>
void drawChoices(App& app, int top, const char* label, const std::array<Choice, N>& choices, std::size_t chosen) {
    Platform& p = app.platform;
    p.setColors(colours::kBlack, colours::kPagePanel);
    p.setPos(kLeft, top);
    p.drawText(label);
    int x = kFieldLeft;
    for (std::size_t i = 0; i < N; ++i) {
        const int w = p.textSize(choices[i].label).width;
        p.drawBox(x - 4, top - 2, x + w + 4, top + 15, i == chosen ? colours::kBlack : colours::kPagePanel,
                  i == chosen ? colours::kWhite : colours::kPagePanel);
        p.setColors(colours::kBlack, i == chosen ? colours::kWhite : colours::kPagePanel);
        p.setPos(x, top);
        p.drawText(choices[i].label);
        x += w + 16;
    }
}

// Which choice of a row holds x; none outside them.
template <std::size_t N>
std::optional<std::size_t> choiceAt(Platform& p, const std::array<Choice, N>& choices, int x) {
    int left = kFieldLeft;
    for (std::size_t i = 0; i < N; ++i) {
        const int w = p.textSize(choices[i].label).width;
        if (x >= left - 4 && x < left + w + 4) return i;
        left += w + 16;
    }
    return std::nullopt;
}

std::size_t baseIndex(int base) {
    for (std::size_t i = 0; i < kBaseChoices.size(); ++i)
        if (kBaseChoices[i].value == base) return i;
    return 0;
}

void drawImportLine(App& app) {
    Platform& p = app.platform;
    const GamesPageFields& page = app.gamesPage;
    p.drawBox(kLeft, kImportTop, kTableRight, kImportTop + 16, colours::kPagePanel, colours::kPagePanel);
    p.setColors(colours::kBlack, colours::kPagePanel);
    std::string line = "Drop game files or folders here to add them to the database.";
    if (!page.ImportQueue.empty()) {
        const ImportSummary& s = page.Imported;
        line = (importPending(app) ? "Importing: " + page.ImportUnit + " " + std::to_string(page.ImportNext) + " of " +
                                         std::to_string(page.ImportQueue.size()) + ": "
                                   : "Imported " + std::to_string(page.ImportQueue.size()) + " " + page.ImportUnit +
                                         "s: ") +
               std::to_string(s.added) + " added, " + std::to_string(s.alreadyThere) + " already there, " +
               std::to_string(s.refused) + " refused";
    }
    if (!page.FetchProblem.empty()) line = page.ImportQueue.empty() ? page.FetchProblem : line + "; " + page.FetchProblem;
    drawCell(p, kLeft, kImportTop, (kTableRight - kLeft) / kCharWidth, line);
}

void drawStatusLine(App& app) {
    Platform& p = app.platform;
    const GamesDatabase& games = app.games;
    p.drawBox(kLeft, kStatusTop, kTableRight, kStatusTop + 16, colours::kPagePanel, colours::kPagePanel);
    p.setColors(colours::kBlack, colours::kPagePanel);
    std::string line;
    if (games.Db) {
        database::Query all;
        line = "Games database: " + games.Path + " (" + std::to_string(games.Db->countGames(all)) + " games)";
    } else {
        line = games.Problem.empty() ? "No games database" : games.Problem;
    }
    p.setPos(kLeft, kStatusTop);
    p.drawText(shortenInMiddle(p, line, kTableRight - kLeft));
}

void drawTable(App& app) {
    Platform& p = app.platform;
    const GamesPageFields& page = app.gamesPage;
    p.drawBox(kLeft - 4, kHeadingTop - 2, kTableRight + 2, kHeadingTop + kRowHeight, colours::kBlack, colours::kGrey);
    p.drawBox(kLeft - 4, kHeadingTop + kRowHeight - 1, kTableRight + 2, kFirstRowTop + kGamesPageRows * kRowHeight + 2,
              colours::kBlack, colours::kWhite);
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        std::string heading = kColumns[c].heading;
        if (page.SortBy == kColumns[c].column) heading += page.Descending ? " v" : " ^";
        p.setColors(colours::kBlack, colours::kGrey);
        drawCell(p, columnLeft(c), kHeadingTop + 1, kColumns[c].chars, heading);
    }
    for (std::size_t r = 0; r < page.Rows.size(); ++r) {
        const database::GameRow& row = page.Rows[r];
        const int top = kFirstRowTop + static_cast<int>(r) * kRowHeight;
        const bool selected = page.Top + static_cast<std::int64_t>(r) == page.Selected;
        const Colour ground = selected ? colours::kListHighlight : colours::kWhite;
        if (selected) p.drawBox(kLeft - 3, top - 2, kTableRight + 1, top + kRowHeight - 2, ground, ground);
        p.setColors(colours::kBlack, ground);
        const std::string cells[] = {row.gameNumber ? std::to_string(*row.gameNumber) : "",
                                     row.black,
                                     row.white,
                                     shownEvent(row.event),
                                     row.result,
                                     std::to_string(row.moves),
                                     endingOf(row)};
        for (std::size_t c = 0; c < kColumns.size(); ++c) drawCell(p, columnLeft(c), top, kColumns[c].chars, cells[c]);
    }
}

// A labelled white field from `left` to `right`; it shows the end of a long
// text, with the cursor after it while typing goes there.
void drawTextField(Platform& p, int labelLeft, const char* label, int left, int right, int top, const std::string& text,
                   bool focused) {
    p.setColors(colours::kBlack, colours::kPagePanel);
    p.setPos(labelLeft, top);
    p.drawText(label);
    p.drawBox(left - 4, top - 3, right, top + 16, colours::kBlack, colours::kWhite);
    p.setColors(colours::kBlack, colours::kWhite);
    p.setPos(left, top);
    std::string shown = text + (focused ? "_" : "");
    while (p.textSize(shown).width > right - left - 6) shown.erase(0, 1);
    p.drawText(shown);
}

void drawSearchRow(App& app) {
    Platform& p = app.platform;
    const GamesPageFields& page = app.gamesPage;
    drawTextField(p, kLeft, "Search:", kFieldLeft, kFieldRight, kSearchTop, page.Search, !page.PlayerFocus);
    p.drawBox(kFieldRight + 8, kSearchTop - 3, kTableRight, kSearchTop + 16, colours::kPagePanel, colours::kPagePanel);
    p.setColors(colours::kBlack, colours::kPagePanel);
    p.setPos(kFieldRight + 16, kSearchTop);
    const std::string found = std::to_string(page.Count) + (page.Count == 1 ? " game" : " games") +
                              (page.Search.empty() ? "" : " (player or event)");
    p.drawText(found);
}

void drawPlayerField(App& app) {
    Platform& p = app.platform;
    const GamesPageFields& page = app.gamesPage;
    drawTextField(p, kPlayerLabelLeft, "Little Golem player:", kPlayerFieldLeft, kPlayerFieldRight, kBaseTop,
                  page.PlayerNumber, page.PlayerFocus);
    p.drawBox(kFetchLeft, kBaseTop - 3, kFetchRight, kBaseTop + 16, colours::kBlack, colours::kGrey);
    p.setColors(colours::kBlack, colours::kGrey);
    p.setPos(kFetchLeft + (kFetchRight - kFetchLeft - p.textSize("Fetch games").width) / 2, kBaseTop);
    p.drawText("Fetch games");
}

// Everything inside the panel that the filters change.
void drawContents(App& app) {
    app.platform.setFont(app.fonts.BodyFont);
    readRows(app.games, app.gamesPage);
    drawSearchRow(app);
    drawChoices(app, kBaseTop, "Base:", kBaseChoices, baseIndex(app.gamesPage.Base));
    drawPlayerField(app);
    drawChoices(app, kEndingTop, "Ending:", kEndingChoices, static_cast<std::size_t>(app.gamesPage.Ending));
    drawTable(app);
    drawImportLine(app);
    drawStatusLine(app);
}

void openSelected(App& app) {
    GamesPageFields& page = app.gamesPage;
    const std::int64_t index = page.Selected - page.Top;
    if (app.games.Db == nullptr || index < 0 || index >= static_cast<std::int64_t>(page.Rows.size())) {
        app.platform.beep();
        return;
    }
    const std::optional<std::string> record = app.games.Db->recordText(page.Rows[static_cast<std::size_t>(index)].id);
    if (!record) {
        app.platform.beep();
        return;
    }
    app.shell.ActiveTab = MainTab;
    showMainPage(app);
    loadRecordText(app, *record);
}

// The explorer asks again after games came in.
void forgetExplored(App& app) {
    app.explorer.EmptyBoard.clear();
    app.explorer.Asked.reset();
}

// Queues texts or files for import; a new queue unless one is under way,
// which they join.
void queueImport(App& app, std::vector<ImportItem> items, std::string unit) {
    GamesPageFields& page = app.gamesPage;
    if (!importPending(app)) {
        page.ImportQueue.clear();
        page.ImportNext = 0;
        page.Imported = {};
        page.ImportUnit = std::move(unit);
    }
    page.ImportQueue.insert(page.ImportQueue.end(), std::make_move_iterator(items.begin()),
                            std::make_move_iterator(items.end()));
}

// Fetches the player's lists of finished games from the game server and
// queues their records for import; the wait shows on the import line and
// Escape ends it.
void fetchPlayerGames(App& app) {
    GamesPageFields& page = app.gamesPage;
    Platform& p = app.platform;
    if (page.PlayerNumber.empty() || openGames(app.games) == nullptr) {
        p.beep();
        return;
    }
    const std::string player = "Little Golem player " + page.PlayerNumber;
    page.FetchProblem = "Fetching the games of " + player + " ... (Escape stops)";
    drawImportLine(app);
    p.present();
    acquire::PlayerGames fetched = acquire::fetchPlayerGames(p, page.PlayerNumber, app.acquire.PlayerListLimits);
    page.FetchProblem.clear();
    for (const std::string& problem : fetched.problems)
        page.FetchProblem += (page.FetchProblem.empty() ? player + ": " : "; ") + problem;
    if (fetched.cancelled)
        page.FetchProblem += (page.FetchProblem.empty() ? player + ": " : "; ") + std::string("fetch stopped");
    else if (fetched.records.empty() && fetched.problems.empty())
        page.FetchProblem = player + ": no finished Havannah games";
    std::vector<ImportItem> items;
    for (std::size_t i = 0; i < fetched.records.size(); ++i)
        items.push_back({player + ", game " + std::to_string(i + 1), std::move(fetched.records[i])});
    queueImport(app, std::move(items), "game");
    if (!continueImport(app)) drawImportLine(app);
}

std::int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace

void showLoadGamePage(App& app) {
    drawInformationPage(app, LoadGameTab);
    drawContents(app);
}

void handleGamesPage(App& app) {
    ShellFields& s = app.shell;
    GamesPageFields& page = app.gamesPage;
    Platform& p = app.platform;
    bool changed = false;
    if (s.LastKey.size() == 2 && s.LastKey[0] == '\0') {
        const std::int64_t before = page.Selected;
        switch (s.LastKey[1]) {
            case keys::kUp: --page.Selected; break;
            case keys::kDown: ++page.Selected; break;
            case keys::kPageUp: page.Selected -= kGamesPageRows; page.Top -= kGamesPageRows; break;
            case keys::kPageDown: page.Selected += kGamesPageRows; page.Top += kGamesPageRows; break;
            case keys::kHome: page.Selected = 0; break;
            case keys::kEnd: page.Selected = page.Count - 1; break;
            case keys::kBackTab: page.PlayerFocus = !page.PlayerFocus; break;
            default: break;
        }
        changed = page.Selected != before || s.LastKey[1] == keys::kBackTab;
    } else if (s.LastKey == std::string(1, keys::kTab)) {
        // Tab takes the typing from one field to the other.
        page.PlayerFocus = !page.PlayerFocus;
        changed = true;
    } else if (s.LastKey.size() == 1 && page.PlayerFocus) {
        const char c = s.LastKey[0];
        if (c == keys::kEnter) {
            fetchPlayerGames(app);
            p.present();
            return;
        }
        if (c == keys::kBackspace && !page.PlayerNumber.empty())
            page.PlayerNumber.pop_back();
        else if (c >= '0' && c <= '9' && page.PlayerNumber.size() < kPlayerDigits)
            page.PlayerNumber += c;
        else
            p.beep();
        changed = true;
    } else if (s.LastKey.size() == 1) {
        const char c = s.LastKey[0];
        if (c == keys::kEnter) {
            openSelected(app);
            return;
        }
        if (c == keys::kBackspace && !page.Search.empty()) {
            page.Search.pop_back();
            changed = true;
        } else if (static_cast<unsigned char>(c) >= 32 && c != 127 && page.Search.size() < 40) {
            page.Search += c;
            changed = true;
        }
        if (changed) page.Selected = page.Top = 0;
    }
    if (s.ClickKind != 0) {
        p.setFont(app.fonts.BodyFont);
        const int x = s.ClickX;
        const int y = s.ClickY;
        if (y >= kSearchTop - 3 && y < kSearchTop + 16 && x >= kFieldLeft - 4 && x < kFieldRight) {
            changed = page.PlayerFocus;
            page.PlayerFocus = false;
        } else if (y >= kBaseTop - 3 && y < kBaseTop + 16 && x >= kFetchLeft && x < kFetchRight) {
            fetchPlayerGames(app);
            p.present();
            return;
        } else if (y >= kBaseTop - 3 && y < kBaseTop + 16 && x >= kPlayerFieldLeft - 4 && x < kPlayerFieldRight) {
            changed = !page.PlayerFocus;
            page.PlayerFocus = true;
        } else if (y >= kBaseTop - 2 && y < kBaseTop + 15 && x < kPlayerLabelLeft) {
            if (const auto i = choiceAt(p, kBaseChoices, x)) page.Base = kBaseChoices[*i].value;
            page.Selected = page.Top = 0;
            changed = true;
        } else if (y >= kEndingTop - 2 && y < kEndingTop + 15) {
            if (const auto i = choiceAt(p, kEndingChoices, x)) page.Ending = static_cast<int>(*i);
            page.Selected = page.Top = 0;
            changed = true;
        } else if (y >= kHeadingTop - 2 && y < kHeadingTop + kRowHeight) {
            for (std::size_t c = 0; c < kColumns.size(); ++c) {
                if (x < columnLeft(c) || x >= columnLeft(c + 1)) continue;
                page.Descending = page.SortBy == kColumns[c].column ? !page.Descending : false;
                page.SortBy = kColumns[c].column;
                page.Selected = page.Top = 0;
                changed = true;
            }
        } else if (y >= kFirstRowTop - 2 && y < kFirstRowTop + kGamesPageRows * kRowHeight && x >= kLeft - 4 &&
                   x <= kTableRight) {
            const std::int64_t row = page.Top + (y - kFirstRowTop + 2) / kRowHeight;
            if (row < page.Top + static_cast<std::int64_t>(page.Rows.size())) {
                page.Selected = row;
                if (s.ClickKind == 2) {
                    openSelected(app);
                    return;
                }
                changed = true;
            }
        }
    }
    if (s.Wheel != 0 && page.Count > 0) {
        // The wheel moves the rows shown and takes the chosen row along
        // where it would leave them.
        page.Top = std::clamp<std::int64_t>(page.Top - std::int64_t{s.Wheel} * kWheelRows, 0,
                                            std::max<std::int64_t>(0, page.Count - kGamesPageRows));
        page.Selected = std::clamp<std::int64_t>(page.Selected, page.Top, page.Top + kGamesPageRows - 1);
        changed = true;
    }
    if (changed) {
        drawContents(app);
        p.present();
    }
}

void importDropped(App& app, const Drop& dropped) {
    if (!dropped.isFile) {
        openDropped(app, dropped);
        return;
    }
    std::vector<ImportItem> items;
    for (std::string& file : filesToImport({dropped.content})) items.push_back({std::move(file), std::nullopt});
    queueImport(app, std::move(items), "file");
    if (openGames(app.games) == nullptr) {
        app.gamesPage.ImportQueue.clear();
        app.platform.beep();
    }
    continueImport(app);
}

bool importPending(const App& app) { return app.gamesPage.ImportNext < app.gamesPage.ImportQueue.size(); }

bool continueImport(App& app) {
    GamesPageFields& page = app.gamesPage;
    if (!importPending(app) || app.games.Db == nullptr) return false;
    const std::size_t end = std::min(page.ImportQueue.size(), page.ImportNext + kImportSliceFiles);
    Platform& p = app.platform;
    const auto text = [&](std::size_t i) {
        ImportItem& item = page.ImportQueue[page.ImportNext + i];
        if (item.text) return NamedText{item.name, FileText{true, std::exchange(*item.text, {}), {}, false}};
        return NamedText{item.name, p.readUserFile(item.name, kMaxImportFileBytes)};
    };
    const ImportSummary done = importTexts(*app.games.Db, end - page.ImportNext, text, nowSeconds(), stderr, false);
    page.ImportNext = end;
    forgetExplored(app);
    page.Imported.files += done.files;
    page.Imported.added += done.added;
    page.Imported.alreadyThere += done.alreadyThere;
    page.Imported.refused += done.refused;
    if (app.shell.ActiveTab != LoadGameTab) return false;
    if (importPending(app)) {
        p.setFont(app.fonts.BodyFont);
        drawImportLine(app);
    } else {
        drawContents(app);
    }
    return true;
}

void addShownGame(App& app, const std::string& source) {
    if (!app.games.AddOpenedGames || app.games.Path.empty()) return;
    database::Database* db = openGames(app.games);
    if (db == nullptr) return;
    const database::Incoming game{app.game.Tree, source};
    db->importGames(std::span(&game, 1), nowSeconds());
    forgetExplored(app);
}

}  // namespace tarnwick
