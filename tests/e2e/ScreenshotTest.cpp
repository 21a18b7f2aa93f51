// Shows the splash window for a picture of the display: screenshot.sh runs
// this test with VSL_E2E_SHOT_DIR set to a Linux folder and takes the picture
// when the driver says the splash window is on screen.
//
// The handshake, through files in that folder:
//   splash.ready     written by the driver: "<left> <top> <width> <height>" of
//                    the splash window, once it is painted
//   splash.expected.ppm  the title picture as the program carries it
//   splash.taken     written by the script once it has the picture
#include "harness/E2eTest.h"
#include "harness/Screen.h"

namespace {

constexpr int kSplashBitmapId = 131;
constexpr int kColourTolerance = 8;
constexpr DWORD kPaintLimitMs = 1500;
constexpr DWORD kPictureLimitMs = 20000;

// Writes the picture as a binary PPM, which ImageMagick reads.
void WritePpm(const Picture& picture, const std::string& path) {
    std::string bytes =
        "P6\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
    for (std::uint32_t pixel : picture.pixels) {
        bytes += static_cast<char>((pixel >> 16) & 0xFF);
        bytes += static_cast<char>((pixel >> 8) & 0xFF);
        bytes += static_cast<char>(pixel & 0xFF);
    }
    WriteFileText(path, bytes);
}

class Screenshot : public E2eTest {};

TEST_F(Screenshot, SplashWindow) {
    std::optional<std::string> linuxFolder = EnvironmentValue("VSL_E2E_SHOT_DIR");
    if (!linuxFolder) {
        GTEST_SKIP() << "screenshot.sh runs this with VSL_E2E_SHOT_DIR set";
    }
    std::string folder = FromLinuxPath(*linuxFolder);
    std::string launcherPath = InstallLauncher();
    Picture title = LoadBitmapPicture(launcherPath, kSplashBitmapId);

    // A game this version does not know: the message keeps the splash window
    // on screen even if the picture comes after the tick.
    LauncherProcess launcher =
        LauncherProcess::Start(LinkCommandLine(launcherPath, "vsl://quake3/10.0.0.1:27960"));
    ASSERT_TRUE(WaitForLauncherDialog(launcher.Id()));
    std::optional<WindowView> splash = WaitForSplash(launcher.Id());
    ASSERT_TRUE(splash);
    PollUntil(kPaintLimitMs, [&] {
        return CountDifferentPixels(CaptureScreen(splash->rect), title, kColourTolerance) == 0;
    });

    WritePpm(title, folder + "\\splash.expected.ppm");
    const RECT& r = splash->rect;
    WriteFileText(folder + "\\splash.ready", std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                                                 std::to_string(r.right - r.left) + " " +
                                                 std::to_string(r.bottom - r.top) + "\n");
    EXPECT_TRUE(PollUntil(kPictureLimitMs, [&] { return FileExists(folder + "\\splash.taken"); }))
        << "no picture was taken";

    std::optional<MessageBoxView> box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << DescribeWindowsOf(launcher.Id());
    EXPECT_EQ(PressAndWaitForExit(launcher, *box, IDOK), 1u);
}

}  // namespace
