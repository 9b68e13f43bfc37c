// The small pieces of the record syntax that the tree and the reader share.
#pragma once

#include <string_view>

namespace tarnwick::record::syntax {

inline bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The position of the "]" that closes the raw value starting at `from`
// (just after its "["), or npos when nothing closes it. A "\" escapes the
// character after it, whatever it is.
inline std::size_t valueEnd(std::string_view text, std::size_t from) {
    for (std::size_t p = from; p < text.size(); ++p) {
        if (text[p] == '\\') {
            ++p;
        } else if (text[p] == ']') {
            return p;
        }
    }
    return std::string_view::npos;
}

}  // namespace tarnwick::record::syntax
