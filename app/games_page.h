// The Load Game page: the games database searched in a table. Typing goes
// into the search field and filters as it goes; the base and ending rows
// and a click on a column's heading narrow and sort; the arrows, Page
// Up/Down and the wheel scroll; Enter or a double click opens the game on
// the Main page at its last move. Files and folders dropped on the page,
// and a Little Golem player's games fetched by the player's number, are
// imported a slice between polls, with the progress on the page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/import_command.h"
#include "database/database.h"

namespace tarnwick {

struct App;
struct Drop;

// A file to import, or a text fetched (`text` set; `name` says where from).
struct ImportItem {
    std::string name;
    std::optional<std::string> text;
};

struct GamesPageFields {
    std::string Search;                // a player's or an event's start
    std::string PlayerNumber;          // a Little Golem player's number
    bool PlayerFocus = false;          // typing goes into the player field
    int Base = 0;                      // 0 for every base
    int Ending = 0;                    // index into the ending choices
    database::Column SortBy = database::Column::Id;
    bool Descending = false;
    std::int64_t Count = 0;            // games the filters select
    std::int64_t Top = 0;              // the first row shown
    std::int64_t Selected = 0;         // the row Enter opens
    std::vector<database::GameRow> Rows;  // the rows shown, from Top
    // Files or fetched records waiting to be imported ("file" or "game" in
    // the progress line), what the import has done so far, and what a fetch
    // could not read.
    std::vector<ImportItem> ImportQueue;
    std::string ImportUnit = "file";
    std::size_t ImportNext = 0;
    ImportSummary Imported;
    std::string FetchProblem;
};

// Rows of the table shown at once.
inline constexpr int kGamesPageRows = 28;

void showLoadGamePage(App& app);
// Keys and clicks while the page is shown.
void handleGamesPage(App& app);
// A file, folder or text dropped on the page: files and folders are queued
// for import; a text is opened as a game on the Main page, as elsewhere.
void importDropped(App& app, const Drop& dropped);
// Whether an import waits for its next slice.
bool importPending(const App& app);
// Imports the next slice of queued files and shows the progress; true when
// it drew.
bool continueImport(App& app);
// The game the viewer shows, added to the database when the user wants
// opened games kept (`source`: the file or game number it came from).
void addShownGame(App& app, const std::string& source);

}  // namespace tarnwick
