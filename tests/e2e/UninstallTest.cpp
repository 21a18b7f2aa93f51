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

class Uninstall : public E2eTest {
protected:
    void Install(const std::string& folder = kInstallFolder) {
        folder_ = folder;
        launcherPath_ = InstallLauncher(folder);
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

    bool LauncherRemoved() { return !FileExists(launcherPath_) && !FolderExists(folder_); }

    void ExpectRemoved() {
        EXPECT_EQ(LauncherKeysLeft(), std::vector<std::string>{});
        EXPECT_TRUE(PollUntil(kRemovalLimitMs, [&] { return LauncherRemoved(); }))
            << "vsl.exe or its folder " << folder_ << " is still there";
    }

    std::string folder_;
    std::string launcherPath_;
    std::string scriptPath_;
};

// Removals from folders whose names the command interpreter would read as
// its own syntax or in another code page, with a temporary folder whose name
// has a blank and a program named after its first word planted where an
// unquoted start would find it.
struct Removal {
    const char* name;
    const char* folder;
    bool settingsOfAnotherAccount;  // HKCU has no settings key
};

class RemovesVastrel : public Uninstall, public ::testing::WithParamInterface<Removal> {};

TEST_P(RemovesVastrel, KeysProgramAndFolder) {
    const Removal& removal = GetParam();
    const std::string temporaryFolder = "C:\\My Temp";
    MakeFolders(temporaryFolder);
    ScopedEnvironment tmp("tmp", temporaryFolder);
    CopyFileTo(BuiltProgram("vsl_recorder.exe"), "C:\\My.exe");
    Install(removal.folder);
    WriteRegistryText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "InstallLocation", removal.folder);
    if (removal.settingsOfAnotherAccount) {
        DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    }

    LauncherProcess launcher = StartUninstall();
    ASSERT_NO_FATAL_FAILURE(Answer(launcher, IDYES));
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_TRUE(FileExists(temporaryFolder + kScriptName));
    ExpectRemoved();
    EXPECT_FALSE(WasLaunched("C:\\My.exe"));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, RemovesVastrel,
    ::testing::Values(Removal{"Plain", kInstallFolder, false},
                      Removal{"BlanksAmpersandParentheses", "C:\\Rock & Roll (x86)\\Vastrel", false},
                      Removal{"LetterBeyondAscii",
                              "C:\\\xDC"
                              "ber Spiele",
                              false},
                      Removal{"SettingsOfAnotherAccount", kInstallFolder, true}),
    [](const ::testing::TestParamInfo<Removal>& info) { return std::string(info.param.name); });

// A vsl.exe of the folder that still runs (here one showing a message) keeps
// its file: the batch file waits for it and removes the folder after it.
TEST_F(Uninstall, WaitsForARunningVastrelToEnd) {
    Install();
    LauncherProcess running = LauncherProcess::Start(CommandLineOf(launcherPath_, ""));
    std::optional<MessageBoxView> missing = WaitForMessageBox(running.Id());
    ASSERT_TRUE(missing) << DescribeWindowsOf(running.Id());

    LauncherProcess launcher = StartUninstall();
    ASSERT_NO_FATAL_FAILURE(Answer(launcher, IDYES));
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    Sleep(2 * kQuietMs);
    EXPECT_TRUE(FileExists(launcherPath_)) << "deleted while running";
    EXPECT_EQ(PressAndWaitForExit(running, *missing, IDOK), 1u);
    ExpectRemoved();
}

// Uninstall chosen twice: one asks and removes, the other says so and
// changes nothing.
TEST_F(Uninstall, SecondRemovalAtOnceChangesNothing) {
    Install();
    LauncherProcess first = StartUninstall();
    LauncherProcess second = StartUninstall();
    std::optional<MessageBoxView> firstBox = WaitForMessageBox(first.Id());
    std::optional<MessageBoxView> secondBox = WaitForMessageBox(second.Id());
    ASSERT_TRUE(firstBox && secondBox);
    bool firstAsks = firstBox->text == kQuestion;
    LauncherProcess& asking = firstAsks ? first : second;
    LauncherProcess& refused = firstAsks ? second : first;
    const MessageBoxView& refusal = firstAsks ? *secondBox : *firstBox;

    ExpectErrorBox(refusal, "Vastrel is being removed already.\nUninstall Aborted");
    EXPECT_EQ(PressAndWaitForExit(refused, refusal, IDOK), 1u);
    ASSERT_NO_FATAL_FAILURE(Answer(asking, IDYES));
    EXPECT_EQ(asking.WaitForExit(), 0u);
    ExpectRemoved();
}

