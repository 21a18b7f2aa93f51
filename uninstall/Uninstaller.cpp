#include "uninstall/Uninstaller.h"

#include <vector>

#include "platform/RegistryText.h"

namespace {

constexpr char kSettingsKey[] = "Software\\Vastrel";
constexpr char kScriptName[] = "\\vsl_uninstall.bat";

// One step of removing the program's keys: open a key and delete the named
// children of it, in order. The link scheme goes children first, since a key
// with children cannot be deleted.
struct DeletionStep {
    RegistryRoot root;
    const char* key;
    std::vector<const char*> children;
};

const std::vector<DeletionStep>& DeletionPlan() {
    static const std::vector<DeletionStep> plan = {
        {RegistryRoot::CurrentUser, "Software", {"Vastrel"}},
        {RegistryRoot::ClassesRoot, "vsl\\shell\\open", {"command"}},
        {RegistryRoot::ClassesRoot, "vsl\\shell", {"open"}},
        {RegistryRoot::ClassesRoot, "vsl", {"shell", "DefaultIcon"}},
        {RegistryRoot::ClassesRoot, "", {"vsl"}},
        {RegistryRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", {"Vastrel"}},
    };
    return plan;
}

// Deletes the executable, then its folder once that is empty.
std::string UninstallScriptText(const std::string& installPath) {
    return "del \"" + installPath + "\\vsl.exe\"\n" + "rmdir \"" + installPath + "\"\n";
}

}  // namespace

std::string WriteUninstallScript(Platform& platform) {
    std::string installPath = ReadRegistryText(platform, RegistryRoot::CurrentUser, kSettingsKey, "path", 2)
                                  .value_or(std::string());
    if (installPath.empty()) {
        platform.Fail("Error fetching VSL registry keys required to uninstall. Uninstall Aborted");
    }

    std::optional<std::string> folder = platform.ReadEnvironment("tmp");
    if (!folder) {
        folder = platform.ReadEnvironment("temp");
    }
    if (!folder) {
        platform.Fail("Unable to find a temporary folder.\nUninstall Aborted");
    }

    // Without the script the executable would stay behind, so nothing is
    // removed unless it is on the disk in full.
    std::string scriptPath = *folder + kScriptName;
    if (!platform.WriteTextFile(scriptPath, UninstallScriptText(installPath))) {
        platform.Fail("Unable to write the uninstall script " + scriptPath + ".\nUninstall Aborted");
    }
    return scriptPath;
}

void RunUninstall(Platform& platform) {
    if (platform.ShowMessageBox("Are you sure you want to uninstall Vastrel ?", kMbYesNoQuestion) != kIdYes) {
        platform.EndProcess(0);
    }

    // The install path is read before its key goes with the first step.
    std::string scriptPath = WriteUninstallScript(platform);

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

    // The command interpreter from the system folder runs the batch file, so
    // that no program of the same name elsewhere stands in for either; the
    // quotes keep a path with blanks whole.
    platform.StartProgram(platform.SystemFolder() + "\\cmd.exe", "cmd.exe /c \"" + scriptPath + "\"",
                          platform.SystemFolder());
    platform.EndProcess(0);
}
