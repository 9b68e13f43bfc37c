// The platform interface: every pixel, key, click, clipboard read, file,
// socket, sleep and beep of the program goes through this one class.
//
// Drawing is shared by all providers: the base class owns the canvas, the
// fonts and the loaded images, and implements the drawing operations on them.
// A provider supplies the window, input, time and sound. Drawing is buffered:
// nothing becomes visible until present().
//
// Threading: the program's logic calls every operation from one thread. A
// provider whose window lives on another thread takes canvasMutex() whenever
// it reads the canvas; drawing operations take it while they write.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/colour.h"
#include "platform/fonts.h"
#include "platform/http_client.h"
#include "platform/image.h"
#include "platform/line_reader.h"

namespace tarnwick {

using ImageId = int;

// A pointer press as pollMouse reports it.
struct Click {
    int kind = 0;  // 0 none, 1 press, 2 second press of a double click
    int x = 0;
    int y = 0;
    bool operator==(const Click&) const = default;
};

// Key texts: one character for typed keys, code 0 plus a PC scan code (set 1)
// letter for cursor and function keys.
namespace keys {
inline constexpr char kEnter = 13;
inline constexpr char kBackspace = 8;
inline constexpr char kEscape = 27;
inline constexpr char kCtrlV = 22;
inline constexpr char kCtrlC = 3;
inline constexpr char kCtrlS = 19;
inline constexpr char kTab = 9;
inline std::string extended(char scanLetter) { return std::string(1, '\0') + scanLetter; }
inline constexpr char kLeft = 'K';
inline constexpr char kRight = 'M';
inline constexpr char kUp = 'H';
inline constexpr char kDown = 'P';
inline constexpr char kHome = 'G';
inline constexpr char kEnd = 'O';
inline constexpr char kDelete = 'S';
inline constexpr char kInsert = 'R';
inline constexpr char kPageUp = 'I';
inline constexpr char kPageDown = 'Q';
inline constexpr char kBackTab = 0x0F;  // Shift+Tab
}  // namespace keys

// A whole file read for the user, or why it could not be.
struct FileText {
    bool ok = false;
    std::string text;
    std::string problem;  // in words, when not ok
    bool missing = false;  // not ok because nothing has that name
};

// Reads the whole regular file at `path`; a file larger than maxBytes, a
// folder or a device is refused. What Platform::readUserFile does, for the
// command-line modes that run without a window and so without a platform.
FileText readRegularFile(std::string_view path, std::size_t maxBytes);

// Where a new file was saved, or why it could not be.
struct SavedFile {
    bool ok = false;
    std::string path;
    std::string problem;  // in words, when not ok
};

// Where the window stands on the screen, its size while not full screen,
// and whether it fills the screen: remembered from one session to the next.
struct WindowPlacement {
    std::optional<Point> position;  // none: where a new window goes by default
    Extent size;                    // 0 x 0: the first size the provider picks
    bool fullScreen = false;
    bool operator==(const WindowPlacement&) const = default;
};

// Something dropped on the window: a file's path, or a text.
struct Drop {
    bool isFile = false;
    std::string content;
    bool operator==(const Drop&) const = default;
};

class Platform {
  public:
    Platform();
    virtual ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // Window ---------------------------------------------------------------
    virtual void openWindow(std::string_view title, int width, int height) = 0;
    virtual void closeWindow() = 0;
    // Size of the drawing area; (0, 0) once the window has been closed.
    virtual Extent windowSize() = 0;
    virtual void present() = 0;
    // Where the next window opens (given before openWindow); by default a
    // provider ignores it.
    virtual void setWindowPlacement(const WindowPlacement& /*placement*/) {}
    // Where the window stood when last seen, kept after it has closed;
    // nothing when the provider does not know.
    virtual std::optional<WindowPlacement> windowPlacement() { return std::nullopt; }

    // Drawing (shared canvas) -----------------------------------------------
    void clearWindow(Colour colour);
    void setColors(Colour foreground);
    void setColors(Colour foreground, Colour background);
    FontId createFont(std::string_view family, int points, int style);
    void setFont(FontId font);
    void setPos(int x, int y);
    void drawText(std::string_view text);
    // Nothing from column `right` on (see Canvas::drawText).
    void drawText(std::string_view text, int right);
    Extent textSize(std::string_view text) const;
    void drawLine(int x, int y, LineColour colour);
    void drawBox(int x1, int y1, int x2, int y2, Colour line, Colour fill);
    void floodFill(int x, int y, Colour fill, Colour area);
    // Cheap: reads the buffer directly (only the logic thread writes it).
    Colour getPixel(int x, int y) const { return canvas_.getPixel(x, y); }
    void setPixel(int x, int y, Colour colour);
    // Name is resolved in the data folder. Both sizes non-zero: stretched.
    ImageId loadBitmap(std::string_view fileName, int width, int height);
    void copyBitmap(ImageId image, int x, int y);
    // Releases an image no longer needed; its id draws nothing until a later
    // load reuses it. A later load of the same unchanged file at the same size
    // takes the released pixels back instead of reading and stretching the
    // file again (the board picture is loaded at every full redraw).
    void releaseBitmap(ImageId image);

