#include "uninstall/Uninstaller.h"

#include <string>
#include <vector>

#include "platform/RegistryText.h"

namespace {

constexpr char kSettingsKey[] = "Software\\Vastrel";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kScriptName[] = "\\vsl_uninstall.bat";
constexpr char kAborted[] = "\nUninstall Aborted";
constexpr char kLockName[] = "Vastrel uninstall";

// How many times, a second apart, the batch file tries to delete vsl.exe,
// which cannot be deleted while it runs: the uninstall that started the batch
// file ends a moment later, a launch from a link three seconds later.
constexpr int kDeleteTries = 30;

// One step of removing the program's keys: open a key and delete the named
// children of it, in order. The link scheme goes children first, since a key
// with children cannot be deleted.
struct DeletionStep {
    RegistryRoot root;
    std::string key;
    std::vector<const char*> children;
};

const std::vector<DeletionStep>& DeletionPlan() {
    static const std::vector<DeletionStep> plan = {
        {RegistryRoot::CurrentUser, "Software", {"Vastrel"}},
        {RegistryRoot::ClassesRoot, "vsl\\shell\\open", {"command"}},
        {RegistryRoot::ClassesRoot, "vsl\\shell", {"open"}},
        {RegistryRoot::ClassesRoot, "vsl", {"shell", "DefaultIcon"}},
        {RegistryRoot::ClassesRoot, "", {"vsl"}},
        {RegistryRoot::LocalMachine, kUninstallKey, {"Vastrel"}},
    };
    return plan;
}

bool KeyOpens(Platform& platform, RegistryRoot root, const std::string& key, std::uint32_t access) {
    std::optional<RegistryKey> opened = platform.OpenKey(root, key, access);
    if (opened) {
        platform.CloseKey(*opened);
    }
    return opened.has_value();
}

// Whether every key of the plan that exists can be deleted and the install
// folder changed. An uninstall that could do only part of it would leave
// Vastrel half removed for good: its settings gone, its link scheme, its
// entry among the installed programs and its files still there.
bool CanRemoveEverything(Platform& platform, const std::string& installPath) {
    for (const DeletionStep& step : DeletionPlan()) {
        for (const char* child : step.children) {
            std::string key = step.key.empty() ? child : step.key + "\\" + child;
            if (!KeyOpens(platform, step.root, key, kKeyQueryValue)) {
                continue;
            }
            if (!KeyOpens(platform, step.root, step.key, kKeyAllAccess) ||
                !KeyOpens(platform, step.root, key, kKeyDelete)) {
                return false;
            }
        }
    }
    return platform.CanChangeFolder(installPath);
}

// The install folder that the settings key names. When the key is missing,
// because the installer ran under another administrator's account and wrote
// it into that account's settings, the folder that the installer recorded
// for the whole computer, in the entry among the installed programs.
std::string ReadInstallPath(Platform& platform) {
    std::optional<std::string> path =
        ReadRegistryText(platform, RegistryRoot::CurrentUser, kSettingsKey, "path", 2);
    if (!path || path->empty()) {
        path = ReadRegistryText(platform, RegistryRoot::LocalMachine,
                                std::string(kUninstallKey) + "\\Vastrel", "InstallLocation");
    }
    return path.value_or(std::string());
}

// Whether the path may stand between quotes in the batch file and on the
// command interpreter's command line. The interpreter expands %NAME% even
// between quotes, a quote would end the quoted path and a control byte the
// line; a relative path would be taken from whatever folder the batch file
// runs in. Only a drive's path (C:\...) or a share's (\\server\...) is whole.
bool IsSafeInBatchFile(const std::string& path) {
    for (char c : path) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '"' || c == '%') {
            return false;
        }
    }
    bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
                 ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    bool share = path.size() >= 3 && path.compare(0, 2, "\\\\") == 0;
    return drive || share;
}

// Deletes the executable, then its folder once that is empty. vsl.exe
// cannot be deleted while it runs, so the script tries again a second apart
// until it is gone, kDeleteTries times at most. One command a line, joined by
// labels alone: Wine's command interpreter reads "&" after an IF, and an IF
// with a parenthesised block inside a FOR, otherwise than Windows' does.
std::string UninstallScriptText(const std::string& installPath, const std::string& systemFolder) {
    const std::string program = "\"" + installPath + "\\vsl.exe\"";
    const std::string lines[] = {
        "set vsl_tries=0",
        ":retry",
        "del " + program,
        "if not exist " + program + " goto removed",
        "set /a vsl_tries+=1",
        "if %vsl_tries% geq " + std::to_string(kDeleteTries) + " goto removed",
        "\"" + systemFolder + "\\ping.exe\" -n 2 127.0.0.1 >nul",
        "goto retry",
        ":removed",
        "rmdir \"" + installPath + "\"",
    };
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

}  // namespace

