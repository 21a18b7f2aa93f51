#include "link/GameLocator.h"

#include "platform/RegistryText.h"

const char kUnknownGame[] = "none";

const std::vector<GameEntry>& KnownGames() {
    static const std::vector<GameEntry> games = {
        {"sof1",
         RegistryRoot::CurrentUser,
         "Software\\Raven Software\\SoF",
         "Path",
         1,
         {},
         "\\SoF.exe",
         CommandLineReader::Quake2},
        {"sof2",
         RegistryRoot::LocalMachine,
         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Soldier of Fortune II - Double Helix",
         "DisplayIcon",
         2,
         {3, 4},
         "MP.exe",
         CommandLineReader::Quake3},
        {"mohaa",
         RegistryRoot::CurrentUser,
         "Software\\2015\\MOHAA",
         "basepath",
         2,
         {},
         "\\mohaa.exe",
         CommandLineReader::Quake3},
        {"mohaaspearhead",
         RegistryRoot::CurrentUser,
         "Software\\EA Games\\MOHAA Spearhead",
         "basepath",
         1,
         {},
         "\\moh_spearhead.exe",
         CommandLineReader::Quake3},
        {"rtcw",
         RegistryRoot::LocalMachine,
         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Return to Castle Wolfenstein",
         "DisplayIcon",
         1,
         {},
         "\\WolfMP.exe",
         CommandLineReader::Quake3},
    };
    return games;
}

const GameEntry* FindGame(const std::string& gameId) {
    for (const GameEntry& game : KnownGames()) {
        if (game.id == gameId) {
            return &game;
        }
    }
    return nullptr;
}

std::string FindGameExecutable(Platform& platform, const std::string& gameId) {
    const GameEntry* game = FindGame(gameId);
    if (game == nullptr) {
        return kUnknownGame;
    }
    std::optional<std::string> value =
        ReadRegistryText(platform, game->root, game->subkey, game->valueName, game->reads);
    if (!value) {
        return std::string();
    }
    std::string path = *value;
    for (int cut : game->cuts) {
        size_t count = static_cast<size_t>(cut);
        if (path.size() >= count) {
            path.resize(path.size() - count);
        }
    }
    return path + game->suffix;
}
