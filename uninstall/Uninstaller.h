#pragma once

#include <string>

#include "platform/Platform.h"

// Writes the batch file that deletes the program and its folder into the
// temporary folder and returns its path. Ends the process with exit code 1,
// after a message, when that cannot be done.
std::string WriteUninstallScript(Platform& platform);

// Asks, writes the batch file, removes the program's registry keys, starts the
// batch file and ends the process: exit code 0 when done or declined.
[[noreturn]] void RunUninstall(Platform& platform);
