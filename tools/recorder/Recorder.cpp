// A stand-in for a program that others start: tests copy it under the name of
// the program it replaces. It writes how it was started into the file named
// after its own path plus ".rec", in three lines: when its starter made it,
// on the GetTickCount clock (one for the machine), its working folder and its
// command line. The
// record is written under another name and then renamed, so whoever waits for
// it never reads half of it. Plain Win32, which keeps the program small.
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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char record[3 * MAX_PATH + 32768];
    int length = wsprintfA(record, "%lu\n", CreationTick());
    length += GetCurrentDirectoryA(MAX_PATH, record + length);
    record[length++] = '\n';
    lstrcpynA(record + length, GetCommandLineA(), sizeof record - length);
    length += lstrlenA(record + length);

    char path[MAX_PATH + 16];
    char part[MAX_PATH + 16];
    DWORD pathLength = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (pathLength == 0 || pathLength >= MAX_PATH) {
        return 1;
    }
    lstrcatA(path, ".rec");
    wsprintfA(part, "%s.part", path);
    HANDLE file = CreateFileA(part, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool wrote = file != INVALID_HANDLE_VALUE && WriteFile(file, record, length, &written, nullptr) &&
                 written == static_cast<DWORD>(length);
    CloseHandle(file);
    return wrote && MoveFileExA(part, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
