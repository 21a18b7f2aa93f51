#include "link/GameLocator.h"

#include "platform/RegistryText.h"

const char kUnknownGame[] = "none";

const std::vector<GameEntry>& KnownGames() {
    static const std::vector<GameEntry> games = {
        {"sof1", RegistryRoot::CurrentUser, "Software\\Raven Software\\SoF", "Path", 1, {}, "\\SoF.exe"},
        {"sof2",
         RegistryRoot::LocalMachine,
         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Soldier of Fortune II - Double Helix",
         "DisplayIcon",
         2,
         {3, 4},
         "MP.exe"},
        {"mohaa", RegistryRoot::CurrentUser, "Software\\2015\\MOHAA", "basepath", 2, {}, "\\mohaa.exe"},
        {"mohaaspearhead",
         RegistryRoot::CurrentUser,
         "Software\\EA Games\\MOHAA Spearhead",
         "basepath",
         1,
         {},
         "\\moh_spearhead.exe"},
        {"rtcw",
         RegistryRoot::LocalMachine,
         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Return to Castle Wolfenstein",
         "DisplayIcon",
         1,
         {},
         "\\WolfMP.exe"},
    };
    return games;
}

std::string FindGameExecutable(Platform& platform, const std::string& gameId) {
    for (const GameEntry& game : KnownGames()) {
        if (game.id != gameId) {
            continue;
        }
        std::optional<std::string> value =
            ReadRegistryText(platform, game.root, game.subkey, game.valueName, game.reads);
        if (!value) {
            return std::string();
        }
        std::string path = *value;
        for (int cut : game.cuts) {
            size_t count = static_cast<size_t>(cut);
            if (path.size() >= count) {
                path.resize(path.size() - count);
            }
        }
        return path + game.suffix;
    }
    return kUnknownGame;
}
