// Links opened through the shell after a real install: Wine's start.exe (what
// "wine start LINK" runs) hands the link to the shell, which finds vsl.exe
// through the open command that the installer registered for the vsl scheme.
#include "Setup.h"

namespace {

struct ShellLink {
    const char* name;
    const char* gameId;
    std::string link;
    std::string gameCommandLine;
    std::string explorerCommandLine;  // empty: the link embeds no address
};

class OpenThroughTheShell : public E2eTest, public ::testing::WithParamInterface<ShellLink> {};

TEST_P(OpenThroughTheShell, StartsTheGameThroughTheInstalledProgram) {
    const ShellLink& shellLink = GetParam();
    std::string folder = DefaultInstallFolder();
    ASSERT_NO_FATAL_FAILURE(InstallSilently(folder));
    const Game& game = GameWithId(shellLink.gameId);
    InstallGame(game);
    std::string explorer = InstallExplorerStandIn();

    // start /wait ends with the exit code of the program it started.
    LauncherProcess start = LauncherProcess::Start("start.exe /wait \"" + shellLink.link + "\"");
    EXPECT_EQ(start.WaitForExit(kSetupLimitMs), 0u);

    std::optional<LaunchRecord> started = WaitForLaunch(game.executable);
    ASSERT_TRUE(started) << "the game was not started";
    EXPECT_EQ(started->commandLine, shellLink.gameCommandLine);
    EXPECT_EQ(started->folder, FolderOf(game.executable));
    if (shellLink.explorerCommandLine.empty()) {
        EXPECT_FALSE(WasLaunched(explorer));
    } else {
        std::optional<LaunchRecord> opened = WaitForLaunch(explorer);
        ASSERT_TRUE(opened) << "the embedded address did not reach explorer";
        EXPECT_EQ(opened->commandLine, shellLink.explorerCommandLine);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Links, OpenThroughTheShell,
    ::testing::Values(
        ShellLink{"Plain", "rtcw", "vsl://rtcw/10.0.0.1:27960?name=Player",
                  "WolfMP.exe +set name Player +connect 10.0.0.1:27960", ""},
        ShellLink{"WithBlanks", "mohaa", "vsl://mohaa/192.168.0.7:12203?name=Big Player&password=open sesame",
                  "mohaa.exe +set name Big Player +set password open sesame +connect 192.168.0.7:12203", ""},
        ShellLink{"WithAnEmbeddedAddress", "sof2",
                  "vsl://sof2/10.0.0.2:20100?name=Player&embed_url={https://example.org/servers?id=7}",
                  "SoF2MP.exe +set name Player +connect 10.0.0.2:20100",
                  "explorer https://example.org/servers?id=7"},
        // Nothing on the way treats these characters as its own.
        ShellLink{"WithShellCharacters", "rtcw", "vsl://rtcw/10.0.0.1:27960?name=$HOME|^`id`'x&k=*?~%a<b>",
                  "WolfMP.exe +set name $HOME|^`id`'x +set k *?~%a<b> +connect 10.0.0.1:27960", ""}),
    [](const ::testing::TestParamInfo<ShellLink>& info) { return std::string(info.param.name); });

}  // namespace
