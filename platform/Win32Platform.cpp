#include "platform/Win32Platform.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

HKEY RootHandle(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
    }
    return HKEY_CURRENT_USER;
}

UINT CodePageId(CodePage codePage) {
    switch (codePage) {
        case CodePage::Ansi:
            return CP_ACP;
        case CodePage::Oem:
            return CP_OEMCP;
        case CodePage::Utf8:
            return CP_UTF8;
    }
    return CP_ACP;
}

HKEY HandleOf(RegistryKey key) {
    return reinterpret_cast<HKEY>(key.handle);
}

// The last part of a path, after its last backslash or slash.
std::string FileNameOf(const std::string& path) {
    std::string::size_type separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

std::string ProgramPath() {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length < MAX_PATH ? std::string(path, length) : std::string();
}

// "VSL.EXE" gives "vsl" when the file on the disk is vsl.exe.
std::string ProgramName() {
    std::string path = ProgramPath();
    if (path.empty()) {
        return std::string();
    }

    std::string name;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        name = found.cFileName;
        FindClose(search);
    } else {
        name = FileNameOf(path);
    }

    std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::optional<RegistryKey> Win32Platform::OpenKey(RegistryRoot root, const std::string& subkey,
                                                  std::uint32_t access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootHandle(root), subkey.c_str(), 0, access, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return RegistryKey{reinterpret_cast<std::uintptr_t>(key)};
}

bool Win32Platform::QueryValue(RegistryKey key, const std::string& valueName, unsigned char* buffer,
                               std::uint32_t* size) {
    // The registry reports through the size what it delivered or, when the
    // buffer is too small, what it would need: both are handed back.
    DWORD count = *size;
    LONG result = RegQueryValueExA(HandleOf(key), valueName.c_str(), nullptr, nullptr, buffer, &count);
    *size = count;
    return result == ERROR_SUCCESS;
}

void Win32Platform::DeleteKey(RegistryKey parent, const std::string& child) {
    RegDeleteKeyA(HandleOf(parent), child.c_str());
}

void Win32Platform::CloseKey(RegistryKey key) {
    RegCloseKey(HandleOf(key));
}

bool Win32Platform::StartProgram(const std::string& program, const std::string& commandLine,
                                 const std::string& folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    // CreateProcessA may write into the command line it is given.
    std::string line = commandLine;
    if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

std::string Win32Platform::WindowsFolder() {
    char folder[MAX_PATH] = "";
    UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    return length < MAX_PATH ? std::string(folder, length) : std::string();
}

std::string Win32Platform::SystemFolder() {
    char folder[MAX_PATH] = "";
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return length < MAX_PATH ? std::string(folder, length) : std::string();
}

std::optional<std::string> Win32Platform::ConvertText(const std::string& text, CodePage from, CodePage to) {
    if (text.empty()) {
        return std::string();
    }
    int inputLength = static_cast<int>(text.size());
    int wideLength =
        MultiByteToWideChar(CodePageId(from), MB_ERR_INVALID_CHARS, text.data(), inputLength, nullptr, 0);
    if (wideLength == 0) {
        return std::nullopt;
    }
    std::vector<wchar_t> wide(static_cast<size_t>(wideLength));
    MultiByteToWideChar(CodePageId(from), MB_ERR_INVALID_CHARS, text.data(), inputLength, wide.data(),
                        wideLength);

    // UTF-8 holds every character; the other code pages report the ones
    // they lack instead of putting a look-alike in their place.
    bool toUtf8 = to == CodePage::Utf8;
    DWORD flags = toUtf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultPointer = toUtf8 ? nullptr : &usedDefault;
    int length = WideCharToMultiByte(CodePageId(to), flags, wide.data(), wideLength, nullptr, 0, nullptr,
                                     usedDefaultPointer);
    if (length == 0 || usedDefault) {
        return std::nullopt;
    }
    std::string converted(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CodePageId(to), flags, wide.data(), wideLength, &converted[0], length, nullptr,
                        nullptr);
    return converted;
}

std::optional<std::string> Win32Platform::ReadEnvironment(const std::string& name) {
    // The runtime's own copy of the environment, whose names it matches in
    // any case.
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

std::string Win32Platform::ProgramPath() {
    return ::ProgramPath();
}

bool Win32Platform::IsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    BOOL known = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    // A system that knows no elevation gives every administrator full rights
    // and asks nobody; there the removal finds out by trying.
    return !known || elevation.TokenIsElevated != 0;
}

bool Win32Platform::StartElevated(const std::string& program, const std::string& arguments) {
    SHELLEXECUTEINFOA start{};
    start.cbSize = sizeof start;
    // The caller ends right after: the start must be complete by then.
    start.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    start.lpVerb = "runas";
    start.lpFile = program.c_str();
    start.lpParameters = arguments.c_str();
    start.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&start) != FALSE;
}

bool Win32Platform::CanChangeFolder(const std::string& folder) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    // A file that the system deletes as it is closed: made only to learn
    // whether the folder's rights allow it.
    std::string probe = folder + "\\vsl_uninstall.probe";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

bool Win32Platform::TakeLock(const std::string& name) {
    // The handle stays open until the process ends, and with it the lock. A
    // lock that an elevated process holds cannot even be opened by one that
    // is not: that too means another holds it.
    HANDLE mutex = CreateMutexA(nullptr, TRUE, ("Local\\" + name).c_str());
    if (mutex == nullptr) {
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    // cppcheck-suppress resourceLeak ; held on purpose until the process ends
    return true;
}

std::optional<std::string> Win32Platform::ReadSmallFile(const std::string& path, std::size_t limit) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    // Read in pieces up to one byte past the limit, which tells a file that
    // is too large without trusting a size read before.
    std::string text;
    char piece[4096];
    for (std::size_t read = 1; read != 0 && text.size() <= limit;) {
        read = std::fread(piece, 1, sizeof piece, file);
        text.append(piece, read);
    }
    bool failed = std::ferror(file) != 0;
    static_cast<void>(std::fclose(file));
    if (failed || text.size() > limit) {
        return std::nullopt;
    }
    return text;
}

bool Win32Platform::FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Platform::WriteTextFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    std::size_t written = std::fwrite(text.data(), 1, text.size(), file);
    bool closed = std::fclose(file) == 0;
    return written == text.size() && closed;
}

int Win32Platform::ShowMessageBox(const std::string& text, unsigned style) {
    return MessageBoxA(nullptr, text.c_str(), ProgramName().c_str(), style);
}

void Win32Platform::Exit(int exitCode) {
    std::exit(exitCode);
}
