// Off-screen pictures loaded from Windows BMP files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // packed 0x00RRGGBB, row by row

    bool empty() const { return width <= 0 || height <= 0; }
};

// Loads a BMP file. When width and height are both non-zero the picture is
// stretched to that size (nearest pixel); otherwise it keeps its stored size.
// A missing or unreadable file gives an empty image, never an error.
Image loadBmpFile(const std::string& path, int width, int height);

// What identifies one version of a file: which file it is, its size and its
// modification time (nanoseconds). A file rewritten in place or replaced
// gets another stamp, so pixels kept from it are known to be out of date.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// The file's stamp; nothing when the file cannot be looked at.
std::optional<FileStamp> fileStampOf(const std::string& path);

// Nearest-pixel resize; an empty source or target size gives an empty image.
Image stretchImage(const Image& source, int width, int height);

}  // namespace tarnwick
