#pragma once

// What the test drivers under Wine share: files, waits with a limit, the
// recorder's records, the registry, started programs and their windows.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// How many times longer than natively Wine takes on this machine: 1, or more
// where qemu emulates Wine's 32-bit side. tools/wine-speed decides it and
// tools/wine-run hands it over as VSL_WINE_SLOWNESS.
DWORD Slowness();

// Every wait for something that is to come has a limit, so a program that
// hangs fails its test, not the run. Limits are stated as they are natively
// and stretch with the slowness; how long a test watches to see that nothing
// more comes is no limit and does not.
inline DWORD Limit(DWORD nativeMs) {
    return nativeMs * Slowness();
}
constexpr DWORD kLimitMs = 15000;

// Asks condition every 20 ms until it holds or the limit has passed.
template <typename Condition>
bool PollUntil(Condition condition, DWORD limitMs = Limit(kLimitMs)) {
    for (DWORD start = GetTickCount();; Sleep(20)) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start >= limitMs) {
            return false;
        }
    }
}

inline std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Paths, file contents, registry text and command lines here are UTF-8, and
// reach the system through its wide-character calls.

// A program built beside the driver: vsl.exe, vsl_recorder.exe, vsl-setup.exe.
std::string BuiltProgram(const std::string& fileName);
bool Exists(const std::string& path);
std::optional<std::string> ReadFileText(const std::string& path);
// Makes the folders it needs and replaces the file: the prefix's files are
// hard links to its template's, never to be written through.
void WriteFileText(const std::string& path, const std::string& text);

// The recorder stands in for games and explorer. Copied to a path, it records
// there how it was started: when its starter made it (GetTickCount, one clock
// for the machine), in which folder and with which command line.
struct LaunchRecord {
    DWORD tick;
    std::string folder;
    std::string commandLine;
};
void PlantRecorder(const std::string& path);
std::optional<LaunchRecord> WaitForLaunch(const std::string& path, DWORD limitMs = Limit(kLimitMs));
// rtcw registered as its installer registers it, with the recorder as its
// program and as explorer.
constexpr char kGame[] = "C:\\Games\\RTCW\\WolfMP.exe";
constexpr char kExplorer[] = "C:\\windows\\explorer.exe";
void InstallRtcw();

// Vastrel's entry among the installed programs, in HKEY_LOCAL_MACHINE.
constexpr char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vastrel";
void SetRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text);
bool KeyExists(HKEY root, const std::string& key);
// The key with its values and subkeys, a line each; empty when it is missing.
std::string DumpKey(HKEY root, const std::string& key);

// A started program, ended when the object goes should it still run.
class Process {
public:
    explicit Process(const std::string& commandLine, const std::string& folder = "C:\\");
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    // The exit code; nothing when it still runs after the limit.
    std::optional<DWORD> WaitForExit(DWORD limitMs = Limit(kLimitMs)) const;

    HANDLE handle = nullptr;
    DWORD id = 0;
    DWORD startTick = 0;
};
std::optional<DWORD> WaitForProcessNamed(const std::string& fileName);
// When the process made its first top-level window of a wanted class, shown
// or not: the tick at which a look every millisecond first found it.
std::optional<DWORD> WaitForFirstWindow(DWORD processId, bool (*wanted)(const char* className));

struct Window {
    HWND handle;
    std::string className;
    std::string caption;
    RECT rect;
    HWND owner;
    LONG exStyle;
};
// The process's visible top-level windows, the topmost first.
std::vector<Window> WindowsOf(DWORD processId);
std::optional<Window> WaitForWindow(DWORD processId, bool (*wanted)(const Window&),
                                    DWORD limitMs = Limit(kLimitMs));
// A message box is a dialog with the text control 0xFFFF.
bool IsMessageBox(const Window& window);
inline bool IsDialog(const Window& window) {
    return window.className == "#32770" && !IsMessageBox(window);
}
std::string MessageText(HWND box);
// The ids of the visible buttons, IDOK = 1 ... IDNO = 7.
std::vector<int> ButtonsOf(HWND box);
void Press(HWND box, int buttonId);

std::vector<DWORD> PixelsOf(HDC dc, const RECT& rect);
