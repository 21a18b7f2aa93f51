#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run at a broken invariant, so that libFuzzer keeps the input that
// broke it: the condition's text and place go to the error output first.
[[noreturn]] inline void BrokenInvariant(const char* condition, const char* file, int line) {
    static_cast<void>(fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition));
    abort();
}

#define VSL_REQUIRE(condition) \
    ((condition) ? static_cast<void>(0) : BrokenInvariant(#condition, __FILE__, __LINE__))
