#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

// Where a game's installer leaves its install location, and how that value
// becomes the path of the game's executable.
struct GameEntry {
    std::string id;
    RegistryRoot root;
    std::string subkey;
    std::string valueName;
    int reads;              // how many times the value is read; the last read decides
    std::vector<int> cuts;  // characters removed from the end of the value, in order
    std::string suffix;     // appended last
};

// The games the launcher knows, in lookup order.
const std::vector<GameEntry>& KnownGames();

// The answer for a game id that no known game has.
extern const char kUnknownGame[];

// The path of the game's executable; kUnknownGame ("none") for an id that is
// not a known game, and empty text when the game's registry entry cannot be
// read.
std::string FindGameExecutable(Platform& platform, const std::string& gameId);
