// The engine's live analysis of the position on the board page. The engine
// searches on threads of its own; this, on the logic thread, starts and
// stops it, takes snapshots about five times a second and draws them: a
// disc on the cells of the best candidates and a line in the information
// panel. Every mark goes through paintCell, so Painted always says what a
// cell shows and stepping repaints a marked cell like any other.
#include "app/analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/context.h"
#include "engine/calibration.h"
#include "board/board.h"
#include "game/navigation.h"
#include "game/replay.h"
#include "game/variations.h"
#include "platform/text_fit.h"
#include "record/moves.h"

namespace tarnwick {
namespace {

using havannah::Player;

// The main loop waits in 10 ms polls: twenty make the refresh interval.
constexpr int kRefreshPolls = 20;
constexpr std::size_t kVariationSteps = 3;

// The space of the information panel between the game number band and the
// move list heading (both corners included). It shows the panel's own colour,
// which the pixel left of it keeps: nothing draws there.
struct LineArea {
    int x1, y1, x2, y2;
    int textX, textY;
};
constexpr LineArea kLineArea{654, 225, 1016, 256, 664, 234};

std::string playerName(Player player) { return player == Player::Black ? "Black" : "White"; }

// 850, 12k, 1.2M.
std::string countText(std::uint64_t count) {
    char text[32];
    if (count < 10'000) {
        std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(count));
    } else if (count < 1'000'000) {
        std::snprintf(text, sizeof text, "%lluk", static_cast<unsigned long long>(count / 1000));
    } else {
        std::snprintf(text, sizeof text, "%.1fM", static_cast<double>(count) / 1e6);
    }
    return text;
}

int percentOf(double winRate) { return static_cast<int>(std::lround(std::clamp(winRate, 0.0, 1.0) * 100)); }

// ": I10 or J9", the cells the proven winner wins with (the first few).
std::string winningCellsText(const engine::Snapshot& snap, const havannah::Topology& topology) {
    constexpr std::size_t kNamed = 4;
    const std::vector<engine::Move>& cells = snap.winningMoves;
    if (cells.empty()) return {};
    const std::size_t named = std::min(cells.size(), kNamed);
    std::string text = ": ";
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0) text += i + 1 == named && named == cells.size() ? " or " : ", ";
        text += engine::moveName(topology, cells[i]);
    }
    return named < cells.size() ? text + " ..." : text;
}

// " in 7 moves: E5 F6 G7 ...", the first moves of the proven line, both
// sides' from the position shown. A win the winner makes with its next
// stone names its cells instead (": A8 or H1"), whoever is to move.
std::string provenLineText(const engine::Snapshot& snap, const havannah::Topology& topology) {
    constexpr std::size_t kNamed = 7;
    const std::vector<engine::Move>& line = snap.provenLine;
    const std::size_t nextStone = snap.provenWinner == snap.toMove ? 1 : 2;
    if (line.size() <= nextStone) return winningCellsText(snap, topology);
    std::string text = " in " + std::to_string(line.size()) + " moves:";
    for (std::size_t i = 0; i < std::min(line.size(), kNamed); ++i) text += " " + engine::moveName(topology, line[i]);
    return line.size() > kNamed ? text + " ..." : text;
}

std::string analysisLine(const engine::Snapshot& snap, const havannah::Topology& topology) {
    if (snap.provenWinner) return playerName(*snap.provenWinner) + " wins by force" + provenLineText(snap, topology);
    std::string line = playerName(snap.toMove) + " to move";
    // A search just started has nothing to tell yet.
    if (snap.playouts == 0) return line;
    if (!snap.moves.empty()) {
        const engine::Candidate& best = snap.moves.front();
        line += ": " + std::to_string(percentOf(engine::calibratedRate(best.winRate, snap.playouts))) + "% with " +
                engine::moveName(topology, best.move);
    }
    return line + " (" + countText(snap.playouts) + " playouts)";
}

// The mark each cell should carry for this snapshot. A move proven to lose
// gets none: when every move loses, the line's "wins by force" says it, and
// five 0 % discs on arbitrary cells would only mislead.
std::vector<board::CellMark> marksFor(const engine::Snapshot& snap, std::size_t candidates, bool withSteps, int cells) {
    std::vector<board::CellMark> marks(static_cast<std::size_t>(cells));
    const auto onBoard = [cells](engine::Move move) { return move >= 0 && move < cells; };
    for (std::size_t i = 0; i < std::min(candidates, snap.moves.size()); ++i) {
        const engine::Candidate& candidate = snap.moves[i];
        if (!onBoard(candidate.move) || candidate.proven == false) continue;
        board::CellMark& mark = marks[static_cast<std::size_t>(candidate.move)];
        mark.rank = static_cast<int>(i) + 1;
        mark.percent = percentOf(engine::calibratedRate(candidate.winRate, snap.playouts));
    }
    if (!withSteps) return marks;
    Player player = snap.toMove;
    const std::vector<engine::Move>& pv = snap.pv();
    for (std::size_t i = 0; i < std::min(kVariationSteps, pv.size()); ++i, player = havannah::opponent(player)) {
        if (!onBoard(pv[i])) continue;
        board::CellMark& mark = marks[static_cast<std::size_t>(pv[i])];
        mark.step = static_cast<int>(i) + 1;
        mark.stepPlayer = player;
    }
    return marks;
}

}  // namespace

