#include "tools/bench/StampRecord.h"

#include "tests/support/Files.h"
#include "tests/support/Wait.h"

std::uint64_t TicksOf(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::uint64_t SystemTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return TicksOf(now);
}

double MillisecondsBetween(std::uint64_t from, std::uint64_t to) {
    return (static_cast<double>(to) - static_cast<double>(from)) / 10000.0;
}

std::optional<std::uint64_t> CreationTimeOf(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return std::nullopt;
    }
    return TicksOf(created);
}

std::string StampPath(const std::string& program) {
    return program + ".stamp";
}

std::optional<Stamp> WaitForStamp(const std::string& program, DWORD limitMs) {
    std::optional<std::string> text;
    PollUntil(limitMs, [&] { return (text = ReadFileText(StampPath(program))).has_value(); });
    if (!text) {
        return std::nullopt;
    }
    return ParseStamp(*text);
}
