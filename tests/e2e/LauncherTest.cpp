// The real vsl.exe started as the shell starts it, in a prefix laid out as the
// installers leave it. Games and explorer are the recorder; the driver reads
// the program's windows and answers its message boxes as a user would.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstdlib>
#include <deque>

#include "tests/support/WineTest.h"

namespace {

const char kQuestion[] = "Are you sure you want to uninstall Vastrel ?";
// As browsers hand it over: "name=Big Player&embed_url={https://example.org/}".
const char kLink[] = "vsl://rtcw/10.0.0.1:27960?name=Big%20Player&embed_url=%7Bhttps://example.org/%7D";
const char kMalformed[] =
    "Malformed parameter string passed\nThis would most likely be caused by a bad link.";

// vsl.exe in the folder with the keys its installer writes, and rtcw.
std::string Install(const std::string& folder = "C:\\Vastrel", const std::string& name = "vsl.exe") {
    std::string program = folder + "\\" + name;
    WriteFileText(program, ReadFileText(BuiltProgram("vsl.exe")).value());
    SetRegistryText(HKEY_CURRENT_USER, "Software\\Vastrel", "path", folder);
    SetRegistryText(HKEY_CLASSES_ROOT, "vsl\\shell\\open\\command", "", "\"" + program + "\" \"%1\"");
    SetRegistryText(HKEY_LOCAL_MACHINE, kEntryKey, "InstallLocation", folder);
    InstallRtcw();
    return program;
}

bool IsSplash(const Window& window) {
    return window.className != "#32770";
}

std::vector<LONG> Corners(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The link as a page writes it: the title picture shows, centred and above
// the tiny dialog that owns it, and three seconds later the game starts as
// the file the registry names, in its folder, then the Windows folder's
// explorer with the address.
TEST(Launch, ShowsTheTitlePictureThenStartsTheGameAndOpensTheAddress) {
    // The run under Windows' UTF-8 setting, where the ANSI and OEM code pages
    // are 65001, says so (CMakeLists.txt).
    if (const char* codePage = std::getenv("VSL_CODE_PAGE")) {
        ASSERT_EQ(GetACP(), std::strtoul(codePage, nullptr, 10));
        ASSERT_EQ(GetOEMCP(), std::strtoul(codePage, nullptr, 10));
    }
    std::string program = Install();
    Process vsl(Quoted(program) + " " + Quoted(kLink));
    // The dialog comes first; its initialisation starts the timer, then makes
    // the title picture's window.
    std::optional<DWORD> dialogMade = WaitForFirstWindow(vsl.id, [](const char*) { return true; });
    std::optional<DWORD> splashMade =
        WaitForFirstWindow(vsl.id, [](const char* className) { return lstrcmpA(className, "#32770") != 0; });
    std::optional<Window> dialog = WaitForWindow(vsl.id, IsDialog);
    std::optional<Window> splash = WaitForWindow(vsl.id, IsSplash);
    ASSERT_TRUE(dialogMade && splashMade && dialog && splash);
    // The screen, 1024 x 768, is all work area.
    LONG width = dialog->rect.right - dialog->rect.left;
    LONG height = dialog->rect.bottom - dialog->rect.top;
    EXPECT_EQ(Corners(dialog->rect), (std::vector<LONG>{512 - width / 2, 384 - height / 2,
                                                        512 - width / 2 + width, 384 - height / 2 + height}));
    EXPECT_EQ(dialog->caption, "vsl");
    EXPECT_TRUE(dialog->exStyle & WS_EX_APPWINDOW) << "no taskbar button";
    EXPECT_EQ(dialog->owner, nullptr);
    EXPECT_EQ(Corners(splash->rect), (std::vector<LONG>{312, 234, 712, 534}));
    EXPECT_EQ(splash->owner, dialog->handle);
    RECT covered{};
    IntersectRect(&covered, &dialog->rect, &splash->rect);
    EXPECT_TRUE(EqualRect(&covered, &dialog->rect)) << "the dialog shows beside the title picture";

    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, LoadImageA(module, MAKEINTRESOURCEA(131), IMAGE_BITMAP, 0, 0, 0));
    std::vector<DWORD> picture = PixelsOf(memory, RECT{0, 0, 400, 300});
    HDC screen = GetDC(nullptr);
    auto shown = [&] { return PixelsOf(screen, splash->rect) == picture; };
    EXPECT_TRUE(PollUntil(shown, Limit(1500))) << "the screen does not show the title picture";
    // Wine maps the dialog above the window it owns; vsl.exe raises the
    // picture again by the time it is painted.
    EXPECT_EQ(WindowsOf(vsl.id).front().handle, splash->handle);

    std::optional<LaunchRecord> game = WaitForLaunch(kGame);
    ASSERT_TRUE(game);
    // The game is made three seconds after the timer started, between the
    // two windows. A look every millisecond sees each at most kSeenLateMs
    // after it came; the dispatch itself (the tick's message, the registry,
    // the start) takes its moment, which stretches with Wine's slowness.
    constexpr DWORD kSeenLateMs = 100;
    constexpr DWORD kDispatchMs = 130;
    EXPECT_GE(game->tick - vsl.startTick, 3000u);
    EXPECT_GE(game->tick - *dialogMade, 3000u - kSeenLateMs);
    EXPECT_LE(game->tick - *splashMade, 3000u + Limit(kDispatchMs));
    EXPECT_EQ(game->commandLine, "WolfMP.exe +set name Big Player +connect 10.0.0.1:27960");
    EXPECT_EQ(game->folder, "C:\\Games\\RTCW");
    std::optional<LaunchRecord> explorer = WaitForLaunch(kExplorer);
    ASSERT_TRUE(explorer);
    EXPECT_EQ(explorer->commandLine, "explorer https://example.org/");
    EXPECT_EQ(explorer->folder, "C:\\Games\\RTCW");
    EXPECT_EQ(vsl.WaitForExit(), 0u);
}

// Each kind of message, side by side: no link at all (said before the title
// picture shows), a setting that no server list needs, a value the game's
// console would misread, a link without its port, a game that is not
// installed, and a text that begins with "uninstall" but is no uninstall
// command. Captioned with the program file's name, over the title picture and
// the dialog, each stays the only message well past another three seconds and
// nothing starts; OK ends the run with 1.
TEST(Launch, ReportsEachKindOfProblemInOneMessage) {
    std::string program = Install();
    std::string renamed = Install("C:\\Vastrel", "Launcher.exe");
    struct Row {
        std::string command;
        std::string text;
    };
    const Row table[] = {
        {Quoted(program), "Missing Parameters"},
        {Quoted(renamed) + " vsl://rtcw/10.0.0.1:27960?name=P&Win_WndProc=4198400",
         "This link was refused: its setting Win_WndProc is not one that Vastrel passes to rtcw: it passes "
         "only the settings a server list needs, which its README lists.\nNothing was started."},
        {Quoted(program) + " vsl://rtcw/10.0.0.1:27960?name=J%C3%B6rg",
         "This link was refused: the value of its setting name holds a character beyond ASCII, which the "
         "game's console reads as a blank.\nNothing was started."},
        {Quoted(program) + " vsl://rtcw/10.0.0.1?name=P", kMalformed},
        {Quoted(program) + " vsl://sof1/10.0.0.1:27910",
         "Vastrel was unable to detect sof1 on your computer.\n"},
        {Quoted(program) + " uninstall/x:1",
         "Your version of Vastrel does not support all.\nPlease get a newer version from "
         "https://vastrel.example/download."},
    };
    std::deque<Process> runs;
    for (const Row& row : table) {
        runs.emplace_back(row.command);
    }
    std::vector<HWND> boxes;
    for (size_t i = 0; i < runs.size(); ++i) {
        std::optional<Window> box = WaitForWindow(runs[i].id, IsMessageBox);
        ASSERT_TRUE(box) << table[i].command;
        boxes.push_back(box->handle);
        EXPECT_EQ(MessageText(box->handle), table[i].text);
        EXPECT_EQ(box->caption, i == 1 ? "Launcher" : "vsl");
        EXPECT_EQ(ButtonsOf(box->handle), std::vector<int>{IDOK});
    }
    EXPECT_FALSE(PollUntil(
        [&] {
            for (size_t i = 0; i < runs.size(); ++i) {
                if (WindowsOf(runs[i].id).size() != (i == 0 ? 1u : 3u)) {
                    return true;
                }
            }
            return false;
        },
        4000))
        << "other windows than the message, the title picture and the dialog";
    for (size_t i = 0; i < runs.size(); ++i) {
        Press(boxes[i], IDOK);
        EXPECT_EQ(runs[i].WaitForExit(), 1u) << table[i].command;
    }
    EXPECT_FALSE(WaitForLaunch(kGame, 0) || WaitForLaunch(kExplorer, 0));
    EXPECT_TRUE(Exists(program) && KeyExists(HKEY_CLASSES_ROOT, "vsl"));
}

// Closed during the three seconds, the dialog ends the run with the word
// parameter of the last message its loop fetched, and nothing starts. The
// screen is at 150 %: the title picture grows to 600 x 450, centred. F1 asks
// for the help file beside the program.
TEST(Launch, ClosedEarlyStartsNothing) {
    DWORD dpi = 144;
    SHSetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    std::string command = Quoted(Install()) + " " + Quoted(kLink);
    // The dialog manager turns Escape and Enter into a sent IDCANCEL and IDOK
    // after the key was fetched; the ways to close post IDCANCEL.
    const std::vector<std::vector<UINT>> table = {
        {WM_KEYDOWN, VK_ESCAPE, 1, VK_ESCAPE},  {WM_KEYDOWN, VK_RETURN, 1, VK_RETURN},
        {WM_COMMAND, IDCANCEL, 0, IDCANCEL},    {WM_CLOSE, 0, 0, IDCANCEL},
        {WM_SYSCOMMAND, SC_CLOSE, 0, IDCANCEL}, {WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29), IDCANCEL},
    };
    std::deque<Process> runs;
    for (const std::vector<UINT>& closing : table) {
        runs.emplace_back(command);
        std::optional<Window> dialog = WaitForWindow(runs.back().id, IsDialog);
        std::optional<Window> splash = WaitForWindow(runs.back().id, IsSplash);
        ASSERT_TRUE(dialog && splash);
        EXPECT_EQ(Corners(splash->rect), (std::vector<LONG>{212, 159, 812, 609}));
        PostMessageA(dialog->handle, closing[0], closing[1], static_cast<LPARAM>(closing[2]));
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].WaitForExit(), table[i][3]) << "closing " << i;
    }
    EXPECT_FALSE(WaitForLaunch(kGame, Limit(500)));

    Process help(command);
    std::optional<Window> dialog = WaitForWindow(help.id, IsDialog);
    ASSERT_TRUE(dialog);
    PostMessageA(dialog->handle, WM_KEYDOWN, VK_F1, 1);
    std::optional<DWORD> viewer = WaitForProcessNamed("winhlp32.exe");
    ASSERT_TRUE(viewer);
    std::optional<Window> box = WaitForWindow(*viewer, IsMessageBox);
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageText(box->handle),
              "Cannot find 'C:\\Vastrel\\vsl.HLP'. Do you want to find this file yourself?");
}