GamePosition shownGamePosition(const App& app) {
    const game::GameFields& g = app.game;
    const bool current = g.Shown && g.ShownRevision == g.Moves.revision() && g.Shown->entries == g.CurrentMove &&
                         &g.Shown->stones.topology() == app.board.Topology.get();
    std::optional<game::ShownPosition> replayed;
    if (!current) replayed = game::positionAfter(g.Moves, g.CurrentMove, app.board.Topology);
    const game::ShownPosition& shown = current ? *g.Shown : *replayed;
    if (shown.illegal || !shown.rulesFollow) return {std::nullopt, "The rules refuse a move of this game"};
    if (shown.win || shown.stones.isWon()) return {std::nullopt, "The game is over"};
    return {shown.stones, {}};
}

bool samePosition(const havannah::Position& a, const havannah::Position& b) {
    if (a.base() != b.base() || a.toMove() != b.toMove() || a.movesPlayed() != b.movesPlayed()) return false;
    for (havannah::Cell cell = 0; cell < a.topology().cellCount(); ++cell)
        if (a.at(cell) != b.at(cell)) return false;
    return true;
}

bool paintMarks(App& app, const std::vector<board::CellMark>& marks) {
    bool changed = false;
    const std::vector<board::CellPaint>& painted = app.board.Painted;
    // The explorer's tags stay with the discs; its counts are of the board
    // shown only when they are one a cell of it.
    const std::vector<int>& games = app.explorer.Games;
    const bool tagged = games.size() == painted.size();
    for (std::size_t cell = 0; cell < std::min(marks.size(), painted.size()); ++cell) {
        board::CellMark wanted = marks[cell];
        wanted.games = tagged ? games[cell] : 0;
        if (painted[cell].stone != havannah::Stone::Empty || painted[cell].mark == wanted) continue;
        board::paintCell(boardOf(app), static_cast<havannah::Cell>(cell), board::CellPaint{havannah::Stone::Empty, false, wanted});
        changed = true;
    }
    return changed;
}

namespace {

bool eraseMarks(App& app) {
    return paintMarks(app, std::vector<board::CellMark>(static_cast<std::size_t>(app.board.Topology->cellCount())));
}

}  // namespace

void drawAnalysisLine(App& app, const std::string& text, bool withFigures) {
    Platform& p = app.platform;
    const LineArea& a = kLineArea;
    const Colour panel = p.getPixel(a.x1 - 1, a.y1);
    p.drawBox(a.x1, a.y1, a.x2 + 1, a.y2 + 1, panel, panel);
    app.analysis.LineShown = text;
    app.analysis.LineHasFigures = withFigures;
    if (text.empty()) return;
    p.setFont(app.fonts.HeaderFont);
    p.setColors(app.board.Colours.panelInk, panel);
    p.setPos(a.textX, a.textY);
    p.drawText(shortenAtEnd(p, text, a.x2 - a.textX));
}

bool fitsAnalysisLine(App& app, std::string_view text) {
    app.platform.setFont(app.fonts.HeaderFont);
    return app.platform.textSize(text).width <= kLineArea.x2 - kLineArea.textX;
}

namespace {

engine::Engine& engineOf(App& app) {
    AnalysisFields& a = app.analysis;
    if (!a.Engine) a.Engine = std::make_unique<engine::Engine>(a.EngineOptions);
    return *a.Engine;
}

// Draws the engine's present findings; the line is drawn again when asked
// even if its text is unchanged (after the page was drawn anew under it).
// A search that has only just started keeps the figures of the one before
// on the line until it has some of its own, so that stepping through a game
// never flashes an empty count.
bool showFindings(App& app, bool redrawLine) {
    AnalysisFields& a = app.analysis;
    a.PollsSinceRefresh = 0;
    if (!a.On) return false;
    bool drew = false;
    std::string line = a.Idle;
    bool withFigures = false;
    if (a.Analysed && a.Engine) {
        const auto candidates = static_cast<std::size_t>(app.settings.Values.candidates);
        const engine::Snapshot snap = a.Engine->snapshot(candidates);
        drew = paintMarks(app, marksFor(snap, candidates, a.StepsShown, app.board.Topology->cellCount()));
        withFigures = snap.playouts > 0 || snap.provenWinner.has_value();
        line = withFigures || !a.LineHasFigures ? analysisLine(snap, *app.board.Topology) : a.LineShown;
        withFigures = withFigures || a.LineHasFigures;
    }
    if (redrawLine || line != a.LineShown) {
        drawAnalysisLine(app, line, withFigures);
        drew = true;
    }
    return drew;
}

// The engine thinks alone on `position` within ThinkLimits, a sign in the
// panel meanwhile; Escape ends the thought early, as soon as there is a move
// to play. Nothing when the window was closed meanwhile.
std::optional<engine::Move> thinkAlone(App& app, const havannah::Position& position) {
    Platform& p = app.platform;
    engine::Engine& engine = engineOf(app);
    engine.start(position, app.analysis.ThinkLimits);
    app.analysis.Analysed.reset();
    drawAnalysisLine(app, playerName(position.toMove()) + " to move: the engine is thinking...");
    p.present();
    bool hurried = false;
    for (;;) {
        p.sleepMs(10);
        if (p.windowSize().width == 0) {
            engine.stop();
            return std::nullopt;
        }
        hurried = hurried || p.pollKey() == app.shell.EscapeKey;
        const engine::Snapshot snap = engine.snapshot(1);
        if (!snap.running || (hurried && !snap.moves.empty())) break;
    }
    engine.stop();
    drawAnalysisLine(app, "");
    return engine.bestMove();
}

}  // namespace

