// The opening explorer. The database answers on the logic thread: a
// position other than the empty board takes well under a millisecond, and
// the empty board's answer (every game passes there) is kept while the
// explorer is shown. The tags go through paintCell like the analysis's discs and stay
// beside them on a cell; the line shows when the analysis and a running
// review leave it free.
#include "app/explorer.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/analysis.h"
#include "app/context.h"
#include "app/games_database.h"

namespace tarnwick {
namespace {

// The moves named on the line: more would not fit it anyway.
constexpr std::size_t kNamedMoves = 12;

// "E5 61 (Black wins 54%)", "swap 12 (Black wins 40%)".
std::string moveText(const database::ExplorerMove& move, const havannah::Topology& topology) {
    const long percent = std::lround(100.0 * move.blackWins / std::max(move.games, 1));
    return (move.cell ? topology.name(*move.cell) : std::string("swap")) + " " + std::to_string(move.games) +
           " (Black wins " + std::to_string(percent) + "%)";
}

// "In 143 games: E5 61 (Black wins 54%), D4 40 (Black wins 48%), ..."
std::string movesLine(const std::vector<database::ExplorerMove>& moves, const havannah::Topology& topology) {
    int games = 0;
    for (const database::ExplorerMove& move : moves) games += move.games;
    std::string line = "In " + std::to_string(games) + (games == 1 ? " game: " : " games: ");
    for (std::size_t i = 0; i < std::min(moves.size(), kNamedMoves); ++i) {
        if (i > 0) line += ", ";
        line += moveText(moves[i], topology);
    }
    return moves.size() > kNamedMoves ? line + ", ..." : line;
}

// Why the database has no move from the position: at the empty board no
// game of its base, or none at all; elsewhere none goes on from it.
std::string noMovesLine(database::Database& db, const havannah::Position& position) {
    if (position.movesPlayed() > 0) return "No game in the database goes on from this position";
    if (db.countGames({}) == 0) return "No games in the database: tarnwick --import PATH adds them";
    return "No games of base " + std::to_string(position.base()) + " in the database";
}

std::vector<database::ExplorerMove> movesFrom(App& app, database::Database& db, const havannah::Position& position) {
    ExplorerFields& e = app.explorer;
    if (position.movesPlayed() > 0) return db.explore(position);
    const auto kept = e.EmptyBoard.find(position.base());
    if (kept != e.EmptyBoard.end()) return kept->second;
    return e.EmptyBoard[position.base()] = db.explore(position);
}

// Brings the wanted tags and line to the position shown, asking the
// database when the position differs from the one last asked about.
void takeShownPosition(App& app) {
    ExplorerFields& e = app.explorer;
    const havannah::Topology& topology = *app.board.Topology;
    e.Games.assign(static_cast<std::size_t>(topology.cellCount()), 0);
    database::Database* db = openGames(app.games);
    if (db == nullptr) {
        e.Line = app.games.Problem;
        return;
    }
    const GamePosition shown = shownGamePosition(app);
    if (!shown.position) {
        e.Asked.reset();
        e.Moves.clear();
        e.Line = shown.whyNot + ": no moves to explore";
        return;
    }
    if (!e.Asked || !samePosition(*e.Asked, *shown.position)) {
        e.Moves = movesFrom(app, *db, *shown.position);
        e.Asked = shown.position;
    }
    for (const database::ExplorerMove& move : e.Moves) {
        if (move.cell && *move.cell >= 0 && *move.cell < topology.cellCount())
            e.Games[static_cast<std::size_t>(*move.cell)] = move.games;
    }
    e.Line = e.Moves.empty() ? noMovesLine(*db, *shown.position) : movesLine(e.Moves, topology);
}

// Brings every empty cell's tag to Games, keeping the discs it carries.
bool paintTags(App& app) {
    bool changed = false;
    const std::vector<int>& games = app.explorer.Games;
    std::vector<board::CellPaint>& painted = app.board.Painted;
    for (std::size_t cell = 0; cell < painted.size(); ++cell) {
        const int wanted = cell < games.size() ? games[cell] : 0;
        if (painted[cell].stone != havannah::Stone::Empty || painted[cell].mark.games == wanted) continue;
        board::CellPaint paint = painted[cell];
        paint.mark.games = wanted;
        board::paintCell(boardOf(app), static_cast<havannah::Cell>(cell), paint);
        changed = true;
    }
    return changed;
}

}  // namespace

bool explorerHasLine(const App& app) {
    return app.explorer.On && !app.analysis.On && !app.review.Running && app.shell.ActiveTab == MainTab;
}

void toggleExplorer(App& app) {
    ExplorerFields& e = app.explorer;
    if (!e.On) {
        // Each showing asks afresh, so games imported meanwhile count.
        e.On = true;
        e.EmptyBoard.clear();
        e.Asked.reset();
        followExplorer(app);
        return;
    }
    const bool hadLine = explorerHasLine(app) && app.analysis.LineShown == e.Line;
    e.On = false;
    e.Games.clear();
    paintTags(app);
    // What else uses the line draws it again when it next looks.
    if (hadLine) drawAnalysisLine(app, "");
}

bool followExplorer(App& app) {
    ExplorerFields& e = app.explorer;
    if (!e.On || app.shell.ActiveTab != MainTab) return false;
    takeShownPosition(app);
    bool drew = paintTags(app);
    // A note stays until the position changes.
    if (explorerHasLine(app) && !app.analysis.NoteAt && app.analysis.LineShown != e.Line) {
        drawAnalysisLine(app, e.Line);
        drew = true;
    }
    return drew;
}

}  // namespace tarnwick
