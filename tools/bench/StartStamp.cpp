// The benchmark's stand-in game. It writes its process creation time (100 ns
// units since 1601), a blank and its command line into the file named after
// its own path plus ".stamp", and exits. The creation time is the system's,
// taken when the process was made and before any of this program loaded, so
// the figure is about the program that started it, not about how long this
// one takes to start. The file is written under another name and renamed, so
// a reader never sees half of it.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    FILETIME created, unused;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (!GetProcessTimes(GetCurrentProcess(), &created, &unused, &unused, &unused) || length == 0 ||
        length >= MAX_PATH) {
        return 1;
    }
    std::string stamp = std::string(path) + ".stamp";
    std::string part = stamp + ".part";
    FILE* file = std::fopen(part.c_str(), "wb");
    if (file == nullptr) {
        return 1;
    }
    unsigned long long ticks =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    bool written = std::fprintf(file, "%llu %s", ticks, GetCommandLineA()) > 0;
    written = std::fclose(file) == 0 && written;
    return written && MoveFileExA(part.c_str(), stamp.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
