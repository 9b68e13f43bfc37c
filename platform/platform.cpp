#include "platform/platform.h"

namespace tarnwick {

Platform::Platform() : canvas_(fonts_) {}

Platform::~Platform() = default;

void Platform::clearWindow(Colour colour) {
    std::lock_guard lock(canvasMutex_);
    canvas_.clear(colour);
}

void Platform::setColors(Colour foreground) { canvas_.setColors(foreground); }

void Platform::setColors(Colour foreground, Colour background) { canvas_.setColors(foreground, background); }

FontId Platform::createFont(std::string_view family, int points, int style) {
    return fonts_.create(family, points, style);
}

void Platform::setFont(FontId font) { canvas_.setFont(font); }

void Platform::setPos(int x, int y) { canvas_.setPos(x, y); }

void Platform::drawText(std::string_view text) {
    std::lock_guard lock(canvasMutex_);
    canvas_.drawText(text);
}

void Platform::drawText(std::string_view text, int right) {
    std::lock_guard lock(canvasMutex_);
    canvas_.drawText(text, right);
}

Extent Platform::textSize(std::string_view text) const { return canvas_.textSize(text); }

void Platform::drawLine(int x, int y, LineColour colour) {
    std::lock_guard lock(canvasMutex_);
    canvas_.drawLine(x, y, colour);
}

void Platform::drawBox(int x1, int y1, int x2, int y2, Colour line, Colour fill) {
    std::lock_guard lock(canvasMutex_);
    canvas_.drawBox(x1, y1, x2, y2, line, fill);
}

void Platform::floodFill(int x, int y, Colour fill, Colour area) {
    std::lock_guard lock(canvasMutex_);
    canvas_.floodFill(x, y, fill, area);
}

void Platform::setPixel(int x, int y, Colour colour) {
    std::lock_guard lock(canvasMutex_);
    canvas_.setPixel(x, y, colour);
}

std::string Platform::pathInDataFolder(std::string_view fileName) const {
    if (!fileName.empty() && fileName.front() == '/') return std::string(fileName);
    return dataFolder_ + "/" + std::string(fileName);
}

ImageId Platform::loadBitmap(std::string_view fileName, int width, int height) {
    const std::string path = pathInDataFolder(fileName);
    // Stamped before reading, so a file changed during the read is not
    // taken for the version read.
    const std::optional<FileStamp> stamp = fileStampOf(path);
    std::optional<ImageSource> source;
    if (stamp) source = ImageSource{path, width, height, *stamp};

    // The slot the image goes to: the first released one, else a new one.
    std::size_t slot = 0;
    while (slot < images_.size() && !released_[slot]) ++slot;
    if (slot == images_.size()) {
        images_.emplace_back();
        released_.push_back(true);
        sources_.emplace_back();
    }

    // Pixels released earlier from this very file version and size are
    // taken back, moved into the chosen slot so ids come out as they would
    // from a fresh read.
    std::size_t kept = 0;
    while (kept < images_.size() && !(released_[kept] && source && sources_[kept] == source)) ++kept;
    if (kept < images_.size()) {
        std::swap(images_[slot], images_[kept]);
        std::swap(sources_[slot], sources_[kept]);
    } else {
        // The slot's old pixels go first, so they and the new picture are
        // never held together.
        images_[slot] = Image{};
        images_[slot] = loadBmpFile(path, width, height);
        // A failed read is tried again next time rather than remembered.
        sources_[slot] = images_[slot].empty() ? std::nullopt : source;
    }
    released_[slot] = false;
    return static_cast<ImageId>(slot);
}

void Platform::copyBitmap(ImageId image, int x, int y) {
    if (image < 0 || static_cast<std::size_t>(image) >= images_.size()) return;
    if (released_[static_cast<std::size_t>(image)]) return;
    std::lock_guard lock(canvasMutex_);
    canvas_.copyImage(images_[static_cast<std::size_t>(image)], x, y);
}

void Platform::releaseBitmap(ImageId image) {
    if (image < 0 || static_cast<std::size_t>(image) >= images_.size()) return;
    // The slot is reused by the next load, so a picture loaded and released
    // at every redraw does not grow the table. Its pixels stay until then,
    // for a load of the same file to take back.
    released_[static_cast<std::size_t>(image)] = true;
}

HttpReply Platform::httpGet(std::string_view host, std::string_view path, const HttpLimits& limits,
                            const std::function<bool()>& keepWaiting) {
    HttpRequest request;
    request.host = std::string(host);
    request.path = std::string(path);
    request.connectTo = routeFor(host);
    request.proxies = proxies_;
    request.limits = limits;
    beginNetworkWait();
    if (!http_) http_ = std::make_unique<HttpClient>();
    return http_->get(request, [this, &keepWaiting](std::int64_t elapsedMs) {
        return keepNetworkWait(elapsedMs) && (!keepWaiting || keepWaiting());
    });
}

void Platform::fileOpen(std::string_view fileName) {
    file_.open(pathInDataFolder(fileName));
}

std::string Platform::fileReadLine() { return file_.readLine(); }

bool Platform::fileAtEnd() { return file_.atEnd(); }

void Platform::fileClose() { file_.close(); }

}  // namespace tarnwick
