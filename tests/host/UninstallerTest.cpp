#include <gtest/gtest.h>

#include "tests/support/FakePlatform.h"
#include "uninstall/Uninstaller.h"

namespace {

const char kSettings[] = "HKCU\\Software\\Vastrel";
const char kScheme[] = "HKCR\\vsl";
const char kCommand[] = "HKCR\\vsl\\shell\\open\\command";
const char kEntry[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vastrel";
const char kQuestion[] = "ShowMessageBox Are you sure you want to uninstall Vastrel ? 36";

// A machine with everything an installer leaves behind.
FakePlatform Installed(const std::string& installPath = "C:\\Games\\Vastrel") {
    FakePlatform platform;
    platform.SetValue(kSettings, "path", installPath + '\0');
    platform.SetValue(kEntry, "InstallLocation", installPath + '\0');
    platform.AddKey("HKCR\\vsl\\DefaultIcon");
    platform.AddKey(kCommand);
    platform.environment["TMP"] = "C:\\Temp";
    platform.messageBoxAnswers = {kIdYes};
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
    return platform.HasKey(kSettings) && platform.HasKey(kCommand) && platform.HasKey(kEntry) &&
           platform.CallsStartingWith("DeleteKey").empty() && platform.starts.empty() &&
           platform.files.empty();
}

const char kScriptStart[] = "cmd.exe /d /v:off /s /c \"\"C:\\Temp\\vsl_uninstall.bat\"\"";

TEST(Uninstaller, ConfirmedRemovalDeletesEveryKeyAndStartsTheScript) {
    FakePlatform platform = Installed();
    EXPECT_EQ(Uninstall(platform), 0);
    EXPECT_EQ(platform.CallsStartingWith("ShowMessageBox"), std::vector<std::string>{kQuestion});
    for (const char* key : {kSettings, kScheme, kEntry}) {
        EXPECT_FALSE(platform.HasKey(key)) << key;
    }
    EXPECT_EQ(platform.files.count("C:\\Temp\\vsl_uninstall.bat"), 1u);
    ASSERT_EQ(platform.starts.size(), 1u);
    EXPECT_EQ(platform.starts[0].program, "C:\\WINDOWS\\system32\\cmd.exe");
    EXPECT_EQ(platform.starts[0].commandLine, kScriptStart);
    EXPECT_EQ(platform.starts[0].folder, "C:\\WINDOWS\\system32");
    // The script is on the disk before the first key goes, and starts after
    // the last.
    auto at = [&](const std::string& prefix) {
        return std::find_if(platform.calls.begin(), platform.calls.end(),
                            [&](const std::string& call) { return call.rfind(prefix, 0) == 0; }) -
               platform.calls.begin();
    };
    EXPECT_LT(at("WriteTextFile"), at("DeleteKey"));
    EXPECT_EQ(platform.calls[platform.calls.size() - 2].rfind("StartProgram", 0), 0u);
}

// The batch file tries to delete vsl.exe, a second apart, for as long as it
// still runs, then removes the folder; in the OEM code page, which the
// command interpreter reads it in.
TEST(Uninstaller, ScriptDeletesTheExecutableThenTheFolder) {
    struct Case {
        const char* installPath;
        std::string program;  // the executable's path as the script names it
        std::string folder;
    };
    const Case cases[] = {
        {"C:\\Games\\Vastrel", "C:\\Games\\Vastrel\\vsl.exe", "C:\\Games\\Vastrel"},
        {"D:\\Rock & Roll (x86)\\V", "D:\\Rock & Roll (x86)\\V\\vsl.exe", "D:\\Rock & Roll (x86)\\V"},
        {"C:\\\xDC"
         "ber",
         "C:\\\x9A"
         "ber\\vsl.exe",
         "C:\\\x9A"
         "ber"},
        {"\\\\server\\share\\V", "\\\\server\\share\\V\\vsl.exe", "\\\\server\\share\\V"},
    };
    for (const Case& c : cases) {
        FakePlatform platform;
        platform.environment["TMP"] = "C:\\Temp";
        EXPECT_EQ(WriteUninstallScript(platform, c.installPath), "C:\\Temp\\vsl_uninstall.bat");
        std::string expected = "set vsl_tries=0\n:retry\ndel \"" + c.program + "\"\nif not exist \"";
        expected += c.program + "\" goto removed\nset /a vsl_tries+=1\nif %vsl_tries% geq 30 goto removed\n";
        expected += "\"C:\\WINDOWS\\system32\\ping.exe\" -n 2 127.0.0.1 >nul\ngoto retry\n:removed\nrmdir \"";
        expected += c.folder + "\"\n";
        EXPECT_EQ(platform.files["C:\\Temp\\vsl_uninstall.bat"], expected) << c.installPath;
    }
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
        {{{"TEMP", "D:\\Other"}}, "D:\\Other\\vsl_uninstall.bat"},
    };
    for (const Case& c : cases) {
        FakePlatform platform = Installed();
        platform.environment = c.environment;
        EXPECT_EQ(Uninstall(platform), 0);
        EXPECT_EQ(platform.files.count(c.scriptPath), 1u) << c.scriptPath;
        // Quoted, blanks and all.
        ASSERT_EQ(platform.starts.size(), 1u);
        EXPECT_EQ(platform.starts[0].commandLine,
                  "cmd.exe /d /v:off /s /c \"\"" + std::string(c.scriptPath) + "\"\"");
    }
}

TEST(Uninstaller, AnythingButYesChangesNothing) {
    for (int answer : {7, 2, 1, 0}) {
        FakePlatform platform = Installed();
        platform.messageBoxAnswers = {answer};
        EXPECT_EQ(Uninstall(platform), 0);
        EXPECT_EQ(platform.CallsStartingWith("ShowMessageBox"), std::vector<std::string>{kQuestion});
        EXPECT_TRUE(NothingRemoved(platform)) << answer;
    }
}

// Every refusal comes with its message, exit code 1, and nothing removed or
// written.
TEST(Uninstaller, RefusesWhatItCannotRemoveExactly) {
    const std::string noPath = "Error fetching VSL registry keys required to uninstall. Uninstall Aborted";
    auto unsafe = [](const std::string& path) {
        return "The folder recorded for Vastrel, " + path + ", cannot be removed safely.\nUninstall Aborted";
    };
    const std::string needsRights =
        "Removing Vastrel needs administrator rights: its link scheme, its entry among the installed "
        "programs and "
        "its folder C:\\Games\\Vastrel belong to the whole computer. Nothing has been removed.\nUninstall "
        "Aborted";
    struct Case {
        const char* name;
        FakePlatform platform;
        std::string message;
        bool asked;
    };
    std::vector<Case> cases;
    FakePlatform noPathAnywhere = Installed("");
    cases.push_back({"no install path", noPathAnywhere, noPath, false});
    FakePlatform noKeys = Installed();
    noKeys.deniedKeys = {kSettings, kEntry};
    cases.push_back({"keys refused", noKeys, noPath, false});
    cases.push_back({"path too long", Installed(std::string(255, 'p')), noPath, false});
    for (const char* path :
         {"C:\\Games%1", "C:\\a\"b", "C:\\a\nb", "Games\\Vastrel", "\\Vastrel", "C:Vastrel"}) {
        cases.push_back({path, Installed(path), unsafe(path), false});
    }
    FakePlatform percentTemp = Installed();
    percentTemp.environment = {{"TMP", "C:\\%USERNAME%"}};
    cases.push_back(
        {"tmp with %", percentTemp,
         "The temporary folder C:\\%USERNAME% cannot hold the uninstall script.\nUninstall Aborted", true});
    FakePlatform relativeTemp = Installed();
    relativeTemp.environment = {{"TMP", ""}};
    cases.push_back({"empty tmp", relativeTemp,
                     "The temporary folder  cannot hold the uninstall script.\nUninstall Aborted", true});
    FakePlatform noTemp = Installed();
    noTemp.environment.clear();
    cases.push_back(
        {"no temporary folder", noTemp, "Unable to find a temporary folder.\nUninstall Aborted", true});
    cases.push_back(
        {"name beyond the OEM code page", Installed("C:\\\xE9t\xE9"),
         "The folder C:\\\xE9t\xE9 has a name that the command interpreter cannot read, so it cannot be "
         "removed.\nUninstall Aborted",
         true});
    FakePlatform readOnlyTemp = Installed();
    readOnlyTemp.failWrites = true;
    cases.push_back({"script not written", readOnlyTemp,
                     "Unable to write the uninstall script C:\\Temp\\vsl_uninstall.bat.\nUninstall Aborted",
                     true});
    FakePlatform elevationRefused = Installed();
    elevationRefused.elevated = false;
    elevationRefused.elevationGranted = false;
    elevationRefused.readOnlyKeys = {"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"};
    cases.push_back({"elevation refused", elevationRefused, needsRights, false});
    FakePlatform elevatedButDenied = Installed();
    elevatedButDenied.readOnlyFolders = {"C:\\Games\\Vastrel"};
    cases.push_back({"folder denied even elevated", elevatedButDenied, needsRights, false});
    FakePlatform removing = Installed();
    removing.heldLocks = {"Vastrel uninstall"};
    cases.push_back(
        {"a second removal", removing, "Vastrel is being removed already.\nUninstall Aborted", false});

    for (Case& c : cases) {
        EXPECT_EQ(Uninstall(c.platform), 1) << c.name;
        std::vector<std::string> boxes = c.platform.CallsStartingWith("ShowMessageBox");
        std::vector<std::string> expected;
        if (c.asked) {
            expected.push_back(kQuestion);
        }
        expected.push_back("ShowMessageBox " + c.message + " 16");
        EXPECT_EQ(boxes, expected) << c.name;
        EXPECT_TRUE(NothingRemoved(c.platform)) << c.name;
    }
}

// Without the rights for all of it, the uninstall starts itself again with
// the elevation prompt and ends, having asked and removed nothing; the
// elevated one asks. With them, it never asks for elevation.
TEST(Uninstaller, AsksForElevationOnlyWhenItCannotRemoveEverything) {
    struct Case {
        const char* name;
        std::set<std::string> readOnlyKeys;
        std::set<std::string> readOnlyFolders;
        bool elevates;
    };
    const Case cases[] = {
        {"the computer's keys", {"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"}, {}, true},
        {"the link scheme only", {"HKCR\\vsl\\shell\\open\\command"}, {}, true},
        {"the scheme's root", {"HKCR"}, {}, true},
        {"the folder only", {}, {"C:\\Games\\Vastrel"}, true},
        {"everything allowed", {}, {}, false},
    };
    for (const Case& c : cases) {
        FakePlatform platform = Installed();
        platform.elevated = false;
        platform.readOnlyKeys = c.readOnlyKeys;
        platform.readOnlyFolders = c.readOnlyFolders;
        EXPECT_EQ(Uninstall(platform), 0) << c.name;
        std::vector<std::string> elevations = platform.CallsStartingWith("StartElevated");
        if (c.elevates) {
            EXPECT_EQ(elevations,
                      std::vector<std::string>{"StartElevated C:\\Program Files\\Vastrel\\vsl.exe uninstall"})
                << c.name;
            EXPECT_TRUE(platform.CallsStartingWith("ShowMessageBox").empty()) << c.name;
            EXPECT_TRUE(NothingRemoved(platform)) << c.name;
        } else {
            EXPECT_TRUE(elevations.empty()) << c.name;
            EXPECT_FALSE(platform.HasKey(kEntry)) << c.name;
        }
    }
}

// An installer that ran as another administrator wrote the settings key into
// that account's settings: the folder comes from the entry among the
// installed programs, which is the computer's.
TEST(Uninstaller, FindsTheFolderWithoutThisAccountsSettings) {
    FakePlatform platform = Installed("C:\\Program Files\\Vastrel");
    platform.deniedKeys = {kSettings};
    EXPECT_EQ(Uninstall(platform), 0);
    EXPECT_NE(platform.files["C:\\Temp\\vsl_uninstall.bat"].find("rmdir \"C:\\Program Files\\Vastrel\"\n"),
              std::string::npos);
    EXPECT_FALSE(platform.HasKey(kEntry));
}

TEST(Uninstaller, KeysAlreadyGoneDoNotStopTheRest) {
    FakePlatform platform;
    platform.SetValue(kSettings, "path", "C:\\V");
    platform.environment["TMP"] = "C:\\Temp";
    platform.messageBoxAnswers = {kIdYes};
    EXPECT_EQ(Uninstall(platform), 0);
    // The scheme's keys are missing; only the steps whose key opened delete
    // anything.
    EXPECT_EQ(platform.CallsStartingWith("DeleteKey"),
              (std::vector<std::string>{"DeleteKey Vastrel", "DeleteKey vsl"}));
    EXPECT_EQ(platform.starts.size(), 1u);
}

}  // namespace
