// A whole-game review kept in the record and read back, and the review of
// files from the command line.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "acquire/acquire.h"
#include "app/review_batch.h"
#include "app/review_record.h"
#include "game/variations.h"
#include "record/text.h"
#include "temp_folder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using engine::kSwapMove;

const fs::path kRecords = TARNWICK_RECORDS_DIR;

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

record::Tree treeOf(std::string_view text) {
    record::ReadResult read = record::readRecords(text);
    EXPECT_FALSE(read.error) << text;
    return read.trees.empty() ? record::Tree() : std::move(read.trees.front());
}

std::vector<record::NodeId> mainLineOf(const record::Tree& tree) { return game::lineThrough(tree, tree.root()); }

// One thread, a fixed seed, a small budget, every position searched alone:
// the same review on every run.
engine::ReviewResult reviewOf(const record::Tree& tree, const havannah::Topology& topology) {
    engine::ReviewSettings settings;
    settings.budget.playouts = 300;
    settings.threads = 1;
    settings.seed = 7;
    settings.independent = true;
    settings.treeBytes = 64u << 20;
    engine::Review review(settings);
    review.start(havannah::Position(topology.base()), reviewMoves(tree, mainLineOf(tree), topology));
    review.wait();
    return review.snapshot();
}

void expectSameReview(const engine::ReviewResult& loaded, const engine::ReviewResult& made) {
    EXPECT_EQ(loaded.version, made.version);
    EXPECT_EQ(loaded.budget, made.budget);
    EXPECT_EQ(loaded.start, made.start);
    EXPECT_EQ(loaded.line, made.line);
    EXPECT_EQ(loaded.total, made.total);
    EXPECT_EQ(loaded.refused, made.refused);
    EXPECT_EQ(loaded.wonAt, made.wonAt);
    EXPECT_FALSE(loaded.running);
    // Rates are stored in their shortest exact form: everything reads back
    // as it was, and every move is judged as before.
    EXPECT_EQ(loaded.positions, made.positions);
    EXPECT_EQ(loaded.moves, made.moves);
}

TEST(ReviewRecordTest, StoredReviewsReadBackWholeAndStoringAgainChangesNothing) {
    const struct {
        const char* file;
        std::string_view commented;  // a move given a comment of the user's
        int moves;                   // reviewed: the resignation is no move
    } cases[] = {
        {"1025753.sgf", ";B[L8]", 12},  // with the swap
        {"1012483.sgf", ";B[J11]", 6},  // ending in a resignation
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::string text = fileText(kRecords / c.file);
        const std::string comment = "C[a plan: \\] first\nthen the edge]";
        text.insert(text.find(c.commented) + c.commented.size(), comment);
        const std::optional<acquire::GameValues> game = acquire::readRecord(text);
        ASSERT_TRUE(game);
        record::Tree tree = game->tree;
        const havannah::Topology topology(game->base);
        EXPECT_FALSE(loadReview(tree, mainLineOf(tree), topology)) << "nothing stored yet";

        const engine::ReviewResult made = reviewOf(tree, topology);
        ASSERT_TRUE(made.finished());
        ASSERT_EQ(static_cast<int>(made.moves.size()), c.moves);
        storeReview(tree, mainLineOf(tree), made, topology);
        const std::string written = record::writeRecord(tree);

        const record::Tree read = treeOf(written);
        EXPECT_TRUE(read == tree) << "the writer's text reads back as the same tree";
        const std::optional<engine::ReviewResult> loaded = loadReview(read, mainLineOf(read), topology);
        ASSERT_TRUE(loaded);
        expectSameReview(*loaded, made);

        // The user's comment stays, with the review line on a line of its own.
        const record::NodeId commented = mainLineOf(read)[4];
        const std::string kept = record::unescape(read.values(commented, "C")->front());
        EXPECT_TRUE(kept.starts_with("a plan: ] first\nthen the edge\nReview: Black ")) << kept;
        EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 2);

        // Stored again, on the tree or on the one read back: the same text.
        record::Tree again = read;
        storeReview(tree, mainLineOf(tree), made, topology);
        storeReview(again, mainLineOf(again), *loaded, topology);
        EXPECT_EQ(record::writeRecord(tree), written);
        EXPECT_EQ(record::writeRecord(again), written);

        // A shorter review replaces a longer one: the later moves lose its
        // properties and review lines, the user's comment stays.
        engine::ReviewResult part = made;
        part.positions.resize(3);
        part.moves.resize(2);
        storeReview(again, mainLineOf(again), part, topology);
        const std::optional<engine::ReviewResult> shorter = loadReview(again, mainLineOf(again), topology);
        ASSERT_TRUE(shorter);
        expectSameReview(*shorter, part);
        const std::string shortened = record::writeRecord(again);
        std::size_t reviewLines = 0;
        for (std::size_t at = shortened.find("Review: Black "); at != std::string::npos;
             at = shortened.find("Review: Black ", at + 1))
            ++reviewLines;
        EXPECT_EQ(reviewLines, 2u);
        EXPECT_EQ(record::unescape(again.values(commented, "C")->front()), "a plan: ] first\nthen the edge");
        EXPECT_FALSE(again.values(mainLineOf(again)[3], "TRP"));
    }
}

