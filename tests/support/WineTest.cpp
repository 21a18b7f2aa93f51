#include "tests/support/WineTest.h"

#include <shlwapi.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <stdexcept>

namespace {

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                     static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(length));
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    std::string text(wide.size() * 4 + 1, '\0');
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0],
                                     static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string TextOf(HWND window) {
    wchar_t text[4096] = L"";
    GetWindowTextW(window, text, 4096);
    return Utf8(text);
}

}  // namespace

DWORD Slowness() {
    static const DWORD slowness = [] {
        const char* text = std::getenv("VSL_WINE_SLOWNESS");
        unsigned long value = text == nullptr ? 0 : std::strtoul(text, nullptr, 10);
        return value == 0 ? 1UL : value;
    }();
    return slowness;
}

std::string BuiltProgram(const std::string& fileName) {
    char driver[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, driver, MAX_PATH);
    std::string program = driver;
    program.replace(program.rfind('\\') + 1, std::string::npos, fileName);
    if (!Exists(program)) {
        throw std::runtime_error(program + " is missing: it is built beside the driver");
    }
    return program;
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> ReadFileText(const std::string& path) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string text;
    char piece[65536];
    for (DWORD read = 0; ReadFile(file, piece, sizeof piece, &read, nullptr) && read != 0;) {
        text.append(piece, read);
    }
    CloseHandle(file);
    return text;
}

void WriteFileText(const std::string& path, const std::string& text) {
    for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
        CreateDirectoryW(Wide(path.substr(0, slash)).c_str(), nullptr);
    }
    DeleteFileW(Wide(path).c_str());
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD written = 0;
    bool wrote = file != INVALID_HANDLE_VALUE &&
                 WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                 written == text.size();
    CloseHandle(file);
    if (!wrote) {
        throw std::runtime_error("cannot write " + path);
    }
}

void PlantRecorder(const std::string& path) {
    WriteFileText(path, ReadFileText(BuiltProgram("vsl_recorder.exe")).value());
}

std::optional<LaunchRecord> WaitForLaunch(const std::string& path, DWORD limitMs) {
    std::optional<std::string> text;
    PollUntil([&] { return (text = ReadFileText(path + ".rec")).has_value(); }, limitMs);
    if (!text) {
        return std::nullopt;
    }
    // Three lines, written whole: the tick, the folder, the command line.
    size_t folder = text->find('\n') + 1;
    size_t commandLine = text->find('\n', folder) + 1;
    return LaunchRecord{std::strtoul(text->c_str(), nullptr, 10),
                        text->substr(folder, commandLine - folder - 1), text->substr(commandLine)};
}

void SetRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
    std::wstring data = Wide(text);
    if (SHSetValueW(root, Wide(key).c_str(), Wide(name).c_str(), REG_SZ, data.c_str(),
                    static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot set " + key + "\\" + name);
    }
}

void InstallRtcw() {
    SetRegistryText(HKEY_LOCAL_MACHINE,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Return to Castle Wolfenstein",
                    "DisplayIcon", "C:\\Games\\RTCW");
    PlantRecorder(kGame);
    PlantRecorder(kExplorer);
}

bool KeyExists(HKEY root, const std::string& key) {
    HKEY opened = nullptr;
    bool exists = RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return exists;
}

// Values and subkeys in the registry's order, which is Wine's: by name.
std::string DumpKey(HKEY root, const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return "";
    }
    std::string dump = key + "\n";
    char name[256];
    BYTE data[2048];
    DWORD nameLength = sizeof name;
    DWORD size = sizeof data;
    DWORD type = 0;
    for (DWORD i = 0;
         RegEnumValueA(opened, i, name, &nameLength, nullptr, &type, data, &size) == ERROR_SUCCESS;
         ++i, nameLength = sizeof name, size = sizeof data) {
        std::string text(reinterpret_cast<const char*>(data), size);
        text = type == REG_DWORD ? std::to_string(*reinterpret_cast<const DWORD*>(data))
                                 : "\"" + text.substr(0, text.find('\0')) + "\"";
        // The default value is named @, as regedit names it.
        dump.append("  ").append(nameLength == 0 ? "@" : name).append(" = ").append(text).append("\n");
    }
    std::vector<std::string> children;
    for (DWORD i = 0; RegEnumKeyA(opened, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
        children.push_back(key + "\\" + name);
    }
    RegCloseKey(opened);
    for (const std::string& child : children) {
        dump += DumpKey(root, child);
    }
    return dump;
}

