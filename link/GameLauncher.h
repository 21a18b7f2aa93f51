#pragma once

#include <string>

#include "link/LaunchRequest.h"
#include "platform/Platform.h"

// Where the "does not support" message sends the user for a newer version.
extern const char kDownloadAddress[];

// True for an address that may be handed to explorer: an http or https
// address made only of the characters a URI may hold, without commas.
bool IsWebAddress(const std::string& address);

// The command line that starts the game: the executable's name, a +set for
// each setting and the +connect to the server.
std::string GameCommandLine(const std::string& executableName, const LaunchRequest& request);

// Finds the game of a request that LinkParser let through, starts it in its
// folder, opens the embedded web address and ends the process: exit code 0
// on success, 1 after any reported problem.
[[noreturn]] void GameLauncher(Platform& platform, const LaunchRequest& request);
