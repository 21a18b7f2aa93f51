#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Steam's text format (VDF), in which it keeps its list of libraries and each
// app's manifest: quoted keys, each followed by a quoted value or by a block
// of such pairs in braces.
struct VdfNode {
    std::string key;
    std::string value;              // a pair's text
    std::vector<VdfNode> children;  // a block's pairs
    bool block = false;
};

// How much of Steam's text is read at all: a file of at most 1 MiB (read
// with this limit), keys and values of at most 1023 bytes each once
// unescaped, blocks nested at most 8 deep. Text beyond them is refused
// whole: Steam writes nothing so large.
constexpr std::size_t kMaxVdfFileBytes = 1 << 20;

// The pairs at the top of the text. Nothing for text that Steam would not
// have written: a brace without its partner, a string without its closing
// quote, an unquoted word, an escape that Steam does not write, or text
// past the bounds above.
std::optional<std::vector<VdfNode>> ParseVdf(const std::string& text);

// The first of the pairs whose key matches in any case; null for none.
const VdfNode* FindVdfPair(const std::vector<VdfNode>& pairs, const std::string& key);