// The uninstall's batch files in the Windows folder's temporary folder.
std::string Scripts() {
    std::string names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("C:\\windows\\temp\\vsl_uninstall-*.bat", &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        names += std::string(found.cFileName) + " ";
    }
    FindClose(search);
    return names;
}

// Removal from a folder with blanks, & and a fullwidth V, which no ANSI code
// page here holds, beside a folder whose name looks the same; recorded only in
// the computer's entry (the installer ran under another account). While the
// command interpreter cannot start, Yes removes nothing and says why. Then Yes
// leaves a batch file to it and removes the keys; the batch file deletes
// vsl.exe once the one still running from the folder has ended, then the
// folder and itself, and a program named after the folder's first word never
// runs. A second removal at the same time says so and changes nothing.
TEST(Uninstall, RemovesEverything) {
    const std::string parent = "C:\\Rock & Roll (x86)";
    const std::string folder = parent +
                               "\\\xEF\xBC\xB6"
                               "astrel";
    std::string program = Install(folder);
    std::string lookAlike = Install(parent + "\\Vastrel");
    Install(folder);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vastrel");
    PlantRecorder("C:\\Rock.exe");
    std::string keys = DumpKey(HKEY_CLASSES_ROOT, "vsl") + DumpKey(HKEY_LOCAL_MACHINE, kEntryKey);

    const std::string interpreter = "C:\\windows\\system32\\cmd.exe";
    std::string interpreterBytes = ReadFileText(interpreter).value();
    WriteFileText(interpreter, "no program");
    Process unstartable(Quoted(program) + " uninstall");
    std::optional<Window> box = WaitForWindow(unstartable.id, IsMessageBox);
    ASSERT_TRUE(box);
    Press(box->handle, IDYES);
    // The next message, once the question has gone.
    const std::string cannotStart =
        "Unable to start the command interpreter C:\\windows\\system32\\cmd.exe, which deletes Vastrel's "
        "files. "
        "Nothing has been removed.\nUninstall Aborted";
    EXPECT_TRUE(PollUntil([&] {
        box = WaitForWindow(unstartable.id, IsMessageBox, 0);
        return box && MessageText(box->handle) == cannotStart;
    })) << (box ? MessageText(box->handle) : "no message");
    ASSERT_TRUE(box);
    Press(box->handle, IDOK);
    EXPECT_EQ(unstartable.WaitForExit(), 1u);
    EXPECT_EQ(DumpKey(HKEY_CLASSES_ROOT, "vsl") + DumpKey(HKEY_LOCAL_MACHINE, kEntryKey), keys);
    EXPECT_EQ(Scripts(), "");
    WriteFileText(interpreter, interpreterBytes);

    Process running(Quoted(program));
    std::optional<Window> missing = WaitForWindow(running.id, IsMessageBox);
    ASSERT_TRUE(missing);
    std::deque<Process> removals;
    removals.emplace_back(Quoted(program) + " uninstall");
    removals.emplace_back(Quoted(program) + " uninstall");
    std::optional<Window> boxes[] = {WaitForWindow(removals[0].id, IsMessageBox),
                                     WaitForWindow(removals[1].id, IsMessageBox)};
    ASSERT_TRUE(boxes[0] && boxes[1]);
    int asking = MessageText(boxes[0]->handle) == kQuestion ? 0 : 1;
    HWND refusal = boxes[1 - asking]->handle;
    EXPECT_EQ(MessageText(refusal), "Vastrel is being removed already.\nUninstall Aborted");
    Press(refusal, IDOK);
    EXPECT_EQ(removals[1 - asking].WaitForExit(), 1u);
    HWND question = boxes[asking]->handle;
    EXPECT_EQ(MessageText(question), kQuestion);
    EXPECT_EQ(boxes[asking]->caption, "vsl");
    EXPECT_EQ(ButtonsOf(question), (std::vector<int>{IDYES, IDNO}));
    Press(question, IDYES);
    EXPECT_EQ(removals[asking].WaitForExit(), 0u);
    EXPECT_NE(Scripts(), "");
    EXPECT_EQ(DumpKey(HKEY_CLASSES_ROOT, "vsl") + DumpKey(HKEY_LOCAL_MACHINE, kEntryKey), "");

    // The batch file waits between its tries to delete the running vsl.exe.
    EXPECT_TRUE(WaitForProcessNamed("ping.exe"));
    EXPECT_TRUE(Exists(program));
    Press(missing->handle, IDOK);
    EXPECT_EQ(running.WaitForExit(), 1u);
    EXPECT_TRUE(PollUntil([&] { return !Exists(folder) && Scripts().empty(); })) << Scripts();
    EXPECT_TRUE(Exists(lookAlike));
    EXPECT_FALSE(WaitForLaunch("C:\\Rock.exe", 0));
}

