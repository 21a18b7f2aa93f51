// Removal as the list of installed programs does it: Wine's uninstaller.exe
// runs the entry's UninstallString ("<folder>\vsl.exe" uninstall) and waits
// for it; vsl.exe asks, removes its keys and leaves its folder to a batch file.
#include "Setup.h"

namespace {

constexpr char kQuestion[] = "Are you sure you want to uninstall Vastrel ?";
// The batch file runs after vsl.exe has ended.
constexpr DWORD kRemovalLimitMs = 15000;
constexpr DWORD kQuietMs = 1500;

struct Removal {
    const char* name;
    std::vector<std::string> installs;  // the folders installed into, in order
    int answer;
};

class RemoveFromTheList : public E2eTest, public ::testing::WithParamInterface<Removal> {};

TEST_P(RemoveFromTheList, AsAnswered) {
    const Removal& removal = GetParam();
    for (const std::string& folder : removal.installs) {
        ASSERT_NO_FATAL_FAILURE(InstallSilently(folder));
    }
    const std::string& folder = removal.installs.back();
    std::map<std::string, KeyContents> installed = InstalledKeys();
    ASSERT_EQ(installed, ExpectedKeys(folder));

    LauncherProcess uninstaller = LauncherProcess::Start("uninstaller.exe --remove Vastrel");
    std::optional<DWORD> launcher = WaitForProcessNamed("vsl.exe");
    ASSERT_TRUE(launcher) << "the uninstaller did not start vsl.exe";
    std::optional<MessageBoxView> question = WaitForMessageBox(*launcher);
    ASSERT_TRUE(question) << DescribeWindowsOf(*launcher);
    EXPECT_EQ(question->text, kQuestion);
    EXPECT_EQ(question->buttons, (std::vector<int>{IDYES, IDNO}));
    Press(*question, removal.answer);
    EXPECT_TRUE(uninstaller.WaitForExit(kSetupLimitMs)) << "the uninstaller did not end";

    if (removal.answer == IDYES) {
        EXPECT_EQ(InstalledKeys(), (std::map<std::string, KeyContents>{}));
        EXPECT_TRUE(PollUntil(kRemovalLimitMs, [&] { return !FolderExists(folder); }))
            << "left in " << folder << ": " << ::testing::PrintToString(NamesIn(folder));
    } else {
        Sleep(kQuietMs);
        EXPECT_EQ(InstalledKeys(), installed);
        EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"vsl.exe"});
    }
    for (const std::string& earlier : removal.installs) {
        if (earlier != folder) {
            EXPECT_FALSE(FolderExists(earlier));
        }
    }
}

const std::string kDefault = "C:\\Program Files\\Vastrel";

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveFromTheList,
    ::testing::Values(Removal{"Yes", {kDefault}, IDYES}, Removal{"No", {kDefault}, IDNO},
                      Removal{"YesAfterInstallingTwice", {kDefault, kDefault}, IDYES},
                      Removal{"YesFromAFolderWithBlanks", {"C:\\My Games\\Link Opener"}, IDYES},
                      Removal{"YesAfterMovingTheInstallation", {kDefault, "C:\\Elsewhere Now"}, IDYES}),
    [](const ::testing::TestParamInfo<Removal>& info) { return std::string(info.param.name); });

}  // namespace
