// Measures vsl.exe against the reference program (SplashReference.cpp) under
// Wine: the time from each process's creation until the display shows the
// title picture, the moment of the dispatch (the stand-in game's own
// creation, StartStamp.cpp) and the peak working set while the program waits
// for its tick. The two run in turn, vsl.exe first, so that any drift of the
// machine reaches both alike. Prints a line per run and the FIGURE lines
// (Figures.h) that tools/benchmark gathers into its table.
//
// It lays out the prefix it runs in, which tools/wine-run makes for it and
// throws away: vsl.exe and the reference in C:\Vastrel, and the stand-in game
// where vsl.exe finds rtcw.
//
//   vsl_bench_driver.exe RUNS   (runs of each program, after one warm-up run)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tools/bench/Figures.h"

namespace {

constexpr int kPictureId = 131;
constexpr char kLink[] = "vsl://rtcw/10.0.0.1:27960?name=Player";
constexpr char kInstallFolder[] = "C:\\Vastrel";
// Where rtcw's installer notes its folder, and the game in it.
constexpr char kGameKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Return to Castle Wolfenstein";
constexpr char kGameFolder[] = "C:\\RTCW";
constexpr char kGame[] = "C:\\RTCW\\WolfMP.exe";
constexpr char kStamp[] = "C:\\RTCW\\WolfMP.exe.stamp";

constexpr double kDelayMs = 3000;
constexpr double kDispatchToleranceMs = 30;
constexpr double kReferenceFactor = 1.2;
// The working set is read after the picture is up and before the tick.
constexpr double kMemoryReadMs = 2500;
// Limits on waits, as natively; they stretch where Wine runs emulated.
constexpr double kScreenClearLimitMs = 3000;
constexpr double kShowLimitMs = 10000;
constexpr double kDispatchLimitMs = 15000;
constexpr double kExitLimitMs = 5000;
// The picture reaches the display in the display's colour depth; its
// channels may round differently on the way.
constexpr int kColourTolerance = 8;

// A limit as natively, times how much slower Wine is here (VSL_WINE_SLOWNESS,
// from tools/wine-run).
double Stretched(double limitMs) {
    const char* slowness = std::getenv("VSL_WINE_SLOWNESS");
    long factor = slowness == nullptr ? 1 : std::strtol(slowness, nullptr, 10);
    return limitMs * static_cast<double>(factor > 1 ? factor : 1);
}

// Milliseconds on the clock of process creation times (GetProcessTimes), so
// that they and the driver's own readings compare.
double Milliseconds(const FILETIME& time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
           10000.0;
}

double Now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Milliseconds(now);
}

