// `tarnwick --review FILE...`: games reviewed without a window, each
// written beside its file (or into a folder) as a record with its review,
// and a table of every move on standard output.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace tarnwick {

struct ReviewBatch {
    std::vector<std::string> files;
    // Playouts or time a position; neither set: one second.
    engine::Limits budget;
    // Search threads; 0: all hardware threads but one, at least one.
    int threads = 0;
    // Where the reviewed records go; empty: beside each file.
    std::string outputFolder;
};

// The header line of the table, and how a move's line is laid out: file,
// move number, player, cell, Black's win rate after the move, the best
// move, the loss and the judgement, separated by tabs ("-" for none).
inline constexpr const char* kReviewTableHeader = "file\tmove\tplayer\tcell\tblack\tbest\tloss\tjudgement\n";

// Reviews every file's game (its first game, along the main line) and
// writes NAME.reviewed.sgf (NAME-2..., never over a file that is there) in
// the file's folder or `outputFolder`; the table on `out`, a file that
// cannot be read or written named with the reason on `err`, with a
// progress line on `err` when it is a terminal. 0 when every file was
// reviewed, 1 when any was not.
int runReviewBatch(const ReviewBatch& batch, std::FILE* out, std::FILE* err);

// Where NAME.reviewed.sgf goes for `file`: the folder (the file's own, or
// `outputFolder`) and the stem (the file's name without its extension,
// then ".reviewed").
struct ReviewTarget {
    std::string folder;
    std::string stem;
};
ReviewTarget reviewTargetFor(const std::string& file, const std::string& outputFolder);

}  // namespace tarnwick
