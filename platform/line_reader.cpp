// Line-by-line reading of a text file.
//
// The reader keeps the bytes read so far in a buffer and hands out one line
// at a time. A line longer than kMaxLineBytes is handed out in pieces of that
// size (joined, the pieces are the line; no byte is dropped), so that a file
// without line feeds cannot make the reader hold an unbounded amount of memory.
#include "platform/line_reader.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {
namespace {

constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;
constexpr std::size_t kFileChunk = 65536;

enum class Split { kNothing, kLine, kUnended };

// Takes the next line off the unread part of `buffer` (from `consumed`) into
// `line`, raw and without its line feed, and tells what it took:
//  - kLine: a line ended by a line feed;
//  - kUnended: bytes not ended by a line feed: a kMaxLineBytes piece of a
//    longer line, or, once the input has ended, its last bytes;
//  - kNothing: more input is needed (or, once it has ended, none is left).
// `scanned` counts the unread bytes already searched, so that a long line that
// arrives over many reads is searched once. A carriage return right before the
// line feed does not count towards kMaxLineBytes, so a piece never stops just
// before LF or CR LF, which would read as a made-up empty line.
Split splitLine(const std::string& buffer, std::size_t& consumed, std::size_t& scanned,
                bool inputEnded, std::string& line) {
    const char* unreadStart = buffer.data() + consumed;
    const std::size_t unread = buffer.size() - consumed;
    const std::size_t window = std::min(unread, kMaxLineBytes + 2);
    if (scanned < window) {
        const void* lineFeed = std::memchr(unreadStart + scanned, '\n', window - scanned);
        if (lineFeed != nullptr) {
            const auto length = static_cast<std::size_t>(static_cast<const char*>(lineFeed) - unreadStart);
            const std::size_t crBefore = (length > 0 && unreadStart[length - 1] == '\r') ? 1 : 0;
            if (length - crBefore <= kMaxLineBytes) {
                line.assign(unreadStart, length);
                consumed += length + 1;
                scanned = 0;
                return Split::kLine;
            }
        }
        scanned = window;
    }
    if (unread >= kMaxLineBytes + 2 || (inputEnded && unread > 0)) {
        const std::size_t length = std::min(unread, kMaxLineBytes);
        line.assign(unreadStart, length);
        consumed += length;
        scanned = 0;
        return Split::kUnended;
    }
    return Split::kNothing;
}

// Drops the bytes already handed out, before more are appended.
void compact(std::string& buffer, std::size_t& consumed) {
    buffer.erase(0, consumed);
    consumed = 0;
}

// Waits until fd is ready for `events` or the deadline passes. Readiness
// includes errors and hang-ups, which the following call then reports.
}  // namespace

// TextFileReader ---------------------------------------------------------------

TextFileReader::~TextFileReader() { close(); }

void TextFileReader::open(const std::string& path) {
    close();
    // Binary mode: line ends are recognised here, and a lone CR is kept.
    file_ = std::fopen(path.c_str(), "rb");
    inputEnded_ = file_ == nullptr;
}

bool TextFileReader::readMore() {
    if (inputEnded_) return false;
    compact(buffer_, consumed_);
    const std::size_t old = buffer_.size();
    buffer_.resize(old + kFileChunk);
    const std::size_t got = std::fread(buffer_.data() + old, 1, kFileChunk, file_);
    buffer_.resize(old + got);
    // A short read means the end of the file or a read error; either way the
    // file gives nothing more.
    if (got < kFileChunk) inputEnded_ = true;
    return got > 0;
}

std::string TextFileReader::readLine() {
    std::string line;
    for (;;) {
        switch (splitLine(buffer_, consumed_, scanned_, inputEnded_, line)) {
            case Split::kLine:
                if (!line.empty() && line.back() == '\r') line.pop_back();
                return line;
            case Split::kUnended:
                return line;
            case Split::kNothing:
                break;
        }
        if (inputEnded_) return {};
        readMore();
    }
}

bool TextFileReader::atEnd() {
    while (consumed_ == buffer_.size()) {
        if (inputEnded_) return true;
        readMore();
    }
    return false;
}

void TextFileReader::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    std::string().swap(buffer_);
    consumed_ = 0;
    scanned_ = 0;
    inputEnded_ = true;
}

}  // namespace tarnwick
