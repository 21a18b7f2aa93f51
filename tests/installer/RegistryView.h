#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// What a registry key holds, read back for comparison with what an installer
// should have written.
struct KeyContents {
    // Each value by name ("" for the default value) as its type and data:
    // "sz:<text>", "dword:<number>" or "type<N>:<bytes in hex>".
    std::map<std::string, std::string> values;
    std::vector<std::string> subkeys;  // the names, sorted

    bool operator==(const KeyContents& other) const {
        return values == other.values && subkeys == other.subkeys;
    }
};

void PrintTo(const KeyContents& contents, std::ostream* out);

std::string Text(const std::string& text);  // "sz:<text>"
std::string Number(DWORD number);           // "dword:<number>"

// The key's contents; nothing when the key does not exist.
std::optional<KeyContents> ReadKey(HKEY root, const std::string& key);

// The names of the key's subkeys, sorted; empty when it does not exist.
std::vector<std::string> SubkeyNames(HKEY root, const std::string& key);
