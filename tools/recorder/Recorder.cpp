// A stand-in for a program that others start: tests copy it under the name of
// the program it replaces. It writes how it was started into the file beside
// itself named after its own path plus ".rec":
//   command_line=<its command line>
//   cwd=<its working directory>
//   tick=<milliseconds since the system started, when it ran>
// and exits with 0. The record is written under a temporary name and then
// renamed, so whoever waits for it never reads half of it. Plain Win32 only,
// which keeps the program a few kilobytes small.
#include <windows.h>

namespace {

bool WriteText(HANDLE file, const char* text) {
    DWORD length = lstrlenA(text);
    DWORD written = 0;
    return WriteFile(file, text, length, &written, NULL) && written == length;
}

bool WriteLine(HANDLE file, const char* name, const char* value) {
    return WriteText(file, name) && WriteText(file, "=") && WriteText(file, value) && WriteText(file, "\n");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char tick[16];
    wsprintfA(tick, "%lu", GetTickCount());

    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);

    // Room for the module path and both suffixes.
    char path[MAX_PATH + 16];
    char partPath[MAX_PATH + 16];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 1;
    }
    lstrcatA(path, ".rec");
    lstrcpyA(partPath, path);
    lstrcatA(partPath, ".part");

    HANDLE file = CreateFileA(partPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    bool wrote = WriteLine(file, "command_line", GetCommandLineA()) && WriteLine(file, "cwd", folder) &&
                 WriteLine(file, "tick", tick);
    CloseHandle(file);
    if (!wrote) {
        return 1;
    }
    return MoveFileExA(partPath, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
