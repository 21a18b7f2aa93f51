#include "uninstall/Uninstaller.h"

#include <string>
#include <vector>

#include "platform/RegistryText.h"

namespace {

constexpr char kSettingsKey[] = "Software\\Vastrel";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kScriptPrefix[] = "vsl_uninstall-";
constexpr char kPolicyKey[] = "Software\\Policies\\Microsoft\\Windows\\System";
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

// Whether a DWORD policy value under root is set to 1. DisableCMD 1 keeps
// the command interpreter from running batch files, which the removal needs
// (2 forbids only the interactive prompt).
bool PolicySet(Platform& platform, RegistryRoot root, const char* name) {
    std::optional<RegistryKey> key = platform.OpenKey(root, kPolicyKey, kKeyQueryValue);
    if (!key) {
        return false;
    }
    unsigned char value[4] = {};
    std::uint32_t size = sizeof value;
    bool read = platform.QueryValue(*key, name, value, &size);
    platform.CloseKey(*key);
    return read && size == sizeof value && value[0] == 1 && value[1] == 0 && value[2] == 0 && value[3] == 0;
}

// Whether the path may stand between quotes on the command interpreter's
// command line, from which the batch file takes the folders it works on. The
// interpreter expands %NAME% there even between quotes, a quote would end the
// quoted path and a control byte the line; a relative path would be taken
// from whatever folder the interpreter runs in. Only a drive's path (C:\...)
// or a share's (\\server\...) is whole.
bool IsSafeOnCommandLine(const std::string& path) {
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

// Deletes the executable, then its folder once that is empty, then itself.
// It names no folder: the install folder comes as its first argument and the
// system folder as its second, on the interpreter's wide-character command
// line, so that it reads the same in every code page; cmd reads each "%~1"
// once, and what it puts there is not read again, so a "&" or "^" in a
// folder's name stays a letter. vsl.exe cannot be deleted while it runs, so
// the script tries again a second apart until it is gone, kDeleteTries times
// at most. One command a line, joined by labels alone: Wine's command
// interpreter reads "&" after an IF, and an IF with a parenthesised block
// inside a FOR, otherwise than Windows' does.
std::string UninstallScriptText() {
    const std::string program = "\"%~1\\vsl.exe\"";
    const std::string lines[] = {
        "set vsl_tries=0",
        ":retry",
        "del " + program,
        "if not exist " + program + " goto removed",
        "set /a vsl_tries+=1",
        "if %vsl_tries% geq " + std::to_string(kDeleteTries) + " goto removed",
        "\"%~2\\ping.exe\" -n 2 127.0.0.1 >nul",
        "goto retry",
        ":removed",
        "rmdir \"%~1\"",
        "del \"%~f0\"",
    };
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

}  // namespace

std::string WriteUninstallScript(Platform& platform) {
    // The Windows folder's own temporary folder, whatever the environment
    // says: others may create files there, but cannot change or rename ours
    // or the folder, which the command interpreter reads the script from,
    // line by line, for as long as it runs.
    std::string folder = platform.WindowsFolder() + "\\Temp";
    std::optional<std::string> script =
        platform.WriteNewFile(folder, kScriptPrefix, ".bat", UninstallScriptText());
    if (!script) {
        platform.Fail("Unable to write the uninstall script in " + folder + "." + kAborted);
    }
    return *script;
}

void RunUninstall(Platform& platform) {
    std::string installPath = ReadInstallPath(platform);
    if (installPath.empty()) {
        platform.Fail("Error fetching VSL registry keys required to uninstall. Uninstall Aborted");
    }
    if (!IsSafeOnCommandLine(installPath)) {
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
    // The command interpreter would start and then refuse the batch file,
    // after the keys had gone.
    if (PolicySet(platform, RegistryRoot::CurrentUser, "DisableCMD") ||
        PolicySet(platform, RegistryRoot::LocalMachine, "DisableCMD")) {
        platform.Fail(
            "A policy of this computer keeps the command interpreter from running scripts, and removing "
            "Vastrel needs one to delete vsl.exe. Nothing has been removed." +
            std::string(kAborted));
    }
    std::string systemFolder = platform.SystemFolder();
    std::string windowsFolder = platform.WindowsFolder();
    if (!IsSafeOnCommandLine(systemFolder) || !IsSafeOnCommandLine(windowsFolder)) {
        platform.Fail("The Windows folder " + windowsFolder + " cannot hold the uninstall script." +
                      kAborted);
    }

    if (platform.ShowMessageBox("Are you sure you want to uninstall Vastrel ?", kMbYesNoQuestion) != kIdYes) {
        platform.EndProcess(0);
    }

    // Nothing is deleted before the step that deletes the files has started:
    // without it, Vastrel would be half gone for good. The command
    // interpreter of the system folder, by its full path, runs the batch
    // file: no program of the same name elsewhere stands in for either. With
    // /s it drops just the outer pair of quotes and runs the rest as it
    // stands, blanks and & included; /d skips the user's AutoRun commands and
    // /v:off keeps "!" plain. It runs in the system folder, never in the
    // folder it is to remove.
    std::string scriptPath = WriteUninstallScript(platform);
    std::string interpreter = systemFolder + "\\cmd.exe";
    if (!platform.StartProgram(interpreter,
                               "cmd.exe /d /v:off /s /c \"\"" + scriptPath + "\" \"" + installPath + "\" \"" +
                                   systemFolder + "\"\"",
                               systemFolder)) {
        platform.RemoveFile(scriptPath);
        platform.Fail("Unable to start the command interpreter " + interpreter +
                      ", which deletes Vastrel's files. Nothing has been removed." + kAborted);
    }
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
    platform.EndProcess(0);
}
