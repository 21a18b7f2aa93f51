// A link opened through the shell: ShellExecuteExA finds vsl.exe through the
// vsl link scheme's open command that the installer registered.
#include "harness/E2eTest.h"

namespace {

class Shell : public E2eTest {};

TEST_F(Shell, OpensALinkThroughTheLinkScheme) {
    const Game& rtcw = GameWithId("rtcw");
    InstallGame(rtcw);
    std::string launcherPath = InstallLauncher();
    std::string explorerPath = InstallExplorerStandIn();

    LauncherProcess launcher = LauncherProcess::OpenLink(
        "vsl://rtcw/10.0.0.1:27960?name=Big Player&embed_url={https://example.org/}");
    std::optional<WindowView> dialog = WaitForLauncherDialog(launcher.Id());
    ASSERT_TRUE(dialog) << "the shell did not start vsl.exe";
    EXPECT_EQ(dialog->caption, "vsl");
    EXPECT_EQ(launcher.WaitForExit(), 0u);

    std::optional<LaunchRecord> started = WaitForLaunch(rtcw.executable);
    ASSERT_TRUE(started);
    EXPECT_EQ(started->commandLine, "WolfMP.exe +set name Big Player +connect 10.0.0.1:27960");
    EXPECT_EQ(started->folder, FolderOf(rtcw.executable));
    std::optional<LaunchRecord> explorer = WaitForLaunch(explorerPath);
    ASSERT_TRUE(explorer);
    EXPECT_EQ(explorer->commandLine, "explorer https://example.org/");
}

}  // namespace
