// The real platform layer against the real (Wine) registry, environment, file
// system and process start. Every test leaves the system as it found it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryText.h"
#include "platform/Win32Platform.h"
#include "tests/support/Files.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/Wait.h"
#include "uninstall/Uninstaller.h"

namespace {

const char kTestKey[] = "Software\\VastrelTest";

// A new, empty folder under the system's temporary folder, removed with all
// the files in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder() {
        static int made = 0;
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "vsl_test_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++made);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((path_ + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Makes folder the working directory for as long as the object lives.
class WorkingDirectory {
public:
    WorkingDirectory() { GetCurrentDirectoryA(MAX_PATH, saved_); }
    ~WorkingDirectory() { SetCurrentDirectoryA(saved_); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    char saved_[MAX_PATH] = "";
};

// Sets an environment variable the way the runtime's getenv sees it, and puts
// the old value back when the object goes.
class EnvironmentVariable {
public:
    EnvironmentVariable(const std::string& name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name.c_str())) {
            saved_ = old;
        }
        _putenv((name + "=" + value).c_str());
    }
    ~EnvironmentVariable() { _putenv((name_ + "=" + saved_.value_or("")).c_str()); }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

// ---------------------------------------------------------------------------
// Registry

class Win32PlatformRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                                  nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VastrelTest\\Child\\Grandchild");
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VastrelTest\\Child");
        RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    }

    // Stores exactly these bytes. The byte after them is not zero: given a
    // zero there, RegSetValueExA would count it into a text value.
    void StoreValue(const std::string& name, DWORD type, const std::string& bytes) {
        std::vector<BYTE> data(bytes.begin(), bytes.end());
        data.push_back('X');
        ASSERT_EQ(RegSetValueExA(key_, name.c_str(), 0, type, data.data(), static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
        DWORD stored = 0;
        ASSERT_EQ(RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, &stored), ERROR_SUCCESS);
        ASSERT_EQ(stored, bytes.size()) << "the value was not stored as given";
    }

    bool KeyExists(HKEY root, const char* subkey) {
        HKEY key;
        if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    Win32Platform platform_;
    HKEY key_ = nullptr;
};

TEST_F(Win32PlatformRegistry, ReadsTextUpToTheBufferLimit) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        DWORD type;
        std::string stored;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {"254 characters and the zero", REG_SZ, std::string(254, 'a') + '\0', std::string(254, 'a')},
        {"255 characters and the zero", REG_SZ, std::string(255, 'a') + '\0', std::nullopt},
        {"text stored without its zero", REG_SZ, "C:\\Games\\RTCW", "C:\\Games\\RTCW"},
        {"255 characters without a zero", REG_SZ, std::string(255, 'b'), std::string(255, 'b')},
        {"256 characters without a zero", REG_SZ, std::string(256, 'b'), std::nullopt},
        {"text ends at the first zero", REG_SZ, "C:\\A\0junk\0"s, "C:\\A"},
        {"empty text", REG_SZ, "\0"s, ""},
        {"no bytes at all", REG_SZ, "", ""},
        {"binary value read as text", REG_BINARY, "C:\\Bin", "C:\\Bin"},
        {"expandable text is not expanded", REG_EXPAND_SZ, "%TMP%\\x\0"s, "%TMP%\\x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StoreValue("value", c.type, c.stored);
        for (int reads : {1, 2}) {
            SCOPED_TRACE("reads = " + std::to_string(reads));
            EXPECT_EQ(ReadRegistryText(platform_, RegistryRoot::CurrentUser, kTestKey, "value", reads),
                      c.text);
        }
    }
}

TEST_F(Win32PlatformRegistry, MissingKeyOrValueIsAbsent) {
    StoreValue("other", REG_SZ, std::string("x\0", 2));
    for (int reads : {1, 2}) {
        SCOPED_TRACE("reads = " + std::to_string(reads));
        EXPECT_EQ(ReadRegistryText(platform_, RegistryRoot::CurrentUser, "Software\\VastrelTest\\Missing",
                                   "value", reads),
                  std::nullopt);
        EXPECT_EQ(ReadRegistryText(platform_, RegistryRoot::CurrentUser, kTestKey, "value", reads),
                  std::nullopt);
    }
}