// Asks done every millisecond or so until it holds; false when limitMs pass first.
template <typename Done>
bool WaitFor(double limitMs, Done done) {
    double until = Now() + limitMs;
    while (!done()) {
        if (Now() > until) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

// A picture as 0x00RRGGBB pixels (the top byte undefined), rows top to bottom.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
};

// What the device context shows in the rectangle, through a 32-bit top-down
// DIB section; an empty picture when that cannot be made.
Picture Capture(HDC source, const RECT& area) {
    Picture picture;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = area.right - area.left;
    info.bmiHeader.biHeight = -(area.bottom - area.top);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr) {
        return picture;
    }
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ previous = SelectObject(memory, section);
    if (BitBlt(memory, 0, 0, area.right - area.left, area.bottom - area.top, source, area.left, area.top,
               SRCCOPY)) {
        GdiFlush();
        picture.width = area.right - area.left;
        picture.height = area.bottom - area.top;
        const DWORD* pixels = static_cast<const DWORD*>(bits);
        picture.pixels.assign(pixels, pixels + picture.width * picture.height);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(section);
    return picture;
}

// The title picture as vsl.exe carries it.
Picture TitlePicture(const std::string& program) {
    Picture picture;
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HBITMAP bitmap = module == nullptr ? nullptr : LoadBitmapA(module, MAKEINTRESOURCEA(kPictureId));
    BITMAP size;
    if (bitmap != nullptr && GetObjectA(bitmap, sizeof(size), &size) != 0) {
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        picture = Capture(memory, RECT{0, 0, size.bmWidth, size.bmHeight});
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
    }
    if (module != nullptr) {
        FreeLibrary(module);
    }
    return picture;
}

bool CloseColour(DWORD shown, DWORD wanted) {
    for (int shift : {0, 8, 16}) {
        int difference =
            static_cast<int>((shown >> shift) & 0xFF) - static_cast<int>((wanted >> shift) & 0xFF);
        if (std::abs(difference) > kColourTolerance) {
            return false;
        }
    }
    return true;
}

// Whether the display shows the whole picture at its place. Under Wine and
// Xvfb a look takes a millisecond or two, about as long as the look at the
// process's windows before it.
bool DisplayShows(const Picture& title, const RECT& place) {
    HDC screen = GetDC(nullptr);
    Picture shown = Capture(screen, place);
    ReleaseDC(nullptr, screen);
    return shown.width == title.width && shown.height == title.height &&
           std::equal(shown.pixels.begin(), shown.pixels.end(), title.pixels.begin(), CloseColour);
}

// What a look at the process's top-level windows found.
struct Windows {
    DWORD processId = 0;
    bool any = false;             // a window of the program's own, hidden or not
    std::optional<RECT> picture;  // where its picture window is, once that is visible
};

BOOL CALLBACK LookAtWindow(HWND window, LPARAM context) {
    Windows& windows = *reinterpret_cast<Windows*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    // The system makes windows of its own for a thread's input methods.
    if (processId != windows.processId || std::strcmp(className, "IME") == 0 ||
        std::strcmp(className, "MSCTFIME UI") == 0) {
        return TRUE;
    }
    windows.any = true;
    // vsl.exe's dialog is visible too; the picture is in the other window.
    if (IsWindowVisible(window) && std::strcmp(className, "#32770") != 0) {
        RECT place;
        GetWindowRect(window, &place);
        windows.picture = place;
    }
    return TRUE;
}

Windows LookAtWindowsOf(DWORD processId) {
    Windows windows;
    windows.processId = processId;
    EnumWindows(LookAtWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A started program; ended, if it still runs, when the run is over.
struct Process {
    PROCESS_INFORMATION info = {};
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() {
        if (info.hProcess != nullptr) {
            TerminateProcess(info.hProcess, 1);
            WaitForSingleObject(info.hProcess, static_cast<DWORD>(Stretched(kExitLimitMs)));
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
};

// The stand-in game's creation time and command line, once it has written them.
std::optional<std::pair<double, std::string>> ReadStamp() {
    FILE* file = std::fopen(kStamp, "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    char text[1024] = "";
    std::size_t read = std::fread(text, 1, sizeof(text) - 1, file);
    static_cast<void>(std::fclose(file));
    if (read == 0) {
        return std::nullopt;
    }
    char* commandLine = text;
    double created = static_cast<double>(std::strtoull(text, &commandLine, 10)) / 10000.0;
    return std::make_pair(created, std::string(commandLine));
}

// What a good run showed: every time in milliseconds after the process's
// creation time, the moment the system made the process, before any of its
// loading.
struct Run {
    double firstWindow = 0;
    double painted = 0;  // the display shows the whole picture
    double dispatch = 0;
    double dispatchAfterFirstWindow = 0;
    double peakWorkingSetKb = 0;
};

// One of the two programs measured and its good runs.
struct Subject {
    const char* name;
    std::string commandLine;
    std::string expectedInGame;  // what the game's command line must hold
    std::vector<Run> good;
    int failed = 0;
};

// Starts the program and watches it until it has started the game and ended;
// what went wrong, or nothing for a good run.
std::string MeasureRun(const Subject& subject, const Picture& title, Run& run) {
    DeleteFileA(kStamp);
    // The previous run's picture must have left the display, or this run
    // would see it at once.
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    LONG left = (area.left + area.right) / 2 - title.width / 2;
    LONG top = (area.top + area.bottom) / 2 - title.height / 2;
    RECT centred = {left, top, left + title.width, top + title.height};
    if (!WaitFor(Stretched(kScreenClearLimitMs), [&] { return !DisplayShows(title, centred); })) {
        return "the display showed the picture before the program started";
    }

    Process process;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    FILETIME created, unused;
    std::string commandLine = subject.commandLine;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup,
                        &process.info) ||
        !GetProcessTimes(process.info.hProcess, &created, &unused, &unused, &unused)) {
        return "the program did not start";
    }
    double start = Milliseconds(created);

    std::optional<RECT> place;
    bool shown = WaitFor(Stretched(kShowLimitMs), [&] {
        Windows windows = LookAtWindowsOf(process.info.dwProcessId);
        double seen = Now() - start;
        if (windows.any && run.firstWindow == 0) {
            run.firstWindow = seen;
        }
        place = place ? place : windows.picture;
        return place && DisplayShows(title, *place);
    });
    if (!shown) {
        return place ? "the display never showed the picture" : "no picture window came up";
    }
    run.painted = Now() - start;

    Sleep(static_cast<DWORD>(std::max(0.0, start + kMemoryReadMs - Now())));
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process.info.hProcess, &counters, sizeof(counters))) {
        return "the system gave no working set";
    }
    if (WaitForSingleObject(process.info.hProcess, 0) == WAIT_OBJECT_0 || ReadStamp()) {
        return "the program dispatched before its working set was read";
    }
    run.peakWorkingSetKb = static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;

    std::optional<std::pair<double, std::string>> game;
    if (!WaitFor(Stretched(kDispatchLimitMs), [&] { return (game = ReadStamp()).has_value(); })) {
        return "the game was not started";
    }
    if (game->second.find(subject.expectedInGame) == std::string::npos) {
        return "the game was started with " + game->second;
    }
    run.dispatch = game->first - start;
    run.dispatchAfterFirstWindow = run.dispatch - run.firstWindow;

    DWORD exitCode = 1;
    if (WaitForSingleObject(process.info.hProcess, static_cast<DWORD>(Stretched(kExitLimitMs))) !=
            WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.info.hProcess, &exitCode) || exitCode != 0) {
        return "the program did not end with exit code 0";
    }
    return "";
}

void MeasureAndPrint(Subject& subject, const Picture& title, const std::string& label, bool counts) {
    Run run;
    std::string problem = MeasureRun(subject, title, run);
    if (!problem.empty()) {
        std::printf("%-9s %-7s: %s\n", subject.name, label.c_str(), problem.c_str());
        subject.failed += counts ? 1 : 0;
    } else {
        std::printf(
            "%-9s %-7s: first window %6.1f ms, painted %6.1f ms, dispatch %7.1f ms (%7.1f after the first "
            "window), peak working set %.0f KB\n",
            subject.name, label.c_str(), run.firstWindow, run.painted, run.dispatch,
            run.dispatchAfterFirstWindow, run.peakWorkingSetKb);
        if (counts) {
            subject.good.push_back(run);
        }
    }
    static_cast<void>(std::fflush(stdout));
}

// The median of the good runs' figure, and with decimals and unit that
// median and their range: "81.2 ms (75.4-109.3)".
double Median(const Subject& subject, double Run::*figure, int decimals, const char* unit,
              std::string& text) {
    std::vector<double> samples;
    for (const Run& run : subject.good) {
        samples.push_back(run.*figure);
    }
    std::sort(samples.begin(), samples.end());
    std::size_t middle = samples.size() / 2;
    double median = samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    text = Fixed(median, decimals) + " " + unit + " (" + Fixed(samples.front(), decimals) + "-" +
           Fixed(samples.back(), decimals) + ")";
    return median;
}

void PrintFigures(const Subject& vsl, const Subject& reference) {
    const std::string againstReference = "<= " + Fixed(kReferenceFactor, 1) + "x reference";
    const std::string againstDelay = Fixed(kDelayMs, 0) + " +- " + Fixed(kDispatchToleranceMs, 0) + " ms";
    struct Row {
        const char* name;
        double Run::*figure;
        const char* unit;
        int decimals;
        bool toDelay;  // against the launcher's delay; otherwise against the reference
    };
    const Row rows[] = {
        {"start to splash visible and painted", &Run::painted, "ms", 1, false},
        {"dispatch (game created) after process start", &Run::dispatch, "ms", 1, true},
        {"dispatch after the program's first window", &Run::dispatchAfterFirstWindow, "ms", 1, true},
        {"peak working set while waiting", &Run::peakWorkingSetKb, "KB", 0, false},
    };
    for (const Row& row : rows) {
        std::string measured, referenceText;
        double median = Median(vsl, row.figure, row.decimals, row.unit, measured);
        double referenceMedian = Median(reference, row.figure, row.decimals, row.unit, referenceText);
        bool met = row.toDelay ? std::abs(median - kDelayMs) <= kDispatchToleranceMs
                               : median <= referenceMedian * kReferenceFactor;
        PrintFigure(row.name, measured, referenceText, row.toDelay ? againstDelay : againstReference, met);
    }
}

int Fail(const char* message) {
    static_cast<void>(std::fprintf(stderr, "startup benchmark: %s\n", message));
    return 1;
}

// Copies the program built beside the driver to the path.
bool CopyBuilt(const char* name, const std::string& path) {
    char driver[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, driver, MAX_PATH);
    std::string folder(driver, length);
    folder.erase(folder.find_last_of('\\') + 1);
    return CopyFileA((folder + name).c_str(), path.c_str(), FALSE) != FALSE;
}

// The programs in the install folder, and the game where vsl.exe finds rtcw.
bool LayOut(const std::string& launcher, const std::string& reference) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const auto* folder = reinterpret_cast<const BYTE*>(kGameFolder);
    bool registered =
        RegSetValueExA(key, "DisplayIcon", 0, REG_SZ, folder, sizeof(kGameFolder)) == ERROR_SUCCESS;
    RegCloseKey(key);
    CreateDirectoryA(kInstallFolder, nullptr);
    CreateDirectoryA(kGameFolder, nullptr);
    return registered && CopyBuilt("vsl.exe", launcher) && CopyBuilt("vsl_bench_splash.exe", reference) &&
           CopyBuilt("vsl_bench_game.exe", kGame);
}

}  // namespace

