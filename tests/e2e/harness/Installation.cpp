#include "harness/Installation.h"

#include "tests/support/Files.h"
#include "tests/support/LaunchRecord.h"
#include "harness/Registry.h"

namespace {

constexpr char kGamesFolder[] = "C:\\Games";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

}  // namespace

const std::vector<Game>& FiveGames() {
    // The values as each game's installer writes them; sof2 stores its icon
    // entry ("<exe>, 0"), from which the launcher cuts the MP executable's name.
    static const std::vector<Game> games = {
        {"sof1", HKEY_CURRENT_USER, "Software\\Raven Software\\SoF", "Path", "C:\\Games\\SoF",
         "C:\\Games\\SoF\\SoF.exe"},
        {"sof2", HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "Soldier of Fortune II - Double Helix",
         "DisplayIcon", "C:\\Games\\SoF2\\SoF2.exe, 0", "C:\\Games\\SoF2\\SoF2MP.exe"},
        {"mohaa", HKEY_CURRENT_USER, "Software\\2015\\MOHAA", "basepath", "C:\\Games\\MOHAA",
         "C:\\Games\\MOHAA\\mohaa.exe"},
        {"mohaaspearhead", HKEY_CURRENT_USER, "Software\\EA Games\\MOHAA Spearhead", "basepath",
         "C:\\Games\\Spearhead", "C:\\Games\\Spearhead\\moh_spearhead.exe"},
        {"rtcw", HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "Return to Castle Wolfenstein",
         "DisplayIcon", "C:\\Games\\RTCW", "C:\\Games\\RTCW\\WolfMP.exe"},
    };
    return games;
}

const Game& GameWithId(const std::string& id) {
    for (const Game& game : FiveGames()) {
        if (game.id == id) {
            return game;
        }
    }
    throw SetupError("no game " + id);
}

void RegisterGame(const Game& game) {
    WriteRegistryText(game.root, game.key, game.valueName, game.value);
    MakeFolders(FolderOf(game.executable));
}

void InstallGame(const Game& game) {
    RegisterGame(game);
    CopyFileTo(BuiltProgram("vsl_recorder.exe"), game.executable);
}

std::string InstallLauncher(const std::string& folder, const std::string& fileName) {
    std::string path = folder + "\\" + fileName;
    CopyFileTo(BuiltProgram("vsl.exe"), path);

    WriteRegistryText(HKEY_CURRENT_USER, kSettingsKey, "path", folder);

    std::string scheme = kSchemeKey;
    WriteRegistryText(HKEY_CLASSES_ROOT, scheme, "", "URL:Vastrel link");
    WriteRegistryText(HKEY_CLASSES_ROOT, scheme, "URL Protocol", "");
    WriteRegistryText(HKEY_CLASSES_ROOT, scheme + "\\DefaultIcon", "", path + ",0");
    WriteRegistryText(HKEY_CLASSES_ROOT, scheme + "\\shell\\open\\command", "", "\"" + path + "\" \"%1\"");

    WriteRegistryText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "DisplayName", "Vastrel");
    WriteRegistryText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "UninstallString",
                      "\"" + path + "\" uninstall");
    return path;
}

std::string ExplorerPath() {
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\explorer.exe";
}

std::string InstallExplorerStandIn() {
    std::string path = ExplorerPath();
    CopyFileTo(BuiltProgram("vsl_recorder.exe"), path);
    return path;
}

void ForgetEverything() {
    for (const Game& game : FiveGames()) {
        DeleteRegistryTree(game.root, game.key);
    }
    DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    DeleteRegistryTree(HKEY_CLASSES_ROOT, kSchemeKey);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallEntryKey);
    RemoveTree(kInstallFolder);
    RemoveTree(kGamesFolder);
    DeleteFileA((ExplorerPath() + ".rec").c_str());
}
