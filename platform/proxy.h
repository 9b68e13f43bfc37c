// Which web proxy a request goes through, decided as command-line programs
// decide it from http_proxy, https_proxy and no_proxy. The values are read
// from the environment by main and handed down; nothing here reads it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

struct ProxySettings {
    std::string httpProxy;   // for http URLs, e.g. "http://proxy:3128" or "proxy:3128"
    std::string httpsProxy;  // for https URLs (tunnelled with CONNECT)
    std::string noProxy;     // hosts reached directly, e.g. "localhost,.example.com,10.0.0.0/8"
};

// The settings from an environment: each lower-case name before its
// upper-case form, an empty value counting as none.
ProxySettings proxySettingsFrom(const std::function<std::optional<std::string>(std::string_view name)>& lookup);

// True when no_proxy's list names `host` (a name, an IPv4 address or an
// IPv6 address with or without brackets) reached on `port`. Entries are
// separated by commas or spaces and matched without regard to case: "*"
// names every host; a name names itself and the names under it (a leading
// "." or "*." is ignored); an address names itself, and an address with
// "/bits" the addresses of that network; an entry with ":port" names the host
// on that port only.
bool bypassesProxy(std::string_view noProxy, std::string_view host, int port);

// The proxy for a URL of `scheme` ("http" or "https") to `host`:`port`, or
// nothing for a direct connection.
std::optional<std::string> proxyFor(const ProxySettings& settings, std::string_view scheme, std::string_view host,
                                    int port);

}  // namespace tarnwick
