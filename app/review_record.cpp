#include "app/review_record.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <span>
#include <string_view>

#include "havannah/position.h"
#include "record/moves.h"

namespace tarnwick {
namespace {

using engine::Move;
using engine::PositionReview;
using havannah::Player;

// --- Rewriting a node's properties ---

// A property the program writes: its new raw value, or none to remove it.
struct Edit {
    std::string_view id;
    std::optional<std::string> value;
};

// The node's property text with the edits made: an edited property keeps its
// place (its later repeats are dropped), one not there yet goes at the end,
// every other property is copied as stored.
std::string editedText(const record::Tree& tree, record::NodeId node, std::span<const Edit> edits) {
    std::string text;
    std::vector<bool> written(edits.size(), false);
    const auto append = [&text](std::string_view id, std::string_view value) {
        text += id;
        text += '[';
        text += value;
        text += ']';
    };
    for (const record::Property& property : tree.properties(node)) {
        const auto edit = std::find_if(edits.begin(), edits.end(), [&](const Edit& e) { return e.id == property.id; });
        if (edit == edits.end()) {
            text += property.id;
            for (const std::string_view value : property.values) {
                text += '[';
                text += value;
                text += ']';
            }
            continue;
        }
        const auto index = static_cast<std::size_t>(edit - edits.begin());
        if (!written[index] && edit->value) append(edit->id, *edit->value);
        written[index] = true;
    }
    for (std::size_t i = 0; i < edits.size(); ++i)
        if (!written[i] && edits[i].value) append(edits[i].id, *edits[i].value);
    return text;
}

// The comment's raw value with its review line replaced by `reviewLine`
// (raw; none: removed) where it stood, or added as its last line. None when
// nothing is left of it. The user's lines are kept byte for byte.
std::optional<std::string> editedComment(std::string_view raw, const std::optional<std::string>& reviewLine) {
    std::vector<std::string_view> lines;
    bool placed = false;
    for (std::size_t from = 0;;) {
        const std::size_t end = raw.find('\n', from);
        const std::string_view line = raw.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
        if (!line.starts_with(kReviewCommentStart)) {
            lines.push_back(line);
        } else if (!placed && reviewLine) {
            lines.push_back(*reviewLine);
            placed = true;
        }
        if (end == std::string_view::npos) break;
        from = end + 1;
    }
    // An empty comment reads as one empty line.
    if (lines.size() == 1 && lines.front().empty()) lines.clear();
    if (!placed && reviewLine) lines.push_back(*reviewLine);
    if (lines.empty()) return std::nullopt;
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

// Rewrites the node: the program's properties, and on a move node its
// review line in C (left alone when there was none and none is to be
// written). The root's comment is the user's alone.
void rewriteNode(record::Tree& tree, record::NodeId node, std::vector<Edit> edits,
                 const std::optional<std::string>& reviewLine) {
    if (node == tree.root()) {
        tree.setPropertyText(node, editedText(tree, node, edits));
        return;
    }
    const auto comment = tree.values(node, "C");
    const std::string_view raw = comment && !comment->empty() ? comment->front() : std::string_view{};
    const bool hadReviewLine = raw.starts_with(kReviewCommentStart) ||
                               raw.find("\n" + std::string(kReviewCommentStart)) != std::string_view::npos;
    if (reviewLine || hadReviewLine) {
        std::optional<std::string> value = editedComment(raw, reviewLine ? std::optional(record::escape(*reviewLine)) : std::nullopt);
        // A comment with several values keeps the others.
        if (value && comment && comment->size() > 1)
            for (std::size_t i = 1; i < comment->size(); ++i) *value += "][" + std::string((*comment)[i]);
        edits.push_back({"C", std::move(value)});
    }
    tree.setPropertyText(node, editedText(tree, node, edits));
}

// --- A position's search as text ---

std::string rateText(double rate) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, rate);
    return std::string(buffer, result.ptr);
}

std::optional<double> parseRate(std::string_view text) {
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size() || !(value >= 0 && value <= 1))
        return std::nullopt;
    return value;
}

