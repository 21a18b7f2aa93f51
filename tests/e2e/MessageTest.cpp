// Every problem is reported in a message box captioned with the program's
// name, with one OK button and the stop icon, and the process then ends with
// exit code 1 without starting anything.
#include "harness/E2eTest.h"

namespace {

enum class Rtcw { Absent, RegisteredWithoutFiles, Installed };

struct Problem {
    const char* name;
    const char* arguments;  // the command line after the program's path
    Rtcw rtcw;
    const char* message;
};

class Messages : public E2eTest {};

class ReportsTheProblem : public E2eTest, public ::testing::WithParamInterface<Problem> {};

TEST_P(ReportsTheProblem, InAMessageThenEndsWithCode1) {
    const Problem& problem = GetParam();
    const Game& rtcw = GameWithId("rtcw");
    if (problem.rtcw == Rtcw::RegisteredWithoutFiles) {
        RegisterGame(rtcw);
    } else if (problem.rtcw == Rtcw::Installed) {
        InstallGame(rtcw);
    }
    std::string launcherPath = InstallLauncher();
    InstallExplorerStandIn();

    LauncherProcess launcher = LauncherProcess::Start(CommandLineOf(launcherPath, problem.arguments));
    std::optional<MessageBoxView> box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << "no message box; " << DescribeWindowsOf(launcher.Id());
    ExpectErrorBox(*box, problem.message);

    EXPECT_FALSE(launcher.HasEnded()) << "the process waits for the answer";
    EXPECT_EQ(PressAndWaitForExit(launcher, *box, IDOK), 1u);
    EXPECT_EQ(StartedStandIns(), std::vector<std::string>{});
}

const char kMalformed[] =
    "Malformed parameter string passed\nThis would most likely be caused by a bad link.";
const std::string kLongNameLink = "\"vsl://rtcw/10.0.0.1:27960?name=" + std::string(255, 'x') + "\"";
const char* const kLongName = kLongNameLink.c_str();
const char kNotSupported[] =
    "Your version of Vastrel does not support quake3.\nPlease get a newer version from "
    "https://vastrel.example/download.";

INSTANTIATE_TEST_SUITE_P(
    Problems, ReportsTheProblem,
    ::testing::Values(
        Problem{"NoArgument", "", Rtcw::Installed, "Missing Parameters"},
        Problem{"OnlyOptions", "/uninstall -p", Rtcw::Installed, "Missing Parameters"},
        Problem{"LinkShorterThanItsPrefix", "vsl:/", Rtcw::Installed, kMalformed},
        Problem{"EmptyHost", "\"vsl://rtcw/:27960\"", Rtcw::Installed, kMalformed},
        Problem{"UnclosedAddress", "\"vsl://rtcw/10.0.0.1:27960?embed_url={https://example.org/\"",
                Rtcw::Installed, kMalformed},
        Problem{
            "SettingThatTakesTheGameOver",
            "\"vsl://rtcw/10.0.0.1:27960?fs_basepath=%5C%5C203.0.113.7%5Cshare&fs_game=x\"", Rtcw::Installed,
            "This link was refused: its setting fs_basepath changes where the game loads its code and data "
            "from.\nNothing was started."},
        Problem{
            "SettingLongerThanTheGameKeeps", kLongName, Rtcw::Installed,
            "This link was refused: rtcw keeps at most 254 characters of a setting, and its setting name has "
            "255.\nNothing was started."},
        Problem{"GameNotInstalled", "\"vsl://rtcw/10.0.0.1:27960?embed_url={https://example.org/}\"",
                Rtcw::Absent, "Vastrel was unable to detect rtcw on your computer.\n"},
        Problem{"GameFilesGone", "\"vsl://rtcw/10.0.0.1:27960?embed_url={https://example.org/}\"",
                Rtcw::RegisteredWithoutFiles, "Unable to launch rtcw.\nFile not found."},
        Problem{"UnknownGame", "\"vsl://quake3/10.0.0.1:27960\"", Rtcw::Installed, kNotSupported},
        Problem{"GameIdInOtherCase", "\"vsl://RTCW/10.0.0.1:27960\"", Rtcw::Installed,
                "Your version of Vastrel does not support RTCW.\nPlease get a newer version from "
                "https://vastrel.example/download."},
        // Not the uninstall command: a link whose six-character prefix is
        // "Uninst" and whose game id, host and port are all "all".
        Problem{"UninstallInOtherCase", "Uninstall", Rtcw::Installed,
                "Your version of Vastrel does not support all.\nPlease get a newer version from "
                "https://vastrel.example/download."}),
    [](const ::testing::TestParamInfo<Problem>& info) { return std::string(info.param.name); });

TEST_F(Messages, MissingParametersComesWithoutSplashOrDialog) {
    std::string launcherPath = InstallLauncher();
    LauncherProcess launcher = LauncherProcess::Start(CommandLineOf(launcherPath, ""));
    std::optional<MessageBoxView> box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << DescribeWindowsOf(launcher.Id());
    EXPECT_EQ(box->text, "Missing Parameters");

    std::vector<WindowView> visible = VisibleWindowsOf(launcher.Id());
    ASSERT_EQ(visible.size(), 1u) << "only the message box is on screen";
    EXPECT_EQ(visible[0].handle, box->handle);
    EXPECT_EQ(PressAndWaitForExit(launcher, *box, IDOK), 1u);
}

TEST_F(Messages, MessagesAreCaptionedWithTheExecutablesName) {
    std::string launcherPath = InstallLauncher(kInstallFolder, "Launcher.exe");
    LauncherProcess launcher =
        LauncherProcess::Start(LinkCommandLine(launcherPath, "vsl://quake3/10.0.0.1:27960"));
    std::optional<MessageBoxView> box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << DescribeWindowsOf(launcher.Id());
    EXPECT_EQ(box->caption, "Launcher");
    EXPECT_EQ(box->text, kNotSupported);
    EXPECT_EQ(PressAndWaitForExit(launcher, *box, IDOK), 1u);
}

}  // namespace