TEST_F(Win32PlatformRegistry, QueryValueReportsDeliveredAndNeededSize) {
    StoreValue("value", REG_SZ, std::string(299, 'c') + '\0');
    std::optional<RegistryKey> key = platform_.OpenKey(RegistryRoot::CurrentUser, kTestKey, kKeyQueryValue);
    ASSERT_TRUE(key);

    unsigned char small[16];
    std::uint32_t size = sizeof small;
    EXPECT_FALSE(platform_.QueryValue(*key, "value", small, &size));
    EXPECT_EQ(size, 300u) << "a read that does not fit tells the size it needs";

    std::vector<unsigned char> large(400);
    size = static_cast<std::uint32_t>(large.size());
    EXPECT_TRUE(platform_.QueryValue(*key, "value", large.data(), &size));
    EXPECT_EQ(size, 300u) << "a read that fits tells the size it delivered";
    EXPECT_EQ(std::string(reinterpret_cast<char*>(large.data())), std::string(299, 'c'));
    platform_.CloseKey(*key);
}

TEST_F(Win32PlatformRegistry, OpensKeysUnderEachRoot) {
    struct Case {
        RegistryRoot root;
        const char* subkey;
        bool opens;
    };
    const Case cases[] = {
        {RegistryRoot::CurrentUser, kTestKey, true},
        {RegistryRoot::CurrentUser, "Software\\VastrelTest\\Missing", false},
        {RegistryRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", true},
        {RegistryRoot::LocalMachine, "Software\\VastrelTestMissing", false},
        {RegistryRoot::ClassesRoot, "", true},
        {RegistryRoot::ClassesRoot, "vastrel-test-missing", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subkey);
        std::optional<RegistryKey> key = platform_.OpenKey(c.root, c.subkey, kKeyQueryValue);
        EXPECT_EQ(key.has_value(), c.opens);
        if (key) {
            platform_.CloseKey(*key);
        }
    }
}

TEST_F(Win32PlatformRegistry, DeletesOnlyAChildWithoutChildren) {
    HKEY created;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\VastrelTest\\Child\\Grandchild", &created),
              ERROR_SUCCESS);
    RegCloseKey(created);

    std::optional<RegistryKey> parent = platform_.OpenKey(RegistryRoot::CurrentUser, kTestKey, kKeyAllAccess);
    ASSERT_TRUE(parent);
    platform_.DeleteKey(*parent, "Child");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\VastrelTest\\Child"));
    platform_.CloseKey(*parent);

    std::optional<RegistryKey> child =
        platform_.OpenKey(RegistryRoot::CurrentUser, "Software\\VastrelTest\\Child", kKeyAllAccess);
    ASSERT_TRUE(child);
    platform_.DeleteKey(*child, "Grandchild");
    platform_.CloseKey(*child);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\VastrelTest\\Child\\Grandchild"));
}

TEST_F(Win32PlatformRegistry, DeletesAKeyOfTheOpenedRoot) {
    // The uninstaller opens the classes root itself, with an empty subkey, to
    // remove its link scheme.
    HKEY created;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "vastrel-test-scheme", &created), ERROR_SUCCESS);
    RegCloseKey(created);

    std::optional<RegistryKey> root = platform_.OpenKey(RegistryRoot::ClassesRoot, "", kKeyAllAccess);
    ASSERT_TRUE(root);
    platform_.DeleteKey(*root, "vastrel-test-scheme");
    platform_.CloseKey(*root);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "vastrel-test-scheme"));
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "vastrel-test-scheme");
}

// ---------------------------------------------------------------------------
// Environment

// The value of an entry spelled exactly name=... in the process's environment
// block, as the system handed it over at start.
std::optional<std::string> EnvironmentBlockEntry(const std::string& name) {
    std::optional<std::string> value;
    char* block = GetEnvironmentStringsA();
    for (const char* entry = block; *entry != '\0'; entry += std::strlen(entry) + 1) {
        if (std::strncmp(entry, (name + "=").c_str(), name.size() + 1) == 0) {
            value = entry + name.size() + 1;
        }
    }
    FreeEnvironmentStringsA(block);
    return value;
}

