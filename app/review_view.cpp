// The whole-game review in the viewer. The review searches on threads of
// its own; this, on the logic thread, starts and stops it, takes its
// results about five times a second and shows them: a mark on each judged
// move in the list, the progress and then each player's summary on the
// panel line, and at the position before a judged move the engine's better
// move as a disc on its cell.
#include "app/review_view.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "app/analysis.h"
#include "app/context.h"
#include "app/explorer.h"
#include "app/review_record.h"
#include "board/layout.h"
#include "game/navigation.h"
#include "game/variations.h"
#include "record/moves.h"

namespace tarnwick {
namespace {

using havannah::Player;

// The main loop waits in 10 ms polls: twenty make the refresh interval.
constexpr int kRefreshPolls = 20;
// N and Shift+N stop at moves judged at least this badly.
constexpr int kJumpLevel = 2;  // a mistake

int levelOf(engine::Judgement judgement) { return static_cast<int>(judgement); }

int percentOf(double rate) { return static_cast<int>(std::lround(std::clamp(rate, 0.0, 1.0) * 100)); }

// The moves of the line shown as the engine plays them, up to a
// resignation or a move that is none; and the nodes they stand on.
struct EngineLine {
    std::vector<engine::Move> moves;
    std::vector<record::NodeId> nodes;  // the root first
};

EngineLine engineLineOf(const game::GameFields& g, const havannah::Topology& topology) {
    EngineLine line{{}, {record::kRoot}};
    for (std::size_t k = 1; k < g.Line.size(); ++k) {
        const auto move = record::moveOf(g.Tree, g.Line[k]);
        if (!move || !move->move || move->move->kind == record::Move::Kind::Resign) break;
        if (move->move->kind == record::Move::Kind::Swap) {
            line.moves.push_back(engine::kSwapMove);
        } else if (const auto cell = topology.parseCell(move->move->cell)) {
            line.moves.push_back(*cell);
        } else {
            break;
        }
        line.nodes.push_back(g.Line[k]);
    }
    return line;
}

// "1 blunder, 2 mistakes", or "no mistakes"; inaccuracies only when asked.
std::string countsText(const engine::JudgementCounts& c, bool inaccuracies) {
    std::string text;
    const auto add = [&text](int n, const char* one, const char* many) {
        if (n == 0) return;
        if (!text.empty()) text += ", ";
        text += std::to_string(n) + " " + (n == 1 ? one : many);
    };
    add(c.decisive, "decisive move", "decisive moves");
    add(c.blunders, "blunder", "blunders");
    add(c.mistakes, "mistake", "mistakes");
    if (inaccuracies) add(c.inaccuracies, "inaccuracy", "inaccuracies");
    return text.empty() ? "no mistakes" : text;
}

// Each player's judged moves; the inaccuracies are left out when the whole
// does not fit the line (the list still marks them).
std::string summaryLine(App& app, const engine::ReviewResult& r) {
    std::string line;
    for (const bool inaccuracies : {true, false}) {
        line = "Black: " + countsText(r.summary(Player::Black), inaccuracies) + "; White: " +
               countsText(r.summary(Player::White), inaccuracies);
        // A review read from a record may come from another budget.
        if (r.budget != engine::describeBudget(app.review.Settings.budget)) line += " (at " + r.budget + ")";
        if (fitsAnalysisLine(app, line)) break;
    }
    return line;
}

std::string progressLine(const engine::ReviewResult& r) {
    const int moves = std::max(1, r.total - 1);
    return "Reviewing: move " + std::to_string(std::clamp(r.done(), 1, moves)) + " of " + std::to_string(moves);
}

// The judged move k of the line shown, when the line shown is the one reviewed up to it.
const engine::MoveReview* judgedMove(const App& app, int k) {
    const ReviewFields& r = app.review;
    if (!r.Result || k < 1) return nullptr;
    const auto& moves = r.Result->moves;
    const auto at = static_cast<std::size_t>(k);
    if (at > moves.size() || at >= r.Line.size() || at >= app.game.Line.size()) return nullptr;
    if (r.Line[at] != app.game.Line[at] || app.game.LineRevision != app.game.Moves.revision()) return nullptr;
    return &moves[at - 1];
}

// Brings the list's marks to the results: each newly judged move's entry
// is drawn again.
void markJudgedMoves(App& app) {
    ReviewFields& r = app.review;
    game::GameFields& g = app.game;
    for (const engine::MoveReview& move : r.Result->moves) {
        const auto at = static_cast<std::size_t>(move.number);
        if (at >= r.Line.size()) break;
        const int level = levelOf(move.judgement);
        const record::NodeId node = r.Line[at];
        const auto known = g.Judged.find(node);
        if ((known == g.Judged.end() ? 0 : known->second) == level) continue;
        if (level == 0) {
            g.Judged.erase(node);
        } else {
            g.Judged[node] = level;
        }
        if (app.shell.ActiveTab == MainTab && at < g.Line.size() && g.Line[at] == node) {
            game::redrawListEntry(gameOf(app), move.number);
        }
    }
}

// The line the panel shows for the review where the board stands: the
// better move before a judged move, the progress, or the summary.
std::string reviewLine(App& app) {
    const engine::ReviewResult& result = *app.review.Result;
    if (const engine::MoveReview* next = judgedMove(app, app.game.CurrentMove + 1);
        next != nullptr && next->judgement != engine::Judgement::None && next->best) {
        const havannah::Topology& t = *app.board.Topology;
        return "move " + std::to_string(next->number) + " (" + engine::moveName(t, next->played) + ") lost " +
               std::to_string(percentOf(next->loss)) + "%; " + engine::moveName(t, *next->best) + " kept " +
               std::to_string(percentOf(next->bestWinRate)) + "%";
    }
    return app.review.Running ? progressLine(result) : summaryLine(app, result);
}

// The better move's disc before a judged move; none elsewhere.
std::vector<board::CellMark> hintMarks(const App& app) {
    std::vector<board::CellMark> marks(static_cast<std::size_t>(app.board.Topology->cellCount()));
    const engine::MoveReview* next = judgedMove(app, app.game.CurrentMove + 1);
    if (next == nullptr || next->judgement == engine::Judgement::None || !next->best) return marks;
    if (*next->best >= 0 && *next->best < app.board.Topology->cellCount()) {
        board::CellMark& mark = marks[static_cast<std::size_t>(*next->best)];
        mark.rank = 1;
        mark.percent = percentOf(next->bestWinRate);
    }
    return marks;
}

// The win-rate graph under the move list: Black's win rate after each move
// of the line reviewed, 50 % marked, the move shown as an upright line,
// blunders and mistakes as coloured dots.
constexpr board::Area kGraphArea{652, 600, 1019, 736};  // what the graph paints
constexpr board::Area kPlot{660, 606, 1011, 730};         // where its curve runs

// Moves along the graph's width: the line reviewed (to a win on the board).
int graphMoves(const engine::ReviewResult& r) { return std::max(1, r.total - 1); }
int graphX(const engine::ReviewResult& r, int move) {
    return kPlot.x1 + (kPlot.x2 - kPlot.x1) * std::clamp(move, 0, graphMoves(r)) / graphMoves(r);
}
int graphY(double blackRate) {
    return kPlot.y2 - static_cast<int>(std::lround(std::clamp(blackRate, 0.0, 1.0) * (kPlot.y2 - kPlot.y1)));
}

void drawGraph(App& app) {
    Platform& p = app.platform;
    const engine::ReviewResult& r = *app.review.Result;
    const board::Area& a = kGraphArea;
    const board::Palette& c = app.board.Colours;
    p.drawBox(a.x1, a.y1, a.x2 + 1, a.y2 + 1, c.listGround, c.listGround);
    p.drawBox(654, a.y1, 1018, a.y2 + 1, c.graphFrame, c.listGround);
    // 50 %: a dotted line across.
    for (int x = kPlot.x1; x <= kPlot.x2; x += 4) {
        p.setPos(x, graphY(0.5));
        p.drawLine(x + 2, graphY(0.5), c.graphFrame);
    }
    // The curve, from the start (position 0, Black to move) on.
    if (!r.positions.empty()) {
        const engine::PositionReview& first = r.positions.front();
        const double start = first.toMove == Player::Black ? first.winRate : 1 - first.winRate;
        p.setPos(graphX(r, 0), graphY(start));
        for (const engine::MoveReview& move : r.moves) p.drawLine(graphX(r, move.number), graphY(move.blackWinRate), c.graphCurve);
    }
    const int shown = app.game.CurrentMove;
    if (shown <= graphMoves(r)) {
        p.setPos(graphX(r, shown), kPlot.y1);
        p.drawLine(graphX(r, shown), kPlot.y2 + 1, c.graphShownMove);
    }
    for (const engine::MoveReview& move : r.moves) {
        if (levelOf(move.judgement) < kJumpLevel) continue;
        // The mistake's and the blunder's colours of the move list.
        const std::array<Colour, 4>& judged = c.marks.judgements;
        const Colour dot = levelOf(move.judgement) == kJumpLevel ? judged[1] : judged[2];
        const int x = graphX(r, move.number);
        const int y = graphY(move.blackWinRate);
        p.drawBox(x - 2, y - 2, x + 3, y + 3, colours::kBlack, dot);
    }
}

// The list makes room for the graph while a review is shown, and has the
// whole column again without one.
void fitListAbove(App& app, int bottom) {
    if (app.list.Bottom == bottom) return;
    app.list.Bottom = bottom;
    if (app.shell.ActiveTab != MainTab) return;
    app.list.HighlightText.clear();
    game::rebuildMoveList(gameOf(app));
    game::highlightCurrentEntry(gameOf(app));
}

bool showGraph(App& app) {
    ReviewFields& r = app.review;
    if (!r.Result || app.shell.ActiveTab != MainTab) {
        r.GraphAt.reset();
        return false;
    }
    fitListAbove(app, kGraphArea.y1);
    const std::tuple<int, int, std::uint64_t> now{r.Result->done(), app.game.CurrentMove, app.game.Moves.revision()};
    if (r.GraphAt == now) return false;
    r.GraphAt = now;
    drawGraph(app);
    return true;
}

bool showReview(App& app) {
    const bool graphDrew = showGraph(app);
    if (!app.review.Result || app.analysis.On || app.shell.ActiveTab != MainTab) return graphDrew;
    bool drew = paintMarks(app, hintMarks(app)) || graphDrew;
    // A review that has ended leaves the line to the explorer.
    if (explorerHasLine(app)) return drew;
    const std::string line = reviewLine(app);
    if (line != app.analysis.LineShown) {
        drawAnalysisLine(app, line);
        drew = true;
    }
    return drew;
}

// The review's findings go into the record, on the nodes reviewed, so that
// they are saved with it (and kept at exit).
void keepInRecord(App& app) {
    ReviewFields& r = app.review;
    if (!r.Result || r.Result->done() == r.StoredPositions) return;
    storeReview(app.game.Tree, r.Line, *r.Result, *app.board.Topology);
    r.StoredPositions = r.Result->done();
    app.game.Unsaved = true;
}

}  // namespace

bool reviewRunning(const App& app) { return app.review.Running; }

void adoptStoredReview(App& app) {
    ReviewFields& r = app.review;
    const EngineLine line = engineLineOf(app.game, *app.board.Topology);
    std::optional<engine::ReviewResult> stored = loadReview(app.game.Tree, line.nodes, *app.board.Topology);
    if (!stored) {
        if (storedReviewVersion(app.game.Tree)) showNote(app, "Reviewed by an older engine: R reviews the game again");
        return;
    }
    r.Result = std::move(stored);
    r.Line = line.nodes;
    r.StoredPositions = r.Result->done();
    r.Running = false;
    markJudgedMoves(app);
    showReview(app);
}

void forgetReview(App& app) {
    ReviewFields& r = app.review;
    if (!r.Result) return;
    stopReview(app);
    r.Result.reset();
    r.Line.clear();
    r.GraphAt.reset();
    r.StoredPositions = -1;
    fitListAbove(app, game::kFrameBottom);
    if (!app.analysis.On && !app.analysis.LineShown.empty() && app.shell.ActiveTab == MainTab) drawAnalysisLine(app, "");
}

void toggleReview(App& app) {
    ReviewFields& r = app.review;
    if (stopReview(app)) {
        showReview(app);
        return;
    }
    // The analysis and the review share the processor: one at a time.
    if (app.analysis.On) endAnalysis(app);
    game::syncTree(app.game);
    EngineLine line = engineLineOf(app.game, *app.board.Topology);
    if (line.moves.empty()) {
        showNote(app, "No moves to review");
        return;
    }
    if (!r.Review) r.Review = std::make_unique<engine::Review>(r.Settings);
    // What was found on the same line before is kept, not searched again.
    engine::ReviewResult sofar = r.Result && r.Line == line.nodes ? *r.Result : engine::ReviewResult{};
    r.Line = std::move(line.nodes);
    r.Review->start(havannah::Position(app.board.Topology), std::move(line.moves), std::move(sofar));
    r.Result = r.Review->snapshot();
    r.StoredPositions = -1;
    r.Running = true;
    r.PollsSinceRefresh = 0;
    drawAnalysisLine(app, progressLine(*r.Result));
}

bool stopReview(App& app) {
    ReviewFields& r = app.review;
    if (!r.Running) return false;
    r.Review->stop();
    r.Result = r.Review->snapshot();
    r.Running = false;
    markJudgedMoves(app);
    keepInRecord(app);
    return true;
}

void goToJudgedMove(App& app, int direction) {
    const ReviewFields& r = app.review;
    if (!r.Result) return;
    const game::GameFields& g = app.game;
    // The position before the judged move: from move k - 1 the next is k.
    for (int k = g.CurrentMove + 1 + direction; k >= 1 && k <= g.moveCount(); k += direction) {
        const engine::MoveReview* move = judgedMove(app, k);
        if (move == nullptr || levelOf(move->judgement) < kJumpLevel) continue;
        game::clearPosition(gameOf(app));
        while (app.game.CurrentMove < k - 1) game::stepForward(gameOf(app));
        return;
    }
}

bool clickOnGraph(App& app, int x, int y) {
    const ReviewFields& r = app.review;
    if (!r.Result || !kGraphArea.holds(x, y)) return false;
    const int moves = graphMoves(*r.Result);
    const int move = static_cast<int>(std::lround(static_cast<double>(x - kPlot.x1) * moves / (kPlot.x2 - kPlot.x1)));
    const int target = std::clamp(move, 0, std::min(moves, app.game.moveCount()));
    game::clearPosition(gameOf(app));
    while (app.game.CurrentMove < target) {
        const int before = app.game.CurrentMove;
        game::stepForward(gameOf(app));
        if (app.game.CurrentMove == before) break;
    }
    return true;
}

bool reviewRefreshDue(App& app) {
    ReviewFields& r = app.review;
    return r.Running && ++r.PollsSinceRefresh >= kRefreshPolls;
}

bool refreshReview(App& app) {
    ReviewFields& r = app.review;
    r.PollsSinceRefresh = 0;
    if (!r.Running) return false;
    r.Result = r.Review->snapshot();
    r.Running = r.Result->running;
    markJudgedMoves(app);
    keepInRecord(app);
    return showReview(app) || app.shell.ActiveTab == MainTab;
}

bool followReview(App& app) { return showReview(app); }

}  // namespace tarnwick
