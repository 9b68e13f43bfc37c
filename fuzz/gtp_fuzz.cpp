// The GTP front end: the input is a controller's command lines, each
// handled as tarnwick-gtp handles it. Every line with a command gets one
// answer of the protocol's form, and the position stays a legal one.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_rule.h"
#include "engine/gtp/gtp.h"

namespace {


tarnwick::engine::gtp::GtpOptions fuzzOptions() {
    tarnwick::engine::gtp::GtpOptions options;
    options.engine.treeBytes = std::size_t{1} << 20;
    options.playouts = 20;  // genmove stays quick whatever the time settings
    return options;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarnwick::engine::gtp::Session session(fuzzOptions());
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start < input.size();) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        const auto reply = session.handle(input.substr(start, end - start));
        start = end + 1;
        if (reply.text.empty()) continue;
        require(reply.text[0] == '=' || reply.text[0] == '?', "an answer starts with = or ?");
        if (reply.analysisMillis) {
            require(reply.text.back() == '\n', "the analysis answer's first line ends");
            require(session.analysisBurst().find('\n') == std::string::npos, "a burst is one line");
            require(session.endAnalysis() == "\n", "an empty line ends the analysis");
        } else {
            require(reply.text.size() >= 3 && reply.text.ends_with("\n\n") &&
                        reply.text.find("\n\n") == reply.text.size() - 2,
                    "an answer ends with its only empty line");
        }
        const auto& position = session.position();
        require(position.base() >= 4 && position.base() <= 12, "the base is one GTP accepts");
        require(position.movesPlayed() <= position.topology().cellCount() + 1, "no more moves than cells");
        if (reply.quit) break;
    }
    return 0;
}
