// A stand-in for a program that others start: tests copy it under the name of
// the program it replaces. It writes how it was started into the file named
// after its own path plus ".rec", in three lines: when its starter made it,
// on the GetTickCount clock (one for the machine), its working folder and its
// command line, both in UTF-8. The record is written under another name and
// then renamed, so whoever waits for it never reads half of it. Plain Win32,
// which keeps the program small.
#include <windows.h>

namespace {

ULONGLONG Hundreds(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The process's creation time, which the system sets as the starter's
// CreateProcess makes it, however long loading the program takes after that
// (seconds where Wine runs emulated), as a GetTickCount reading.
DWORD CreationTick() {
    FILETIME created, unused, now;
    DWORD tick = GetTickCount();
    GetSystemTimeAsFileTime(&now);
    if (!GetProcessTimes(GetCurrentProcess(), &created, &unused, &unused, &unused)) {
        return tick;
    }
    return tick - static_cast<DWORD>((Hundreds(now) - Hundreds(created)) / 10000);
}

// Appends wide text as UTF-8; false when it does not fit.
bool AppendUtf8(char* record, int& length, int size, const wchar_t* text) {
    int added = WideCharToMultiByte(CP_UTF8, 0, text, -1, record + length, size - length, nullptr, nullptr);
    if (added == 0) {
        return false;
    }
    length += added - 1;  // without the zero
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static char record[4 * 32768 + 64];
    static wchar_t folder[32768];
    int length = wsprintfA(record, "%lu\n", CreationTick());
    GetCurrentDirectoryW(32768, folder);
    if (!AppendUtf8(record, length, sizeof record - 1, folder)) {
        return 1;
    }
    record[length++] = '\n';
    if (!AppendUtf8(record, length, sizeof record, GetCommandLineW())) {
        return 1;
    }

    wchar_t path[MAX_PATH + 16];
    wchar_t part[MAX_PATH + 16];
    DWORD pathLength = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (pathLength == 0 || pathLength >= MAX_PATH) {
        return 1;
    }
    lstrcatW(path, L".rec");
    lstrcpyW(part, path);
    lstrcatW(part, L".part");
    HANDLE file = CreateFileW(part, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool wrote = file != INVALID_HANDLE_VALUE && WriteFile(file, record, length, &written, nullptr) &&
                 written == static_cast<DWORD>(length);
    CloseHandle(file);
    return wrote && MoveFileExW(part, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
