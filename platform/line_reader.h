// Line-by-line reading of a text file and of a TCP connection.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tarnwick {

struct Endpoint {
    std::string host;
    int port = 0;
};

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

// A TCP client that sends raw bytes and receives line by line.
//  - receive() returns the bytes up to the next line feed, without it and
//    without any carriage return; when nothing arrives within the time-out it
//    returns the empty text;
//  - atEnd() is true when nothing more is to be read: the connection is not
//    open; or the peer has closed it and every received byte has been handed
//    out; or every byte of the last receive has been handed out, that receive
//    filled less than the 65536-byte buffer (or timed out) and no further
//    bytes are already waiting on the socket. Before the first receive it is
//    false. Lines longer than 16 MiB are handed out in 16 MiB pieces.
class TcpLineClient {
  public:
    static constexpr std::size_t kBufferSize = 65536;

    TcpLineClient() = default;
    ~TcpLineClient();
    TcpLineClient(const TcpLineClient&) = delete;
    TcpLineClient& operator=(const TcpLineClient&) = delete;

    // 0 when connected; a non-zero code when lookup or connection failed.
    int open(const Endpoint& endpoint, int timeoutMs);
    void send(std::string_view bytes);
    std::string receive();
    bool atEnd() const;
    void close();
    bool isOpen() const { return fd_ >= 0; }

  private:
    // One recv into the buffer, waiting at most waitMs for data; false on
    // time-out, close or error.
    bool fill(int waitMs);

    int fd_ = -1;
    int timeoutMs_ = 0;
    std::string buffer_;
    std::size_t consumed_ = 0;
    std::size_t scanned_ = 0;  // unread bytes already searched for a line feed
    std::size_t lastReceiveSize_ = 0;  // 0 also when the last wait timed out
    bool waited_ = false;      // some wait for data has ended since open
    bool peerClosed_ = false;  // no more data can come: closed by the peer, or failed
};

}  // namespace tarnwick
