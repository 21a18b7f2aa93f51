// The benchmark's Windows programs under Wine: a reference that showed
// another picture or started its program early, a stand-in that stamped a
// time other than its creation, or a driver whose times came out of order
// would each make the benchmark's figures wrong.
#include <gtest/gtest.h>

#include "harness/E2eTest.h"
#include "harness/Screen.h"
#include "tools/bench/StampRecord.h"
#include "tools/bench/StartupRun.h"

namespace {

constexpr int kSplashBitmapId = 131;
constexpr DWORD kStampLimitMs = 15000;
constexpr char kGamePath[] = "C:\\Games\\RTCW\\WolfMP.exe";

class BenchPrograms : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        CopyFileTo(BuiltProgram("vsl_bench_game.exe"), kGamePath);
        referencePath_ = std::string(kInstallFolder) + "\\vsl_bench_splash.exe";
        CopyFileTo(BuiltProgram("vsl_bench_splash.exe"), referencePath_);
        RemoveTree(StampPath(kGamePath));
    }

    Subject Reference() const {
        return Subject{"reference", CommandLineOf(referencePath_, std::string("\"") + kGamePath + "\""),
                       kGamePath};
    }

    std::string referencePath_;
};

TEST_F(BenchPrograms, StandInStampsItsOwnCreationTimeAndCommandLine) {
    LauncherProcess game = LauncherProcess::Start(CommandLineOf(kGamePath, "+set name Player +connect 1:2"));
    std::optional<std::uint64_t> created = CreationTimeOf(game.Handle());
    ASSERT_TRUE(created);

    std::optional<Stamp> stamp = WaitForStamp(kGamePath, kStampLimitMs);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->created, *created);
    EXPECT_EQ(stamp->commandLine, CommandLineOf(kGamePath, "+set name Player +connect 1:2"));
    EXPECT_EQ(game.WaitForExit(), 0u);
}

TEST_F(BenchPrograms, ReferenceShowsTheTitlePictureCentredThenStartsItsProgramAfterItsTimer) {
    Picture title = LoadBitmapPicture(BuiltProgram("vsl.exe"), kSplashBitmapId);
    EXPECT_EQ(CountDifferentPixels(LoadBitmapPicture(referencePath_, kSplashBitmapId), title, 0), 0);

    LauncherProcess reference = LauncherProcess::Start(Reference().commandLine);
    std::optional<std::uint64_t> created = CreationTimeOf(reference.Handle());
    ASSERT_TRUE(created);
    std::optional<WindowView> window = WaitForSplash(reference.Id());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->rect.left, 312);
    EXPECT_EQ(window->rect.top, 234);
    EXPECT_EQ(window->rect.right - window->rect.left, 400);
    EXPECT_EQ(window->rect.bottom - window->rect.top, 300);
    EXPECT_EQ(window->style & (WS_POPUP | WS_CAPTION | WS_BORDER), WS_POPUP);
    int different = 0;
    PollUntil(1500, [&] {
        different = CountDifferentPixels(CaptureScreen(window->rect), title, 8);
        return different == 0;
    });
    EXPECT_EQ(different, 0);

    std::optional<Stamp> game = WaitForStamp(kGamePath, kStampLimitMs);
    ASSERT_TRUE(game);
    EXPECT_GE(MillisecondsBetween(*created, game->created), 3000.0);
    EXPECT_EQ(game->commandLine, std::string("\"") + kGamePath + "\"");
    EXPECT_EQ(reference.WaitForExit(), 0u);
}

TEST_F(BenchPrograms, DriverMeasuresARunWithItsMomentsInOrder) {
    Picture title = LoadBitmapPicture(referencePath_, kSplashBitmapId);
    RunResult run = MeasureRun(Reference(), title, kGamePath);
    ASSERT_EQ(run.problem, "");
    EXPECT_GT(run.creationAfterCall, 0);
    EXPECT_GT(run.firstWindow, 0);
    EXPECT_LE(run.firstWindow, run.visible);
    EXPECT_LE(run.visible, run.painted);
    EXPECT_LT(run.painted, kMemorySampleMs);
    EXPECT_GE(run.dispatch, 3000);
    EXPECT_GT(run.pollInterval, 0);
    // A program that shows a window holds at least its DLLs: megabytes.
    EXPECT_GT(run.peakWorkingSetKb, 1024);
}

TEST_F(BenchPrograms, DriverReportsAProgramThatShowsNoPicture) {
    // The stand-in game opens no window at all.
    Subject silent{"stand-in", CommandLineOf(kGamePath, ""), ""};
    Picture title = LoadBitmapPicture(referencePath_, kSplashBitmapId);
    RunResult run = MeasureRun(silent, title, "C:\\Games\\none.exe");
    EXPECT_EQ(run.problem, "no picture window came up");
}

}  // namespace
