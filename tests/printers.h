// Readable failure messages for the program's value types.
#pragma once

#include <ostream>

#include "platform/colour.h"

namespace tarnwick {

inline void PrintTo(const Colour& c, std::ostream* os) {
    *os << "(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

}  // namespace tarnwick
