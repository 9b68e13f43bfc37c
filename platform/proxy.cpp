#include "platform/proxy.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>

namespace tarnwick {
namespace {

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

std::string_view withoutBrackets(std::string_view host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') return host.substr(1, host.size() - 2);
    return host;
}

// An address as 16 bytes (IPv4 in the first four) and its family.
struct Address {
    int family = 0;
    std::array<unsigned char, 16> bytes{};
};

std::optional<Address> parseAddress(std::string_view text) {
    const std::string host(withoutBrackets(text));
    Address address;
    if (::inet_pton(AF_INET, host.c_str(), address.bytes.data()) == 1) {
        address.family = AF_INET;
        return address;
    }
    if (::inet_pton(AF_INET6, host.c_str(), address.bytes.data()) == 1) {
        address.family = AF_INET6;
        return address;
    }
    return std::nullopt;
}

bool sameNetwork(const Address& a, const Address& b, int bits) {
    for (int i = 0; i < bits / 8; ++i) {
        if (a.bytes[static_cast<std::size_t>(i)] != b.bytes[static_cast<std::size_t>(i)]) return false;
    }
    if (bits % 8 == 0) return true;
    const auto mask = static_cast<unsigned char>(0xff << (8 - bits % 8));
    const auto i = static_cast<std::size_t>(bits / 8);
    return (a.bytes[i] & mask) == (b.bytes[i] & mask);
}

std::optional<int> parseNumber(std::string_view text, int limit) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > limit) return std::nullopt;
    return value;
}

// One entry of the list against the host (lower case, no brackets, no
// trailing dot).
bool entryNames(std::string_view entry, std::string_view host, int port) {
    if (entry == "*") return true;
    // A port at the end: "name:8080", "[::1]:8080", "10.0.0.1:8080"; a bare
    // IPv6 address has colons of its own and no port.
    const std::size_t colon = entry.rfind(':');
    const bool bracketed = !entry.empty() && entry.front() == '[';
    if (colon != std::string_view::npos && (bracketed || entry.find(':') == colon)) {
        if (!bracketed || entry[colon - 1] == ']') {
            const std::optional<int> entryPort = parseNumber(entry.substr(colon + 1), 65535);
            if (!entryPort || *entryPort != port) return false;
            entry = entry.substr(0, colon);
        }
    }
    entry = withoutBrackets(entry);

    const std::size_t slash = entry.find('/');
    const std::optional<Address> hostAddress = parseAddress(host);
    if (const std::optional<Address> entryAddress = parseAddress(entry.substr(0, slash))) {
        if (!hostAddress || hostAddress->family != entryAddress->family) return false;
        const int width = entryAddress->family == AF_INET ? 32 : 128;
        int bits = width;
        if (slash != std::string_view::npos) {
            const std::optional<int> given = parseNumber(entry.substr(slash + 1), width);
            if (!given) return false;
            bits = *given;
        }
        return sameNetwork(*hostAddress, *entryAddress, bits);
    }
    if (slash != std::string_view::npos) return false;

    if (entry.starts_with("*.")) entry.remove_prefix(2);
    if (entry.starts_with(".")) entry.remove_prefix(1);
    if (entry.ends_with(".")) entry.remove_suffix(1);
    if (entry.empty()) return false;
    if (host == entry) return true;
    return host.size() > entry.size() && host.ends_with(entry) && host[host.size() - entry.size() - 1] == '.';
}

}  // namespace

ProxySettings proxySettingsFrom(const std::function<std::optional<std::string>(std::string_view name)>& lookup) {
    const auto either = [&lookup](std::string_view lower, std::string_view upper) {
        for (const std::string_view name : {lower, upper}) {
            if (std::optional<std::string> value = lookup(name); value && !value->empty()) return *value;
        }
        return std::string();
    };
    return ProxySettings{either("http_proxy", "HTTP_PROXY"), either("https_proxy", "HTTPS_PROXY"),
                         either("no_proxy", "NO_PROXY")};
}

bool bypassesProxy(std::string_view noProxy, std::string_view host, int port) {
    std::string name = lowerCase(withoutBrackets(host));
    if (name.ends_with(".")) name.pop_back();
    const std::string list = lowerCase(noProxy);
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t end = std::min(list.find_first_of(", \t", at), list.size());
        const std::string_view entry = std::string_view(list).substr(at, end - at);
        if (!entry.empty() && entryNames(entry, name, port)) return true;
        at = end + 1;
    }
    return false;
}

std::optional<std::string> proxyFor(const ProxySettings& settings, std::string_view scheme, std::string_view host,
                                    int port) {
    const std::string& proxy = lowerCase(scheme) == "https" ? settings.httpsProxy : settings.httpProxy;
    if (proxy.empty() || bypassesProxy(settings.noProxy, host, port)) return std::nullopt;
    return proxy;
}

}  // namespace tarnwick
