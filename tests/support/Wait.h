#pragma once

#include <windows.h>

// Every wait of the driver has a limit, so a program that hangs fails its test
// instead of the whole run.
constexpr DWORD kWindowLimitMs = 15000;  // a window of the program to appear
constexpr DWORD kExitLimitMs = 15000;    // the program to end
constexpr DWORD kLaunchLimitMs = 15000;  // a started program to leave its record
constexpr DWORD kPollMs = 20;

// Asks condition every kPollMs until it holds or limitMs have passed; true
// when it held.
template <typename Condition>
bool PollUntil(DWORD limitMs, Condition condition) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start >= limitMs) {
            return false;
        }
        Sleep(kPollMs);
    }
}
