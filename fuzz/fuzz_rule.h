// What every fuzz target checks beside crashes: a broken promise of the code
// under test is a finding like a crash, reported, and the run stops with the
// input kept.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void require(bool holds, const char* rule) {
    if (holds) return;
    std::fprintf(stderr, "fuzz: broken rule: %s\n", rule);
    std::abort();
}