// Games from the stores, side by side: mohaa from its installer's value though
// GOG's War Chest holds it too, Spearhead from the War Chest, and rtcw from a
// Steam library on drive D:, as GOG's rtcw folder lacks the game's program;
// once that is there, rtcw from GOG. Steam records its own folder in lower
// case with slashes.
TEST(Launch, FindsTheGamesWhereTheStoresInstalledThem) {
    ASSERT_TRUE(Exists("D:\\")) << "no drive D: (tools/wine-run makes one with VSL_SECOND_DRIVE=1)";
    const std::string program = BuiltProgram("vsl.exe");
    const std::string chest = "C:\\GOG Games\\War Chest\\", gog = "C:\\GOG Games\\RTCW", steam = "D:\\Steam";
    SetRegistryText(HKEY_CURRENT_USER, "Software\\2015\\MOHAA", "basepath", "C:\\Games\\MOHAA");
    SetRegistryText(HKEY_LOCAL_MACHINE, "Software\\GOG.com\\Games\\1207659126", "path", chest);
    SetRegistryText(HKEY_LOCAL_MACHINE, "Software\\GOG.com\\Games\\1441704976", "PATH", gog);
    SetRegistryText(HKEY_CURRENT_USER, "Software\\Valve\\Steam", "SteamPath", "c:/program files (x86)/steam");
    WriteFileText(
        "C:\\Program Files (x86)\\Steam\\SteamApps\\libraryfolders.vdf",
        R"("libraryfolders" { "0" { "path" "C:\\Program Files (x86)\\Steam" } "1" { "path" "D:\\Steam" } })");
    WriteFileText(steam + "\\steamapps\\appmanifest_9010.acf",
                  "\"AppState\"\n{\n\t\"installdir\"\t\t\"RTCW\"\n}\n");
    const std::pair<const char*, std::string> table[] = {
        {"mohaa", "C:\\Games\\MOHAA\\mohaa.exe"},
        {"mohaaspearhead", chest + "moh_spearhead.exe"},
        {"rtcw", steam + "\\steamapps\\common\\RTCW\\WolfMP.exe"},
        {"rtcw", gog + "\\WolfMP.exe"}};
    PlantRecorder(chest + "MOHAA.exe");
    std::deque<Process> runs;
    for (size_t i = 0; i < std::size(table); ++i) {
        // GOG's rtcw folder holds the game's program only once Steam's has started.
        ASSERT_TRUE(i != 3 || WaitForLaunch(table[2].second));
        PlantRecorder(table[i].second);
        runs.emplace_back(Quoted(program) + " vsl://" + table[i].first + "/10.0.0.1:27960?name=P");
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        const std::string& path = table[i].second;
        size_t slash = path.rfind('\\');
        std::optional<LaunchRecord> game = WaitForLaunch(path);
        ASSERT_TRUE(game) << path;
        EXPECT_EQ(game->folder, path.substr(0, slash));
        EXPECT_EQ(game->commandLine, path.substr(slash + 1) + " +set name P +connect 10.0.0.1:27960");
        EXPECT_EQ(runs[i].WaitForExit(), 0u) << path;
    }
    EXPECT_FALSE(WaitForLaunch(chest + "MOHAA.exe", 0));
}

}  // namespace