Process::Process(const std::string& commandLine, const std::string& folder) : startTick(GetTickCount()) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::wstring line = Wide(commandLine);
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, Wide(folder).c_str(),
                        &startup, &started)) {
        throw std::runtime_error("cannot start " + commandLine);
    }
    CloseHandle(started.hThread);
    handle = started.hProcess;
    id = started.dwProcessId;
}

Process::~Process() {
    if (!WaitForExit(0)) {
        TerminateProcess(handle, 255);
        WaitForSingleObject(handle, Limit(kLimitMs));
    }
    CloseHandle(handle);
}

std::optional<DWORD> Process::WaitForExit(DWORD limitMs) const {
    DWORD exitCode = 0;
    if (WaitForSingleObject(handle, limitMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(handle, &exitCode)) {
        return std::nullopt;
    }
    return exitCode;
}

std::optional<DWORD> WaitForProcessNamed(const std::string& fileName) {
    std::optional<DWORD> found;
    PollUntil([&] {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (lstrcmpiA(entry.szExeFile, fileName.c_str()) == 0) {
                found = entry.th32ProcessID;
            }
        }
        CloseHandle(snapshot);
        return found.has_value();
    });
    return found;
}

std::optional<DWORD> WaitForFirstWindow(DWORD processId, bool (*wanted)(const char* className)) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < Limit(kLimitMs); Sleep(1)) {
        for (HWND handle = GetTopWindow(nullptr); handle != nullptr;
             handle = GetWindow(handle, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(handle, &owner);
            char className[64] = "";
            GetClassNameA(handle, className, sizeof className);
            // The system makes windows of its own for a thread's input methods.
            if (owner == processId && lstrcmpA(className, "IME") != 0 &&
                lstrcmpA(className, "MSCTFIME UI") != 0 && wanted(className)) {
                return GetTickCount();
            }
        }
    }
    return std::nullopt;
}

std::vector<Window> WindowsOf(DWORD processId) {
    std::vector<Window> found;
    for (HWND handle = GetTopWindow(nullptr); handle != nullptr; handle = GetWindow(handle, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(handle, &owner);
        // Visible first: the program places a window before it shows it.
        if (owner == processId && IsWindowVisible(handle)) {
            char className[64] = "";
            GetClassNameA(handle, className, sizeof className);
            found.push_back({handle,
                             className,
                             TextOf(handle),
                             {},
                             GetWindow(handle, GW_OWNER),
                             GetWindowLongA(handle, GWL_EXSTYLE)});
            GetWindowRect(handle, &found.back().rect);
        }
    }
    return found;
}

std::optional<Window> WaitForWindow(DWORD processId, bool (*wanted)(const Window&), DWORD limitMs) {
    std::optional<Window> found;
    PollUntil(
        [&] {
            for (const Window& window : WindowsOf(processId)) {
                if (wanted(window)) {
                    found = window;
                }
            }
            return found.has_value();
        },
        limitMs);
    return found;
}

bool IsMessageBox(const Window& window) {
    return window.className == "#32770" && GetDlgItem(window.handle, 0xFFFF) != nullptr;
}

std::string MessageText(HWND box) {
    return TextOf(GetDlgItem(box, 0xFFFF));
}

std::vector<int> ButtonsOf(HWND box) {
    std::vector<int> buttons;
    for (int id = IDOK; id <= IDNO; ++id) {
        if (IsWindowVisible(GetDlgItem(box, id))) {
            buttons.push_back(id);
        }
    }
    return buttons;
}

void Press(HWND box, int buttonId) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

std::vector<DWORD> PixelsOf(HDC dc, const RECT& rect) {
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits),
                              static_cast<const DWORD*>(bits) + width * height);
    for (DWORD& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(section);
    return pixels;
}
