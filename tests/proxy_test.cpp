// Which proxy a URL goes through: the environment's names and no_proxy's
// entries, as other command-line programs read them.
#include <gtest/gtest.h>

#include <map>

#include "platform/proxy.h"

namespace tarnwick {
namespace {

TEST(ProxyTest, NoProxyEntries) {
    struct Case {
        const char* noProxy;
        const char* host;
        int port;
        bool direct;
    };
    const Case cases[] = {
        {"", "www.littlegolem.net", 80, false},
        {"*", "www.littlegolem.net", 80, true},
        {"littlegolem.net", "www.littlegolem.net", 80, true},
        {"littlegolem.net", "littlegolem.net", 443, true},
        {".littlegolem.net", "littlegolem.net", 80, true},
        {"*.littlegolem.net", "www.littlegolem.net", 80, true},
        {"golem.net", "www.littlegolem.net", 80, false},  // a suffix, not a domain
        {"LittleGolem.NET", "WWW.littlegolem.net.", 80, true},
        {"localhost, example.com ,littlegolem.net", "www.littlegolem.net", 80, true},
        {"localhost example.com", "example.com", 80, true},
        {"www.littlegolem.net:8080", "www.littlegolem.net", 80, false},
        {"www.littlegolem.net:80", "www.littlegolem.net", 80, true},
        {"127.0.0.1", "127.0.0.1", 80, true},
        {"127.0.0.1", "127.0.0.2", 80, false},
        {"10.0.0.0/8", "10.20.30.40", 80, true},
        {"10.0.0.0/8", "11.0.0.1", 80, false},
        {"192.168.1.0/25", "192.168.1.127", 80, true},
        {"192.168.1.0/25", "192.168.1.128", 80, false},
        {"10.0.0.0/8", "ten.example", 80, false},
        {"::1", "[::1]", 80, true},
        {"[::1]:8080", "::1", 8080, true},
        {"fd00::/8", "[fd12::5]", 80, true},
        {"fd00::/8", "10.0.0.1", 80, false},
        {"10.0.0.0/33,,.,:", "10.0.0.1", 80, false},  // nonsense names nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bypassesProxy(c.noProxy, c.host, c.port), c.direct) << c.noProxy << " / " << c.host << ":" << c.port;
    }
}

TEST(ProxyTest, TheSchemeChoosesTheProxyAndLowerCaseNamesComeFirst) {
    const std::map<std::string, std::string> environment{{"http_proxy", "http://lower:3128"},
                                                         {"HTTP_PROXY", "http://upper:3128"},
                                                         {"https_proxy", ""},
                                                         {"HTTPS_PROXY", "secure:8443"},
                                                         {"NO_PROXY", "localhost"}};
    const ProxySettings settings = proxySettingsFrom([&environment](std::string_view name) -> std::optional<std::string> {
        const auto it = environment.find(std::string(name));
        if (it == environment.end()) return std::nullopt;
        return it->second;
    });
    EXPECT_EQ(proxyFor(settings, "http", "www.littlegolem.net", 80), "http://lower:3128");
    EXPECT_EQ(proxyFor(settings, "HTTPS", "www.littlegolem.net", 443), "secure:8443");
    EXPECT_EQ(proxyFor(settings, "http", "localhost", 80), std::nullopt);
    EXPECT_EQ(proxyFor(ProxySettings{}, "http", "www.littlegolem.net", 80), std::nullopt);
    EXPECT_EQ(proxyFor(ProxySettings{"", "secure:8443", ""}, "http", "www.littlegolem.net", 80), std::nullopt);
}

}  // namespace
}  // namespace tarnwick
