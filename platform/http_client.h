// One HTTP/1.1 GET exchange through libcurl, bounded in time and size and
// cancellable by the caller between waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/proxy.h"

namespace tarnwick {

struct Endpoint {
    std::string host;
    int port = 0;
};

// Reads "host:port" ("[::1]:8080" for an IPv6 address); nothing when the
// text is not of that form or the port is not 1..65535.
std::optional<Endpoint> parseEndpoint(std::string_view text);

struct HttpLimits {
    int connectMs = 14000;  // to open the connection
    int stallMs = 14000;    // for any one wait for data
    int totalMs = 20000;    // for the whole exchange, redirects included
    std::size_t maxBodyBytes = std::size_t{4} << 20;
    int maxRedirects = 3;
};

struct HttpReply {
    enum class Outcome {
        Received,     // a complete reply; `status` and `body` hold it
        Unreachable,  // no connection could be made
        TimedOut,     // a limit of time was reached
        TooLarge,     // the body is longer than the limit
        Cancelled,    // the caller's keepWaiting said no
        Failed,       // anything else: a malformed reply, too many redirects...
    };
    Outcome outcome = Outcome::Failed;
    long status = 0;
    std::string body;
    std::string error;  // libcurl's account of a failure, for diagnostics
};

struct HttpRequest {
    std::string host;  // named in the URL and in the "Host:" line
    int port = 80;
    std::string path;  // begins with "/"
    // Every connection goes there instead, while the request still names
    // `host`. Redirects to other hosts or to https are rerouted too.
    std::optional<Endpoint> connectTo;
    // The proxies to go through, chosen for each URL (the first and every
    // redirect) by its scheme and host; unused when `connectTo` is given.
    ProxySettings proxies;
    HttpLimits limits;
};

// Holds libcurl's process-wide set-up for as long as it lives.
class HttpClient {
  public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Sends exactly "GET <path> HTTP/1.1", "Host: <host>" and the empty
    // line, with no other header, and reads the reply: any number of header
    // lines, then the body, de-chunked or bounded by its length. A redirect
    // to http or https is followed, up to the limit. Through a proxy, an http
    // request names the absolute URL in its first line ("GET http://host/path
    // HTTP/1.1") and an https one is tunnelled. `keepWaiting` is asked
    // at least every 20 ms while the exchange waits; it gets the
    // milliseconds elapsed since the start and ends the exchange (Cancelled)
    // when it returns false.
    HttpReply get(const HttpRequest& request, const std::function<bool(std::int64_t elapsedMs)>& keepWaiting);
};

}  // namespace tarnwick
