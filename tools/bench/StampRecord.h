#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "tools/bench/Sampling.h"

// The system's clock in 100 ns units since 1601: the clock of process creation
// times (GetProcessTimes), so that they and the driver's own readings compare.
std::uint64_t SystemTimeNow();
std::uint64_t TicksOf(const FILETIME& time);
double MillisecondsBetween(std::uint64_t from, std::uint64_t to);

// The creation time of a process the driver holds a handle to; nothing when
// the system does not tell.
std::optional<std::uint64_t> CreationTimeOf(HANDLE process);

std::string StampPath(const std::string& program);

// Waits for the stand-in at program's path to have written its stamp.
std::optional<Stamp> WaitForStamp(const std::string& program, DWORD limitMs);
