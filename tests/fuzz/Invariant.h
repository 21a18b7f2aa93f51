#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

// Stops the run at a broken invariant, so that libFuzzer keeps the input that
// broke it: the condition's text and place go to the error output first.
[[noreturn]] inline void BrokenInvariant(const char* condition, const char* file, int line) {
    static_cast<void>(fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition));
    abort();
}

#define VSL_REQUIRE(condition) \
    ((condition) ? static_cast<void>(0) : BrokenInvariant(#condition, __FILE__, __LINE__))

inline bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

inline bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

inline bool Contains(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}
