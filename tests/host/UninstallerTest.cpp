#include <gtest/gtest.h>

#include "tests/support/FakePlatform.h"
#include "uninstall/Uninstaller.h"

namespace {

const char kScheme[] = "HKCR\\vsl";
const char kScriptStart[] =
    "StartProgram C:\\WINDOWS\\system32\\cmd.exe | cmd.exe /c \"C:\\Temp\\vsl_uninstall.bat\" | "
    "C:\\WINDOWS\\system32";

// A machine with everything an installer leaves behind.
FakePlatform Installed(const std::string& installPath = "C:\\Games\\Vastrel") {
    FakePlatform platform;
    platform.SetValue("HKCU\\Software\\Vastrel", "path", installPath + '\0');
    platform.AddKey("HKCR\\vsl\\DefaultIcon");
    platform.AddKey("HKCR\\vsl\\shell\\open\\command");
    platform.AddKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vastrel");
    platform.environment["TMP"] = "C:\\Temp";
    return platform;
}

int Uninstall(FakePlatform& platform) {
    try {
        RunUninstall(platform);
    } catch (const ProcessEnded& ended) {
        return ended.exitCode;
    }
    ADD_FAILURE() << "RunUninstall returned";
    return -1;
}

bool NothingRemoved(const FakePlatform& platform) {
    return platform.HasKey("HKCU\\Software\\Vastrel") && platform.HasKey("HKCR\\vsl\\shell\\open\\command") &&
           platform.HasKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vastrel") &&
           platform.CallsStartingWith("DeleteKey").empty() &&
           platform.CallsStartingWith("StartProgram").empty();
}

TEST(Uninstaller, ConfirmedRunWritesTheScriptRemovesTheKeysAndStartsIt) {
    FakePlatform platform = Installed();
    platform.messageBoxAnswers = {kIdYes};
    EXPECT_EQ(Uninstall(platform), 0);
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{
                  "ShowMessageBox Are you sure you want to uninstall Vastrel ? 36",
                  "OpenKey HKCU Software\\Vastrel 0x1",
                  "QueryValue path 255",
                  "QueryValue path 17",
                  "CloseKey",
                  "ReadEnvironment tmp",
                  "WriteTextFile C:\\Temp\\vsl_uninstall.bat",
                  "OpenKey HKCU Software 0xF003F",
                  "DeleteKey Vastrel",
                  "CloseKey",
                  "OpenKey HKCR vsl\\shell\\open 0xF003F",
                  "DeleteKey command",
                  "CloseKey",
                  "OpenKey HKCR vsl\\shell 0xF003F",
                  "DeleteKey open",
                  "CloseKey",
                  "OpenKey HKCR vsl 0xF003F",
                  "DeleteKey shell",
                  "DeleteKey DefaultIcon",
                  "CloseKey",
                  "OpenKey HKCR  0xF003F",
                  "DeleteKey vsl",
                  "CloseKey",
                  "OpenKey HKLM Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall 0xF003F",
                  "DeleteKey Vastrel",
                  "CloseKey",
                  kScriptStart,
                  "EndProcess 0",
              }));
    EXPECT_FALSE(platform.HasKey("HKCU\\Software\\Vastrel"));
    EXPECT_FALSE(platform.HasKey(kScheme));
    EXPECT_FALSE(platform.HasKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vastrel"));
}

TEST(Uninstaller, ScriptDeletesTheExecutableThenTheFolder) {
    FakePlatform platform = Installed();
    EXPECT_EQ(WriteUninstallScript(platform), "C:\\Temp\\vsl_uninstall.bat");
    const std::string& text = platform.files["C:\\Temp\\vsl_uninstall.bat"];
    EXPECT_EQ(text, "del \"C:\\Games\\Vastrel\\vsl.exe\"\nrmdir \"C:\\Games\\Vastrel\"\n");
    // Two line ends become CR LF on the disk.
    EXPECT_EQ(text.size() + 2, 58u);
}

