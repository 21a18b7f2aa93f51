#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

// How a game's engine reads the command line it is started with; what each
// one cannot read whole is listed where the launcher checks it.
enum class CommandLineReader {
    Quake3,  // sof2, mohaa, mohaaspearhead and rtcw
    Quake2,  // sof1
};

// Where a game's installer leaves its install location, how that value
// becomes the path of the game's executable, and how the game reads its
// command line.
struct GameEntry {
    std::string id;
    RegistryRoot root;
    std::string subkey;
    std::string valueName;
    int reads;              // how many times the value is read; the last read decides
    std::vector<int> cuts;  // characters removed from the end of the value, in order
    std::string suffix;     // appended last
    CommandLineReader reader;
};

// The games the launcher knows, in lookup order.
const std::vector<GameEntry>& KnownGames();

// The known game with this id; null for none.
const GameEntry* FindGame(const std::string& gameId);

// The answer for a game id that no known game has.
extern const char kUnknownGame[];

// The path of the game's executable; kUnknownGame ("none") for an id that is
// not a known game, and empty text when the game's registry entry cannot be
// read.
std::string FindGameExecutable(Platform& platform, const std::string& gameId);
