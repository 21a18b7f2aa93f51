#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Lays out the test's prefix as the installers of the launcher and of the
// games would have left it. The games and explorer are the recorder under
// their names: each leaves a record of how it was started (LaunchRecord.h).

// One of the five games: the registry value its installer leaves and the
// executable the launcher should find through it.
struct Game {
    std::string id;
    HKEY root;
    std::string key;
    std::string valueName;
    std::string value;
    std::string executable;
};

const std::vector<Game>& FiveGames();
const Game& GameWithId(const std::string& id);

// Writes the game's registry value and puts the recorder in as its executable.
void InstallGame(const Game& game);
// Writes the game's registry value only: the game's files are gone.
void RegisterGame(const Game& game);

constexpr char kInstallFolder[] = "C:\\Vastrel";

// The keys that the launcher's installer writes and its uninstaller removes.
constexpr char kSettingsKey[] = "Software\\Vastrel";  // HKEY_CURRENT_USER, value "path"
constexpr char kSchemeKey[] = "vsl";                  // HKEY_CLASSES_ROOT
constexpr char kUninstallEntryKey[] =                 // HKEY_LOCAL_MACHINE
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vastrel";

// Copies vsl.exe into the folder under the file name and registers it: the
// install path, the vsl link scheme with its icon and open command, and the
// entry in the list of installed programs. Returns the executable's path.
std::string InstallLauncher(const std::string& folder = kInstallFolder,
                            const std::string& fileName = "vsl.exe");

// The recorder in place of the Windows folder's explorer.exe, which the
// launcher starts for a web address. Returns its path.
std::string InstallExplorerStandIn();
std::string ExplorerPath();

// Removes every key and folder the tests lay out, so that a test sees only
// what it installed itself even when tests share a prefix.
void ForgetEverything();
