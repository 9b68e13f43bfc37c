// Line-by-line reading of a text file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tarnwick {

// Reads one text file line by line. Line ends (LF, CR LF) are removed. A file
// that cannot be opened reads as already at its end.
class TextFileReader {
  public:
    TextFileReader() = default;
    ~TextFileReader();
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    void open(const std::string& path);
    std::string readLine();
    bool atEnd();
    void close();
    bool isOpen() const { return file_ != nullptr; }

  private:
    bool readMore();  // one read from the file; false when it gave nothing

    std::FILE* file_ = nullptr;
    std::string buffer_;        // bytes read from the file, not yet handed out
    std::size_t consumed_ = 0;  // bytes at the front of buffer_ already handed out
    std::size_t scanned_ = 0;   // unread bytes already searched for a line feed
    bool inputEnded_ = true;    // the file can give no more bytes
};

}  // namespace tarnwick
