// Measures vsl.exe against the reference program (SplashReference.cpp) under
// Wine, in one prefix: the time from process creation until the display shows
// the title picture, the moment of the dispatch (the stand-in game's own
// creation) and the peak working set while the program waits for its tick.
// The two programs run in turn, vsl.exe first, so that any drift of the
// machine reaches both alike. Prints a line per run, a summary and the
// FIGURE lines that tools/benchmark gathers.
//
//   vsl_bench_driver.exe [--runs N]   (default 12 runs of each program)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "harness/E2eTest.h"
#include "tools/bench/Figures.h"
#include "tools/bench/StartupRun.h"

namespace {

constexpr int kDefaultRuns = 12;
constexpr int kSplashBitmapId = 131;
constexpr char kLink[] = "vsl://rtcw/10.0.0.1:27960?name=Player";
constexpr double kLaunchDelayMs = 3000;
constexpr double kDispatchToleranceMs = 30;
constexpr double kReferenceFactor = 1.2;

struct Measured {
    Subject subject;
    std::vector<RunResult> good;
    int failed = 0;
};

void PrintRun(const std::string& label, const std::string& name, const RunResult& run) {
    if (!run.problem.empty()) {
        std::printf("%-9s %-9s: %s\n", name.c_str(), label.c_str(), run.problem.c_str());
        return;
    }
    std::printf(
        "%-9s %-9s: created %.1f ms after the call; first window %.1f, visible %.1f, painted %.1f, "
        "dispatch %.1f ms; peak working set %.0f KB; looked every %.1f ms\n",
        name.c_str(), label.c_str(), run.creationAfterCall, run.firstWindow, run.visible, run.painted,
        run.dispatch, run.peakWorkingSetKb, run.pollInterval);
    std::fflush(stdout);
}

Summary SummaryOf(const Measured& measured, const std::function<double(const RunResult&)>& figure) {
    std::vector<double> samples;
    for (const RunResult& run : measured.good) {
        samples.push_back(figure(run));
    }
    return Summarise(samples).value_or(Summary{});
}

void PrintRow(const char* label, const Measured& vsl, const Measured& reference,
              const std::function<double(const RunResult&)>& figure, int decimals) {
    std::printf("  %-38s %-30s %s\n", label, Describe(SummaryOf(vsl, figure), decimals).c_str(),
                Describe(SummaryOf(reference, figure), decimals).c_str());
}

std::string WithRange(const Summary& summary, const char* unit, int decimals) {
    return Fixed(summary.median, decimals) + " " + unit + " (" + Fixed(summary.low, decimals) + "-" +
           Fixed(summary.high, decimals) + ")";
}

void PrintSummary(const Measured& vsl, const Measured& reference) {
    std::printf(
        "\nmedian (min-max, n) over the good runs. Times in ms after the process's creation time\n"
        "(GetProcessTimes: when the system made the process, before any of its loading; the clock\n"
        "of the driver's own readings), the same for both programs.\n");
    struct Row {
        const char* label;
        double (*figure)(const RunResult&);
        int decimals;
    };
    const Row rows[] = {
        {"creation after the CreateProcess call", [](const RunResult& r) { return r.creationAfterCall; }, 1},
        {"first window exists", [](const RunResult& r) { return r.firstWindow; }, 1},
        {"picture window visible", [](const RunResult& r) { return r.visible; }, 1},
        {"picture on the display", [](const RunResult& r) { return r.painted; }, 1},
        {"  from first window to visible", [](const RunResult& r) { return r.visible - r.firstWindow; }, 1},
        {"  from visible to on the display", [](const RunResult& r) { return r.painted - r.visible; }, 1},
        {"game's process created", [](const RunResult& r) { return r.dispatch; }, 1},
        {"  of it after the first window", [](const RunResult& r) { return r.dispatch - r.firstWindow; }, 1},
        {"  of it after the window was visible", [](const RunResult& r) { return r.dispatch - r.visible; },
         1},
        {"peak working set at 2.5 s, KB", [](const RunResult& r) { return r.peakWorkingSetKb; }, 0},
        {"time between two looks", [](const RunResult& r) { return r.pollInterval; }, 2},
    };
    std::printf("  %-38s %-30s %s\n", "", "vsl.exe", "reference");
    for (const Row& row : rows) {
        PrintRow(row.label, vsl, reference, row.figure, row.decimals);
    }
    std::printf("  runs that failed: vsl.exe %d, reference %d\n", vsl.failed, reference.failed);
    std::printf(
        "The dispatch is the game's own creation time less the program's. For vsl.exe it holds its\n"
        "start-up until the timer starts (after its dialog window exists, before its picture is\n"
        "visible), the timer's 3000 ms and lateness, and the parse, the game lookup and WinExec until\n"
        "the system makes the game's process. The reference starts its timer first thing, before it\n"
        "makes its window. The driver looks about every %.1f ms (median), which bounds the\n"
        "resolution of the window and display times.\n\n",
        SummaryOf(vsl, [](const RunResult& r) { return r.pollInterval; }).median);
}

void PrintFigures(const Measured& vsl, const Measured& reference) {
    auto painted = [](const RunResult& r) { return r.painted; };
    auto dispatch = [](const RunResult& r) { return r.dispatch; };
    auto peak = [](const RunResult& r) { return r.peakWorkingSetKb; };

    Summary vslPainted = SummaryOf(vsl, painted);
    Summary refPainted = SummaryOf(reference, painted);
    std::printf("%s\n", FigureLine({"start to splash visible and painted", WithRange(vslPainted, "ms", 1),
                                    WithRange(refPainted, "ms", 1), "<= 1.2x reference",
                                    WithinFactor(vslPainted.median, refPainted.median, kReferenceFactor)})
                            .c_str());

    Summary vslDispatch = SummaryOf(vsl, dispatch);
    Summary refDispatch = SummaryOf(reference, dispatch);
    std::printf("%s\n",
                FigureLine({"dispatch (game created) after process start", WithRange(vslDispatch, "ms", 1),
                            WithRange(refDispatch, "ms", 1), "3000 +- 30 ms",
                            WithinDistance(vslDispatch.median, kLaunchDelayMs, kDispatchToleranceMs)})
                    .c_str());

    // The same moment without the process's start-up before it could start a
    // timer at all: vsl.exe starts its timer as its dialog window comes up.
    auto afterFirstWindow = [](const RunResult& r) { return r.dispatch - r.firstWindow; };
    Summary vslWait = SummaryOf(vsl, afterFirstWindow);
    Summary refWait = SummaryOf(reference, afterFirstWindow);
    std::printf("%s\n", FigureLine({"dispatch after the program's first window", WithRange(vslWait, "ms", 1),
                                    WithRange(refWait, "ms", 1), "3000 +- 30 ms",
                                    WithinDistance(vslWait.median, kLaunchDelayMs, kDispatchToleranceMs)})
                            .c_str());

    Summary vslPeak = SummaryOf(vsl, peak);
    Summary refPeak = SummaryOf(reference, peak);
    std::printf("%s\n", FigureLine({"peak working set while waiting", WithRange(vslPeak, "KB", 0),
                                    WithRange(refPeak, "KB", 0), "<= 1.2x reference",
                                    WithinFactor(vslPeak.median, refPeak.median, kReferenceFactor)})
                            .c_str());
}

int RunsAsked(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0 && std::atoi(argv[2]) > 0) {
        return std::atoi(argv[2]);
    }
    if (argc != 1) {
        throw SetupError("usage: vsl_bench_driver.exe [--runs N]");
    }
    return kDefaultRuns;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        int runs = RunsAsked(argc, argv);
        ForgetEverything();
        const Game& rtcw = GameWithId("rtcw");
        RegisterGame(rtcw);
        CopyFileTo(BuiltProgram("vsl_bench_game.exe"), rtcw.executable);
        std::string launcherPath = InstallLauncher();
        std::string referencePath = std::string(kInstallFolder) + "\\vsl_bench_splash.exe";
        CopyFileTo(BuiltProgram("vsl_bench_splash.exe"), referencePath);

