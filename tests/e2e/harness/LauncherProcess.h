#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "tests/support/Wait.h"

// One run of the program under test. The process is ended, if it still runs,
// when the object goes, so a failed test leaves nothing behind.
class LauncherProcess {
public:
    // Starts the command line with CreateProcessA, as the shell does for a
    // link: "\"C:\\Vastrel\\vsl.exe\" \"vsl://...\"". The process's working
    // folder is folder.
    static LauncherProcess Start(const std::string& commandLine, const std::string& folder = "C:\\");

    // Hands the link to ShellExecuteExA, which finds the program through the
    // link scheme's open command in the registry.
    static LauncherProcess OpenLink(const std::string& link);

    LauncherProcess(LauncherProcess&& other) noexcept;
    LauncherProcess& operator=(LauncherProcess&&) = delete;
    ~LauncherProcess();

    DWORD Id() const { return id_; }
    // The process handle, for questions the system answers about the process
    // (its times, its memory); it stays the object's.
    HANDLE Handle() const { return process_; }
    // GetTickCount just before the process was started.
    DWORD StartTick() const { return startTick_; }

    // The exit code once the process has ended; nothing when it still runs
    // after limitMs.
    std::optional<DWORD> WaitForExit(DWORD limitMs = kExitLimitMs);
    bool HasEnded();

private:
    LauncherProcess(HANDLE process, DWORD id, DWORD startTick);

    HANDLE process_;
    DWORD id_;
    DWORD startTick_;
};
