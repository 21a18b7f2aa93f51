// GetProcessId came with Windows XP SP1; Wine has it.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0502

#include "harness/LauncherProcess.h"

#include <shellapi.h>

#include <vector>

#include "tests/support/Files.h"

LauncherProcess LauncherProcess::Start(const std::string& commandLine, const std::string& folder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');

    DWORD startTick = GetTickCount();
    if (!CreateProcessA(NULL, writable.data(), NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup,
                        &started)) {
        throw SetupError("cannot start " + commandLine);
    }
    CloseHandle(started.hThread);
    return LauncherProcess(started.hProcess, started.dwProcessId, startTick);
}

LauncherProcess LauncherProcess::OpenLink(const std::string& link) {
    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = "open";
    execute.lpFile = link.c_str();
    execute.nShow = SW_SHOWNORMAL;

    DWORD startTick = GetTickCount();
    if (!ShellExecuteExA(&execute) || execute.hProcess == NULL) {
        throw SetupError("the shell did not start a program for " + link);
    }
    return LauncherProcess(execute.hProcess, GetProcessId(execute.hProcess), startTick);
}

LauncherProcess::LauncherProcess(HANDLE process, DWORD id, DWORD startTick)
    : process_(process), id_(id), startTick_(startTick) {}

LauncherProcess::LauncherProcess(LauncherProcess&& other) noexcept
    : process_(other.process_), id_(other.id_), startTick_(other.startTick_) {
    other.process_ = NULL;
}

LauncherProcess::~LauncherProcess() {
    if (process_ == NULL) {
        return;
    }
    if (!HasEnded()) {
        TerminateProcess(process_, 255);
        WaitForSingleObject(process_, kExitLimitMs);
    }
    CloseHandle(process_);
}

std::optional<DWORD> LauncherProcess::WaitForExit(DWORD limitMs) {
    if (WaitForSingleObject(process_, limitMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process_, &exitCode);
    return exitCode;
}

bool LauncherProcess::HasEnded() {
    return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
}
