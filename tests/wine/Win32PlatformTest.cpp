// The real platform layer against Wine's registry, environment, files, code
// pages and process start, in a prefix of each test's own.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>

#include "platform/RegistryText.h"
#include "platform/Win32Platform.h"
#include "tests/support/WineTest.h"
#include "uninstall/Uninstaller.h"

namespace {

using namespace std::string_literals;

TEST(Win32Platform, ReadsAndDeletesRegistryKeys) {
    const char key[] = "Software\\VastrelTest";
    struct Stored {
        DWORD type;
        std::string bytes;
        std::optional<std::string> text;
    };
    const Stored table[] = {
        {REG_SZ, std::string(255, 'a') + '\0', std::nullopt},
        {REG_SZ, std::string(255, 'b'), std::string(255, 'b')},  // stored without its zero
        {REG_SZ, std::string(256, 'b'), std::nullopt},
        {REG_SZ, "C:\\A\0junk\0"s, "C:\\A"},
        {REG_BINARY, "C:\\Bin", "C:\\Bin"},
        {REG_EXPAND_SZ, "%TMP%\\x\0"s, "%TMP%\\x"},
    };
    Win32Platform platform;
    for (const Stored& stored : table) {
        // The byte after the value is no zero, which the registry would count in.
        std::string data = stored.bytes + 'X';
        ASSERT_EQ(SHSetValueA(HKEY_CURRENT_USER, key, "value", stored.type, data.data(),
                              static_cast<DWORD>(stored.bytes.size())),
                  ERROR_SUCCESS);
        for (int reads : {1, 2}) {
            EXPECT_EQ(ReadRegistryText(platform, RegistryRoot::CurrentUser, key, "value", reads), stored.text)
                << stored.bytes.size() << " bytes, " << reads << " reads";
        }
    }
    // Text reads as UTF-8 whatever the code page, a lone surrogate as no text.
    const std::pair<std::wstring, std::optional<std::string>> texts[] = {
        {L"D:\\\x0418\x0433\x0440\x044B\\\xFF36"
         L"astrel",
         "D:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\\\xEF\xBC\xB6"
         "astrel"},
        {L"x\xD800", std::nullopt},
    };
    for (const auto& [wide, text] : texts) {
        ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, L"Software\\VastrelTest", L"wide", REG_SZ, wide.c_str(),
                              static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        EXPECT_EQ(ReadRegistryText(platform, RegistryRoot::CurrentUser, key, "wide"), text);
    }
    EXPECT_EQ(ReadRegistryText(platform, RegistryRoot::CurrentUser, key, "other"), std::nullopt);
    EXPECT_EQ(ReadRegistryText(platform, RegistryRoot::CurrentUser, "Software\\Missing", "value"),
              std::nullopt);

    // A read that does not fit tells the size it needs.
    std::optional<RegistryKey> opened = platform.OpenKey(RegistryRoot::CurrentUser, key, kKeyQueryValue);
    ASSERT_TRUE(opened);
    unsigned char buffer[4];
    std::uint32_t size = sizeof buffer;
    EXPECT_FALSE(platform.QueryValue(*opened, "value", buffer, &size));
    EXPECT_EQ(size, 8u);  // the last value's
    platform.CloseKey(*opened);
    EXPECT_TRUE(platform.OpenKey(RegistryRoot::LocalMachine, "Software\\Microsoft", kKeyQueryValue));
    EXPECT_FALSE(platform.OpenKey(RegistryRoot::LocalMachine, "Software\\Missing", kKeyQueryValue));
    // A 32-bit prefix has one registry view: the 64-bit one is the same keys.
    SetRegistryText(HKEY_LOCAL_MACHINE, key, "v", "C:\\A");
    EXPECT_EQ(ReadRegistryText(platform, RegistryRoot::LocalMachine, key, "v", 1, kKeyWow64_64Key), "C:\\A");

    // A key with children stays; the uninstall deletes its link scheme from
    // the classes root, opened with an empty subkey.
    SetRegistryText(HKEY_CLASSES_ROOT, "vsl-test\\shell", "", "x");
    std::optional<RegistryKey> root = platform.OpenKey(RegistryRoot::ClassesRoot, "", kKeyAllAccess);
    ASSERT_TRUE(root);
    platform.DeleteKey(*root, "vsl-test");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "vsl-test"));
    std::optional<RegistryKey> scheme =
        platform.OpenKey(RegistryRoot::ClassesRoot, "vsl-test", kKeyAllAccess);
    ASSERT_TRUE(scheme);
    platform.DeleteKey(*scheme, "shell");
    platform.CloseKey(*scheme);
    platform.DeleteKey(*root, "vsl-test");
    platform.CloseKey(*root);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "vsl-test"));
}

