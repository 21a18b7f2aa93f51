#pragma once

#include <string_view>

// Comparisons of names that Windows, the games' consoles and Steam's files
// read in any case: ASCII letters match in either case, every other byte only
// itself.

inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualIgnoringCase(std::string_view text, std::string_view other) {
    if (text.size() != other.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); i++) {
        if (AsciiLower(text[i]) != AsciiLower(other[i])) {
            return false;
        }
    }
    return true;
}

inline bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}
