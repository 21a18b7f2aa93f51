#include <gtest/gtest.h>

#include <functional>

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
    platform.answer = kIdYes;
    return platform;
}

// All of Vastrel is gone (every key, and the batch file started) or nothing
// is (every key kept, no file left).
void ExpectRemoved(const FakePlatform& platform, bool removed) {
    if (removed) {
        EXPECT_FALSE(platform.HasKey(kSettings) || platform.HasKey("HKCR\\vsl") || platform.HasKey(kEntry));
        EXPECT_EQ(platform.starts.size(), 1U);
    } else {
        EXPECT_TRUE(platform.HasKey(kSettings) && platform.HasKey(kCommand) && platform.HasKey(kEntry));
        EXPECT_TRUE(platform.files.empty());
    }
}

// Nothing changes when the user declines, or when the uninstall refuses: a
// folder it could not name exactly on the command interpreter's command line,
// a second uninstall running, a policy that keeps the interpreter from
// running scripts, a script it cannot write or an interpreter that does not
// start. The message comes with exit code 1.
TEST(RunUninstall, RefusesWithNothingChanged) {
    const std::string noInterpreter =
        "Unable to start the command interpreter C:\\WINDOWS\\system32\\cmd.exe, which deletes Vastrel's "
        "files. "
        "Nothing has been removed.";
    const std::string policy =
        "A policy of this computer keeps the command interpreter from running scripts, and removing Vastrel "
        "needs one to delete vsl.exe. Nothing has been removed.";
    const char kPolicies[] = "Software\\Policies\\Microsoft\\Windows\\System";
    // how to set the computer up, whether the question came first, and the
    // message then (none: the user declined)
    const std::tuple<std::function<void(FakePlatform&)>, bool, std::string> cases[] = {
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
        {[&](FakePlatform& p) {
             p.SetValue("HKCU\\" + std::string(kPolicies), "DisableCMD", {1, 0, 0, 0});
         },
         false, Aborted(policy)},
        {[&](FakePlatform& p) {
             p.SetValue("HKLM\\" + std::string(kPolicies), "DisableCMD", {1, 0, 0, 0});
         },
         false, Aborted(policy)},
        {[](FakePlatform& p) { p.failWrites = true; }, true,
         Aborted("Unable to write the uninstall script in C:\\WINDOWS\\Temp.")},
        {[](FakePlatform& p) { p.failingStarts = 1; }, true, Aborted(noInterpreter)},
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

// The batch file, which takes the install folder and the system folder as its
// arguments and so names no folder itself, and its start.
const char kScript[] = "C:\\WINDOWS\\Temp\\vsl_uninstall-0123456789abcdef.bat";
const char kScriptText[] =
    "set vsl_tries=0\n:retry\ndel \"%~1\\vsl.exe\"\nif not exist \"%~1\\vsl.exe\" goto removed\nset /a "
    "vsl_tries+=1\nif %vsl_tries% geq 30 goto removed\n\"%~2\\ping.exe\" -n 2 127.0.0.1 >nul\ngoto "
    "retry\n:removed\nrmdir \"%~1\"\ndel \"%~f0\"\n";

// The batch file removes the folder that this account's settings name, or
// else the one the installer recorded for the computer, whatever letters its
// name holds: the interpreter from the system folder runs it with the folder
// as it stands, before any key is deleted. It lies in the Windows folder's
// temporary folder, made new there.
TEST(RunUninstall, LeavesABatchFileThatDeletesTheProgramThenItsFolder) {
    // this account's folder (null: refused), the computer's (null: gone, with
    // the link scheme), and the folder the batch file is given
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"C:\\V", "C:\\E", "C:\\V"},
        {"C:\\V", nullptr, "C:\\V"},
        {"", "C:\\E", "C:\\E"},
        {nullptr, "C:\\E", "C:\\E"},
        {"D:\\Rock & Roll (x86)\\V^!", "", "D:\\Rock & Roll (x86)\\V^!"},
        {"D:\\Games\\\xEF\xBC\xB6"
         "astrel",
         "",
         "D:\\Games\\\xEF\xBC\xB6"
         "astrel"},  // a fullwidth V
        {"D:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\\Vastrel", "",
         "D:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\\Vastrel"},
        {"\\\\server\\share\\V", "", "\\\\server\\share\\V"},
    };
    for (const auto& [settings, entry, folder] : cases) {
        FakePlatform platform = Installed(settings ? settings : "", entry != nullptr);
        if (entry != nullptr) {
            platform.SetValue(kEntry, "InstallLocation", entry);
        }
        if (settings == nullptr) {
            platform.denied.insert(kSettings);
        }
        EXPECT_EQ(ExitCodeOf([&platform] { RunUninstall(platform); }), 0) << folder;
        ExpectRemoved(platform, true);
        EXPECT_EQ(platform.files, (std::map<std::string, std::string>{{kScript, kScriptText}}));
        EXPECT_EQ(platform.starts,
                  std::vector<std::string>{"C:\\WINDOWS\\system32\\cmd.exe | cmd.exe /d /v:off /s /c \"\"" +
                                           std::string(kScript) + "\" \"" + folder +
                                           "\" \"C:\\WINDOWS\\system32\"\" | C:\\WINDOWS\\system32"});
    }
}

}  // namespace