// The program started is the very file named, in its folder: programs of the
// same name beside the caller and in the working folder never run.
TEST(Win32Platform, StartsProgramsAsTheFilesNamed) {
    const std::string folder = "C:\\Games\\RTCW \xEF\xBC\xB6";  // with a fullwidth V, in no ANSI code page
    const std::string game = folder + "\\WolfMP.exe";
    std::string beside = BuiltProgram("vsl_recorder.exe");
    beside.replace(beside.rfind('\\') + 1, std::string::npos, "WolfMP.exe");
    const std::string decoys[] = {beside, "C:\\Work\\WolfMP.exe"};
    for (const std::string& path : {game, decoys[0], decoys[1]}) {
        PlantRecorder(path);
    }
    SetCurrentDirectoryA("C:\\Work");
    Win32Platform platform;
    DWORD before = GetTickCount();
    ASSERT_TRUE(platform.StartProgram(game, "WolfMP.exe +set name P +connect h:1", folder));
    std::optional<LaunchRecord> started = WaitForLaunch(game);
    ASSERT_TRUE(started);
    EXPECT_GE(started->tick, before);
    EXPECT_EQ(started->folder, folder);
    EXPECT_EQ(started->commandLine, "WolfMP.exe +set name P +connect h:1");
    EXPECT_FALSE(platform.StartProgram(folder + "\\SoF.exe", "SoF.exe", folder));
    EXPECT_FALSE(platform.StartProgram(game, "WolfMP.exe", "C:\\Games\\Gone"));

    // The command interpreter of the system folder runs a batch file whose path has a blank.
    EXPECT_TRUE(Exists(platform.WindowsFolder() + "\\explorer.exe"));
    WriteFileText("C:\\With Blank\\a.bat", "@echo ran>\"C:\\With Blank\\ran.txt\"\r\n");
    ASSERT_TRUE(platform.StartProgram(platform.SystemFolder() + "\\cmd.exe",
                                      "cmd.exe /c \"C:\\With Blank\\a.bat\"", platform.SystemFolder()));
    EXPECT_TRUE(PollUntil([] { return ReadFileText("C:\\With Blank\\ran.txt") == "ran\r\n"; }));

    // Wine gives every program an administrator's full rights; the elevated
    // start runs the program with its arguments all the same.
    EXPECT_TRUE(platform.IsElevated());
    const std::string program = "C:\\Vastrel\\vsl.exe";
    PlantRecorder(program);
    ASSERT_TRUE(platform.StartElevated(program, "uninstall"));
    std::optional<LaunchRecord> elevated = WaitForLaunch(program);
    ASSERT_TRUE(elevated);
    EXPECT_EQ(elevated->commandLine, "\"" + program + "\" uninstall");
    for (const std::string& decoy : decoys) {
        EXPECT_FALSE(WaitForLaunch(decoy, 0)) << decoy;
    }
    DeleteFileA(beside.c_str());
    DeleteFileA((beside + ".rec").c_str());
    EXPECT_EQ(platform.ProgramPath(), BuiltProgram("vsl_platform_tests.exe"));
}

// Each file new, under a name nobody foresees, line ends as CR LF; read back
// as bytes, Ctrl-Z too, up to the limit, the name in any case; a folder is no
// file.
TEST(Win32Platform, WritesEachFileNewAndReadsFiles) {
    Win32Platform platform;
    CreateDirectoryW(L"C:\\Files", nullptr);
    std::optional<std::string> first =
        platform.WriteNewFile("C:\\Files", "vsl-", ".bat", "a\nb\n\x1A" + std::string(5000, 'c'));
    std::optional<std::string> second = platform.WriteNewFile("C:\\Files", "vsl-", ".bat", "c\n");
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    for (const std::string& path : {*first, *second}) {
        EXPECT_EQ(path.size(), std::string("C:\\Files\\vsl-.bat").size() + 16);
        EXPECT_EQ(path.find_first_not_of("0123456789abcdef", 13), path.size() - 4) << path;
    }
    const std::string lines = "a\r\nb\r\n\x1A" + std::string(5000, 'c');
    EXPECT_EQ(platform.ReadSmallFile("c:\\FILES" + first->substr(8), lines.size()), lines);
    EXPECT_FALSE(platform.ReadSmallFile(*first, lines.size() - 1) || platform.ReadSmallFile("C:\\Files", 9) ||
                 platform.ReadSmallFile("C:\\Files\\gone.txt", 9));
    EXPECT_TRUE(platform.FileExists(*first) && !platform.FileExists("C:\\Files"));
    EXPECT_FALSE(platform.WriteNewFile("C:\\Files\\missing", "vsl-", ".bat", "a\n"));
    platform.RemoveFile(*first);
    EXPECT_FALSE(platform.FileExists(*first));
}

TEST(Win32Platform, PreparesTheRemovalAndEnds) {
    // First: the death test runs this test again up to this point in a process of its own.
    auto endWithHandler = [] {
        static_cast<void>(std::atexit([] { static_cast<void>(std::fputs("handler ran", stderr)); }));
        Win32Platform().EndProcess(3);
    };
    EXPECT_EXIT(endWithHandler(), ::testing::ExitedWithCode(3), "handler ran");

    // The batch file in the Windows folder's temporary folder, naming no folder itself.
    Win32Platform platform;
    std::string script = WriteUninstallScript(platform);
    EXPECT_EQ(script.rfind(platform.WindowsFolder() + "\\Temp\\vsl_uninstall-", 0), 0u) << script;
    EXPECT_EQ(ReadFileText(script).value_or("").substr(0, 44),
              "set vsl_tries=0\r\n:retry\r\ndel \"%~1\\vsl.exe\"\r\n");
    CreateDirectoryA("C:\\Temp Folder", nullptr);

    // The probe into a folder leaves nothing; a folder that is gone has nothing to remove.
    EXPECT_TRUE(platform.CanChangeFolder("C:\\Temp Folder"));
    EXPECT_FALSE(Exists("C:\\Temp Folder\\vsl_uninstall.probe"));
    EXPECT_TRUE(platform.CanChangeFolder("C:\\Gone"));

    EXPECT_TRUE(platform.TakeLock("Vastrel test"));
    EXPECT_FALSE(platform.TakeLock("Vastrel test"));
    EXPECT_TRUE(platform.TakeLock("Vastrel other test"));
}

}  // namespace
