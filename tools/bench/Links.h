#pragma once

#include <cstddef>
#include <string>

// Links of a chosen length for timing the link parser. Each holds only bytes
// that the parser accepts in a setting (no "+", ";" or line breaks).

struct GeneratedLink {
    std::string text;
    std::size_t pairs = 0;         // key/value pairs in the query
    std::size_t longestValue = 0;  // bytes of the longest value
};

// The start of every generated link: game, host and port, then the query.
extern const char kLinkStart[];

// Exactly length bytes: a query of short pairs "k0001=v0001&k0002=v0002&..."
// whose last value is stretched with "x" to fill the length. Throws
// std::invalid_argument when not even one pair fits.
GeneratedLink ManyPairsLink(std::size_t length);

// Exactly length bytes: a query of the one pair "name=xxx...x".
GeneratedLink OneLongValueLink(std::size_t length);
