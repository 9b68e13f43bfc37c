// A folder of the test's own under the system's temporary folder, made
// empty when the test starts and removed with everything in it at the end.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick::testing {

class TempFolder {
  public:
    explicit TempFolder(std::string_view name)
        : path_(std::filesystem::temp_directory_path() /
                ("tarnwick-" + std::string(name) + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace tarnwick::testing
