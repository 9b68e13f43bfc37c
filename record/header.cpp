#include "record/header.h"

namespace tarnwick::record {

std::optional<std::string> headerValue(const Tree& tree, std::string_view id) {
    const auto values = tree.values(kRoot, id);
    if (!values) return std::nullopt;
    return unescape(values->front());
}

std::optional<int> base(const Tree& tree) {
    const std::optional<std::string> size = headerValue(tree, "SZ");
    // Three digits are more than any board; the limit keeps the sum small.
    if (!size || size->empty() || size->size() > 3) return std::nullopt;
    int value = 0;
    for (const char c : *size) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<std::string> playerName(const Tree& tree, havannah::Player player) {
    return headerValue(tree, player == havannah::Player::Black ? "PB" : "PW");
}

std::optional<std::string> event(const Tree& tree) { return headerValue(tree, "EV"); }

std::optional<std::string> gameNumber(const Tree& tree) {
    constexpr std::string_view kMarker = "game #";
    const std::optional<std::string> gc = headerValue(tree, "GC");
    const std::size_t at = gc ? gc->find(kMarker) : std::string::npos;
    if (at == std::string::npos) return std::nullopt;
    std::string digits;
    for (std::size_t p = at + kMarker.size(); p < gc->size() && (*gc)[p] >= '0' && (*gc)[p] <= '9'; ++p) digits += (*gc)[p];
    if (digits.empty()) return std::nullopt;
    return digits;
}

std::optional<havannah::Player> winner(const Tree& tree) {
    const std::optional<std::string> result = headerValue(tree, "RE");
    if (!result || result->empty()) return std::nullopt;
    if (result->front() == 'B') return havannah::Player::Black;
    if (result->front() == 'W') return havannah::Player::White;
    return std::nullopt;
}

}  // namespace tarnwick::record
