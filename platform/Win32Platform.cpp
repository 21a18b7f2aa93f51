#include "platform/Win32Platform.h"

#include <windows.h>

#include <ntsecapi.h>
#include <sddl.h>
#include <shellapi.h>

#include <algorithm>
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

bool IsHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// A folder's path as the system gives it, in a buffer of a system call's.
template <typename Call>
std::string FolderOf(Call call) {
    wchar_t folder[MAX_PATH] = L"";
    UINT length = call(folder, MAX_PATH);
    return length < MAX_PATH ? FromWide(folder, length).value_or(std::string()) : std::string();
}

// The account that runs the program, as a SID string ("S-1-5-21-..."):
// empty when the system does not tell.
std::string UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return std::string();
    }
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    wchar_t* text = nullptr;
    std::string sid;
    if (size != 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text)) {
        sid = FromWide(text, wcslen(text)).value_or(std::string());
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}

// Sixteen hexadecimal digits from the system's random number generator;
// empty when it gives none.
std::string RandomName() {
    unsigned char bytes[8];
    if (!RtlGenRandom(bytes, sizeof bytes)) {
        return std::string();
    }
    const char digits[] = "0123456789abcdef";
    std::string name;
    for (unsigned char byte : bytes) {
        name += digits[byte >> 4];
        name += digits[byte & 0x0F];
    }
    return name;
}

// The text in UTF-16 with a zero at its end; nothing when the conversion
// with these flags fails.
std::optional<std::vector<wchar_t>> ConvertedToWide(const std::string& text, DWORD flags) {
    std::vector<wchar_t> wide(text.size() + 1, L'\0');
    if (text.empty()) {
        return wide;
    }
    int length = MultiByteToWideChar(CP_UTF8, flags, text.data(), static_cast<int>(text.size()), wide.data(),
                                     static_cast<int>(wide.size()));
    if (length == 0) {
        return std::nullopt;
    }
    wide.resize(static_cast<size_t>(length) + 1);
    return wide;
}

}  // namespace

std::optional<std::vector<wchar_t>> ToWide(const std::string& text) {
    return ConvertedToWide(text, MB_ERR_INVALID_CHARS);
}

std::vector<wchar_t> ShownAsWide(const std::string& text) {
    return ConvertedToWide(text, 0).value_or(std::vector<wchar_t>(1, L'\0'));
}

std::optional<std::string> FromWide(const wchar_t* text, size_t length) {
    // A lone surrogate stands for no character: UTF-8 cannot name it, and the
    // system would put U+FFFD in its place.
    for (size_t i = 0; i < length; i++) {
        if (IsHighSurrogate(text[i]) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
            i++;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            return std::nullopt;
        }
    }
    if (length == 0) {
        return std::string();
    }
    int wideLength = static_cast<int>(length);
    int size = WideCharToMultiByte(CP_UTF8, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<size_t>(size), '\0');
    if (size == 0 ||
        WideCharToMultiByte(CP_UTF8, 0, text, wideLength, &converted[0], size, nullptr, nullptr) != size) {
        return std::nullopt;
    }
    return converted;
}

std::string ProgramPath() {
    // Long enough for any path the system gives a program.
    std::vector<wchar_t> path(32768);
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return length < path.size() ? FromWide(path.data(), length).value_or(std::string()) : std::string();
}

