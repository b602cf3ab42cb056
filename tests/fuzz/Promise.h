#pragma once

// How a fuzz target holds the code to a promise: a broken one is named on
// stderr, so that a finding says which promise broke, and then ends the run,
// so that libFuzzer saves the input that broke it.

#include <cstdio>

inline void Promise(bool kept, const char* promise) {
    if (!kept) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        __builtin_trap();
    }
}
