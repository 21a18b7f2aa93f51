#pragma once

#include <optional>
#include <string>

#include "link/GameLocator.h"
#include "link/LaunchRequest.h"

// What a link may hand to a game. A link comes from any web page, and its
// settings go to the game's console, so a link passes only the settings a
// server list needs, each in a form the game's console reads as plain text,
// and only a command line the game's engine reads whole.

// Judges a decoded request for the game in one pass: the server address,
// every setting (one the game's table allows, its value as the table's rule
// asks) and what the game's engine reads of its command line. Why the game
// must not start with it, in words that finish "This link was refused: ",
// or nothing when it may; each setting's key is then spelled as the table
// spells it, which is how the game's command line carries it.
std::optional<std::string> RequestRefusal(const GameEntry& game, LaunchRequest& request);

// True for decimal digits only whose value lies from least to most.
bool IsWholeNumberIn(const std::string& text, long least, long most);

// A name, value or address from the link as a message shows it: cut short
// when it is long.
std::string ShownInMessage(const std::string& text);

// The message for a refused link: the reason, and that nothing was started.
std::string RefusalMessage(const std::string& reason);