    // Input ----------------------------------------------------------------
    virtual std::string pollKey() = 0;
    virtual Click pollMouse() = 0;
    // Wheel steps since the last poll: positive when turned away from the
    // user (up), negative towards. Steps add up between polls, so a quick
    // turn is not lost to a slow reader.
    virtual int pollWheel() { return 0; }
    virtual std::string readClipboardText() = 0;
    // Offers `text` to other programs as the clipboard's content until
    // another program takes the clipboard; readClipboardText reports it too.
    virtual void writeClipboardText(std::string text) = 0;
    // The next file or text dropped on the window, if any.
    virtual std::optional<Drop> pollDrop() = 0;

    // Network ----------------------------------------------------------------
    // One HTTP/1.1 GET of `path` from `host` port 80 (see HttpClient::get).
    // The wait ends early, as Cancelled, when the window is closed.
    // `keepWaiting`, when given, is asked too while the exchange waits: the
    // caller's own reason to give up (a key).
    HttpReply httpGet(std::string_view host, std::string_view path, const HttpLimits& limits,
                      const std::function<bool()>& keepWaiting = {});
    // Every later connection goes to `server` instead, while the requests
    // still name their own host.
    void routeConnectionsTo(Endpoint server) { connectionRoute_ = std::move(server); }
    // Later exchanges go through these proxies (see proxyFor), unless their
    // connections are routed elsewhere, which wins.
    void useProxies(ProxySettings proxies) { proxies_ = std::move(proxies); }

    // Files: one text file at a time, named within the data folder ----------
    void fileOpen(std::string_view fileName);
    std::string fileReadLine();
    // True when the open file has nothing more to read.
    bool fileAtEnd();
    void fileClose();

    // The user's files -------------------------------------------------------
    // Reads the whole regular file at `path` (relative to the current
    // folder, not the data folder); a file larger than maxBytes is refused.
    FileText readUserFile(std::string_view path, std::size_t maxBytes);
    // Writes `text` to a new file in `folder` named stem + extension, or
    // stem-2 + extension, stem-3, ... when the name is taken. The text goes to
    // a temporary file first, which is then renamed without replacing
    // anything, so no existing file is ever overwritten or left half written.
    SavedFile saveNewFile(std::string_view folder, std::string_view stem, std::string_view extension,
                          std::string_view text);
    // Writes `text` as folder/name, making the folder (and those above it)
    // when missing; a file of that name already there is kept as
    // folder/keptName, replacing an older one (an empty keptName keeps
    // nothing). The text goes to a temporary file first, so that folder/name
    // always holds a whole file.
    SavedFile replaceFile(std::string_view folder, std::string_view name, std::string_view keptName,
                          std::string_view text);
    // The folder for the user's saved documents: XDG_DOCUMENTS_DIR, else HOME.
    virtual std::string documentsFolder();
    // The program's own folder for what it keeps between sessions:
    // $XDG_STATE_HOME/tarnwick, else ~/.local/state/tarnwick (not made here).
    virtual std::string stateFolder();
    // The program's folder for the user's settings:
    // $XDG_CONFIG_HOME/tarnwick, else ~/.config/tarnwick (not made here).
    virtual std::string configFolder();
    // The local date and time as "20261207-134501", for file names.
    virtual std::string timeStampText();
    // One line for the user on the terminal (standard error).
    virtual void reportProblem(std::string_view line);

    // Time and sound ---------------------------------------------------------
    virtual void sleepMs(int milliseconds) = 0;
    // Milliseconds on a clock that only goes forward (any origin), for
    // waits that must not grow with each sleep's overshoot.
    virtual std::int64_t nowMs() const = 0;
    virtual void beep() = 0;
    // Sound for the whole program: while it is off, beep() is silent.
    void setSoundOn(bool on) { soundOn_ = on; }
    bool soundOn() const { return soundOn_; }

    // For tests, benchmarks and the provider ---------------------------------
    const Canvas& canvas() const { return canvas_; }
    const FontLibrary& fonts() const { return fonts_; }
    std::mutex& canvasMutex() { return canvasMutex_; }
    const std::string& dataFolder() const { return dataFolder_; }
    void setDataFolder(std::string folder) { dataFolder_ = std::move(folder); }
    std::size_t imageCount() const { return images_.size(); }

  protected:
    // Where a connection to `host` really goes; nothing for the host itself.
    virtual std::optional<Endpoint> routeFor(std::string_view /*host*/) { return connectionRoute_; }
    // Called as a network exchange begins.
    virtual void beginNetworkWait() {}
    // Asked while a network exchange waits, with the milliseconds it has
    // lasted; false ends the wait. By default, waiting ends with the window.
    virtual bool keepNetworkWait(std::int64_t /*elapsedMs*/) { return windowSize().width != 0; }
    std::string pathInDataFolder(std::string_view fileName) const;

  private:
    FontLibrary fonts_;
    Canvas canvas_;
    std::mutex canvasMutex_;
    // Where a slot's pixels came from: the file as it was when read, at the
    // size asked for. Lets a load reuse pixels released earlier.
    struct ImageSource {
        std::string path;
        int width = 0;
        int height = 0;
        FileStamp stamp;
        bool operator==(const ImageSource&) const = default;
    };
    std::vector<Image> images_;
    std::vector<bool> released_;  // per image slot: free for the next load
    std::vector<std::optional<ImageSource>> sources_;  // per image slot; none when not reusable
    std::string dataFolder_ = ".";
    TextFileReader file_;
    // Set up at the first exchange: most runs never fetch, and the TLS
    // library's set-up costs start-up time and memory.
    std::unique_ptr<HttpClient> http_;
    std::optional<Endpoint> connectionRoute_;
    ProxySettings proxies_;
    bool soundOn_ = true;
};

}  // namespace tarnwick
