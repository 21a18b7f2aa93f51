// vsl-setup.exe as an administrator's script, a deployment or a person runs
// it, links opened through the shell to what it installed, and removal
// through Wine's list of installed programs; each test in a prefix of its own.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdlib>
#include <deque>

#include "tests/support/WineTest.h"

namespace {

// The same installer built to act as if the user were no administrator.
const char kAsUser[] = "vsl-setup-as-user.exe";

std::string SetupLine(const std::string& arguments, const char* installer = "vsl-setup.exe") {
    return Quoted(BuiltProgram(installer)) + " " + arguments;
}

DWORD RunSetup(const std::string& arguments, const char* installer = "vsl-setup.exe") {
    return Process(SetupLine(arguments, installer)).WaitForExit(Limit(60000)).value_or(999);
}

std::string DefaultFolder() {
    return std::string(std::getenv("ProgramFiles")) + "\\Vastrel";
}

std::string NamesIn(const std::string& folder) {
    std::string names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        if (found.cFileName[0] != '.') {
            names += std::string(found.cFileName) + " ";
        }
    }
    FindClose(search);
    return names;
}

std::string Keys() {
    return DumpKey(HKEY_CURRENT_USER, "Software\\Vastrel") + DumpKey(HKEY_CLASSES_ROOT, "vsl") +
           DumpKey(HKEY_LOCAL_MACHINE, kEntryKey);
}

// What the keys must hold for an installation into the folder.
std::string ExpectedKeys(const std::string& folder) {
    std::string program = folder + "\\vsl.exe";
    std::string icon = "\"\"" + program + "\",0\"";
    size_t kilobytes = (ReadFileText(BuiltProgram("vsl.exe")).value().size() + 1023) / 1024;
    return "Software\\Vastrel\n  path = \"" + folder +
           "\"\nvsl\n  @ = \"URL:vsl Protocol\"\n  URL Protocol = \"\"\n" +
           "vsl\\DefaultIcon\n  @ = " + icon +
           "\nvsl\\shell\nvsl\\shell\\open\nvsl\\shell\\open\\command\n  @ = \"\"" + program +
           "\" \"%1\"\"\n" + kEntryKey + "\n  DisplayIcon = " + icon +
           "\n  DisplayName = \"Vastrel\"\n  DisplayVersion = \"1.0.0.1\"\n  EstimatedSize = " +
           std::to_string(kilobytes) + "\n  InstallLocation = \"" + folder +
           "\"\n  NoModify = 1\n  NoRepair = 1\n  UninstallString = \"\"" + program + "\" uninstall\"\n";
}

bool HoldsTheBuiltProgram(const std::string& folder) {
    return NamesIn(folder) == "vsl.exe " &&
           ReadFileText(folder + "\\vsl.exe") == ReadFileText(BuiltProgram("vsl.exe"));
}

