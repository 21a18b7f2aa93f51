// "vsl.exe uninstall": after a Yes the launcher removes its registry keys and
// leaves a batch file to Wine's command interpreter, which deletes the
// executable and its folder; anything else changes nothing.
#include <optional>

#include "harness/E2eTest.h"
#include "harness/Registry.h"

namespace {

constexpr char kQuestion[] = "Are you sure you want to uninstall Vastrel ?";
constexpr char kScriptName[] = "\\vsl_uninstall.bat";
// The batch file runs after the launcher has ended.
constexpr DWORD kRemovalLimitMs = 15000;
constexpr DWORD kQuietMs = 1500;

// The launcher's keys that are still in the registry.
std::vector<std::string> LauncherKeysLeft() {
    std::vector<std::string> left;
    if (RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKey)) {
        left.push_back(std::string("HKCU\\") + kSettingsKey);
    }
    if (RegistryKeyExists(HKEY_CLASSES_ROOT, kSchemeKey)) {
        left.push_back(std::string("HKCR\\") + kSchemeKey);
    }
    if (RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey)) {
        left.push_back(std::string("HKLM\\") + kUninstallEntryKey);
    }
    return left;
}

const std::vector<std::string> kAllLauncherKeys = {std::string("HKCU\\") + kSettingsKey,
                                                   std::string("HKCR\\") + kSchemeKey,
                                                   std::string("HKLM\\") + kUninstallEntryKey};

class Uninstall : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        launcherPath_ = InstallLauncher();
        scriptPath_ = EnvironmentValue("tmp").value_or("C:\\") + kScriptName;
        RemoveTree(scriptPath_);
    }

    LauncherProcess StartUninstall() {
        return LauncherProcess::Start(CommandLineOf(launcherPath_, "uninstall"));
    }

    // Waits for the question, checks how it asks and answers it.
    void Answer(LauncherProcess& launcher, int button) {
        std::optional<MessageBoxView> question = WaitForMessageBox(launcher.Id());
        ASSERT_TRUE(question) << "no question; " << DescribeWindowsOf(launcher.Id());
        EXPECT_EQ(question->caption, "vsl");
        EXPECT_EQ(question->text, kQuestion);
        EXPECT_EQ(question->buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(IconShownIn(*question), "question");
        Press(*question, button);
        ASSERT_TRUE(WaitUntilGone(question->handle));
    }

    bool LauncherRemoved() { return !FileExists(launcherPath_) && !FolderExists(kInstallFolder); }

    std::string launcherPath_;
    std::string scriptPath_;
};

TEST_F(Uninstall, AnsweredYesRemovesKeysThenProgramAndFolder) {
    LauncherProcess launcher = StartUninstall();
    ASSERT_NO_FATAL_FAILURE(Answer(launcher, IDYES));
    EXPECT_EQ(launcher.WaitForExit(), 0u);

    EXPECT_EQ(LauncherKeysLeft(), std::vector<std::string>{});
    EXPECT_EQ(ReadFileText(scriptPath_), "del \"C:\\Vastrel\\vsl.exe\"\r\nrmdir \"C:\\Vastrel\"\r\n");
    EXPECT_TRUE(PollUntil(kRemovalLimitMs, [&] { return LauncherRemoved(); }))
        << "vsl.exe or its folder is still there";
}

TEST_F(Uninstall, WithoutTmpUsesTemp) {
    std::string temporaryFolder = "C:\\TempOnly";
    MakeFolders(temporaryFolder);
    ScopedEnvironment tmp("tmp", std::nullopt);
    ScopedEnvironment temp("temp", temporaryFolder);

    LauncherProcess launcher = StartUninstall();
    ASSERT_NO_FATAL_FAILURE(Answer(launcher, IDYES));
    EXPECT_EQ(launcher.WaitForExit(), 0u);

    EXPECT_TRUE(FileExists(temporaryFolder + kScriptName));
    EXPECT_TRUE(PollUntil(kRemovalLimitMs, [&] { return LauncherRemoved(); }));
    RemoveTree(temporaryFolder);
}

TEST_F(Uninstall, AnsweredNoChangesNothing) {
    LauncherProcess launcher = StartUninstall();
    ASSERT_NO_FATAL_FAILURE(Answer(launcher, IDNO));
    EXPECT_EQ(launcher.WaitForExit(), 0u);

    Sleep(kQuietMs);
    EXPECT_EQ(LauncherKeysLeft(), kAllLauncherKeys);
    EXPECT_TRUE(FileExists(launcherPath_));
    EXPECT_FALSE(FileExists(scriptPath_));
}

// After the Yes, the uninstall stops with a message when it cannot have the
// install path or a batch file in a temporary folder; nothing is removed.
struct Abort {
    const char* name;
    bool settingsKey;         // the key that holds the install path
    const char* installPath;  // its "path" value
    bool ownTemporaryFolder;  // the variables below replace tmp and temp
    const char* tmp;          // nullptr: no such variable
    const char* temp;
    const char* message;
};

class UninstallAborts : public Uninstall, public ::testing::WithParamInterface<Abort> {};

TEST_P(UninstallAborts, WithAMessageAndRemovesNothing) {
    const Abort& abort = GetParam();
    if (!abort.settingsKey) {
        DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    } else {
        WriteRegistryText(HKEY_CURRENT_USER, kSettingsKey, "path", abort.installPath);
    }
    std::optional<ScopedEnvironment> tmp;
    std::optional<ScopedEnvironment> temp;
    if (abort.ownTemporaryFolder) {
        tmp.emplace("tmp", abort.tmp ? std::optional<std::string>(abort.tmp) : std::nullopt);
        temp.emplace("temp", abort.temp ? std::optional<std::string>(abort.temp) : std::nullopt);
    }
    std::vector<std::string> keysBefore = LauncherKeysLeft();

    LauncherProcess launcher = StartUninstall();
    ASSERT_NO_FATAL_FAILURE(Answer(launcher, IDYES));
    std::optional<MessageBoxView> box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << "no message after the Yes; " << DescribeWindowsOf(launcher.Id());
    ExpectErrorBox(*box, abort.message);
    EXPECT_EQ(PressAndWaitForExit(launcher, *box, IDOK), 1u);

    Sleep(kQuietMs);
    EXPECT_EQ(LauncherKeysLeft(), keysBefore);
    EXPECT_TRUE(FileExists(launcherPath_));
    EXPECT_FALSE(FileExists(scriptPath_));
}

const char kNoPath[] = "Error fetching VSL registry keys required to uninstall. Uninstall Aborted";

INSTANTIATE_TEST_SUITE_P(
    Problems, UninstallAborts,
    ::testing::Values(Abort{"NoSettingsKey", false, nullptr, false, nullptr, nullptr, kNoPath},
                      Abort{"EmptyInstallPath", true, "", false, nullptr, nullptr, kNoPath},
                      Abort{"TemporaryFolderMissing", true, kInstallFolder, true, "C:\\no-such-folder",
                            nullptr,
                            "Unable to write the uninstall script C:\\no-such-folder\\vsl_uninstall.bat.\n"
                            "Uninstall Aborted"},
                      Abort{"NoTemporaryFolder", true, kInstallFolder, true, nullptr, nullptr,
                            "Unable to find a temporary folder.\nUninstall Aborted"}),
    [](const ::testing::TestParamInfo<Abort>& info) { return std::string(info.param.name); });

}  // namespace
