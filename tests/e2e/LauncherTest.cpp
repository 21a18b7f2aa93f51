// The real vsl.exe started as the shell starts it, in a prefix laid out as
// the installers would leave it, each test in a prefix of its own. The games
// and explorer are the recorder under their names; the driver reads the
// program's windows and message boxes and answers them as a user would.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstdlib>
#include <deque>

#include "tests/support/WineTest.h"

namespace {

const char kFolder[] = "C:\\Vastrel";
const char kGame[] = "C:\\Games\\RTCW\\WolfMP.exe";
const char kExplorer[] = "C:\\windows\\explorer.exe";
const char kRtcwKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Return to Castle Wolfenstein";
const char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vastrel";
const char kQuestion[] = "Are you sure you want to uninstall Vastrel ?";

// vsl.exe in the folder, with the keys that its installer writes.
std::string InstallVastrel(const std::string& folder = kFolder, const std::string& fileName = "vsl.exe") {
    std::string program = folder + "\\" + fileName;
    WriteFileText(program, ReadFileText(BuiltProgram("vsl.exe")).value());
    SetRegistryText(HKEY_CURRENT_USER, "Software\\Vastrel", "path", folder);
    SetRegistryText(HKEY_CLASSES_ROOT, "vsl\\shell\\open\\command", "", "\"" + program + "\" \"%1\"");
    SetRegistryText(HKEY_CLASSES_ROOT, "vsl\\DefaultIcon", "", "\"" + program + "\",0");
    SetRegistryText(HKEY_LOCAL_MACHINE, kEntryKey, "InstallLocation", folder);
    return program;
}

// rtcw as its installer registers it, and its program unless its files are gone.
void InstallRtcw(bool files = true) {
    SetRegistryText(HKEY_LOCAL_MACHINE, kRtcwKey, "DisplayIcon", "C:\\Games\\RTCW");
    if (files) {
        PlantRecorder(kGame);
    }
}

// The command line with which the shell opens a link.
std::string Opening(const std::string& program, const std::string& link) {
    return "\"" + program + "\" \"" + link + "\"";
}

bool IsDialog(const Window& window) {
    return window.className == "#32770" && !IsMessageBox(window);
}

bool IsSplash(const Window& window) {
    return window.className != "#32770";
}

std::vector<LONG> Corners(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The title picture as vsl.exe carries it.
std::vector<DWORD> TitlePicture(const std::string& program) {
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HANDLE bitmap = LoadImageA(module, MAKEINTRESOURCEA(131), IMAGE_BITMAP, 0, 0, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    std::vector<DWORD> pixels = PixelsOf(memory, RECT{0, 0, 400, 300});
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    FreeLibrary(module);
    return pixels;
}

// The link as a page writes it: the title picture shows, centred and above
// the tiny dialog that owns it, and three seconds later the game starts as
// the file that the registry names, in its folder, then the Windows folder's
// explorer with the address. Programs of the same names where a search by
// name would look first never run.
TEST(Launch, ShowsTheTitlePictureThenStartsTheGameAndOpensTheAddress) {
    InstallRtcw();
    std::string program = InstallVastrel();
    const std::string decoys[] = {"C:\\Vastrel\\WolfMP.exe", "C:\\Planted\\WolfMP.exe", "C:\\Vastrel\\explorer.exe",
                                  "C:\\Games\\RTCW\\explorer.exe"};
    for (const std::string& decoy : decoys) {
        PlantRecorder(decoy);
    }
    PlantRecorder(kExplorer);

    Process vsl(Opening(program, "vsl://rtcw/10.0.0.1:27960?name=Player&embed_url={https://example.org/}"),
                "C:\\Planted");
    std::optional<Window> dialog = WaitForWindow(vsl.id, IsDialog);
    std::optional<Window> splash = WaitForWindow(vsl.id, IsSplash);
    ASSERT_TRUE(dialog && splash);
    DWORD splashSeen = GetTickCount();
    // The screen is 1024 x 768, all of it work area.
    LONG width = dialog->rect.right - dialog->rect.left;
    LONG height = dialog->rect.bottom - dialog->rect.top;
    EXPECT_EQ(Corners(dialog->rect), (std::vector<LONG>{512 - width / 2, 384 - height / 2, 512 - width / 2 + width,
                                                        384 - height / 2 + height}));
    EXPECT_EQ(dialog->caption, "vsl");
    EXPECT_TRUE(dialog->exStyle & WS_EX_APPWINDOW) << "no taskbar button";
    EXPECT_EQ(dialog->owner, nullptr);
    EXPECT_EQ(Corners(splash->rect), (std::vector<LONG>{312, 234, 712, 534}));
    EXPECT_EQ(splash->owner, dialog->handle);
    RECT covered{};
    IntersectRect(&covered, &dialog->rect, &splash->rect);
    EXPECT_TRUE(EqualRect(&covered, &dialog->rect)) << "the dialog shows beside the title picture";
    std::vector<DWORD> picture = TitlePicture(program);
    HDC screen = GetDC(nullptr);
    // The picture's 5-bit colours may round on their way to the screen.
    EXPECT_TRUE(PollUntil([&] { return SamePixels(PixelsOf(screen, splash->rect), picture, 8); }, 1500));
    ReleaseDC(nullptr, screen);
    // Wine maps the dialog above the window it owns; vsl.exe then raises the
    // picture again, by the time it has been painted.
    std::vector<Window> order = WindowsOf(vsl.id);
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0].handle, splash->handle);

    std::optional<LaunchRecord> game = WaitForLaunch(kGame);
    ASSERT_TRUE(game);
    EXPECT_GE(game->tick - vsl.startTick, 3000u);
    EXPECT_LE(game->tick - splashSeen, 4500u);
    EXPECT_EQ(game->commandLine, "WolfMP.exe +set name Player +connect 10.0.0.1:27960");
    EXPECT_EQ(game->folder, "C:\\Games\\RTCW");
    std::optional<LaunchRecord> explorer = WaitForLaunch(kExplorer);
    ASSERT_TRUE(explorer);
    EXPECT_EQ(explorer->commandLine, "explorer https://example.org/");
    EXPECT_EQ(explorer->folder, "C:\\Games\\RTCW");
    EXPECT_EQ(vsl.WaitForExit(), 0u);
    for (const std::string& decoy : decoys) {
        EXPECT_FALSE(WaitForLaunch(decoy, 0)) << decoy;
    }
}

// A refused link: one message, captioned with the program file's name, over
// the title picture and the dialog. Kept open well past another three
// seconds it stays the only one and nothing starts; OK ends the run with 1.
TEST(Launch, RefusesALinkInOneMessage) {
    InstallRtcw();
    PlantRecorder(kExplorer);
    std::string program = InstallVastrel(kFolder, "Launcher.exe");
    Process vsl(Opening(program, "vsl://rtcw/10.0.0.1:27960?fs_basepath=%5C%5C203.0.113.7%5Cshare&fs_game=x"));
    std::optional<Window> box = WaitForMessageBox(vsl.id);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Launcher");
    EXPECT_EQ(MessageText(box->handle),
              "This link was refused: its setting fs_basepath changes where the game loads its code and data "
              "from.\nNothing was started.");
    EXPECT_EQ(ButtonsOf(box->handle), std::vector<int>{IDOK});
    EXPECT_EQ(IconOf(box->handle), "hand");
    EXPECT_FALSE(PollUntil([&] { return WindowsOf(vsl.id).size() != 3; }, 4000))
        << "the message, the title picture and the dialog do not stay alone";
    EXPECT_FALSE(WaitForLaunch(kGame, 0));
    EXPECT_FALSE(WaitForLaunch(kExplorer, 0));
    Press(box->handle, IDOK);
    EXPECT_EQ(vsl.WaitForExit(), 1u);
}

// The other kinds of message, side by side: no link at all (said before the
// title picture shows), a game that is not installed, one whose files are
// gone, and texts that begin with "uninstall" but are no uninstall command,
// which the link parser reads.
TEST(Launch, ReportsEachKindOfProblem) {
    InstallRtcw(false);
    PlantRecorder(kExplorer);
    std::string program = InstallVastrel();
    const std::pair<std::string, std::string> table[] = {
        {"", "Missing Parameters"},
        {"\"vsl://sof1/10.0.0.1:27910\"", "Vastrel was unable to detect sof1 on your computer.\n"},
        {"\"vsl://rtcw/10.0.0.1:27960\"", "Unable to launch rtcw.\nFile not found."},
        {"uninstall/x",
         "Your version of Vastrel does not support all.\nPlease get a newer version from "
         "https://vastrel.example/download."},
        {"\"uninstall \"",
         "This link was refused: its server address all :all  holds a blank, + ; \" \\ // /* or a control "
         "character.\nNothing was started."},
    };
    std::deque<Process> runs;
    for (const auto& [arguments, text] : table) {
        runs.emplace_back("\"" + program + "\" " + arguments);
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        std::optional<Window> box = WaitForMessageBox(runs[i].id);
        ASSERT_TRUE(box) << table[i].first;
        EXPECT_EQ(MessageText(box->handle), table[i].second) << table[i].first;
        EXPECT_EQ(box->caption, "vsl");
        EXPECT_EQ(ButtonsOf(box->handle), std::vector<int>{IDOK});
        EXPECT_EQ(IconOf(box->handle), "hand") << table[i].first;
        if (i == 0) {
            EXPECT_EQ(WindowsOf(runs[i].id).size(), 1u) << "more than the message shows";
        }
        Press(box->handle, IDOK);
        EXPECT_EQ(runs[i].WaitForExit(), 1u) << table[i].first;
    }
    EXPECT_FALSE(WaitForLaunch(kExplorer, 0));
    EXPECT_TRUE(Exists(program));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "vsl"));
}