TEST(Win32PlatformEnvironment, ReadsTmpSpelledInCapitals) {
    std::optional<std::string> tmp = EnvironmentBlockEntry("TMP");
    ASSERT_TRUE(tmp) << "the system sets no variable spelled TMP";
    Win32Platform platform;
    EXPECT_EQ(platform.ReadEnvironment("tmp"), tmp);
}

TEST(Win32PlatformEnvironment, ReadsVariablesSetWhileRunningInAnyCase) {
    EnvironmentVariable variable("VSL_TEST_VARIABLE", "C:\\Some Folder");
    Win32Platform platform;
    EXPECT_EQ(platform.ReadEnvironment("vsl_test_variable"), "C:\\Some Folder");
    EXPECT_EQ(platform.ReadEnvironment("Vsl_Test_Variable"), "C:\\Some Folder");
}

TEST(Win32PlatformEnvironment, MissingVariableIsAbsent) {
    Win32Platform platform;
    EXPECT_EQ(platform.ReadEnvironment("VSL_TEST_NO_SUCH_VARIABLE"), std::nullopt);
}

// ---------------------------------------------------------------------------
// Starting programs

// The program is the very file named: a program of the same name in the
// caller's folder or the working folder never stands in for it.
TEST(Win32PlatformStart, StartsTheProgramFileItIsGiven) {
    ScratchFolder game;
    ScratchFolder working;
    std::string recorder = BuiltProgram("vsl_recorder.exe");
    std::string decoys[] = {FolderOf(recorder) + "\\WolfMP.exe", working.File("WolfMP.exe")};
    for (const std::string& path : {game.File("WolfMP.exe"), decoys[0], decoys[1]}) {
        ASSERT_TRUE(CopyFileA(recorder.c_str(), path.c_str(), FALSE)) << path;
    }
    WorkingDirectory restore;
    SetCurrentDirectoryA(working.path().c_str());

    Win32Platform platform;
    DWORD before = GetTickCount();
    const std::string commandLine = "WolfMP.exe +set name Player +connect 10.0.0.1:27960";
    ASSERT_TRUE(platform.StartProgram(game.File("WolfMP.exe"), commandLine, game.path()));

    std::optional<LaunchRecord> record = WaitForLaunch(game.File("WolfMP.exe"), 20000);
    ASSERT_TRUE(record) << "the program did not run";
    EXPECT_EQ(record->commandLine, commandLine);
    EXPECT_EQ(record->folder, game.path());
    EXPECT_GE(record->tick, before);
    for (const std::string& decoy : decoys) {
        EXPECT_FALSE(WasLaunched(decoy)) << decoy;
        DeleteFileA(decoy.c_str());
    }
}

TEST(Win32PlatformStart, MissingFileOrFolderDoesNotStart) {
    ScratchFolder game;
    std::string recorder = BuiltProgram("vsl_recorder.exe");
    ASSERT_TRUE(CopyFileA(recorder.c_str(), game.File("WolfMP.exe").c_str(), FALSE));
    Win32Platform platform;
    EXPECT_FALSE(platform.StartProgram(game.File("SoF.exe"), "SoF.exe +connect h:1", game.path()));
    EXPECT_FALSE(
        platform.StartProgram(game.File("WolfMP.exe"), "WolfMP.exe +connect h:1", game.File("gone")));
    EXPECT_FALSE(platform.StartProgram("WolfMP.exe", "WolfMP.exe +connect h:1", "WolfMP.exe"));
    EXPECT_FALSE(WasLaunched(game.File("WolfMP.exe")));
}

TEST(Win32PlatformStart, SystemProgramsAreInTheirFolders) {
    Win32Platform platform;
    EXPECT_TRUE(FileExists(platform.WindowsFolder() + "\\explorer.exe")) << platform.WindowsFolder();
    EXPECT_TRUE(FileExists(platform.SystemFolder() + "\\cmd.exe")) << platform.SystemFolder();
}

