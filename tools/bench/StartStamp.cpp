// The benchmark's stand-in game. It writes, into the file beside itself named
// after its own path plus ".stamp":
//   created=<its process creation time, 100 ns units since 1601>
//   command_line=<its command line>
// and exits with 0. The creation time is the system's, taken when the process
// was made and before any of this program loaded, so the figure is about the
// program that started it, not about how long this one takes to start. The
// file is written under a temporary name and renamed, so a reader never sees
// half of it.
#include <windows.h>

#include <string>

namespace {

bool WriteAll(const std::string& path, const std::string& text) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL wrote = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, NULL);
    CloseHandle(file);
    return wrote && written == text.size();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        return 1;
    }
    unsigned long long createdTicks =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;

    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 1;
    }
    std::string stamp = std::string(path) + ".stamp";
    std::string part = stamp + ".part";
    std::string text =
        "created=" + std::to_string(createdTicks) + "\ncommand_line=" + GetCommandLineA() + "\n";
    if (!WriteAll(part, text)) {
        return 1;
    }
    return MoveFileExA(part.c_str(), stamp.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
