#pragma once

#include <sstream>
#include <string>
#include <utility>
#include <vector>

// The lines of a record that the stand-in programs write as name=value, in
// order, split at the first "="; a line without one is no entry.
inline std::vector<std::pair<std::string, std::string>> NameValueLines(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::string::size_type equals = line.find('=');
        if (equals != std::string::npos) {
            entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        }
    }
    return entries;
}
