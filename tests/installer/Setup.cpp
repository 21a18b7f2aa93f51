#include "Setup.h"

#include <tlhelp32.h>

#include <algorithm>

#include "harness/Environment.h"

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vastrel";

struct Root {
    const char* name;
    HKEY handle;
};

// Every key the installer writes, parents before their children.
const std::vector<std::pair<Root, std::string>>& WrittenKeys() {
    static const std::vector<std::pair<Root, std::string>> keys = {
        {{"HKCU", HKEY_CURRENT_USER}, "Software\\Vastrel"},
        {{"HKCR", HKEY_CLASSES_ROOT}, "vsl"},
        {{"HKCR", HKEY_CLASSES_ROOT}, "vsl\\DefaultIcon"},
        {{"HKCR", HKEY_CLASSES_ROOT}, "vsl\\shell"},
        {{"HKCR", HKEY_CLASSES_ROOT}, "vsl\\shell\\open"},
        {{"HKCR", HKEY_CLASSES_ROOT}, "vsl\\shell\\open\\command"},
        {{"HKLM", HKEY_LOCAL_MACHINE}, kUninstallKey},
    };
    return keys;
}

std::string KeyName(const Root& root, const std::string& key) {
    return std::string(root.name) + "\\" + key;
}

DWORD SizeInKilobytes(const std::string& path) {
    std::optional<std::string> bytes = ReadFileText(path);
    if (!bytes) {
        throw SetupError("cannot read " + path);
    }
    return static_cast<DWORD>((bytes->size() + 1023) / 1024);
}

}  // namespace

LauncherProcess StartSetup(const std::string& arguments, const std::string& installer) {
    return LauncherProcess::Start(CommandLineOf(BuiltProgram(installer), arguments));
}

DWORD RunSetup(const std::string& arguments, const std::string& installer) {
    LauncherProcess setup = StartSetup(arguments, installer);
    std::optional<DWORD> exitCode = setup.WaitForExit(kSetupLimitMs);
    if (!exitCode) {
        throw SetupError(installer + " " + arguments + " did not end");
    }
    return *exitCode;
}

void InstallSilently(const std::string& folder) {
    ASSERT_EQ(RunSetup("/S /D=" + folder), 0u) << "installing into " << folder;
}

std::string ProgramFilesFolder() {
    std::optional<std::string> folder = EnvironmentValue("ProgramFiles");
    if (!folder) {
        throw SetupError("no ProgramFiles in the environment");
    }
    return *folder;
}

std::string DefaultInstallFolder() {
    return ProgramFilesFolder() + "\\Vastrel";
}

std::map<std::string, KeyContents> ExpectedKeys(const std::string& folder) {
    std::string program = folder + "\\vsl.exe";
    std::string icon = "\"" + program + "\",0";
    return {
        {"HKCU\\Software\\Vastrel", {{{"path", Text(folder)}}, {}}},
        {"HKCR\\vsl",
         {{{"", Text("URL:vsl Protocol")}, {"URL Protocol", Text("")}}, {"DefaultIcon", "shell"}}},
        {"HKCR\\vsl\\DefaultIcon", {{{"", Text(icon)}}, {}}},
        {"HKCR\\vsl\\shell", {{}, {"open"}}},
        {"HKCR\\vsl\\shell\\open", {{}, {"command"}}},
        {"HKCR\\vsl\\shell\\open\\command", {{{"", Text("\"" + program + "\" \"%1\"")}}, {}}},
        {std::string("HKLM\\") + kUninstallKey,
         {{{"DisplayName", Text("Vastrel")},
           {"DisplayIcon", Text(icon)},
           {"DisplayVersion", Text("1.0.0.1")},
           {"InstallLocation", Text(folder)},
           {"UninstallString", Text("\"" + program + "\" uninstall")},
           {"NoModify", Number(1)},
           {"NoRepair", Number(1)},
           {"EstimatedSize", Number(SizeInKilobytes(BuiltProgram("vsl.exe")))}},
          {}}},
    };
}

std::map<std::string, KeyContents> InstalledKeys() {
    std::map<std::string, KeyContents> installed;
    for (const auto& [root, key] : WrittenKeys()) {
        if (std::optional<KeyContents> contents = ReadKey(root.handle, key)) {
            installed[KeyName(root, key)] = *contents;
        }
    }
    return installed;
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<DWORD> WaitForProcessNamed(const std::string& fileName, DWORD limitMs) {
    std::optional<DWORD> id;
    PollUntil(limitMs, [&] {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) {
            return false;
        }
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (lstrcmpiA(entry.szExeFile, fileName.c_str()) == 0) {
                id = entry.th32ProcessID;
                break;
            }
        }
        CloseHandle(snapshot);
        return id.has_value();
    });
    return id;
}
