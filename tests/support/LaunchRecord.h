#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "tests/support/Wait.h"

// What a stand-in (the recorder under a game's or explorer's name) wrote
// about how it was started.
struct LaunchRecord {
    std::string commandLine;
    std::string folder;  // its working directory
    DWORD tick = 0;      // GetTickCount when it ran, one clock for the machine
};

// Waits for the stand-in at program's path to have been started and to have
// written its record; nothing when no record came within the limit.
std::optional<LaunchRecord> WaitForLaunch(const std::string& program, DWORD limitMs = kLaunchLimitMs);

// Whether the stand-in has been started; it writes its record at once.
bool WasLaunched(const std::string& program);