std::string movesText(const std::vector<Move>& moves, const havannah::Topology& topology) {
    std::string text;
    for (const Move move : moves) {
        if (!text.empty()) text += ',';
        text += engine::moveName(topology, move);
    }
    return text;
}

std::optional<Move> parseMove(std::string_view text, const havannah::Topology& topology) {
    if (text == "swap") return engine::kSwapMove;
    if (const auto cell = topology.parseCell(text)) return *cell;
    return std::nullopt;
}

std::optional<std::vector<Move>> parseMoves(std::string_view text, const havannah::Topology& topology) {
    std::vector<Move> moves;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t end = std::min(text.find(',', from), text.size());
        const auto move = parseMove(text.substr(from, end - from), topology);
        if (!move) return std::nullopt;
        moves.push_back(*move);
        from = end + 1;
    }
    return moves;
}

std::string_view playerWord(Player player) { return player == Player::Black ? "black" : "white"; }

std::string positionText(const PositionReview& position, const havannah::Topology& topology) {
    std::string text = "rate=" + rateText(position.winRate);
    if (position.winner) text += " winner=" + std::string(playerWord(*position.winner));
    if (position.wonOnBoard) text += " board=1";
    if (position.best) {
        text += " best=" + engine::moveName(topology, *position.best);
        text += " bestrate=" + rateText(position.bestWinRate);
    }
    if (!position.line.empty()) text += " line=" + movesText(position.line, topology);
    if (!position.winningMoves.empty()) text += " wins=" + movesText(position.winningMoves, topology);
    if (position.nextWinRate) {
        text += " next=" + rateText(*position.nextWinRate);
        text += " nextvisits=" + std::to_string(position.nextVisits);
    }
    text += " playouts=" + std::to_string(position.playouts);
    return text;
}

// Position `index`'s search from its text; none when the text is not one
// (a key the program does not write is passed over).
std::optional<PositionReview> parsePosition(std::string_view text, int index, const havannah::Topology& topology) {
    PositionReview position;
    position.toMove = record::playerOfMove(index + 1);
    bool hasRate = false;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = std::min(text.find(' ', from), text.size());
        const std::string_view pair = text.substr(from, end - from);
        from = end + 1;
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        const std::string_view key = pair.substr(0, equals);
        const std::string_view value = pair.substr(equals + 1);
        if (key == "rate" || key == "bestrate" || key == "next") {
            const auto rate = parseRate(value);
            if (!rate) return std::nullopt;
            if (key == "next")
                position.nextWinRate = *rate;
            else
                (key == "rate" ? position.winRate : position.bestWinRate) = *rate;
            hasRate = hasRate || key == "rate";
        } else if (key == "winner") {
            if (value != "black" && value != "white") return std::nullopt;
            position.winner = value == "black" ? Player::Black : Player::White;
        } else if (key == "board") {
            position.wonOnBoard = value == "1";
        } else if (key == "best") {
            position.best = parseMove(value, topology);
            if (!position.best) return std::nullopt;
        } else if (key == "line" || key == "wins") {
            auto moves = parseMoves(value, topology);
            if (!moves) return std::nullopt;
            (key == "line" ? position.line : position.winningMoves) = std::move(*moves);
        } else if (key == "playouts" || key == "nextvisits") {
            std::uint64_t& count = key == "playouts" ? position.playouts : position.nextVisits;
            const auto result = std::from_chars(value.data(), value.data() + value.size(), count);
            if (result.ec != std::errc{} || result.ptr != value.data() + value.size()) return std::nullopt;
        }
    }
    if (!hasRate) return std::nullopt;
    return position;
}

std::optional<std::string> rootValue(const record::Tree& tree, std::string_view property) {
    const auto values = tree.values(tree.root(), property);
    if (!values || values->empty()) return std::nullopt;
    return record::unescape(values->front());
}

int percent(double rate) { return static_cast<int>(std::lround(rate * 100)); }

}  // namespace