TEST(ReviewRecordTest, AnotherVersionOrAnUnreadablePositionStopsTheReading) {
    const std::optional<acquire::GameValues> game = acquire::readRecord(fileText(kRecords / "1025753.sgf"));
    ASSERT_TRUE(game);
    const havannah::Topology topology(game->base);
    record::Tree tree = game->tree;
    const engine::ReviewResult made = reviewOf(tree, topology);
    storeReview(tree, mainLineOf(tree), made, topology);
    const std::string stored = record::writeRecord(tree);

    const struct {
        std::string_view from, to;
        std::optional<int> positions;  // read back; none: no review
        std::optional<std::string> version;
    } cases[] = {
        {"", "", 13, "tarnwick-review 2"},
        {"TRV[tarnwick-review 2]", "TRV[tarnwick-review 0]", std::nullopt, "tarnwick-review 0"},
        {"TRV[tarnwick-review 2]", "", std::nullopt, std::nullopt},
        // A position another program wrote badly ends the review there.
        {";B[L8]TRP[rate=", ";B[L8]TRP[rate=x", 4, "tarnwick-review 2"},
        {";B[L8]TRP[", ";B[L8]TRQ[", 4, "tarnwick-review 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.to));
        std::string text = stored;
        if (!c.from.empty()) {
            ASSERT_NE(text.find(c.from), std::string::npos);
            text.replace(text.find(c.from), c.from.size(), c.to);
        }
        const record::Tree read = treeOf(text);
        EXPECT_EQ(storedReviewVersion(read), c.version);
        const std::optional<engine::ReviewResult> loaded = loadReview(read, mainLineOf(read), topology);
        ASSERT_EQ(loaded.has_value(), c.positions.has_value());
        if (!loaded) continue;
        EXPECT_EQ(loaded->done(), *c.positions);
        EXPECT_EQ(loaded->moves.size(), static_cast<std::size_t>(*c.positions - 1));
        EXPECT_EQ(loaded->total, 13);
    }
}

TEST(ReviewRecordTest, CommentsAndOtherPropertiesKeepTheirTextAndPlace) {
    const havannah::Topology topology(8);
    const engine::Move e5 = *topology.parseCell("E5");
    const engine::Move f6 = *topology.parseCell("F6");
    engine::ReviewResult review;
    review.budget = "100 playouts a position";
    engine::PositionReview before;
    before.winRate = 0.5;
    before.best = e5;
    before.bestWinRate = 0.7;
    before.line = {e5, kSwapMove};
    before.playouts = 100;
    engine::PositionReview after;
    after.toMove = havannah::Player::White;
    after.winRate = 0.43;
    after.playouts = 100;
    review.positions = {before, after};
    review.moves = {engine::judgeMove(before, after, f6, topology.base())};
    review.moves[0].number = 1;
    ASSERT_EQ(review.moves[0].judgement, engine::Judgement::Mistake);
    EXPECT_EQ(reviewCommentLine(review, 1, topology), "Review: Black 57%. Mistake: lost 13%; E5 kept 70%.");

    const std::string trp = "TRP[rate=0.43 playouts=100]";
    const std::string line = "Review: Black 57%. Mistake: lost 13%; E5 kept 70%.";
    const struct {
        std::string node, stored;
    } cases[] = {
        {"W[F6]", "W[F6]" + trp + "C[" + line + "]"},
        {"W[F6]XX[a]C[note]YY[b][c]", "W[F6]XX[a]C[note\n" + line + "]YY[b][c]" + trp},
        {"W[F6]C[Review: Black 10%.\nnote \\] here]", "W[F6]C[" + line + "\nnote \\] here]" + trp},
        {"W[F6]C[note\nReview: Black 10%.\nReview: Black 11%.]", "W[F6]C[note\n" + line + "]" + trp},
        {"W[F6]TRP[old]C[]", "W[F6]" + trp + "C[" + line + "]"},
    };
    for (const auto& c : cases) {
        record::Tree tree = treeOf("(;SZ[8]C[Review: Black as I saw it];" + c.node + ")");
        storeReview(tree, mainLineOf(tree), review, topology);
        EXPECT_EQ(tree.propertyText(mainLineOf(tree)[1]), c.stored) << c.node;
        EXPECT_EQ(tree.propertyText(tree.root()),
                  "SZ[8]C[Review: Black as I saw it]TRV[tarnwick-review 2]TRB[100 playouts a position]TRP[rate=0.5 best=E5 bestrate=0.7 "
                  "line=E5,swap playouts=100]");
    }
}

// --- tarnwick --review ---

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string streamText(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    return text;
}

class ReviewBatchTest : public ::testing::Test {
  protected:
    struct Run {
        int status;
        std::string out, err;
    };
    Run run(const ReviewBatch& batch) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const int status = runReviewBatch(batch, out, err);
        Run result{status, streamText(out), streamText(err)};
        std::fclose(out);
        std::fclose(err);
        return result;
    }

    testing::TempFolder temp_{"review-batch"};
    const fs::path folder_ = temp_.path();
};

