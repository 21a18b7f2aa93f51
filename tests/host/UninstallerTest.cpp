#include <gtest/gtest.h>

#include "tests/support/FakePlatform.h"
#include "uninstall/Uninstaller.h"

namespace {

const char kSettings[] = "HKCU\\Software\\Vastrel";
const char kEntries[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kEntry[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vastrel";
const char kCommand[] = "HKCR\\vsl\\shell\\open\\command";
const char kFolder[] = "C:\\Games\\Vastrel";
const char kQuestion[] = "Are you sure you want to uninstall Vastrel ?";
const char kNoPath[] = "Error fetching VSL registry keys required to uninstall. Uninstall Aborted";

std::string Aborted(const std::string& text) {
    return text + "\nUninstall Aborted";
}

std::string Unsafe(const std::string& folder) {
    return Aborted("The folder recorded for Vastrel, " + folder + ", cannot be removed safely.");
}

const std::string kNeedsRights = Aborted(
    "Removing Vastrel needs administrator rights: its link scheme, its entry among the installed programs "
    "and its folder C:\\Games\\Vastrel belong to the whole computer. Nothing has been removed.");

// A computer with everything the installer leaves (or only this account's
// settings, the rest removed already), where the user answers Yes.
FakePlatform Installed(const std::string& folder = kFolder, bool everything = true) {
    FakePlatform platform;
    platform.SetValue(kSettings, "path", folder + '\0');
    if (everything) {
        platform.SetValue(kEntry, "InstallLocation", folder + '\0');
        platform.AddKey("HKCR\\vsl\\DefaultIcon");
        platform.AddKey(kCommand);
    }
    platform.environment["TMP"] = "C:\\Temp";
    platform.answer = kIdYes;
    return platform;
}

// All of Vastrel is gone (every key, and the batch file started) or nothing
// is (every key kept, no file written, nothing started).
void ExpectRemoved(const FakePlatform& platform, bool removed) {
    if (removed) {
        EXPECT_FALSE(platform.HasKey(kSettings) || platform.HasKey("HKCR\\vsl") || platform.HasKey(kEntry));
        EXPECT_EQ(platform.starts.size(), 1U);
    } else {
        EXPECT_TRUE(platform.HasKey(kSettings) && platform.HasKey(kCommand) && platform.HasKey(kEntry));
        EXPECT_TRUE(platform.files.empty() && platform.starts.empty());
    }
}

// Nothing changes when the user declines, or when the uninstall refuses: a
// folder it could not name exactly in the batch file, no temporary folder
// for it, a second uninstall running. The message comes with exit code 1.
TEST(RunUninstall, RefusesWithNothingChanged) {
    // how to set the computer up, whether the question came first, and the
    // message then (none: the user declined)
    const std::tuple<void (*)(FakePlatform&), bool, std::string> cases[] = {
        {[](FakePlatform& p) { p.answer = 7; }, true, ""},
        {[](FakePlatform& p) { p = Installed(""); }, false, kNoPath},
        {[](FakePlatform& p) { p = Installed(std::string(255, 'p')); }, false, kNoPath},
        {[](FakePlatform& p) { p = Installed("C:\\Games%1"); }, false, Unsafe("C:\\Games%1")},
        {[](FakePlatform& p) { p = Installed("C:\\a\"b"); }, false, Unsafe("C:\\a\"b")},
        {[](FakePlatform& p) { p = Installed("C:\\a\nb"); }, false, Unsafe("C:\\a\nb")},
        {[](FakePlatform& p) { p = Installed("Games\\V"); }, false, Unsafe("Games\\V")},
        {[](FakePlatform& p) { p = Installed("\\V"); }, false, Unsafe("\\V")},
        {[](FakePlatform& p) { p = Installed("C:V"); }, false, Unsafe("C:V")},
        {[](FakePlatform& p) { p.heldLocks.insert("Vastrel uninstall"); }, false,
         Aborted("Vastrel is being removed already.")},
        {[](FakePlatform& p) { p.environment["TMP"] = "C:\\%USERNAME%"; }, true,
         Aborted("The temporary folder C:\\%USERNAME% cannot hold the uninstall script.")},
        {[](FakePlatform& p) { p.environment.clear(); }, true, Aborted("Unable to find a temporary folder.")},
        {[](FakePlatform& p) {
             p.environment = {{"TMP", ""}, {"TEMP", ""}};
         },
         true, Aborted("Unable to find a temporary folder.")},
        {[](FakePlatform& p) { p = Installed("C:\\\xE9t\xE9"); }, true,
         Aborted(
             "The folder C:\\\xE9t\xE9 has a name that the command interpreter cannot read, so it cannot be "
             "removed.")},
        {[](FakePlatform& p) { p.failWrites = true; }, true,
         Aborted("Unable to write the uninstall script C:\\Temp\\vsl_uninstall.bat.")},
    };
    for (const auto& [setup, asked, message] : cases) {
        FakePlatform platform = Installed();
        setup(platform);
        EXPECT_EQ(ExitCodeOf([&platform] { RunUninstall(platform); }), message.empty() ? 0 : 1) << message;
        // The question with Yes and No; a refusal with OK and the stop icon.
        std::vector<std::string> messages;
        std::vector<unsigned> styles;
        if (asked) {
            messages.emplace_back(kQuestion);
            styles.push_back(kMbYesNoQuestion);
        }
        if (!message.empty()) {
            messages.push_back(message);
            styles.push_back(kMbIconHand);
        }
        EXPECT_EQ(platform.messages, messages);
        EXPECT_EQ(platform.styles, styles) << message;
        ExpectRemoved(platform, false);
    }
}

// Without the rights to remove every key and change the folder, the
// uninstall starts itself again elevated and leaves everything to that one;
// an elevated one, or one whose prompt was refused, says what it needs.
TEST(RunUninstall, ElevatesOnlyWhenItCannotRemoveEverything) {
    // elevated, the prompt granted, a key or folder that may only be read;
    // elevates, the exit code, and the message (the question: all removed)
    const std::tuple<bool, bool, const char*, bool, int, std::string> cases[] = {
        {false, true, "", false, 0, kQuestion},        {false, true, kEntries, true, 0, ""},
        {false, true, kCommand, true, 0, ""},          {false, true, "HKCR", true, 0, ""},
        {false, true, kFolder, true, 0, ""},           {false, false, kEntries, true, 1, kNeedsRights},
        {true, true, kFolder, false, 1, kNeedsRights},
    };
    for (const auto& [elevated, granted, readOnly, elevates, exitCode, message] : cases) {
        FakePlatform platform = Installed();
        platform.elevated = elevated;
        platform.elevationGranted = granted;
        platform.readOnly.insert(readOnly);
        EXPECT_EQ(ExitCodeOf([&platform] { RunUninstall(platform); }), exitCode) << readOnly;
        EXPECT_EQ(platform.messages, message.empty() ? std::vector<std::string>{} : std::vector{message});
        EXPECT_EQ(
            platform.elevatedStarts,
            std::vector<std::string>(elevates ? 1 : 0, "C:\\Program Files\\Vastrel\\vsl.exe uninstall"));
        ExpectRemoved(platform, message == kQuestion);
    }
}

// The batch file for the folder as it names it, and its start.
std::string Script(const std::string& named) {
    const std::string program = "\"" + named + "\\vsl.exe\"";
    return "set vsl_tries=0\n:retry\ndel " + program + "\nif not exist " + program +
           " goto removed\nset /a vsl_tries+=1\nif %vsl_tries% geq 30 goto removed\n"
           "\"C:\\WINDOWS\\system32\\ping.exe\" -n 2 127.0.0.1 >nul\ngoto retry\n:removed\nrmdir \"" +
           named + "\"\n";
}

std::string ScriptStart(const std::string& script) {
    return "C:\\WINDOWS\\system32\\cmd.exe | cmd.exe /d /v:off /s /c \"\"" + script +
           "\"\" | C:\\WINDOWS\\system32";
}

// The batch file removes the folder that this account's settings name, or
// else the one the installer recorded for the computer: in the command
// interpreter's code page, it tries to delete vsl.exe a second apart for as
// long as it runs, then removes the folder. It lies in the temporary folder,
// and the interpreter from the system folder runs it there by its quoted path.
TEST(RunUninstall, LeavesABatchFileThatDeletesTheProgramThenItsFolder) {
    // this account's folder (null: refused), the computer's (null: gone, with
    // the link scheme), %tmp%, %temp%, the batch file, and the folder as the
    // batch file names it
    const std::tuple<const char*, const char*, const char*, const char*, std::string, std::string> cases[] = {
        {"C:\\V", "C:\\E", "C:\\T", "D:\\T", "C:\\T\\vsl_uninstall.bat", "C:\\V"},
        {"C:\\V", nullptr, "C:\\T", nullptr, "C:\\T\\vsl_uninstall.bat", "C:\\V"},
        {"C:\\V", nullptr, "", "D:\\T", "D:\\T\\vsl_uninstall.bat", "C:\\V"},
        {"", "C:\\E", "C:\\T", nullptr, "C:\\T\\vsl_uninstall.bat", "C:\\E"},
        {nullptr, "C:\\E", "C:\\T", nullptr, "C:\\T\\vsl_uninstall.bat", "C:\\E"},
        {"D:\\Rock & Roll\\V", "", "C:\\My T", nullptr, "C:\\My T\\vsl_uninstall.bat", "D:\\Rock & Roll\\V"},
        {"C:\\M\xF6we", "", nullptr, "D:\\T\\", "D:\\T\\\\vsl_uninstall.bat", "C:\\M\x94we"},
        {"\\\\server\\share\\V", "", "\\\\s\\t", nullptr, "\\\\s\\t\\vsl_uninstall.bat",
         "\\\\server\\share\\V"},
    };
    for (const auto& [settings, entry, tmp, temp, script, named] : cases) {
        FakePlatform platform = Installed(settings ? settings : "", entry != nullptr);
        if (entry != nullptr) {
            platform.SetValue(kEntry, "InstallLocation", entry);
        }
        if (settings == nullptr) {
            platform.denied.insert(kSettings);
        }
        platform.environment.clear();
        if (tmp != nullptr) {
            platform.environment["Tmp"] = tmp;
        }
        if (temp != nullptr) {
            platform.environment["TEMP"] = temp;
        }
        EXPECT_EQ(ExitCodeOf([&platform] { RunUninstall(platform); }), 0) << named;
        ExpectRemoved(platform, true);
        EXPECT_EQ(platform.files[script], Script(named));
        EXPECT_EQ(platform.starts, std::vector<std::string>{ScriptStart(script)});
    }
}

}  // namespace