        Picture title = LoadBitmapPicture(launcherPath, kSplashBitmapId);
        if (CountDifferentPixels(title, LoadBitmapPicture(referencePath, kSplashBitmapId), 0) != 0) {
            throw SetupError("the reference program shows another picture than vsl.exe");
        }

        Measured vsl{{"vsl.exe", LinkCommandLine(launcherPath, kLink), "+connect 10.0.0.1:27960"}, {}, 0};
        Measured reference{
            {"reference", CommandLineOf(referencePath, "\"" + rtcw.executable + "\""), rtcw.executable},
            {},
            0};

        // The prefix's first starts fill caches of its own (fonts, registry):
        // one run of each that does not count.
        for (Measured* measured : {&vsl, &reference}) {
            PrintRun("warm-up", measured->subject.name,
                     MeasureRun(measured->subject, title, rtcw.executable));
        }
        for (int run = 1; run <= runs; run++) {
            for (Measured* measured : {&vsl, &reference}) {
                RunResult result = MeasureRun(measured->subject, title, rtcw.executable);
                PrintRun("run " + std::to_string(run), measured->subject.name, result);
                if (result.problem.empty()) {
                    measured->good.push_back(result);
                } else {
                    measured->failed++;
                }
            }
        }
        if (vsl.good.size() * 2 < static_cast<std::size_t>(runs) ||
            reference.good.size() * 2 < static_cast<std::size_t>(runs)) {
            throw SetupError("fewer than half of the runs were good");
        }
        PrintSummary(vsl, reference);
        PrintFigures(vsl, reference);
        ForgetEverything();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "startup benchmark: %s\n", error.what());
        return 1;
    }
    return 0;
}
