#pragma once

#include <string>

#include "platform/Platform.h"

// Writes the batch file that deletes the program, its install folder and
// itself, new and under a name nobody can foresee, in the Windows folder's
// temporary folder, and returns its path. Ends the process with exit code 1,
// after a message, when that cannot be done.
std::string WriteUninstallScript(Platform& platform);

// Finds the install folder, makes sure that all of Vastrel can be removed
// (starting itself again elevated when only an administrator can), asks,
// writes the batch file, starts it, removes the program's registry keys and
// ends the process: exit code 0 when done, declined or handed to the elevated
// uninstall, 1 after a message, with nothing removed.
[[noreturn]] void RunUninstall(Platform& platform);
