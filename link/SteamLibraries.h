#pragma once

#include <string>

#include "platform/Platform.h"

// The path of an app's executable in Steam's libraries: the first library,
// in Steam's own folder steamPath (as Steam records it) and then those its
// libraryfolders.vdf lists, whose manifest for the app names an install
// folder that holds the file. Empty when none does.
std::string FindSteamGame(Platform& platform, const std::string& steamPath, const std::string& app,
                          const std::string& file);
