// While the launcher waits for its tick: the title picture, centred, above the
// tiny dialog that owns it; the dispatch about three seconds after the start.
#include <cstdio>

#include "harness/E2eTest.h"
#include "harness/Screen.h"

namespace {

constexpr int kSplashBitmapId = 131;
constexpr int kSplashWidth = 400;
constexpr int kSplashHeight = 300;
constexpr char kRtcwLink[] = "vsl://rtcw/10.0.0.1:27960?name=Player";

// The bitmap reaches the screen in the screen's colour depth; its 5-bit
// channels may round differently on the way.
constexpr int kColourTolerance = 8;
// The window's pixels reach the screen a moment after it was painted; the
// launcher goes on to the game after three seconds.
constexpr DWORD kPaintLimitMs = 1500;

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

RECT WorkArea() {
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// The top-left corner of a window of that size centred on the work area; for
// 400 x 300 on a 1024 x 768 screen without a taskbar, (312, 234).
POINT CentredOnWorkArea(int width, int height) {
    RECT area = WorkArea();
    return POINT{(area.left + area.right) / 2 - width / 2, (area.top + area.bottom) / 2 - height / 2};
}

class Waiting : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        InstallGame(GameWithId("rtcw"));
        launcherPath_ = InstallLauncher();
    }

    LauncherProcess StartWith(const std::string& link) {
        return LauncherProcess::Start(LinkCommandLine(launcherPath_, link));
    }

    std::string launcherPath_;
};

TEST_F(Waiting, SplashShowsTheTitlePictureCentredAboveTheDialogThatOwnsIt) {
    LauncherProcess launcher = StartWith(kRtcwLink);
    std::optional<WindowView> dialog = WaitForLauncherDialog(launcher.Id());
    ASSERT_TRUE(dialog) << "no dialog";
    std::optional<WindowView> splash = WaitForSplash(launcher.Id());
    ASSERT_TRUE(splash) << "no splash window";

    POINT corner = CentredOnWorkArea(kSplashWidth, kSplashHeight);
    EXPECT_EQ(splash->rect.left, corner.x);
    EXPECT_EQ(splash->rect.top, corner.y);
    EXPECT_EQ(Width(splash->rect), kSplashWidth);
    EXPECT_EQ(Height(splash->rect), kSplashHeight);
    EXPECT_EQ(splash->style & (WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_BORDER), WS_POPUP) << "no frame";
    EXPECT_EQ(splash->caption, "");

    Picture title = LoadBitmapPicture(launcherPath_, kSplashBitmapId);
    int different = 0;
    PollUntil(kPaintLimitMs, [&] {
        different = CountDifferentPixels(CaptureScreen(splash->rect), title, kColourTolerance);
        return different == 0;
    });
    EXPECT_EQ(different, 0) << "pixels on screen that differ from bitmap " << kSplashBitmapId;

    // Wine maps the dialog above the splash window it owns and the launcher
    // then puts the splash window back on top, a few milliseconds later: the
    // order is checked once the picture is on the screen.
    EXPECT_EQ(splash->owner, dialog->handle);
    EXPECT_TRUE(IsAbove(splash->handle, dialog->handle)) << DescribeWindowsOf(launcher.Id());
}

// The program declares itself aware of the screen's DPI, so Windows draws
// its message boxes and dialog at the screen's scale, and it scales the title
// picture itself: at 150 % the picture is 600 x 450, still centred.
TEST_F(Waiting, SplashGrowsWithTheScreensScale) {
    HKEY desktop;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop), ERROR_SUCCESS);
    DWORD dpi = 144;
    RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    RegCloseKey(desktop);

    LauncherProcess launcher = StartWith(kRtcwLink);
    std::optional<WindowView> splash = WaitForSplash(launcher.Id());
    ASSERT_TRUE(splash) << "no splash window";
    POINT corner = CentredOnWorkArea(600, 450);
    EXPECT_EQ(splash->rect.left, corner.x);
    EXPECT_EQ(splash->rect.top, corner.y);
    EXPECT_EQ(Width(splash->rect), 600);
    EXPECT_EQ(Height(splash->rect), 450);
}

TEST_F(Waiting, DialogIsCaptionedVslWithATaskbarButtonAtTheCentreUnderTheSplash) {
    LauncherProcess launcher = StartWith(kRtcwLink);
    std::optional<WindowView> dialog = WaitForLauncherDialog(launcher.Id());
    ASSERT_TRUE(dialog) << "no dialog";

    EXPECT_EQ(dialog->caption, "vsl");
    EXPECT_TRUE(dialog->exStyle & WS_EX_APPWINDOW);
    EXPECT_EQ(dialog->style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), WS_POPUP | WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(dialog->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(dialog->owner, static_cast<HWND>(NULL));

    POINT corner = CentredOnWorkArea(Width(dialog->rect), Height(dialog->rect));
    EXPECT_EQ(dialog->rect.left, corner.x);
    EXPECT_EQ(dialog->rect.top, corner.y);

    // Tiny, and so wholly covered by the title picture.
    std::optional<WindowView> splash = WaitForSplash(launcher.Id());
    ASSERT_TRUE(splash);
    RECT overlap = {};
    IntersectRect(&overlap, &dialog->rect, &splash->rect);
    EXPECT_TRUE(EqualRect(&overlap, &dialog->rect)) << "the dialog reaches out from under the splash window";
}

TEST_F(Waiting, DispatchComesAboutThreeSecondsAfterTheSplash) {
    LauncherProcess launcher = StartWith(kRtcwLink);
    ASSERT_TRUE(WaitForSplash(launcher.Id()));
    DWORD splashSeen = GetTickCount();

    std::optional<LaunchRecord> started = WaitForLaunch(GameWithId("rtcw").executable);
    ASSERT_TRUE(started);
    // The timer starts just before the splash window comes up and runs for
    // 3000 ms; the game's stand-in then takes a moment to start.
    DWORD afterStart = started->tick - launcher.StartTick();
    DWORD afterSplash = started->tick - splashSeen;
    EXPECT_GE(afterStart, 3000u);
    EXPECT_LE(afterStart, 6000u);
    EXPECT_GE(afterSplash, 2500u);
    EXPECT_LE(afterSplash, 4500u);
    std::printf("game started %lu ms after the launcher, %lu ms after its splash was seen\n",
                static_cast<unsigned long>(afterStart), static_cast<unsigned long>(afterSplash));
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

TEST_F(Waiting, SplashAndDialogStayWhileAMessageIsOpen) {
    LauncherProcess launcher = StartWith("vsl://quake3/10.0.0.1:27960");
    std::optional<MessageBoxView> box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << DescribeWindowsOf(launcher.Id());

    std::optional<WindowView> splash = WaitForSplash(launcher.Id(), 0);
    std::optional<WindowView> dialog = WaitForLauncherDialog(launcher.Id(), 0);
    EXPECT_TRUE(splash) << "the splash window is gone while the message is open";
    EXPECT_TRUE(dialog) << "the dialog is gone while the message is open";

    EXPECT_EQ(PressAndWaitForExit(launcher, *box, IDOK), 1u);
}

}  // namespace
