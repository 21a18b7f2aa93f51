#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

// The system's clock in 100 ns units since 1601: the clock of process creation
// times (GetProcessTimes), so that they and the driver's own readings compare.
std::uint64_t SystemTimeNow();
std::uint64_t TicksOf(const FILETIME& time);
double MillisecondsBetween(std::uint64_t from, std::uint64_t to);

// The creation time of a process the driver holds a handle to; nothing when
// the system does not tell.
std::optional<std::uint64_t> CreationTimeOf(HANDLE process);

// What the stand-in game (StartStamp.cpp) wrote about itself.
struct Stamp {
    std::uint64_t created = 0;
    std::string commandLine;
};

std::string StampPath(const std::string& program);

// Nothing when the text lacks either line.
std::optional<Stamp> ParseStamp(const std::string& text);

// Waits for the stand-in at program's path to have written its stamp.
std::optional<Stamp> WaitForStamp(const std::string& program, DWORD limitMs);
