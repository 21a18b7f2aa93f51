// vsl-setup.exe run silently, as an administrator's script or a software
// deployment would: the program in its folder, the keys that vsl.exe's own
// uninstall removes, and nothing besides.
#include <windows.h>

#include <shellapi.h>
#include <shlwapi.h>

#include "Setup.h"
#include "harness/Registry.h"

namespace {

class Install : public E2eTest {};

// What the installer leaves outside its own keys: the names under the keys
// that hold them, and the temporary folder.
struct Surroundings {
    std::vector<std::string> userSoftware = SubkeyNames(HKEY_CURRENT_USER, "Software");
    std::vector<std::string> classes = SubkeyNames(HKEY_CLASSES_ROOT, "");
    std::vector<std::string> installedPrograms =
        SubkeyNames(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    std::vector<std::string> temporaryFiles = NamesIn(EnvironmentValue("TEMP").value_or("C:\\"));
};

bool SameBytes(const std::string& a, const std::string& b) {
    std::optional<std::string> bytes = ReadFileText(a);
    return bytes && bytes == ReadFileText(b);
}

std::vector<std::string> Added(std::vector<std::string> before, const std::vector<std::string>& after) {
    std::vector<std::string> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    return added;
}

TEST_F(Install, SilentlyWritesTheProgramAndExactlyItsKeys) {
    Surroundings before;
    ASSERT_EQ(RunSetup("/S"), 0u);
    Surroundings after;

    std::string folder = DefaultInstallFolder();
    EXPECT_EQ(InstalledKeys(), ExpectedKeys(folder));
    EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"vsl.exe"});
    EXPECT_TRUE(SameBytes(folder + "\\vsl.exe", BuiltProgram("vsl.exe")));

    EXPECT_EQ(Added(before.userSoftware, after.userSoftware), std::vector<std::string>{"Vastrel"});
    EXPECT_EQ(Added(before.classes, after.classes), std::vector<std::string>{"vsl"});
    EXPECT_EQ(Added(before.installedPrograms, after.installedPrograms), std::vector<std::string>{"Vastrel"});
    EXPECT_EQ(Added(before.temporaryFiles, after.temporaryFiles), std::vector<std::string>{});
}

// The shell reads DefaultIcon as "<file>",<index>: it must name an icon that
// the file really has.
TEST_F(Install, TheLinkSchemesIconIsTheProgramsIcon) {
    InstallSilently(DefaultInstallFolder());
    std::optional<KeyContents> icon = ReadKey(HKEY_CLASSES_ROOT, "vsl\\DefaultIcon");
    ASSERT_TRUE(icon);
    std::string location = icon->values[""].substr(std::string("sz:").size());

    std::vector<char> file(location.begin(), location.end());
    file.resize(MAX_PATH, '\0');
    int index = PathParseIconLocationA(file.data());
    PathUnquoteSpacesA(file.data());
    EXPECT_EQ(std::string(file.data()), DefaultInstallFolder() + "\\vsl.exe");
    EXPECT_EQ(index, 0);
    HICON extracted = ExtractIconA(GetModuleHandleA(NULL), file.data(), index);
    EXPECT_NE(extracted, static_cast<HICON>(NULL));
    EXPECT_GT(reinterpret_cast<UINT_PTR>(extracted), 1u) << "ExtractIcon found no icon in " << file.data();
    if (extracted != NULL) {
        DestroyIcon(extracted);
    }
}

TEST_F(Install, AgainUpdatesTheInstallationInPlace) {
    std::string folder = DefaultInstallFolder();
    InstallSilently(folder);
    // An older vsl.exe, and keys that hold more than this installer writes:
    // a subkey left in any of them would keep the uninstall from deleting it.
    CopyFileTo(BuiltProgram("vsl_recorder.exe"), folder + "\\vsl.exe");
    WriteRegistryText(HKEY_CLASSES_ROOT, "vsl\\shell\\open\\ddeexec", "", "stale");
    WriteRegistryText(HKEY_CLASSES_ROOT, "vsl\\shell\\edit\\command", "", "stale");
    WriteRegistryText(HKEY_CURRENT_USER, "Software\\Vastrel\\Old", "value", "stale");
    WriteRegistryText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vastrel",
                      "Publisher", "stale");

    InstallSilently(folder);

    EXPECT_EQ(InstalledKeys(), ExpectedKeys(folder));
    EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"vsl.exe"});
    EXPECT_TRUE(SameBytes(folder + "\\vsl.exe", BuiltProgram("vsl.exe")));
}

