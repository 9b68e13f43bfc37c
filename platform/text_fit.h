// Texts fitted to a width in pixels, in the platform's current font, cut
// between whole characters (UTF-8 or Latin-1, as the text is drawn).
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace tarnwick {

// `text` as it is when it fits; otherwise with characters taken from its
// middle and "..." in their place, as few as make it fit. A message naming
// a file keeps its first word and the file's own name.
std::string shortenInMiddle(const Platform& p, std::string_view text, int width);
// `text` as it is when it fits; otherwise its longest start that fits with
// "..." after it.
std::string shortenAtEnd(const Platform& p, std::string_view text, int width);

}  // namespace tarnwick