std::string WriteUninstallScript(Platform& platform, const std::string& installPath) {
    // An empty variable names no folder, as a missing one does.
    std::optional<std::string> folder = platform.ReadEnvironment("tmp");
    if (!folder || folder->empty()) {
        folder = platform.ReadEnvironment("temp");
    }
    if (!folder || folder->empty()) {
        platform.Fail(std::string("Unable to find a temporary folder.") + kAborted);
    }
    std::string scriptPath = *folder + kScriptName;
    std::string systemFolder = platform.SystemFolder();
    if (!IsSafeInBatchFile(scriptPath) || !IsSafeInBatchFile(systemFolder)) {
        platform.Fail("The temporary folder " + *folder + " cannot hold the uninstall script." + kAborted);
    }

    // The command interpreter reads a batch file in the OEM code page; the
    // path is in the ANSI one. A folder that the OEM code page cannot name
    // would be another folder to it.
    std::optional<std::string> text =
        platform.ConvertText(UninstallScriptText(installPath, systemFolder), CodePage::Ansi, CodePage::Oem);
    if (!text) {
        platform.Fail("The folder " + installPath +
                      " has a name that the command interpreter cannot read, so it cannot be removed." +
                      kAborted);
    }

    // Without the script the executable would stay behind, so nothing is
    // removed unless it is on the disk in full.
    if (!platform.WriteTextFile(scriptPath, *text)) {
        platform.Fail("Unable to write the uninstall script " + scriptPath + "." + kAborted);
    }
    return scriptPath;
}

void RunUninstall(Platform& platform) {
    std::string installPath = ReadInstallPath(platform);
    if (installPath.empty()) {
        platform.Fail("Error fetching VSL registry keys required to uninstall. Uninstall Aborted");
    }
    if (!IsSafeInBatchFile(installPath)) {
        platform.Fail("The folder recorded for Vastrel, " + installPath + ", cannot be removed safely." +
                      kAborted);
    }

    // All or nothing: without the rights for all of it, the uninstall asks
    // for them once, by starting itself again elevated, and removes nothing
    // itself.
    if (!CanRemoveEverything(platform, installPath)) {
        if (!platform.IsElevated() && platform.StartElevated(platform.ProgramPath(), "uninstall")) {
            platform.EndProcess(0);
        }
        platform.Fail(
            "Removing Vastrel needs administrator rights: its link scheme, its entry among the installed "
            "programs and its folder " +
            installPath + " belong to the whole computer. Nothing has been removed." + kAborted);
    }
    // A second uninstall started meanwhile would delete the same keys and
    // race this one's batch file for vsl.exe.
    if (!platform.TakeLock(kLockName)) {
        platform.Fail(std::string("Vastrel is being removed already.") + kAborted);
    }

    if (platform.ShowMessageBox("Are you sure you want to uninstall Vastrel ?", kMbYesNoQuestion) != kIdYes) {
        platform.EndProcess(0);
    }

    std::string scriptPath = WriteUninstallScript(platform, installPath);
    for (const DeletionStep& step : DeletionPlan()) {
        std::optional<RegistryKey> key = platform.OpenKey(step.root, step.key, kKeyAllAccess);
        if (!key) {
            continue;
        }
        for (const char* child : step.children) {
            platform.DeleteKey(*key, child);
        }
        platform.CloseKey(*key);
    }

    // The command interpreter from the system folder, by its full path, runs
    // the batch file: no program of the same name elsewhere stands in for
    // either. With /s the interpreter drops just the outer pair of quotes and
    // runs the quoted path as it stands, blanks and & included; /d skips the
    // user's AutoRun commands and /v:off keeps "!" plain. It runs in the
    // system folder, never in the folder it is to remove.
    std::string systemFolder = platform.SystemFolder();
    platform.StartProgram(systemFolder + "\\cmd.exe", "cmd.exe /d /v:off /s /c \"\"" + scriptPath + "\"\"",
                          systemFolder);
    platform.EndProcess(0);
}