void showNote(App& app, const std::string& text) {
    drawAnalysisLine(app, text);
    app.analysis.NoteAt = {app.game.CurrentMove, app.game.Moves.revision()};
}

void toggleAnalysis(App& app) {
    if (app.analysis.On) {
        endAnalysis(app);
        return;
    }
    app.analysis.On = true;
    followShownPosition(app);
}

void toggleVariationSteps(App& app) {
    app.analysis.StepsShown = !app.analysis.StepsShown;
    showFindings(app, false);
}

void playEngineMove(App& app) {
    const game::GameFields& g = app.game;
    if (g.CurrentMove >= game::MaxMoveSlots) return;
    const GamePosition shown = shownGamePosition(app);
    if (!shown.position) {
        showNote(app, shown.whyNot + ": no move to play");
        return;
    }
    const havannah::Position& position = *shown.position;
    std::optional<engine::Move> move;
    if (app.analysis.On && app.analysis.Analysed) move = engineOf(app).bestMove();
    if (!move) move = thinkAlone(app, position);
    if (!move || app.platform.windowSize().width == 0) return;
    if (*move == engine::kSwapMove) {
        if (position.canSwap()) game::swapMove(gameOf(app));
    } else {
        game::recordMove(gameOf(app), *move);
    }
}

void addEngineLine(App& app) {
    AnalysisFields& a = app.analysis;
    if (!a.On || !a.Analysed || !a.Engine) {
        showNote(app, "B adds the engine's best line while the analysis runs (A)");
        return;
    }
    const havannah::Topology& topology = *app.board.Topology;
    std::vector<record::Move> line;
    for (const engine::Move move : a.Engine->snapshot(1).pv()) {
        if (move == engine::kSwapMove) {
            line.push_back(record::Move::swap());
        } else if (move >= 0 && move < topology.cellCount()) {
            line.push_back(record::Move::at(topology.name(move)));
        }
    }
    game::addVariation(gameOf(app), line);
}

bool analysisRefreshDue(App& app) {
    AnalysisFields& a = app.analysis;
    return a.On && ++a.PollsSinceRefresh >= kRefreshPolls;
}

bool refreshAnalysis(App& app) { return showFindings(app, false); }

bool followShownPosition(App& app) {
    AnalysisFields& a = app.analysis;
    if (!a.On) {
        // A note stays until the position shown changes.
        const bool noteStale = a.NoteAt && *a.NoteAt != std::pair{app.game.CurrentMove, app.game.Moves.revision()};
        if (!noteStale) return false;
        a.NoteAt.reset();
        if (app.shell.ActiveTab == MainTab) drawAnalysisLine(app, "");
        return true;
    }
    if (app.shell.ActiveTab != MainTab) {
        endAnalysis(app);
        return false;
    }
    const GamePosition shown = shownGamePosition(app);
    const std::optional<havannah::Position>& position = shown.position;
    const bool moved = position ? !a.Analysed || !samePosition(*position, *a.Analysed) : a.Analysed.has_value();
    if (moved) {
        // The old marks go before the new position's appear, and the new
        // board is shown before the engine is restarted on it, so a step
        // shows as soon as it would without analysis.
        eraseMarks(app);
        app.platform.present();
        if (position) {
            engineOf(app).start(*position, a.SearchLimits);
        } else if (a.Engine) {
            a.Engine->stop();
        }
        a.Analysed = position;
    }
    a.Idle = position ? std::string() : shown.whyNot + ": nothing to analyse";
    return showFindings(app, true);
}

void endAnalysis(App& app) {
    AnalysisFields& a = app.analysis;
    if (a.Engine) a.Engine->stop();
    a.On = false;
    a.Analysed.reset();
    a.NoteAt.reset();
    if (app.shell.ActiveTab == MainTab && app.platform.windowSize().width != 0) {
        eraseMarks(app);
        if (!a.LineShown.empty()) drawAnalysisLine(app, "");
    } else {
        // Another page covers the board, which is drawn anew when the Main
        // page comes back: the marks are only forgotten.
        for (board::CellPaint& cell : app.board.Painted) cell.mark = board::CellMark{};
    }
    a.LineShown.clear();
}

}  // namespace tarnwick