// "VSL.EXE" gives "vsl" when the file on the disk is vsl.exe.
std::string ProgramName() {
    std::string path = ProgramPath();
    std::optional<std::vector<wchar_t>> widePath = ToWide(path);
    if (path.empty() || !widePath) {
        return std::string();
    }

    std::string name = FileNameOf(path);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(widePath->data(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        name = FromWide(found.cFileName, wcslen(found.cFileName)).value_or(name);
        FindClose(search);
    }

    std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::optional<RegistryKey> Win32Platform::OpenKey(RegistryRoot root, const std::string& subkey,
                                                  std::uint32_t access) {
    std::optional<std::vector<wchar_t>> name = ToWide(subkey);
    HKEY key = nullptr;
    if (!name || RegOpenKeyExW(RootHandle(root), name->data(), 0, access, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return RegistryKey{reinterpret_cast<std::uintptr_t>(key)};
}

bool Win32Platform::QueryValue(RegistryKey key, const std::string& valueName, unsigned char* buffer,
                               std::uint32_t* size) {
    std::optional<std::vector<wchar_t>> name = ToWide(valueName);
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    if (!name ||
        RegQueryValueExW(HandleOf(key), name->data(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
        return false;
    }
    // Wide characters' worth, so that text lies aligned.
    std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(HandleOf(key), name->data(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &bytes) != ERROR_SUCCESS) {
        return false;
    }
    std::string delivered;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::optional<std::string> text = FromWide(data.data(), bytes / sizeof(wchar_t));
        if (!text) {
            return false;
        }
        delivered = *text;
    } else {
        delivered.assign(reinterpret_cast<const char*>(data.data()), bytes);
    }
    // As the registry does: what it delivered, or what it would need.
    bool fits = delivered.size() <= *size;
    if (fits) {
        std::copy(delivered.begin(), delivered.end(), buffer);
    }
    *size = static_cast<std::uint32_t>(delivered.size());
    return fits;
}

void Win32Platform::DeleteKey(RegistryKey parent, const std::string& child) {
    if (std::optional<std::vector<wchar_t>> name = ToWide(child)) {
        RegDeleteKeyW(HandleOf(parent), name->data());
    }
}

void Win32Platform::CloseKey(RegistryKey key) {
    RegCloseKey(HandleOf(key));
}

bool Win32Platform::StartProgram(const std::string& program, const std::string& commandLine,
                                 const std::string& folder) {
    std::optional<std::vector<wchar_t>> file = ToWide(program);
    // CreateProcessW may write into the command line it is given.
    std::optional<std::vector<wchar_t>> line = ToWide(commandLine);
    std::optional<std::vector<wchar_t>> directory = ToWide(folder);
    if (!file || !line || !directory) {
        return false;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(file->data(), line->data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : directory->data(), &startup, &started)) {
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

std::string Win32Platform::WindowsFolder() {
    return FolderOf(GetWindowsDirectoryW);
}

std::string Win32Platform::SystemFolder() {
    return FolderOf(GetSystemDirectoryW);
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
    std::optional<std::vector<wchar_t>> file = ToWide(program);
    std::optional<std::vector<wchar_t>> parameters = ToWide(arguments);
    if (!file || !parameters) {
        return false;
    }
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof start;
    // The caller ends right after: the start must be complete by then.
    start.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    start.lpVerb = L"runas";
    start.lpFile = file->data();
    start.lpParameters = parameters->data();
    start.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&start) != FALSE;
}

bool Win32Platform::CanChangeFolder(const std::string& folder) {
    std::optional<std::vector<wchar_t>> path = ToWide(folder);
    if (!path) {
        return false;
    }
    DWORD attributes = GetFileAttributesW(path->data());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    // A file that the system deletes as it is closed: made only to learn
    // whether the folder's rights allow it.
    std::optional<std::vector<wchar_t>> probe = ToWide(folder + "\\vsl_uninstall.probe");
    HANDLE file = probe ? CreateFileW(probe->data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr)
                        : INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

bool Win32Platform::TakeLock(const std::string& name) {
    std::optional<std::vector<wchar_t>> wide = ToWide("Local\\" + name);
    if (!wide) {
        return false;
    }
    // The handle stays open until the process ends, and with it the lock. A
    // lock that an elevated process holds cannot even be opened by one that
    // is not: that too means another holds it.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, wide->data());
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

std::optional<std::string> Win32Platform::WriteNewFile(const std::string& folder, const std::string& prefix,
                                                       const std::string& suffix, const std::string& text) {
    std::string random = RandomName();
    std::string sid = UserSid();
    if (random.empty() || sid.empty()) {
        return std::nullopt;
    }
    std::string path = folder + "\\" + prefix + random + suffix;
    std::optional<std::vector<wchar_t>> widePath = ToWide(path);
    // Full control for the system, the administrators and this account, and
    // for nobody else, whatever the folder would hand down.
    std::optional<std::vector<wchar_t>> rights = ToWide("D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;" + sid + ")");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!widePath || !rights ||
        !ConvertStringSecurityDescriptorToSecurityDescriptorW(rights->data(), SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
        return std::nullopt;
    }
    SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
    // CREATE_NEW: a file that is there already, whoever made it, is never
    // written into or taken for this one.
    HANDLE file = CreateFileW(widePath->data(), GENERIC_WRITE, 0, &security, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    LocalFree(descriptor);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string lines;
    for (char c : text) {
        if (c == '\n') {
            lines += '\r';
        }
        lines += c;
    }
    DWORD written = 0;
    bool wrote = WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) &&
                 written == lines.size();
    bool closed = CloseHandle(file) != FALSE;
    if (!wrote || !closed) {
        RemoveFile(path);
        return std::nullopt;
    }
    return path;
}

void Win32Platform::RemoveFile(const std::string& path) {
    if (std::optional<std::vector<wchar_t>> wide = ToWide(path)) {
        DeleteFileW(wide->data());
    }
}

std::optional<std::string> Win32Platform::ReadSmallFile(const std::string& path, std::size_t limit) {
    std::optional<std::vector<wchar_t>> wide = ToWide(path);
    HANDLE file = wide ? CreateFileW(wide->data(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr)
                       : INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    // Read in pieces up to one byte past the limit, which tells a file that
    // is too large without trusting a size read before.
    std::string text;
    char piece[4096];
    DWORD read = 1;
    bool failed = false;
    while (read != 0 && text.size() <= limit) {
        failed = !ReadFile(file, piece, sizeof piece, &read, nullptr);
        if (failed) {
            break;
        }
        text.append(piece, read);
    }
    CloseHandle(file);
    if (failed || text.size() > limit) {
        return std::nullopt;
    }
    return text;
}

bool Win32Platform::FileExists(const std::string& path) {
    std::optional<std::vector<wchar_t>> wide = ToWide(path);
    DWORD attributes = wide ? GetFileAttributesW(wide->data()) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int Win32Platform::ShowMessageBox(const std::string& text, unsigned style) {
    return MessageBoxW(nullptr, ShownAsWide(text).data(), ShownAsWide(ProgramName()).data(), style);
}

void Win32Platform::Exit(int exitCode) {
    std::exit(exitCode);
}