// Closed during the three seconds, the dialog ends the run with the word
// parameter of the last message that its loop fetched, and nothing starts.
// The screen is at 150 %: the title picture grows to 600 x 450, centred. F1
// asks for the help file beside the program.
TEST(Launch, ClosedEarlyStartsNothing) {
    DWORD dpi = 144;
    SHSetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    InstallRtcw();
    PlantRecorder(kExplorer);
    std::string program = InstallVastrel();
    const std::string link = "vsl://rtcw/10.0.0.1:27960?name=Player&embed_url={https://example.org/}";
    struct Closing {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        DWORD exitCode;
    };
    // The dialog manager turns Escape and Enter into a sent IDCANCEL and IDOK,
    // after the key itself was fetched; a close posts IDCANCEL, fetched last.
    const Closing table[] = {
        {WM_KEYDOWN, VK_ESCAPE, 1, VK_ESCAPE},    {WM_KEYDOWN, VK_RETURN, 1, VK_RETURN},
        {WM_COMMAND, IDCANCEL, 0, IDCANCEL},      {WM_CLOSE, 0, 0, IDCANCEL},
        {WM_SYSCOMMAND, SC_CLOSE, 0, IDCANCEL},   {WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29), IDCANCEL},
    };
    std::deque<Process> runs;
    for (const Closing& closing : table) {
        runs.emplace_back(Opening(program, link));
        std::optional<Window> dialog = WaitForWindow(runs.back().id, IsDialog);
        ASSERT_TRUE(dialog);
        PostMessageA(dialog->handle, closing.message, closing.wParam, closing.lParam);
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].WaitForExit(), table[i].exitCode) << "closing " << i;
    }

    // Alt+F4 typed on the keyboard, into the dialog in the foreground.
    Process typed(Opening(program, link));
    std::optional<Window> dialog = WaitForWindow(typed.id, IsDialog);
    std::optional<Window> splash = WaitForWindow(typed.id, IsSplash);
    ASSERT_TRUE(dialog && splash);
    EXPECT_EQ(Corners(splash->rect), (std::vector<LONG>{212, 159, 812, 609}));
    ASSERT_TRUE(PollUntil([&] { return GetForegroundWindow() == dialog->handle; }));
    INPUT keys[4] = {};
    const WORD order[] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i];
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(4, keys, sizeof(INPUT));
    EXPECT_EQ(typed.WaitForExit(), static_cast<DWORD>(IDCANCEL));
    EXPECT_FALSE(WaitForLaunch(kGame, 500));

    Process help(Opening(program, link));
    dialog = WaitForWindow(help.id, IsDialog);
    ASSERT_TRUE(dialog);
    PostMessageA(dialog->handle, WM_KEYDOWN, VK_F1, 1);
    std::optional<DWORD> viewer = WaitForProcessNamed("winhlp32.exe");
    ASSERT_TRUE(viewer);
    std::optional<Window> box = WaitForMessageBox(*viewer);
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageText(box->handle), "Cannot find 'C:\\Vastrel\\vsl.HLP'. Do you want to find this file yourself?");
}

