// The user's own files: reading a file named on the command line or dropped
// on the window, and saving a game as a new file without touching any file
// that is already there.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/platform.h"

namespace tarnwick {
namespace {

std::string errorText(int error) { return std::strerror(error); }

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and says whether the close succeeded (it can report a
    // failed write on some file systems).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Gives the temporary file the name `target` unless that name is taken:
// a rename that refuses to replace, or, where the file system has no such
// rename, a hard link (which refuses too) and the temporary name removed.
// Returns 0 or the error.
int moveIntoPlace(const std::string& temporary, const std::string& target) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    if (::link(temporary.c_str(), target.c_str()) != 0) return errno;
    ::unlink(temporary.c_str());
    return 0;
}

}  // namespace

FileText Platform::readUserFile(std::string_view path, std::size_t maxBytes) { return readRegularFile(path, maxBytes); }

FileText readRegularFile(std::string_view path, std::size_t maxBytes) {
    FileText result;
    const std::string name(path);
    Descriptor file(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        result.missing = errno == ENOENT || errno == ENOTDIR;
        result.problem = errorText(errno);
        return result;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        result.problem = errorText(errno);
        return result;
    }
    if (S_ISDIR(info.st_mode)) {
        result.problem = "it is a folder";
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.problem = "it is not a regular file";
        return result;
    }
    // The size is checked again while reading: the file may grow meanwhile.
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        result.problem = "it is larger than " + std::to_string(maxBytes / 1024) + " KiB";
        return result;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            result.problem = errorText(errno);
            result.text.clear();
            return result;
        }
        if (got == 0) break;
        result.text.append(buffer, static_cast<std::size_t>(got));
        if (result.text.size() > maxBytes) {
            result.problem = "it is larger than " + std::to_string(maxBytes / 1024) + " KiB";
            result.text.clear();
            return result;
        }
    }
    result.ok = true;
    return result;
}

SavedFile Platform::saveNewFile(std::string_view folder, std::string_view stem, std::string_view extension,
                                std::string_view text) {
    SavedFile result;
    const std::string base = std::string(folder) + "/";
    std::string temporary = base + ".tarnwick-save-XXXXXX";
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0) {
        result.problem = "cannot write in " + std::string(folder) + ": " + errorText(errno);
        return result;
    }
    // The temporary file is removed on every path that does not rename it.
    const auto giveUp = [&](std::string problem) {
        ::unlink(temporary.c_str());
        result.problem = std::move(problem);
        return result;
    };
    // mkostemp makes the file private; a saved game is an ordinary document.
    ::fchmod(file.get(), 0644);
    if (!writeAll(file.get(), text) || ::fsync(file.get()) != 0) {
        const int error = errno;
        file.close();
        return giveUp("cannot write in " + std::string(folder) + ": " + errorText(error));
    }
    if (!file.close()) return giveUp("cannot write in " + std::string(folder) + ": " + errorText(errno));

    constexpr int kMaxSuffix = 999;
    for (int n = 1; n <= kMaxSuffix; ++n) {
        std::string target = base + std::string(stem) + (n == 1 ? "" : "-" + std::to_string(n)) + std::string(extension);
        const int error = moveIntoPlace(temporary, target);
        if (error == 0) {
            result.ok = true;
            result.path = std::move(target);
            return result;
        }
        if (error != EEXIST) return giveUp("cannot save " + target + ": " + errorText(error));
    }
    return giveUp("every name from " + std::string(stem) + " to " + std::string(stem) + "-" +
                  std::to_string(kMaxSuffix) + " is taken in " + std::string(folder));
}

namespace {

// Makes `folder` and the folders above it that are missing; 0 or the error.
int makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) return 0;
    }
}

}  // namespace

SavedFile Platform::replaceFile(std::string_view folder, std::string_view name, std::string_view keptName,
                                std::string_view text) {
    SavedFile result;
    const std::string base(folder);
    if (const int error = makeFolders(base); error != 0) {
        result.problem = "cannot make " + base + ": " + errorText(error);
        return result;
    }
    std::string temporary = base + "/.tarnwick-keep-XXXXXX";
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0) {
        result.problem = "cannot write in " + base + ": " + errorText(errno);
        return result;
    }
    const bool written = writeAll(file.get(), text) && ::fsync(file.get()) == 0;
    const int writeError = errno;
    if (!file.close() || !written) {
        ::unlink(temporary.c_str());
        result.problem = "cannot write in " + base + ": " + errorText(written ? errno : writeError);
        return result;
    }
    const std::string target = base + "/" + std::string(name);
    const std::string kept = base + "/" + std::string(keptName);
    // The file there becomes the kept one by a second name, so that the
    // target name is never without a whole file; then the new one replaces it.
    if (!keptName.empty()) ::unlink(kept.c_str());
    if (!keptName.empty() && ::link(target.c_str(), kept.c_str()) != 0 && errno != ENOENT) {
        const int error = errno;
        ::unlink(temporary.c_str());
        result.problem = "cannot keep " + target + " as " + kept + ": " + errorText(error);
        return result;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        result.problem = "cannot write " + target + ": " + errorText(error);
        return result;
    }
    result.ok = true;
    result.path = target;
    return result;
}

std::string Platform::stateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/') {
        return std::string(state) + "/tarnwick";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr && *home != '\0' ? home : ".") + "/.local/state/tarnwick";
}

std::string Platform::configFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
        return std::string(config) + "/tarnwick";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr && *home != '\0' ? home : ".") + "/.config/tarnwick";
}

std::string Platform::documentsFolder() {
    for (const char* name : {"XDG_DOCUMENTS_DIR", "HOME"}) {
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') return value;
    }
    return ".";
}

std::string Platform::timeStampText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) return "game";
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

void Platform::reportProblem(std::string_view line) {
    std::fprintf(stderr, "tarnwick: %.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace tarnwick