TEST(Win32PlatformStart, CommandInterpreterRunsABatchFileWithBlanksInItsPath) {
    ScratchFolder folder;
    std::string inner = folder.File("with blank");
    CreateDirectoryA(inner.c_str(), nullptr);
    // The marker gets its name only once its text is written.
    std::string marker = inner + "\\ran.txt";
    std::string script = inner + "\\script.bat";
    std::ofstream(script, std::ios::binary) << "@echo off\r\n"
                                            << "echo ran>\"" << inner << "\\ran.part\"\r\n"
                                            << "ren \"" << inner << "\\ran.part\" ran.txt\r\n";

    Win32Platform platform;
    ASSERT_TRUE(platform.StartProgram(platform.SystemFolder() + "\\cmd.exe", "cmd.exe /c \"" + script + "\"",
                                      platform.SystemFolder()));
    std::optional<std::string> text;
    PollUntil(20000, [&] { return (text = ReadFileText(marker)).has_value(); });
    ASSERT_TRUE(text) << "the batch file did not run";
    EXPECT_EQ(*text, "ran\r\n");
    DeleteFileA(marker.c_str());
    DeleteFileA(script.c_str());
    RemoveDirectoryA(inner.c_str());
}

// ---------------------------------------------------------------------------
// Code pages, as Wine sets them up for a C.UTF-8 locale: ANSI 1252, OEM 437.

TEST(Win32PlatformText, ConvertsBetweenCodePagesWithoutLookAlikes) {
    ASSERT_EQ(GetACP(), 1252u);
    ASSERT_EQ(GetOEMCP(), 437u);
    struct Case {
        std::string text;
        CodePage from;
        CodePage to;
        std::optional<std::string> converted;
    };
    const Case cases[] = {
        {"Player", CodePage::Utf8, CodePage::Ansi, "Player"},
        {"", CodePage::Utf8, CodePage::Ansi, ""},
        {"J\xC3\xB6rg", CodePage::Utf8, CodePage::Ansi, "J\xF6rg"},
        {"\xE2\x82\xAC", CodePage::Utf8, CodePage::Ansi, "\x80"},
        {std::string("a\0b", 3), CodePage::Utf8, CodePage::Ansi, std::string("a\0b", 3)},
        // Best fit would give "+" for the fullwidth plus and "C" for C-acute.
        {"\xEF\xBC\x8B", CodePage::Utf8, CodePage::Ansi, std::nullopt},
        {"\xC4\x86", CodePage::Utf8, CodePage::Ansi, std::nullopt},
        {"\xFF", CodePage::Utf8, CodePage::Ansi, std::nullopt},
        {"\xC3", CodePage::Utf8, CodePage::Ansi, std::nullopt},
        {"J\xF6rg", CodePage::Ansi, CodePage::Utf8, "J\xC3\xB6rg"},
        {"C:\\\xDC"
         "ber",
         CodePage::Ansi, CodePage::Oem,
         "C:\\\x9A"
         "ber"},
        {"\x80", CodePage::Ansi, CodePage::Oem, std::nullopt},
    };
    Win32Platform platform;
    for (const Case& c : cases) {
        EXPECT_EQ(platform.ConvertText(c.text, c.from, c.to), c.converted) << c.text;
    }
}

// ---------------------------------------------------------------------------
// Text files

TEST(Win32PlatformFile, WritesLineEndsAsCrLf) {
    ScratchFolder folder;
    Win32Platform platform;
    EXPECT_TRUE(platform.WriteTextFile(folder.File("lines.txt"), "a\nb\n"));
    EXPECT_EQ(ReadFileText(folder.File("lines.txt")), "a\r\nb\r\n");
}

