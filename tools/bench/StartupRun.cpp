#include "tools/bench/StartupRun.h"

#include <windows.h>
#include <psapi.h>

#include <optional>
#include <vector>

#include "harness/LauncherProcess.h"
#include "harness/ProcessWindows.h"
#include "tests/support/Files.h"
#include "tools/bench/StampRecord.h"

namespace {

// The bitmap reaches the screen in the screen's colour depth; its 5-bit
// channels may round differently on the way.
constexpr int kColourTolerance = 8;
constexpr DWORD kShowLimitMs = 10000;
constexpr DWORD kScreenClearLimitMs = 3000;
constexpr DWORD kFullPictureLimitMs = 1500;
constexpr DWORD kDispatchLimitMs = 15000;

// Windows that the system makes for a thread on its own, for input methods,
// before the program's first window of its own is shown.
bool IsSystemWindow(const WindowView& window) {
    return window.className == "IME" || window.className == "MSCTFIME UI";
}

bool IsPictureWindow(const WindowView& window) {
    return window.visible && !IsSystemWindow(window) && window.className != "#32770";
}

RECT CentredOnWorkArea(int width, int height) {
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    LONG left = (area.left + area.right) / 2 - width / 2;
    LONG top = (area.top + area.bottom) / 2 - height / 2;
    return RECT{left, top, left + width, top + height};
}

bool DisplayShowsPointsOf(const Picture& title, const std::vector<PixelPoint>& points, const RECT& place) {
    HDC screen = GetDC(NULL);
    bool all = true;
    for (const PixelPoint& point : points) {
        COLORREF shown = GetPixel(screen, place.left + point.x, place.top + point.y);
        std::uint32_t asPixel = (GetRValue(shown) << 16) | (GetGValue(shown) << 8) | GetBValue(shown);
        if (!CloseColour(asPixel, title.pixels[point.y * title.width + point.x], kColourTolerance)) {
            all = false;
            break;
        }
    }
    ReleaseDC(NULL, screen);
    return all;
}

bool DisplayShowsWhole(const Picture& title, const RECT& place) {
    return CountDifferentPixels(CaptureScreen(place), title, kColourTolerance) == 0;
}

// Watches the process until the display shows its picture, filling in the
// window times; a problem when it never does.
std::string WatchUntilPainted(LauncherProcess& process, std::uint64_t created, const Picture& title,
                              RunResult& result) {
    std::vector<PixelPoint> points = SamplePoints(title.width, title.height);
    std::optional<double> firstWindow;
    std::optional<double> visible;
    RECT place = {};
    int looks = 0;
    std::uint64_t firstLook = SystemTimeNow();
    for (;;) {
        std::vector<WindowView> windows = TopLevelWindowsOf(process.Id());
        std::uint64_t seen = SystemTimeNow();
        looks++;
        for (const WindowView& window : windows) {
            if (!firstWindow && !IsSystemWindow(window)) {
                firstWindow = MillisecondsBetween(created, seen);
            }
            if (!visible && IsPictureWindow(window)) {
                visible = MillisecondsBetween(created, seen);
                place = window.rect;
            }
        }
        bool shown = visible && DisplayShowsPointsOf(title, points, place);
        std::uint64_t now = SystemTimeNow();
        if (shown) {
            result.painted = MillisecondsBetween(created, now);
            break;
        }
        if (MillisecondsBetween(created, now) > kShowLimitMs || process.HasEnded()) {
            return visible ? "the display never showed the picture" : "no picture window came up";
        }
        Sleep(1);
    }
    result.pollInterval = MillisecondsBetween(firstLook, SystemTimeNow()) / looks;
    result.firstWindow = *firstWindow;
    result.visible = *visible;

    // The points are a sample; the whole picture must be there too. If it is
    // not yet, the moment it is counts.
    if (!DisplayShowsWhole(title, place)) {
        if (!PollUntil(kFullPictureLimitMs, [&] { return DisplayShowsWhole(title, place); })) {
            return "the display showed part of the picture only";
        }
        result.painted = MillisecondsBetween(created, SystemTimeNow());
    }
    return "";
}

std::optional<double> PeakWorkingSetKb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)) || counters.PeakWorkingSetSize == 0) {
        return std::nullopt;
    }
    return static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
}

}  // namespace

RunResult MeasureRun(const Subject& subject, const Picture& title, const std::string& gamePath) {
    RunResult result;
    RemoveTree(StampPath(gamePath));

    // The previous run's picture must have left the display, or this run
    // would see it at once.
    RECT expected = CentredOnWorkArea(title.width, title.height);
    std::vector<PixelPoint> points = SamplePoints(title.width, title.height);
    if (!PollUntil(kScreenClearLimitMs, [&] { return !DisplayShowsPointsOf(title, points, expected); })) {
        result.problem = "the display showed the picture before the program started";
        return result;
    }

    std::uint64_t beforeCall = SystemTimeNow();
    LauncherProcess process = LauncherProcess::Start(subject.commandLine);
    std::optional<std::uint64_t> created = CreationTimeOf(process.Handle());
    if (!created) {
        result.problem = "no creation time";
        return result;
    }
    result.creationAfterCall = MillisecondsBetween(beforeCall, *created);

    result.problem = WatchUntilPainted(process, *created, title, result);
    if (!result.problem.empty()) {
        return result;
    }

    double waited = MillisecondsBetween(*created, SystemTimeNow());
    if (waited < kMemorySampleMs) {
        Sleep(static_cast<DWORD>(kMemorySampleMs - waited));
    }
    std::optional<double> peak = PeakWorkingSetKb(process.Handle());
    if (process.HasEnded() || FileExists(StampPath(gamePath))) {
        result.problem = "the program dispatched before its working set was read";
        return result;
    }
    if (!peak) {
        result.problem = "the system gave no working set";
        return result;
    }
    result.peakWorkingSetKb = *peak;

    std::optional<Stamp> game = WaitForStamp(gamePath, kDispatchLimitMs);
    if (!game) {
        result.problem = "the game was not started";
        return result;
    }
    if (game->commandLine.find(subject.expectedInGameCommandLine) == std::string::npos) {
        result.problem = "the game was started with " + game->commandLine;
        return result;
    }
    result.dispatch = MillisecondsBetween(*created, game->created);

    std::optional<DWORD> exitCode = process.WaitForExit();
    if (exitCode != 0u) {
        result.problem = exitCode ? "exit code " + std::to_string(*exitCode) : "the program did not end";
    }
    return result;
}