std::vector<Move> reviewMoves(const record::Tree& tree, const std::vector<record::NodeId>& line,
                              const havannah::Topology& topology) {
    std::vector<Move> moves;
    for (std::size_t k = 1; k < line.size(); ++k) {
        const auto nodeMove = record::moveOf(tree, line[k]);
        if (!nodeMove || !nodeMove->move) break;
        const record::Move& move = *nodeMove->move;
        if (move.kind == record::Move::Kind::Swap) {
            moves.push_back(engine::kSwapMove);
        } else if (move.kind == record::Move::Kind::Cell) {
            const auto cell = topology.parseCell(move.cell);
            if (!cell) break;
            moves.push_back(*cell);
        } else {
            break;
        }
    }
    return moves;
}

std::string reviewCommentLine(const engine::ReviewResult& review, int k, const havannah::Topology& topology) {
    const PositionReview& after = review.positions.at(static_cast<std::size_t>(k));
    const double black = after.toMove == Player::Black ? after.winRate : 1 - after.winRate;
    std::string text = std::string(kReviewCommentStart) + std::to_string(percent(black)) + "%.";
    const auto move = std::find_if(review.moves.begin(), review.moves.end(),
                                   [k](const engine::MoveReview& m) { return m.number == k; });
    if (move == review.moves.end() || move->judgement == engine::Judgement::None) return text;
    std::string judgement(engine::describe(move->judgement));
    judgement.front() = static_cast<char>(judgement.front() - 'a' + 'A');
    text += " " + judgement + ": lost " + std::to_string(percent(move->loss)) + "%";
    if (move->best && move->best != move->played)
        text += "; " + engine::moveName(topology, *move->best) + " kept " + std::to_string(percent(move->bestWinRate)) + "%";
    return text + ".";
}

void storeReview(record::Tree& tree, const std::vector<record::NodeId>& line, const engine::ReviewResult& review,
                 const havannah::Topology& topology) {
    const auto positionValue = [&](std::size_t k) -> std::optional<std::string> {
        if (k >= review.positions.size()) return std::nullopt;
        return record::escape(positionText(review.positions[k], topology));
    };
    for (std::size_t k = 0; k < line.size(); ++k) {
        std::vector<Edit> edits;
        if (k == 0) {
            edits.push_back({kReviewVersionProperty, record::escape(review.version)});
            edits.push_back({kReviewBudgetProperty, record::escape(review.budget)});
        }
        edits.push_back({kReviewPositionProperty, positionValue(k)});
        std::optional<std::string> comment;
        if (k > 0 && k < review.positions.size()) comment = reviewCommentLine(review, static_cast<int>(k), topology);
        rewriteNode(tree, line[k], std::move(edits), comment);
    }
}

std::optional<std::string> storedReviewVersion(const record::Tree& tree) {
    return rootValue(tree, kReviewVersionProperty);
}

std::optional<engine::ReviewResult> loadReview(const record::Tree& tree, const std::vector<record::NodeId>& line,
                                               const havannah::Topology& topology) {
    if (line.empty() || storedReviewVersion(tree) != std::string(engine::kReviewVersion)) return std::nullopt;
    const std::vector<Move> moves = reviewMoves(tree, line, topology);
    engine::ReviewResult result = engine::reviewOutline(havannah::Position(topology.base()), moves);
    result.budget = rootValue(tree, kReviewBudgetProperty).value_or("");
    for (std::size_t k = 0; k < line.size() && static_cast<int>(k) < result.total; ++k) {
        const auto values = tree.values(line[k], kReviewPositionProperty);
        if (!values || values->empty()) break;
        auto position = parsePosition(record::unescape(values->front()), static_cast<int>(k), topology);
        if (!position) break;
        result.positions.push_back(std::move(*position));
    }
    for (std::size_t k = 1; k < result.positions.size(); ++k) {
        engine::MoveReview move = engine::judgeMove(result.positions[k - 1], result.positions[k], moves[k - 1], topology.base());
        move.number = static_cast<int>(k);
        result.moves.push_back(move);
    }
    return result;
}

}  // namespace tarnwick