int main(int argc, char** argv) {
    long runs = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (runs <= 0) {
        return Fail("usage: vsl_bench_driver.exe RUNS");
    }
    std::string launcher = std::string(kInstallFolder) + "\\vsl.exe";
    std::string reference = std::string(kInstallFolder) + "\\vsl_bench_splash.exe";
    Picture title;
    if (!LayOut(launcher, reference) || (title = TitlePicture(launcher)).width == 0) {
        return Fail("cannot lay out the programs and the game");
    }
    Subject subjects[] = {
        {"vsl.exe", "\"" + launcher + "\" \"" + kLink + "\"", "+connect 10.0.0.1:27960", {}, 0},
        {"reference", "\"" + reference + "\" \"" + kGame + "\"", kGame, {}, 0},
    };
    // The prefix's first starts fill caches of its own (fonts, registry): one
    // run of each that does not count.
    for (Subject& subject : subjects) {
        MeasureAndPrint(subject, title, "warm-up", false);
    }
    for (int run = 1; run <= runs; run++) {
        for (Subject& subject : subjects) {
            MeasureAndPrint(subject, title, "run " + std::to_string(run), true);
        }
    }
    for (const Subject& subject : subjects) {
        std::printf("%s: %d of %ld runs failed\n", subject.name, subject.failed, runs);
        if (subject.good.size() * 2 < static_cast<std::size_t>(runs)) {
            return Fail("fewer than half of the runs were good");
        }
    }
    PrintFigures(subjects[0], subjects[1]);
    return 0;
}