// A vsl.exe that cannot be replaced (in use: held open without sharing) ends
// the install before any key changes.
TEST_F(Install, AgainStopsWhenTheProgramCannotBeReplaced) {
    std::string folder = DefaultInstallFolder();
    InstallSilently(folder);
    std::string program = folder + "\\vsl.exe";
    WriteRegistryText(HKEY_CURRENT_USER, "Software\\Vastrel", "path", "C:\\Before");
    HANDLE held =
        CreateFileA(program.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    EXPECT_EQ(RunSetup("/S"), kExitWriteFailed);
    CloseHandle(held);
    EXPECT_TRUE(SameBytes(program, BuiltProgram("vsl.exe")));
    EXPECT_EQ(ReadKey(HKEY_CURRENT_USER, "Software\\Vastrel")->values["path"], Text("C:\\Before"));
}

// The last argument as a script or a deployment tool writes it (quoted when
// the folder has blanks, with a backslash before the closing quote doubled),
// and the folder as the keys must name it: without the backslash it may end
// in, which the uninstall's batch file adds itself.
struct Folder {
    const char* name;
    const char* argument;
    const char* installed;
};

class InstallInto : public Install, public ::testing::WithParamInterface<Folder> {};

TEST_P(InstallInto, TheChosenFolder) {
    const Folder& folder = GetParam();
    std::vector<std::string> inTheDrive = NamesIn("C:");
    ASSERT_EQ(RunSetup(std::string("/S ") + folder.argument), 0u);
    EXPECT_EQ(InstalledKeys(), ExpectedKeys(folder.installed));
    EXPECT_EQ(NamesIn(folder.installed), std::vector<std::string>{"vsl.exe"});
    EXPECT_FALSE(FolderExists(DefaultInstallFolder()));

    // No folder on the way there either, such as one that .. steps out of.
    std::string top = std::string(folder.installed).substr(3);
    top = top.substr(0, top.find('\\'));
    std::vector<std::string> made;
    if (!std::binary_search(inTheDrive.begin(), inTheDrive.end(), top)) {
        made.push_back(top);
    }
    EXPECT_EQ(Added(inTheDrive, NamesIn("C:")), made);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, InstallInto,
    ::testing::Values(
        Folder{"Plain", "/D=C:\\Vastrel", "C:\\Vastrel"},
        Folder{"WithBlanks", "/D=C:\\My Games\\Link Opener", "C:\\My Games\\Link Opener"},
        Folder{"WithCommaAndBlanks", "/D=C:\\Games, old\\Vastrel 1", "C:\\Games, old\\Vastrel 1"},
        Folder{"EndingInBackslash", "/D=C:\\Games\\Vastrel\\", "C:\\Games\\Vastrel"},
        Folder{"QuotedWithBlanks", "\"/D=C:\\Program Files\\With Blank\"", "C:\\Program Files\\With Blank"},
        Folder{"QuotedEndingInBackslash", "\"/D=C:\\My Games\\Vastrel\\\\\"", "C:\\My Games\\Vastrel"},
        Folder{"LowerCaseSwitch", "/d=C:\\Vastrel", "C:\\Vastrel"},
        Folder{"ThroughDotDot", "/D=C:\\a\\..\\Vastrel", "C:\\Vastrel"},
        Folder{"ThroughDot", "/D=C:\\x\\.\\Vastrel", "C:\\x\\Vastrel"}),
    [](const ::testing::TestParamInfo<Folder>& info) { return std::string(info.param.name); });

// A reinstall into another folder moves the installation: the old folder's
// vsl.exe would otherwise stay behind for good, since the keys, and with them
// the uninstall, now name the new folder. The old folder goes only when that
// leaves it empty.
TEST_F(Install, IntoAnotherFolderMovesTheInstallation) {
    InstallSilently("C:\\Old Place");
    InstallSilently("C:\\New Place");

    EXPECT_EQ(InstalledKeys(), ExpectedKeys("C:\\New Place"));
    EXPECT_EQ(NamesIn("C:\\New Place"), std::vector<std::string>{"vsl.exe"});
    EXPECT_FALSE(FolderExists("C:\\Old Place"));
}

// The same folder written another way is no other folder: the install must
// not delete the vsl.exe it has just written as the old one.
TEST_F(Install, IntoTheSameFolderWrittenAnotherWayKeepsTheProgram) {
    InstallSilently("C:\\Vastrel");
    InstallSilently("C:\\a\\..\\Vastrel");

    EXPECT_EQ(InstalledKeys(), ExpectedKeys("C:\\Vastrel"));
    EXPECT_EQ(NamesIn("C:\\Vastrel"), std::vector<std::string>{"vsl.exe"});
}

TEST_F(Install, IntoAnotherFolderKeepsTheUsersFilesInTheOldOne) {
    InstallSilently("C:\\Old Place");
    WriteFileText("C:\\Old Place\\notes.txt", "mine");
    InstallSilently("C:\\New Place");

    EXPECT_EQ(InstalledKeys(), ExpectedKeys("C:\\New Place"));
    EXPECT_EQ(NamesIn("C:\\Old Place"), std::vector<std::string>{"notes.txt"});
    EXPECT_EQ(ReadFileText("C:\\Old Place\\notes.txt"), "mine");
}

// Installs that must not happen: they end with their exit code and leave
// no file and no key.
struct Refusal {
    const char* name;
    const char* installer;
    std::string arguments;
    DWORD exitCode;
};

class InstallRefused : public Install, public ::testing::WithParamInterface<Refusal> {};

TEST_P(InstallRefused, WritesNothing) {
    const Refusal& refusal = GetParam();
    std::vector<std::string> inTheDrive = NamesIn("C:");
    EXPECT_EQ(RunSetup(refusal.arguments, refusal.installer), refusal.exitCode);
    EXPECT_EQ(InstalledKeys(), (std::map<std::string, KeyContents>{}));
    EXPECT_FALSE(FolderExists(DefaultInstallFolder()));
    // Neither the folder asked for, nor a part of it, nor vsl.exe in the root.
    EXPECT_EQ(NamesIn("C:"), inTheDrive);
}

// CreateDirectory takes folders of up to 247 characters.
const std::string kLongestFolder = "C:\\" + std::string(244, 'v');

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallRefused,
    ::testing::Values(Refusal{"NoAdministrator", kSetupAsUser, "/S", kExitNotAdmin},
                      Refusal{"NoAdministratorIntoAFolder", kSetupAsUser, "/S /D=C:\\Wanted", kExitNotAdmin},
                      Refusal{"FolderTooLong", kSetup, "/S /D=" + kLongestFolder + "w", kExitBadFolder},
                      // /D= comes last, quoted or not.
                      Refusal{"QuotedFolderNotLast", kSetup, "\"/D=C:\\Wanted Here\" /S", kExitBadFolder},
                      Refusal{"NotAFullPath", kSetup, "/S /D=Wanted", kExitBadFolder},
                      Refusal{"QuotesAfterTheSwitch", kSetup, "/S /D=\"C:\\Wanted\"", kExitBadFolder},
                      Refusal{"NoFolder", kSetup, "/S /D=", kExitBadFolder},
                      // The installer reads 1022 characters of the line: the
                      // rest, and the /D= in it, would be lost.
                      Refusal{"CommandLineTooLong", kSetup,
                              "/S /X=" + std::string(1000, 'x') + " /D=C:\\Wanted", kExitBadFolder},
                      // The shell would put the link in place of the %1.
                      Refusal{"FolderWithPercent", kSetup, "/S /D=C:\\Games%1", kExitBadFolder},
                      // The uninstall would try to remove the drive.
                      Refusal{"DriveRoot", kSetup, "/S /D=C:\\", kExitBadFolder},
                      Refusal{"DriveRootThroughDotDot", kSetup, "/S /D=C:\\a\\..", kExitBadFolder},
                      Refusal{"QuotedDriveRoot", kSetup, "/S \"/D=C:\\Program Files\\..\"", kExitBadFolder}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

// The folder page, as a person sees it for the folder that /D= gives: the
// Install button is on only for a folder that can hold Vastrel, and the text
// at the top says why it is off.
struct PageFolder {
    const char* name;
    std::string folder;
    bool installable;
    const char* text;  // how the page's text at the top begins
};

class FolderPage : public Install, public ::testing::WithParamInterface<PageFolder> {};

// The controls of the directory page, the dialog inside the installer's window.
constexpr int kPageTextId = 1006;
constexpr int kFolderFieldId = 1019;

std::string ControlText(HWND dialog, int id) {
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

TEST_P(FolderPage, SaysWhetherItCanInstall) {
    const PageFolder& shown = GetParam();
    LauncherProcess setup = StartSetup("/D=" + shown.folder);
    std::optional<WindowView> window = WaitForLauncherDialog(setup.Id());
    ASSERT_TRUE(window) << DescribeWindowsOf(setup.Id());
    HWND install = GetDlgItem(window->handle, IDOK);
    std::string folder;
    std::string text;
    bool installable = !shown.installable;
    EXPECT_TRUE(PollUntil(kWindowLimitMs,
                          [&] {
                              HWND page = FindWindowExA(window->handle, NULL, "#32770", NULL);
                              folder = ControlText(page, kFolderFieldId);
                              text = ControlText(page, kPageTextId);
                              installable = IsWindowEnabled(install) != FALSE;
                              return folder == shown.folder && installable == shown.installable &&
                                     text.rfind(shown.text, 0) == 0;
                          }))
        << "folder " << folder << ", Install " << (installable ? "on" : "off") << ", text: " << text;

    PostMessageA(window->handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(setup.WaitForExit(kSetupLimitMs));
    EXPECT_EQ(InstalledKeys(), (std::map<std::string, KeyContents>{}));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FolderPage,
    ::testing::Values(PageFolder{"Installable", "C:\\Vastrel", true, "Vastrel opens vsl links"},
                      PageFolder{"WithPercent", "C:\\Games%1", false, "The folder's path holds a %"},
                      PageFolder{"DriveRootThroughDotDot", "C:\\a\\..", false, "C:\\ is the root of a drive"},
                      PageFolder{"TooLong", kLongestFolder + "w", false, "The folder's path is too long"}),
    [](const ::testing::TestParamInfo<PageFolder>& info) { return std::string(info.param.name); });

TEST_F(Install, IntoTheLongestFolderThatFits) {
    InstallSilently(kLongestFolder);
    EXPECT_EQ(InstalledKeys(), ExpectedKeys(kLongestFolder));
}

// With its window, as a person installs: the folder page offers the default
// folder, Install writes the same as a silent install, and Close ends it.
TEST_F(Install, ThroughItsWindow) {
    LauncherProcess setup = StartSetup("");
    std::optional<WindowView> window = WaitForLauncherDialog(setup.Id());
    ASSERT_TRUE(window) << DescribeWindowsOf(setup.Id());
    // The page's subcaption, a blank here, follows the installer's name.
    EXPECT_EQ(window->caption.rfind("Vastrel Setup", 0), 0u) << window->caption;
    // The buttons along the bottom: IDOK is Install, then Close.
    PostMessageA(window->handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(PollUntil(kSetupLimitMs, [] {
        return InstalledKeys() == ExpectedKeys(DefaultInstallFolder());
    })) << ::testing::PrintToString(InstalledKeys());
    std::optional<DWORD> exitCode;
    PollUntil(kSetupLimitMs, [&] {
        PostMessageA(window->handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        exitCode = setup.WaitForExit(500);
        return exitCode.has_value();
    });
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(NamesIn(DefaultInstallFolder()), std::vector<std::string>{"vsl.exe"});
}

// Without a silent switch a user who is no administrator reads why nothing
// happens.
TEST_F(Install, TellsAUserWhoIsNoAdministrator) {
    LauncherProcess setup = StartSetup("", kSetupAsUser);
    std::optional<MessageBoxView> box = WaitForMessageBox(setup.Id());
    ASSERT_TRUE(box) << DescribeWindowsOf(setup.Id());
    EXPECT_NE(box->text.find("needs administrator rights"), std::string::npos) << box->text;
    EXPECT_NE(box->text.find("Nothing has been installed."), std::string::npos) << box->text;
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_EQ(IconShownIn(*box), "hand");
    EXPECT_EQ(PressAndWaitForExit(setup, *box, IDOK), kExitNotAdmin);
    EXPECT_EQ(InstalledKeys(), (std::map<std::string, KeyContents>{}));
    EXPECT_FALSE(FolderExists(DefaultInstallFolder()));
}

}  // namespace