TEST(Uninstaller, ScriptPathFollowsTheTemporaryFolder) {
    struct Case {
        std::map<std::string, std::string> environment;
        const char* scriptPath;
    };
    const Case cases[] = {
        {{{"tmp", "C:\\Temp"}}, "C:\\Temp\\vsl_uninstall.bat"},
        {{{"TMP", "C:\\Temp\\"}}, "C:\\Temp\\\\vsl_uninstall.bat"},
        {{{"Tmp", "C:\\My Temp"}, {"TEMP", "D:\\Other"}}, "C:\\My Temp\\vsl_uninstall.bat"},
        {{{"TMP", ""}}, "\\vsl_uninstall.bat"},
        {{{"TEMP", "D:\\Other"}}, "D:\\Other\\vsl_uninstall.bat"},
    };
    for (const Case& c : cases) {
        FakePlatform platform = Installed();
        platform.environment = c.environment;
        platform.messageBoxAnswers = {kIdYes};
        EXPECT_EQ(Uninstall(platform), 0);
        EXPECT_EQ(platform.files.count(c.scriptPath), 1u) << c.scriptPath;
        EXPECT_EQ(platform.CallsStartingWith("StartProgram"),
                  (std::vector<std::string>{
                      std::string("StartProgram C:\\WINDOWS\\system32\\cmd.exe | cmd.exe /c \"") +
                      c.scriptPath + "\" | C:\\WINDOWS\\system32"}));
    }
}

TEST(Uninstaller, AnythingButYesChangesNothing) {
    for (int answer : {7, 2, 1, 0}) {
        FakePlatform platform = Installed();
        platform.messageBoxAnswers = {answer};
        EXPECT_EQ(Uninstall(platform), 0);
        EXPECT_EQ(platform.calls.size(), 2u) << answer;
        EXPECT_TRUE(NothingRemoved(platform)) << answer;
    }
}

TEST(Uninstaller, AbortsBeforeRemovingAnything) {
    const std::string noPath = "Error fetching VSL registry keys required to uninstall. Uninstall Aborted 16";
    struct Case {
        const char* name;
        FakePlatform platform;
        std::string message;
    };
    std::vector<Case> cases;
    cases.push_back({"no install path", Installed(""), noPath});
    cases.push_back({"install path too long", Installed(std::string(255, 'p')), noPath});
    FakePlatform noKey = Installed();
    noKey.deniedKeys.insert("HKCU\\Software\\Vastrel");
    cases.push_back({"settings key refused", noKey, noPath});
    FakePlatform noTemp = Installed();
    noTemp.environment.clear();
    cases.push_back(
        {"no temporary folder", noTemp, "Unable to find a temporary folder.\nUninstall Aborted 16"});
    FakePlatform readOnly = Installed();
    readOnly.failWrites = true;
    cases.push_back(
        {"script not written", readOnly,
         "Unable to write the uninstall script C:\\Temp\\vsl_uninstall.bat.\nUninstall Aborted 16"});

    for (Case& c : cases) {
        c.platform.messageBoxAnswers = {kIdYes};
        EXPECT_EQ(Uninstall(c.platform), 1) << c.name;
        std::vector<std::string> boxes = c.platform.CallsStartingWith("ShowMessageBox");
        ASSERT_EQ(boxes.size(), 2u) << c.name;
        EXPECT_EQ(boxes[1], "ShowMessageBox " + c.message) << c.name;
        EXPECT_EQ(c.platform.calls.back(), "EndProcess 1") << c.name;
        EXPECT_TRUE(NothingRemoved(c.platform)) << c.name;
        EXPECT_TRUE(c.platform.files.empty()) << c.name;
    }
}

TEST(Uninstaller, KeysAlreadyGoneDoNotStopTheRest) {
    FakePlatform platform;
    platform.SetValue("HKCU\\Software\\Vastrel", "path", "C:\\V");
    platform.environment["TMP"] = "C:\\Temp";
    platform.messageBoxAnswers = {kIdYes};
    EXPECT_EQ(Uninstall(platform), 0);
    // The scheme's keys are missing; only the steps whose key opened delete
    // and close anything.
    EXPECT_EQ(platform.CallsStartingWith("DeleteKey"),
              (std::vector<std::string>{"DeleteKey Vastrel", "DeleteKey vsl"}));
    EXPECT_EQ(platform.CallsStartingWith("OpenKey").size(), 7u);
    EXPECT_EQ(platform.CallsStartingWith("StartProgram").size(), 1u);
}

}  // namespace
