#include "platform/Win32Platform.h"

#include <windows.h>

#include <direct.h>
#include <cstdio>
#include <cstdlib>

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

HKEY HandleOf(RegistryKey key) {
    return reinterpret_cast<HKEY>(key.handle);
}

// The last part of a path, after its last backslash or slash.
std::string FileNameOf(const std::string& path) {
    std::string::size_type separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

// "VSL.EXE" gives "vsl" when the file on the disk is vsl.exe.
std::string ProgramName() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::string();
    }

    std::string name;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
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

unsigned Win32Platform::StartProgram(const std::string& commandLine, int showState) {
    return WinExec(commandLine.c_str(), showState);
}

void Win32Platform::ChangeDirectory(const std::string& folder) {
    _chdir(folder.c_str());
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
