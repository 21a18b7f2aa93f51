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

// A game the launcher knows, and how it reads its command line.
struct GameEntry {
    std::string id;
    CommandLineReader reader;
};

// The games the launcher knows.
const std::vector<GameEntry>& KnownGames();

// The known game with this id; null for none.
const GameEntry* FindGame(const std::string& gameId);

// The answer for a game id that no known game has.
extern const char kUnknownGame[];

// The path of the game's executable from the first of the places where it may
// be installed (GameLocator.cpp) that yields one; kUnknownGame ("none") for an
// id that is not a known game, and empty text when none does.
std::string FindGameExecutable(Platform& platform, const std::string& gameId);