TEST_F(Uninstall, WithoutTmpUsesTemp) {
    Install();
    std::string temporaryFolder = "C:\\TempOnly";
    MakeFolders(temporaryFolder);
    ScopedEnvironment tmp("tmp", std::nullopt);
    ScopedEnvironment temp("temp", temporaryFolder);

    LauncherProcess launcher = StartUninstall();
    ASSERT_NO_FATAL_FAILURE(Answer(launcher, IDYES));
    EXPECT_EQ(launcher.WaitForExit(), 0u);

    EXPECT_TRUE(FileExists(temporaryFolder + kScriptName));
    ExpectRemoved();
    RemoveTree(temporaryFolder);
}

TEST_F(Uninstall, AnsweredNoChangesNothing) {
    Install();
    LauncherProcess launcher = StartUninstall();
    ASSERT_NO_FATAL_FAILURE(Answer(launcher, IDNO));
    EXPECT_EQ(launcher.WaitForExit(), 0u);

    Sleep(kQuietMs);
    EXPECT_EQ(LauncherKeysLeft().size(), 3u);
    EXPECT_TRUE(FileExists(launcherPath_));
    EXPECT_FALSE(FileExists(scriptPath_));
}

// The uninstall stops with a message when it cannot remove exactly Vastrel:
// before the question when the install folder is unknown or unsafe, after it
// when there is no place for the batch file. Nothing is removed.
struct Abort {
    const char* name;
    const char* folder;       // installed there
    const char* installPath;  // the settings key's "path"; nullptr: no key
    bool asks;
    const char* tmp;  // replaces tmp and temp; nullptr: neither is set
    const char* message;
};

class UninstallAborts : public Uninstall, public ::testing::WithParamInterface<Abort> {};

TEST_P(UninstallAborts, WithAMessageAndRemovesNothing) {
    const Abort& abort = GetParam();
    Install(abort.folder);
    // A file of the same name in the folder that a broken batch file would
    // have deleted instead.
    CopyFileTo(BuiltProgram("vsl_recorder.exe"), "C:\\Games\\vsl.exe");
    if (abort.installPath == nullptr) {
        DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    } else {
        WriteRegistryText(HKEY_CURRENT_USER, kSettingsKey, "path", abort.installPath);
    }
    ScopedEnvironment tmp("tmp", abort.tmp ? std::optional<std::string>(abort.tmp) : std::nullopt);
    ScopedEnvironment temp("temp", std::nullopt);
    std::vector<std::string> keysBefore = LauncherKeysLeft();

    LauncherProcess launcher = StartUninstall();
    if (abort.asks) {
        ASSERT_NO_FATAL_FAILURE(Answer(launcher, IDYES));
    }
    std::optional<MessageBoxView> box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << "no message; " << DescribeWindowsOf(launcher.Id());
    ExpectErrorBox(*box, abort.message);
    EXPECT_EQ(PressAndWaitForExit(launcher, *box, IDOK), 1u);

    Sleep(kQuietMs);
    EXPECT_EQ(LauncherKeysLeft(), keysBefore);
    EXPECT_TRUE(FileExists(launcherPath_));
    EXPECT_TRUE(FileExists("C:\\Games\\vsl.exe"));
    EXPECT_TRUE(FolderExists("C:\\Games"));
}

const char kNoPath[] = "Error fetching VSL registry keys required to uninstall. Uninstall Aborted";

INSTANTIATE_TEST_SUITE_P(
    Problems, UninstallAborts,
    ::testing::Values(
        Abort{"NoSettingsKey", kInstallFolder, nullptr, false, "C:\\", kNoPath},
        Abort{"EmptyInstallPath", kInstallFolder, "", false, "C:\\", kNoPath},
        Abort{"PercentInFolder", "C:\\Games%1", "C:\\Games%1", false, "C:\\",
              "The folder recorded for Vastrel, C:\\Games%1, cannot be removed safely.\nUninstall Aborted"},
        Abort{"QuoteInInstallPath", kInstallFolder, "C:\\Vastrel\" & \"C:\\Games", false, "C:\\",
              "The folder recorded for Vastrel, C:\\Vastrel\" & \"C:\\Games, cannot be removed "
              "safely.\nUninstall "
              "Aborted"},
        Abort{
            "TemporaryFolderMissing", kInstallFolder, kInstallFolder, true, "C:\\no-such-folder",
            "Unable to write the uninstall script C:\\no-such-folder\\vsl_uninstall.bat.\nUninstall Aborted"},
        Abort{"NoTemporaryFolder", kInstallFolder, kInstallFolder, true, nullptr,
              "Unable to find a temporary folder.\nUninstall Aborted"}),
    [](const ::testing::TestParamInfo<Abort>& info) { return std::string(info.param.name); });

}  // namespace
