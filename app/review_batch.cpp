// The review of game files from the command line: plain files and plain
// terminal output, no window.
#include "app/review_batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>

#include "acquire/acquire.h"
#include "app/review_record.h"
#include "engine/review.h"
#include "game/variations.h"
#include "havannah/position.h"
#include "platform/platform.h"
#include "record/text.h"

namespace tarnwick {
namespace {

// What writing the reviewed record gave: its path, or why it failed.
struct Outcome {
    std::string text;
    std::string problem;  // empty when it went well
};

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes `text` as folder/stem.sgf, or stem-2.sgf, stem-3.sgf, ... when the
// name is taken: the text goes to a temporary file first; then the first
// free name is taken by an exclusive create (O_EXCL), which no other file
// can hold, and the temporary file renamed over that empty placeholder. No
// file that was there is ever overwritten, and the target holds a whole
// file or none. The path written, or (text) why not.
Outcome writeNewFile(const std::string& folder, const std::string& stem, std::string_view text) {
    Outcome result;
    std::string temporary = folder + "/.tarnwick-review-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        result.problem = "cannot write in " + folder + ": " + std::strerror(errno);
        return result;
    }
    ::fchmod(fd, 0644);
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        ::unlink(temporary.c_str());
        result.problem = "cannot write in " + folder + ": " + std::strerror(written ? errno : writeError);
        return result;
    }
    constexpr int kMaxSuffix = 999;
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const std::string target = folder + "/" + stem + (n == 1 ? "" : "-" + std::to_string(n)) + ".sgf";
        const int placeholder = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (placeholder < 0 && errno == EEXIST) continue;
        if (placeholder < 0 || ::close(placeholder) != 0 || ::rename(temporary.c_str(), target.c_str()) != 0) {
            const int error = errno;
            if (placeholder >= 0) ::unlink(target.c_str());
            ::unlink(temporary.c_str());
            result.problem = "cannot write " + target + ": " + std::strerror(error);
            return result;
        }
        result.text = target;
        return result;
    }
    ::unlink(temporary.c_str());
    result.problem = "every name from " + stem + ".sgf to " + stem + "-" + std::to_string(kMaxSuffix) + ".sgf is taken in " + folder;
    return result;
}

// The game of a file as the viewer opens it: a record (the first of
// several), or a move list of base 8 or 10.
struct FileGame {
    std::optional<acquire::GameValues> game;
    std::string problem;
};
FileGame readGame(const std::string& path, const std::string& text) {
    FileGame result;
    const record::ReadResult read = record::readRecords(text);
    const std::optional<std::string> record = acquire::recordInText(text);
    if (read.error && record) {
        result.problem = "\"" + path + "\" line " + std::to_string(read.error->line) + ", column " +
                         std::to_string(read.error->column) + ": " + read.error->reason;
        return result;
    }
    const std::string name = path.substr(path.find_last_of('/') + 1);
    result.game = record ? acquire::readRecord(*record) : acquire::readMoveList(text, 8, name);
    if (!result.game) result.problem = acquire::notAGameProblem(path);
    return result;
}

std::string percentText(double rate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", rate * 100);
    return text;
}

// "game.sgf  [#####...............]  23/61 positions", in place.
void showProgress(std::FILE* err, const std::string& name, int done, int total) {
    constexpr int kWidth = 20;
    const int filled = total > 0 ? done * kWidth / total : 0;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '.');
    std::fprintf(err, "\r%s  [%s]  %d/%d positions", name.c_str(), bar.c_str(), done, total);
    std::fflush(err);
}

// Reviews one file; its problem, or empty when it was reviewed and written.
std::string reviewFile(const ReviewBatch& batch, const engine::ReviewSettings& settings, const std::string& path,
                       std::FILE* out, std::FILE* err, bool progress) {
    // Read as the viewer reads a game file.
    const FileText file = readRegularFile(path, acquire::kMaxGameFileBytes);
    if (!file.ok) return "cannot open \"" + path + "\": " + file.problem;
    FileGame read = readGame(path, file.text);
    if (!read.game) return read.problem;
    acquire::GameValues& game = *read.game;

    const auto topology = std::make_shared<const havannah::Topology>(game.base);
    const std::vector<record::NodeId> line = game::lineThrough(game.tree, game.tree.root());
    engine::Review review(settings);
    review.start(havannah::Position(topology), reviewMoves(game.tree, line, *topology));
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (progress) {
        int shown = -1;
        for (engine::ReviewResult now = review.snapshot(); now.running; now = review.snapshot()) {
            if (now.done() != shown) showProgress(err, name, now.done(), now.total);
            shown = now.done();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    review.wait();
    const engine::ReviewResult result = review.snapshot();
    if (progress) {
        showProgress(err, name, result.done(), result.total);
        std::fputc('\n', err);
    }
    if (result.refused) std::fprintf(err, "tarnwick: \"%s\": %s; reviewed up to it\n", path.c_str(), result.refused->text.c_str());

    storeReview(game.tree, line, result, *topology);
    const ReviewTarget target = reviewTargetFor(path, batch.outputFolder);
    const Outcome saved = writeNewFile(target.folder, target.stem, record::writeRecord(game.tree) + "\n");
    if (!saved.problem.empty()) return "\"" + path + "\" reviewed but not written: " + saved.problem;

    for (const engine::MoveReview& move : result.moves) {
        const std::string best = move.best ? engine::moveName(*topology, *move.best) : "-";
        const std::string_view judgement = engine::describe(move.judgement);
        std::fprintf(out, "%s\t%d\t%s\t%s\t%s\t%s\t%s\t%s\n", path.c_str(), move.number,
                     move.mover == havannah::Player::Black ? "Black" : "White",
                     engine::moveName(*topology, move.played).c_str(), percentText(move.blackWinRate).c_str(),
                     best.c_str(), percentText(move.loss).c_str(),
                     judgement.empty() ? "-" : std::string(judgement).c_str());
    }
    std::fflush(out);
    return {};
}

}  // namespace

ReviewTarget reviewTargetFor(const std::string& file, const std::string& outputFolder) {
    const std::size_t slash = file.find_last_of('/');
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    // A leading dot starts a hidden file's name, not its extension.
    if (const std::size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    std::string folder = outputFolder;
    if (folder.empty()) folder = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
    return {folder, name + ".reviewed"};
}

int runReviewBatch(const ReviewBatch& batch, std::FILE* out, std::FILE* err) {
    engine::ReviewSettings settings;
    settings.budget = batch.budget;
    if (settings.budget.playouts == 0 && settings.budget.time.count() <= 0) settings.budget.time = std::chrono::seconds(1);
    settings.threads = batch.threads > 0 ? batch.threads : engine::defaultThreads();
    const bool progress = ::isatty(::fileno(err)) == 1;

    std::fputs(kReviewTableHeader, out);
    std::fflush(out);
    int status = 0;
    for (const std::string& path : batch.files) {
        if (const std::string problem = reviewFile(batch, settings, path, out, err, progress); !problem.empty()) {
            std::fprintf(err, "tarnwick: %s\n", problem.c_str());
            status = 1;
        }
    }
    return status;
}

}  // namespace tarnwick