TEST(Win32PlatformFile, EmptiesAnExistingFileFirst) {
    ScratchFolder folder;
    std::ofstream(folder.File("old.txt"), std::ios::binary) << std::string(1000, 'z');
    Win32Platform platform;
    EXPECT_TRUE(platform.WriteTextFile(folder.File("old.txt"), "new\n"));
    EXPECT_EQ(ReadFileText(folder.File("old.txt")), "new\r\n");
    EXPECT_TRUE(platform.WriteTextFile(folder.File("old.txt"), ""));
    EXPECT_EQ(ReadFileText(folder.File("old.txt")), "");
}

TEST(Win32PlatformFile, FolderThatDoesNotExistFails) {
    ScratchFolder folder;
    Win32Platform platform;
    EXPECT_FALSE(platform.WriteTextFile(folder.File("missing\\file.txt"), "a\n"));
    EXPECT_FALSE(ReadFileText(folder.File("missing\\file.txt")));
}

// ---------------------------------------------------------------------------
// Ending the process

TEST(Win32PlatformExit, EndsWithTheCodeAfterTheExitHandlers) {
    auto endWithHandler = [] {
        static_cast<void>(std::atexit([] { static_cast<void>(std::fputs("exit handler ran", stderr)); }));
        Win32Platform().EndProcess(3);
    };
    EXPECT_EXIT(endWithHandler(), ::testing::ExitedWithCode(3), "exit handler ran");
}

// ---------------------------------------------------------------------------
// Removing Vastrel

// The batch file's bytes on the disk: CR LF line ends, and the folder in the
// OEM code page (437 here: U-umlaut is 0x9A), in which the command
// interpreter reads it.
TEST(Win32PlatformUninstall, WritesTheBatchFileInTheInterpretersCodePage) {
    ScratchFolder temp;
    EnvironmentVariable tmp("TMP", temp.path());
    Win32Platform platform;
    std::string script = WriteUninstallScript(platform,
                                              "C:\\\xDC"
                                              "ber");

    EXPECT_EQ(script, temp.File("vsl_uninstall.bat"));
    std::string text = *ReadFileText(script);
    EXPECT_EQ(text.substr(0, 48),
              "set vsl_tries=0\r\n:retry\r\ndel \"C:\\\x9A"
              "ber\\vsl.exe\"\r\n");
    EXPECT_NE(text.find("\r\n\"" + platform.SystemFolder() + "\\ping.exe\" -n 2 127.0.0.1 >nul\r\n"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 27),
              ":removed\r\nrmdir \"C:\\\x9A"
              "ber\"\r\n");
}

TEST(Win32PlatformUninstall, ChangesOnlyFoldersItMay) {
    ScratchFolder folder;
    Win32Platform platform;
    EXPECT_TRUE(platform.CanChangeFolder(folder.path()));
    EXPECT_TRUE(platform.CanChangeFolder(folder.File("gone")));
    // The probe leaves nothing behind.
    EXPECT_FALSE(FileExists(folder.File("vsl_uninstall.probe")));
}

TEST(Win32PlatformUninstall, LockIsHeldOnce) {
    Win32Platform platform;
    EXPECT_TRUE(platform.TakeLock("Vastrel test lock"));
    EXPECT_FALSE(platform.TakeLock("Vastrel test lock"));
    EXPECT_TRUE(platform.TakeLock("Vastrel other test lock"));
}

// Wine gives every program an administrator's full rights, so the uninstall
// never needs to elevate here; the elevation prompt itself is Windows'.
TEST(Win32PlatformUninstall, ElevatedStartRunsTheProgramWithItsArguments) {
    Win32Platform platform;
    EXPECT_TRUE(platform.IsElevated());
    ScratchFolder folder;
    std::string program = folder.File("vsl.exe");
    ASSERT_TRUE(CopyFileA(BuiltProgram("vsl_recorder.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(platform.StartElevated(program, "uninstall"));
    std::optional<LaunchRecord> record = WaitForLaunch(program, 20000);
    ASSERT_TRUE(record) << "the program did not run";
    EXPECT_EQ(record->commandLine, "\"" + program + "\" uninstall");
    EXPECT_EQ(platform.ProgramPath(), BuiltProgram("vsl_win32_platform_tests.exe"));
}

}  // namespace
