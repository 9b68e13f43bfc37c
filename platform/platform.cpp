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
    Image image = loadBmpFile(pathInDataFolder(fileName), width, height);
    for (std::size_t i = 0; i < images_.size(); ++i) {
        if (released_[i]) {
            images_[i] = std::move(image);
            released_[i] = false;
            return static_cast<ImageId>(i);
        }
    }
    images_.push_back(std::move(image));
    released_.push_back(false);
    return static_cast<ImageId>(images_.size() - 1);
}

void Platform::copyBitmap(ImageId image, int x, int y) {
    if (image < 0 || static_cast<std::size_t>(image) >= images_.size()) return;
    std::lock_guard lock(canvasMutex_);
    canvas_.copyImage(images_[static_cast<std::size_t>(image)], x, y);
}

void Platform::releaseBitmap(ImageId image) {
    if (image < 0 || static_cast<std::size_t>(image) >= images_.size()) return;
    // The slot is reused by the next load, so a picture loaded and released
    // at every redraw does not grow the table.
    images_[static_cast<std::size_t>(image)] = Image{};
    released_[static_cast<std::size_t>(image)] = true;
}

HttpReply Platform::httpGet(std::string_view host, std::string_view path, const HttpLimits& limits) {
    HttpRequest request;
    request.host = std::string(host);
    request.path = std::string(path);
    request.connectTo = routeFor(host);
    request.limits = limits;
    beginNetworkWait();
    if (!http_) http_ = std::make_unique<HttpClient>();
    return http_->get(request, [this](std::int64_t elapsedMs) { return keepNetworkWait(elapsedMs); });
}

void Platform::fileOpen(std::string_view fileName) {
    file_.open(pathInDataFolder(fileName));
}

std::string Platform::fileReadLine() { return file_.readLine(); }

bool Platform::fileAtEnd() { return file_.atEnd(); }

void Platform::fileClose() { file_.close(); }

}  // namespace tarnwick
