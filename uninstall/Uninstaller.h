#pragma once

#include <string>

#include "platform/Platform.h"

// Writes the batch file that deletes the program and its install folder into
// the temporary folder, in the command interpreter's code page, and returns
// its path. Ends the process with exit code 1, after a message, when that
// cannot be done.
std::string WriteUninstallScript(Platform& platform, const std::string& installPath);

// Finds the install folder, makes sure that all of Vastrel can be removed
// (starting itself again elevated when only an administrator can), asks,
// writes the batch file, removes the program's registry keys, starts the
// batch file and ends the process: exit code 0 when done, declined or handed
// to the elevated uninstall, 1 after a message.
[[noreturn]] void RunUninstall(Platform& platform);