TEST_F(ReviewBatchTest, ReviewsEveryFileItCanAndNamesTheOthers) {
    std::ofstream(folder_ / "list.txt") << "1.E5 2.swap 3.D4\n";
    ReviewBatch batch;
    batch.files = {(kRecords / "1025753.sgf").string(), (folder_ / "missing.sgf").string(),
                   (kRecords / "1012483.sgf").string(), (folder_ / "list.txt").string()};
    batch.budget.playouts = 200;
    batch.threads = 1;
    batch.outputFolder = (folder_ / "out").string();
    fs::create_directories(batch.outputFolder);

    const Run first = run(batch);
    EXPECT_EQ(first.status, 1);
    EXPECT_NE(first.err.find("missing.sgf"), std::string::npos) << first.err;
    EXPECT_EQ(first.err.find('\r'), std::string::npos) << "no progress line off a terminal";
    const std::vector<std::string> lines = linesOf(first.out);
    ASSERT_EQ(lines.size(), 1u + 12 + 6 + 3);
    EXPECT_EQ(lines[0] + "\n", kReviewTableHeader);
    for (const std::string& line : lines)
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 7) << line;
    EXPECT_TRUE(lines[1].starts_with(batch.files[0] + "\t1\tBlack\tL4\t")) << lines[1];
    EXPECT_TRUE(lines[2].starts_with(batch.files[0] + "\t2\tWhite\tswap\t")) << lines[2];
    EXPECT_TRUE(lines.back().starts_with(batch.files[3] + "\t3\tBlack\tD4\t")) << lines.back();

    const struct {
        const char* written;
        int positions;
    } outputs[] = {{"1025753.reviewed.sgf", 13}, {"1012483.reviewed.sgf", 7}, {"list.reviewed.sgf", 4}};
    for (const auto& o : outputs) {
        SCOPED_TRACE(o.written);
        const std::string text = fileText(folder_ / "out" / o.written);
        const std::optional<acquire::GameValues> game = acquire::readRecord(text);
        ASSERT_TRUE(game);
        const std::optional<engine::ReviewResult> loaded =
            loadReview(game->tree, mainLineOf(game->tree), havannah::Topology(game->base));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->done(), o.positions);
        EXPECT_TRUE(loaded->finished());
        EXPECT_EQ(loaded->budget, "200 playouts a position");
    }

    // Again: the files written before stay, the new ones take the next name.
    const std::string before = fileText(folder_ / "out" / "1025753.reviewed.sgf");
    batch.files = {(kRecords / "1025753.sgf").string()};
    const Run second = run(batch);
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(fileText(folder_ / "out" / "1025753.reviewed.sgf"), before);
    EXPECT_EQ(fileText(folder_ / "out" / "1025753.reviewed-2.sgf"), before) << "one thread and playouts repeat";

    // A folder that is not there: the file is named, nothing is left behind.
    batch.outputFolder = (folder_ / "nowhere").string();
    const Run third = run(batch);
    EXPECT_EQ(third.status, 1);
    EXPECT_NE(third.err.find("1025753.sgf"), std::string::npos) << third.err;
}

TEST(ReviewTargetTest, BesideTheFileOrInTheFolderGiven) {
    const struct {
        std::string file, output, folder, stem;
    } cases[] = {
        {"games/a/1009692.sgf", "", "games/a", "1009692.reviewed"},
        {"game", "", ".", "game.reviewed"},
        {"/g.sgf", "", "/", "g.reviewed"},
        {"x/my.game.hgf", "out", "out", "my.game.reviewed"},
        {".hidden", "", ".", ".hidden.reviewed"},
    };
    for (const auto& c : cases) {
        const ReviewTarget target = reviewTargetFor(c.file, c.output);
        EXPECT_EQ(target.folder, c.folder) << c.file;
        EXPECT_EQ(target.stem, c.stem) << c.file;
    }
}

}  // namespace
}  // namespace tarnwick