// Silently into the default folder: the program and exactly its keys. Again
// over an older program and keys that hold more than it writes: in place, as
// if new. Again while the program is in use: it stops before it changes
// anything.
TEST(Installer, InstallsSilentlyAndAgainInPlace) {
    std::string temporaryFiles = NamesIn(std::getenv("TEMP"));
    ASSERT_EQ(RunSetup("/S"), 0u);
    std::string folder = DefaultFolder();
    EXPECT_EQ(Keys(), ExpectedKeys(folder));
    EXPECT_TRUE(HoldsTheBuiltProgram(folder));
    EXPECT_EQ(NamesIn(std::getenv("TEMP")), temporaryFiles);
    // The shell reads the link scheme's icon from the program.
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), (folder + "\\vsl.exe").c_str(), 0);
    EXPECT_GT(reinterpret_cast<UINT_PTR>(icon), 1u);

    PlantRecorder(folder + "\\vsl.exe");
    SetRegistryText(HKEY_CLASSES_ROOT, "vsl\\shell\\open\\ddeexec", "", "stale");
    SetRegistryText(HKEY_CLASSES_ROOT, "vsl\\shell\\edit\\command", "", "stale");
    SetRegistryText(HKEY_CURRENT_USER, "Software\\Vastrel\\Old", "value", "stale");
    SetRegistryText(HKEY_LOCAL_MACHINE, kEntryKey, "Publisher", "stale");
    ASSERT_EQ(RunSetup("/S"), 0u);
    EXPECT_EQ(Keys(), ExpectedKeys(folder));
    EXPECT_TRUE(HoldsTheBuiltProgram(folder));

    SetRegistryText(HKEY_CURRENT_USER, "Software\\Vastrel", "path", "C:\\Before");
    std::string keys = Keys();
    HANDLE held =
        CreateFileA((folder + "\\vsl.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(RunSetup("/S"), 3u);
    CloseHandle(held);
    EXPECT_EQ(Keys(), keys);
    EXPECT_TRUE(HoldsTheBuiltProgram(folder));
}

// /D= as scripts and deployment tools write it, each install moving the one
// before: the old folder's vsl.exe goes, and the folder with it unless the
// user keeps a file there. The keys name the folder without a closing
// backslash, . and .. resolved.
TEST(Installer, InstallsIntoTheFolderAskedFor) {
    const std::string longest = "C:\\" + std::string(244, 'v');  // CreateDirectory's limit, 247
    const std::pair<std::string, std::string> table[] = {
        {"/D=C:\\Vastrel", "C:\\Vastrel"},
        {"/D=C:\\a\\..\\Vastrel", "C:\\Vastrel"},  // the same folder: the program stays
        {"/D=C:\\My Games\\Link Opener", "C:\\My Games\\Link Opener"},
        {"/D=C:\\Games, old\\Vastrel 1", "C:\\Games, old\\Vastrel 1"},  // after a file of the user's
        {"/D=C:\\Games\\Vastrel\\", "C:\\Games\\Vastrel"},
        {"\"/D=C:\\Program Files\\With Blank\"", "C:\\Program Files\\With Blank"},
        {"\"/D=C:\\My Games\\Vastrel\\\\\"", "C:\\My Games\\Vastrel"},
        {"/d=C:\\x\\.\\Vastrel", "C:\\x\\Vastrel"},
        {"/D=" + longest, longest},
    };
    // The access list's tool, as the recorder: only Windows gives folders
    // access rights, so here the installer's call is what can be seen. Wine
    // runs its own program for a system program's name unless told to run the
    // file.
    const std::string icacls = "C:\\windows\\system32\\icacls.exe";
    PlantRecorder(icacls);
    SetRegistryText(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "icacls.exe", "native");
    std::string previous;
    for (const auto& [argument, folder] : table) {
        if (folder == "C:\\Games, old\\Vastrel 1") {
            WriteFileText(previous + "\\notes.txt", "mine");
        }
        ASSERT_EQ(RunSetup("/S " + argument), 0u) << argument;
        EXPECT_EQ(Keys(), ExpectedKeys(folder)) << argument;
        EXPECT_TRUE(HoldsTheBuiltProgram(folder)) << argument;
        if (previous == "C:\\My Games\\Link Opener") {
            EXPECT_EQ(NamesIn(previous), "notes.txt ");
        } else if (previous != folder) {
            EXPECT_FALSE(Exists(previous)) << argument;
        }
        std::optional<LaunchRecord> protecting = WaitForLaunch(icacls, 0);
        ASSERT_TRUE(protecting) << argument;
        EXPECT_EQ(protecting->commandLine,
                  Quoted(icacls) + " " + Quoted(folder) +
                      " /inheritance:r /grant:r *S-1-5-18:(OI)(CI)F *S-1-5-32-544:(OI)(CI)F "
                      "*S-1-5-32-545:(OI)(CI)RX /Q");
        DeleteFileA((icacls + ".rec").c_str());
        previous = folder;
    }
    EXPECT_FALSE(Exists("C:\\a"));
    EXPECT_FALSE(Exists(DefaultFolder()));
}

// Installs that must not happen end with their exit code and write nothing:
// neither a key nor the folder asked for, nor a part of it. Exit code 2: a
// folder that cannot hold Vastrel; 740: no administrator; 3: a folder whose
// access rights cannot be set (here, as the tool that sets them cannot run).
TEST(Installer, RefusesWhatItCannotInstall) {
    WriteFileText("C:\\windows\\system32\\icacls.exe", "no program");
    const std::string folders[] = {
        "/S /D=C:\\" + std::string(245, 'v'),  // longer than CreateDirectory's 247
        "\"/D=C:\\Wanted Here\" /S",           // /D= comes last, quoted or not
        "/S /D=Wanted",
        "/S /D=\"C:\\Wanted\"",
        "/S /D=",
        "/S /X=" + std::string(1000, 'x') + " /D=C:\\Wanted",  // longer than the installer reads
        "/S /D=C:\\Games%1",                                   // the shell would put the link in place of %1
        "/S /D=C:\\",                                          // the uninstall would remove the drive
        "/S /D=C:\\a\\..",
        "/S \"/D=C:\\Program Files\\..\"",
    };
    std::string drive = NamesIn("C:");
    std::deque<Process> runs;
    for (const std::string& arguments : folders) {
        runs.emplace_back(SetupLine(arguments));
    }
    runs.emplace_back(SetupLine("/S", kAsUser));
    runs.emplace_back(SetupLine("/S /D=C:\\Wanted", kAsUser));
    runs.emplace_back(SetupLine("/S /D=C:\\Wanted"));
    for (size_t i = 0; i < runs.size(); ++i) {
        DWORD code = i < std::size(folders) ? 2 : i + 1 < runs.size() ? 740 : 3;
        EXPECT_EQ(runs[i].WaitForExit(Limit(60000)), code) << "run " << i;
    }
    EXPECT_EQ(Keys(), "");
    EXPECT_EQ(NamesIn("C:"), drive);
    EXPECT_FALSE(Exists(DefaultFolder()));
}

// Through its window, as a person installs: a user who is no administrator
// reads why nothing happens; Install writes what a silent install writes, and
// Close ends it.
TEST(Installer, ShowsItsWindow) {
    Process asUser(SetupLine("", kAsUser));
    std::optional<Window> box = WaitForWindow(asUser.id, IsMessageBox);
    ASSERT_TRUE(box);
    std::string text = MessageText(box->handle);
    EXPECT_NE(text.find("needs administrator rights"), std::string::npos) << text;
    EXPECT_NE(text.find("Nothing has been installed."), std::string::npos) << text;
    EXPECT_EQ(ButtonsOf(box->handle), std::vector<int>{IDOK});
    Press(box->handle, IDOK);
    EXPECT_EQ(asUser.WaitForExit(), 740u);
    EXPECT_EQ(Keys(), "");

    // The folder page keeps Install off for a folder that cannot hold
    // Vastrel and says why, until the user types one that can.
    Process setup(SetupLine("/D=C:\\Games%1"));
    std::optional<Window> window = WaitForWindow(setup.id, IsDialog);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->caption.rfind("Vastrel Setup", 0), 0u) << window->caption;
    char shown[1024] = "";
    auto page = [&](const char* begins, BOOL installable) {
        return PollUntil([&] {
            HWND page = FindWindowExA(window->handle, nullptr, "#32770", nullptr);
            GetDlgItemTextA(page, 1006, shown, sizeof shown);
            return IsWindowEnabled(GetDlgItem(window->handle, IDOK)) == installable &&
                   std::string(shown).rfind(begins, 0) == 0;
        });
    };
    EXPECT_TRUE(page("The folder's path holds a %", FALSE)) << shown;
    SetDlgItemTextA(FindWindowExA(window->handle, nullptr, "#32770", nullptr), 1019, DefaultFolder().c_str());
    EXPECT_TRUE(page("Vastrel opens vsl links", TRUE)) << shown;
    // The buttons along the bottom: IDOK is Install, then Close.
    PostMessageA(window->handle, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(PollUntil([] { return Keys() == ExpectedKeys(DefaultFolder()); }, Limit(60000))) << Keys();
    EXPECT_TRUE(PollUntil([&] {
        PostMessageA(window->handle, WM_COMMAND, IDOK, 0);
        return setup.WaitForExit(200) == 0u;
    }));
    EXPECT_TRUE(HoldsTheBuiltProgram(DefaultFolder()));
}

// After an install that moved to a folder with blanks: Wine's start.exe, as
// "wine start LINK" runs it, hands a link to the shell, which finds vsl.exe
// through the open command that the installer registered, and nothing on the
// way treats a blank or these characters as its own. Wine's uninstaller runs
// the entry's UninstallString and waits for it: No changes nothing; Yes
// removes the keys and the folder.
TEST(Installer, OpensLinksThroughTheShellAndRemovesThroughTheList) {
    const std::string folder = "C:\\My Games\\Link Opener";
    ASSERT_EQ(RunSetup("/S"), 0u);
    ASSERT_EQ(RunSetup("/S /D=" + folder), 0u);
    InstallRtcw();
    // start /wait ends with the exit code of the program it started.
    Process start(
        "start.exe /wait \"vsl://rtcw/10.0.0.1:27960?name=Big Player&password=$HOME|^`id`'x*?~%a<b>"
        "&embed_url={https://example.org/servers?id=7}\"");
    EXPECT_EQ(start.WaitForExit(), 0u);
    std::optional<LaunchRecord> game = WaitForLaunch(kGame);
    ASSERT_TRUE(game);
    EXPECT_EQ(game->commandLine,
              "WolfMP.exe +set name Big Player +set password $HOME|^`id`'x*?~%a<b> +connect 10.0.0.1:27960");
    EXPECT_EQ(game->folder, "C:\\Games\\RTCW");
    std::optional<LaunchRecord> explorer = WaitForLaunch(kExplorer);
    ASSERT_TRUE(explorer);
    EXPECT_EQ(explorer->commandLine, "explorer https://example.org/servers?id=7");

    for (int answer : {IDNO, IDYES}) {
        Process uninstaller("uninstaller.exe --remove Vastrel");
        std::optional<DWORD> vsl = WaitForProcessNamed("vsl.exe");
        ASSERT_TRUE(vsl);
        std::optional<Window> question = WaitForWindow(*vsl, IsMessageBox);
        ASSERT_TRUE(question);
        EXPECT_EQ(MessageText(question->handle), "Are you sure you want to uninstall Vastrel ?");
        Press(question->handle, answer);
        EXPECT_TRUE(uninstaller.WaitForExit(Limit(60000)));
        EXPECT_EQ(Keys(), answer == IDNO ? ExpectedKeys(folder) : "");
    }
    EXPECT_TRUE(PollUntil([&] { return !Exists(folder); })) << NamesIn(folder);
    EXPECT_FALSE(Exists(DefaultFolder()));
}

}  // namespace
