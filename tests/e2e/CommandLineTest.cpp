// Command lines as the shell and users write them: which argument becomes the
// link, and what of it reaches the game.
#include "harness/E2eTest.h"

namespace {

struct ShellCommand {
    const char* name;
    const char* afterProgram;  // everything that follows the quoted program path
    const char* gameCommandLine;
};

class TakesTheLinkFrom : public E2eTest, public ::testing::WithParamInterface<ShellCommand> {};

TEST_P(TakesTheLinkFrom, TheFirstPlainArgument) {
    const ShellCommand& command = GetParam();
    const Game& rtcw = GameWithId("rtcw");
    InstallGame(rtcw);
    std::string launcherPath = InstallLauncher();

    LauncherProcess launcher = LauncherProcess::Start(CommandLineOf(launcherPath, "") + command.afterProgram);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    std::optional<LaunchRecord> started = WaitForLaunch(rtcw.executable);
    ASSERT_TRUE(started) << "the game was not started";
    EXPECT_EQ(started->commandLine, command.gameCommandLine);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, TakesTheLinkFrom,
    ::testing::Values(ShellCommand{"QuotedLinkWithBlanks", " \"vsl://rtcw/10.0.0.1:27960?name=Big Player\"",
                                   "WolfMP.exe +set name Big Player +connect 10.0.0.1:27960"},
                      ShellCommand{"UnquotedLinkWithBlanks", " vsl://rtcw/10.0.0.1:27960?name=Big Player",
                                   "WolfMP.exe +set name Big +connect 10.0.0.1:27960"},
                      ShellCommand{"SlashOptionBefore", " /x \"vsl://rtcw/10.0.0.1:27960?name=P\"",
                                   "WolfMP.exe +set name P +connect 10.0.0.1:27960"},
                      ShellCommand{"DashOptionBefore", " -p vsl://rtcw/10.0.0.1:27960?name=P",
                                   "WolfMP.exe +set name P +connect 10.0.0.1:27960"},
                      ShellCommand{"EmptyArgumentBefore", " \"\" \"vsl://rtcw/10.0.0.1:27960?name=P\"",
                                   "WolfMP.exe +set name P +connect 10.0.0.1:27960"},
                      ShellCommand{"TabsBetween", "\t/x\tvsl://rtcw/10.0.0.1:27960?name=P\tmore",
                                   "WolfMP.exe +set name P +connect 10.0.0.1:27960"},
                      ShellCommand{"NoBlankAfterProgram", "\"vsl://rtcw/10.0.0.1:27960?name=P\"",
                                   "WolfMP.exe +set name P +connect 10.0.0.1:27960"},
                      ShellCommand{
                          "TwoLinks",
                          " vsl://rtcw/10.0.0.1:27960?name=First vsl://rtcw/10.0.0.2:27960?name=Second",
                          "WolfMP.exe +set name First +connect 10.0.0.1:27960"},
                      ShellCommand{"QuotesInsideLink", " \"vsl://rtcw/10.0.0.1:27960?name=a\"b\"\"",
                                   "WolfMP.exe +set name ab +connect 10.0.0.1:27960"}),
    [](const ::testing::TestParamInfo<ShellCommand>& info) { return std::string(info.param.name); });

}  // namespace