// Yes removes the keys and leaves a batch file to the command interpreter,
// which deletes vsl.exe once the one that still runs from the folder has
// ended, and then the folder: one named with blanks, & and a letter beyond
// ASCII, recorded only in the computer's entry (the installer ran under
// another account). The temporary folder's name has a blank, and a program
// named after its first word never runs. A second removal started at the
// same time says so and changes nothing.
TEST(Uninstall, RemovesEverything) {
    const std::string folder = "C:\\Rock & Roll (x86)\\\xDC" "ber";
    std::string program = InstallVastrel(folder);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vastrel");
    CreateDirectoryA("C:\\My Temp", nullptr);
    SetEnvironmentVariableA("TMP", "C:\\My Temp");
    PlantRecorder("C:\\My.exe");
    Process running("\"" + program + "\"");
    std::optional<Window> missing = WaitForMessageBox(running.id);
    ASSERT_TRUE(missing);

    std::deque<Process> removals;
    removals.emplace_back("\"" + program + "\" uninstall");
    removals.emplace_back("\"" + program + "\" uninstall");
    std::optional<Window> boxes[] = {WaitForMessageBox(removals[0].id), WaitForMessageBox(removals[1].id)};
    ASSERT_TRUE(boxes[0] && boxes[1]);
    int asking = MessageText(boxes[0]->handle) == kQuestion ? 0 : 1;
    HWND refusal = boxes[1 - asking]->handle;
    EXPECT_EQ(MessageText(refusal), "Vastrel is being removed already.\nUninstall Aborted");
    EXPECT_EQ(IconOf(refusal), "hand");
    Press(refusal, IDOK);
    EXPECT_EQ(removals[1 - asking].WaitForExit(), 1u);

    HWND question = boxes[asking]->handle;
    EXPECT_EQ(MessageText(question), kQuestion);
    EXPECT_EQ(boxes[asking]->caption, "vsl");
    EXPECT_EQ(ButtonsOf(question), (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(IconOf(question), "question");
    Press(question, IDYES);
    EXPECT_EQ(removals[asking].WaitForExit(), 0u);
    EXPECT_TRUE(Exists("C:\\My Temp\\vsl_uninstall.bat"));
    EXPECT_EQ(DumpKey(HKEY_CLASSES_ROOT, "vsl") + DumpKey(HKEY_LOCAL_MACHINE, kEntryKey), "");

    // The batch file waits between its tries to delete the running vsl.exe.
    EXPECT_TRUE(WaitForProcessNamed("ping.exe"));
    EXPECT_TRUE(Exists(program));
    Press(missing->handle, IDOK);
    EXPECT_EQ(running.WaitForExit(), 1u);
    EXPECT_TRUE(PollUntil([&] { return !Exists(folder); }));
    EXPECT_TRUE(Exists("C:\\Rock & Roll (x86)"));
    EXPECT_FALSE(WaitForLaunch("C:\\My.exe", 0));
}

// No answers the question and changes nothing; a recorded folder that the
// batch file could not name exactly is refused before the question.
TEST(Uninstall, AnsweredNoOrRefusedChangesNothing) {
    std::string program = InstallVastrel();
    for (const char* path : {"C:\\Vastrel", "C:\\Games%1"}) {
        SetRegistryText(HKEY_CURRENT_USER, "Software\\Vastrel", "path", path);
        std::string keys = DumpKey(HKEY_CURRENT_USER, "Software\\Vastrel") + DumpKey(HKEY_CLASSES_ROOT, "vsl") +
                           DumpKey(HKEY_LOCAL_MACHINE, kEntryKey);
        Process vsl("\"" + program + "\" uninstall");
        std::optional<Window> box = WaitForMessageBox(vsl.id);
        ASSERT_TRUE(box);
        if (path == std::string(kFolder)) {
            EXPECT_EQ(MessageText(box->handle), kQuestion);
            Press(box->handle, IDNO);
            EXPECT_EQ(vsl.WaitForExit(), 0u);
        } else {
            EXPECT_EQ(MessageText(box->handle),
                      "The folder recorded for Vastrel, C:\\Games%1, cannot be removed safely.\nUninstall Aborted");
            Press(box->handle, IDOK);
            EXPECT_EQ(vsl.WaitForExit(), 1u);
        }
        EXPECT_EQ(DumpKey(HKEY_CURRENT_USER, "Software\\Vastrel") + DumpKey(HKEY_CLASSES_ROOT, "vsl") +
                      DumpKey(HKEY_LOCAL_MACHINE, kEntryKey),
                  keys);
        EXPECT_TRUE(Exists(program));
        EXPECT_FALSE(Exists(std::string(std::getenv("TMP")) + "\\vsl_uninstall.bat"));
    }
}

}  // namespace
