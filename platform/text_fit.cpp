#include "platform/text_fit.h"

#include <vector>

#include "platform/fonts.h"

namespace tarnwick {
namespace {

constexpr std::string_view kEllipsis = "...";

// Where each character of `text` starts, and the end: every byte in a
// Latin-1 text, the lead bytes in a UTF-8 one.
std::vector<std::size_t> characterStarts(std::string_view text) {
    const bool utf8 = isValidUtf8(text);
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!utf8 || (byte & 0xC0U) != 0x80U) starts.push_back(i);
    }
    starts.push_back(text.size());
    return starts;
}

bool fits(const Platform& p, std::string_view text, int width) { return p.textSize(text).width <= width; }

}  // namespace

std::string shortenInMiddle(const Platform& p, std::string_view text, int width) {
    if (fits(p, text, width)) return std::string(text);
    const std::vector<std::size_t> starts = characterStarts(text);
    const std::size_t characters = starts.size() - 1;
    // Keep `head` characters at the start and `tail` at the end; drop one
    // from the longer side at a time, so both ends stay about as long.
    std::size_t head = characters / 2;
    std::size_t tail = characters - head;
    std::string shortened;
    do {
        if (head == 0 && tail == 0) return std::string(kEllipsis);
        if (head >= tail) {
            --head;
        } else {
            --tail;
        }
        shortened = std::string(text.substr(0, starts[head]));
        shortened += kEllipsis;
        shortened += text.substr(starts[characters - tail]);
    } while (!fits(p, shortened, width));
    return shortened;
}

std::string shortenAtEnd(const Platform& p, std::string_view text, int width) {
    if (fits(p, text, width)) return std::string(text);
    const std::vector<std::size_t> starts = characterStarts(text);
    for (std::size_t kept = starts.size() - 1; kept-- > 0;) {
        std::string shortened(text.substr(0, starts[kept]));
        // No blank before the dots.
        while (!shortened.empty() && shortened.back() == ' ') shortened.pop_back();
        shortened += kEllipsis;
        if (fits(p, shortened, width)) return shortened;
    }
    return {};
}

}  // namespace tarnwick
