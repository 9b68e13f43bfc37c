#include "platform/http_client.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;

// How long one wait for network activity lasts before the caller's
// keepWaiting and the stall limit are looked at again.
constexpr int kPollSliceMs = 20;

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;
using Multi = std::unique_ptr<CURLM, MultiDeleter>;
using List = std::unique_ptr<curl_slist, ListDeleter>;

// What the callbacks share with the waiting loop.
struct Transfer {
    std::string body;
    std::size_t maxBodyBytes = 0;
    bool tooLarge = false;
    Clock::time_point lastActivity;
};

std::size_t receiveBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    t.lastActivity = Clock::now();
    if (bytes > t.maxBodyBytes - t.body.size()) {
        t.tooLarge = true;
        return 0;  // ends the transfer with a write error
    }
    t.body.append(data, bytes);
    return bytes;
}

std::size_t receiveHeader(char*, std::size_t size, std::size_t count, void* user) {
    static_cast<Transfer*>(user)->lastActivity = Clock::now();
    return size * count;
}

std::string hostForUrl(const std::string& host) {
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

struct UrlParts {
    std::string scheme;
    std::string host;
    int port = 0;
};

std::optional<UrlParts> partsOf(const std::string& url) {
    const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> handle(curl_url(), curl_url_cleanup);
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return std::nullopt;
    const auto part = [&handle](CURLUPart which, unsigned flags) -> std::optional<std::string> {
        char* text = nullptr;
        if (curl_url_get(handle.get(), which, &text, flags) != CURLUE_OK) return std::nullopt;
        std::string value(text);
        curl_free(text);
        return value;
    };
    const auto scheme = part(CURLUPART_SCHEME, 0);
    const auto host = part(CURLUPART_HOST, 0);
    const auto port = part(CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (!scheme || !host || !port) return std::nullopt;
    return UrlParts{*scheme, *host, std::atoi(port->c_str())};
}

HttpReply::Outcome outcomeOf(CURLcode code, const Transfer& t) {
    using O = HttpReply::Outcome;
    switch (code) {
        case CURLE_OK:
            return O::Received;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
            return O::Unreachable;
        case CURLE_OPERATION_TIMEDOUT:
            return O::TimedOut;
        case CURLE_FILESIZE_EXCEEDED:
            return O::TooLarge;
        case CURLE_WRITE_ERROR:
            return t.tooLarge ? O::TooLarge : O::Failed;
        default:
            return O::Failed;
    }
}

}  // namespace

std::optional<Endpoint> parseEndpoint(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string_view host = text.substr(0, colon);
    const std::string_view port = text.substr(colon + 1);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    if (host.empty() || port.empty() || port.size() > 5) return std::nullopt;
    // An IPv6 address must be bracketed, so that its last group is not taken
    // for the port; no host name holds a space or a bracket.
    if (host.find_first_of(" []") != std::string_view::npos) return std::nullopt;
    if (host.find(':') != std::string_view::npos && text.front() != '[') return std::nullopt;
    int value = 0;
    for (const char c : port) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) return std::nullopt;
    return Endpoint{std::string(host), value};
}

HttpClient::HttpClient() { curl_global_init(CURL_GLOBAL_DEFAULT); }

HttpClient::~HttpClient() { curl_global_cleanup(); }

HttpReply HttpClient::get(const HttpRequest& request,
                          const std::function<bool(std::int64_t elapsedMs)>& keepWaiting) {
    HttpReply reply;
    const Easy easy(curl_easy_init());
    const Multi multi(curl_multi_init());
    if (!easy || !multi) {
        reply.error = "libcurl could not be set up";
        return reply;
    }
    CURL* e = easy.get();
    const HttpLimits& limits = request.limits;
    Transfer transfer;
    transfer.maxBodyBytes = limits.maxBodyBytes;
    char errorText[CURL_ERROR_SIZE] = {};

    std::string url = "http://" + hostForUrl(request.host);
    if (request.port != 80) url += ":" + std::to_string(request.port);
    url += request.path;

    // libcurl would add "Accept: */*"; an empty value removes the header.
    const List headers(curl_slist_append(nullptr, "Accept:"));
    List connectTo;
    if (request.connectTo) {
        // Empty host and port: every connection, redirects included.
        const std::string rule = "::" + hostForUrl(request.connectTo->host) + ":" + std::to_string(request.connectTo->port);
        connectTo.reset(curl_slist_append(nullptr, rule.c_str()));
    }

    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
    if (connectTo) curl_easy_setopt(e, CURLOPT_CONNECT_TO, connectTo.get());
    // The proxy is chosen here for each URL; libcurl would otherwise read
    // no_proxy from the environment itself.
    curl_easy_setopt(e, CURLOPT_NOPROXY, "");
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    // Redirects are followed here rather than by libcurl, so that each URL
    // gets the proxy of its own scheme and host.
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectMs));
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBodyBytes));
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, receiveBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, receiveHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorText);

    const Clock::time_point start = Clock::now();
    for (int redirects = 0;; ++redirects) {
        const auto spentMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (spentMs >= limits.totalMs) {
            reply.outcome = HttpReply::Outcome::TimedOut;
            return reply;
        }
        std::string proxy;
        if (!request.connectTo) {
            const std::optional<UrlParts> parts = partsOf(url);
            if (!parts) {
                reply.error = "cannot read the URL " + url;
                return reply;
            }
            proxy = proxyFor(request.proxies, parts->scheme, parts->host, parts->port).value_or("");
        }
        curl_easy_setopt(e, CURLOPT_URL, url.c_str());
        curl_easy_setopt(e, CURLOPT_PROXY, proxy.c_str());  // "": a direct connection
        curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalMs - spentMs));
        transfer.body.clear();
        transfer.tooLarge = false;
        errorText[0] = '\0';

        curl_multi_add_handle(multi.get(), e);
        transfer.lastActivity = Clock::now();
        int running = 1;
        for (;;) {
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
                reply.error = "libcurl failed";
                break;
            }
            if (running == 0) break;
            const Clock::time_point now = Clock::now();
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count();
            if (!keepWaiting(elapsed)) {
                reply.outcome = HttpReply::Outcome::Cancelled;
                break;
            }
            // Connecting is bounded by libcurl; after that, each wait for data.
            if (now - transfer.lastActivity > std::chrono::milliseconds(std::max(limits.stallMs, limits.connectMs))) {
                reply.outcome = HttpReply::Outcome::TimedOut;
                break;
            }
            curl_multi_poll(multi.get(), nullptr, 0, kPollSliceMs, nullptr);
        }

        if (running == 0) {
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
                if (message->msg != CURLMSG_DONE || message->easy_handle != e) continue;
                const CURLcode code = message->data.result;
                reply.outcome = outcomeOf(code, transfer);
                if (code != CURLE_OK) reply.error = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
            }
        }
        curl_multi_remove_handle(multi.get(), e);
        if (running != 0 || reply.outcome != HttpReply::Outcome::Received) return reply;

        curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &reply.status);
        char* location = nullptr;
        curl_easy_getinfo(e, CURLINFO_REDIRECT_URL, &location);
        if (reply.status >= 300 && reply.status < 400 && reply.status != 304 && location != nullptr) {
            if (redirects == limits.maxRedirects) {
                reply.outcome = HttpReply::Outcome::Failed;
                reply.error = "more than " + std::to_string(limits.maxRedirects) + " redirects";
                return reply;
            }
            url = location;
            continue;
        }
        reply.body = std::move(transfer.body);
        return reply;
    }
}

}  // namespace tarnwick
