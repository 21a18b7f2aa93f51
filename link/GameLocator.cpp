#include "link/GameLocator.h"

#include <cstdint>

#include "link/SteamLibraries.h"
#include "platform/RegistryText.h"

const char kUnknownGame[] = "none";

const std::vector<GameEntry>& KnownGames() {
    static const std::vector<GameEntry> games = {
        {"sof1", CommandLineReader::Quake2},  {"sof2", CommandLineReader::Quake3},
        {"mohaa", CommandLineReader::Quake3}, {"mohaaspearhead", CommandLineReader::Quake3},
        {"rtcw", CommandLineReader::Quake3},
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

namespace {

// How the registry value of a place where a game may be installed becomes the
// path of its executable.
enum PlaceKind {
    kInstaller,  // the game's own installer: cuts, then the file appended; taken as it is
    kFolder,     // a store's install folder, the file inside it
    kSteam,      // Steam's own folder, from which its libraries lead to the game
};

struct GamePlace {
    const char* gameId;
    PlaceKind kind;
    RegistryRoot root;
    const char* subkey;
    const char* valueName;
    const char* file;      // the executable's file name; for kInstaller, the text appended
    const char* steamApp;  // kSteam: the app's number
    std::uint32_t view;    // 0, or kKeyWow64_64Key for a key in 64-bit programs' view
    int reads;             // kInstaller: how many times the value is read; the last read decides
    int firstCut;          // kInstaller: characters removed from the end of the value,
    int secondCut;         // first the one, then the other
};

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;

// Where each game may be installed, tried in this order. A store's place
// counts only when the game's file is there; Medal of Honor's War Chest from
// GOG holds both mohaa and its Spearhead in one folder.
constexpr GamePlace kPlaces[] = {
    // The games' own installers first: where their value is, it decides.
    {"sof1", kInstaller, kUser, "Software\\Raven Software\\SoF", "Path", "\\SoF.exe", "", 0, 1, 0, 0},
    {"sof2", kInstaller, kMachine,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Soldier of Fortune II - Double Helix",
     "DisplayIcon", "MP.exe", "", 0, 2, 3, 4},
    {"mohaa", kInstaller, kUser, "Software\\2015\\MOHAA", "basepath", "\\mohaa.exe", "", 0, 2, 0, 0},
    {"mohaaspearhead", kInstaller, kUser, "Software\\EA Games\\MOHAA Spearhead", "basepath",
     "\\moh_spearhead.exe", "", 0, 1, 0, 0},
    {"rtcw", kInstaller, kMachine,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Return to Castle Wolfenstein", "DisplayIcon",
     "\\WolfMP.exe", "", 0, 1, 0, 0},
    // GOG, by each game's id, in the program's own registry view.
    {"sof1", kFolder, kMachine, "SOFTWARE\\GOG.com\\Games\\1828104558", "path", "SoF.exe", "", 0, 1, 0, 0},
    {"sof2", kFolder, kMachine, "SOFTWARE\\GOG.com\\Games\\1228964594", "path", "SoF2MP.exe", "", 0, 1, 0, 0},
    {"mohaa", kFolder, kMachine, "SOFTWARE\\GOG.com\\Games\\1207659126", "path", "MOHAA.exe", "", 0, 1, 0, 0},
    {"mohaaspearhead", kFolder, kMachine, "SOFTWARE\\GOG.com\\Games\\1207659126", "path", "moh_spearhead.exe",
     "", 0, 1, 0, 0},
    {"rtcw", kFolder, kMachine, "SOFTWARE\\GOG.com\\Games\\1441704976", "path", "WolfMP.exe", "", 0, 1, 0, 0},
    // Steam: its libraries, then the app's entry among the installed
    // programs, which Steam leaves in the 64-bit view, and not always.
    {"rtcw", kSteam, kUser, "Software\\Valve\\Steam", "SteamPath", "WolfMP.exe", "9010", 0, 1, 0, 0},
    {"rtcw", kFolder, kMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 9010",
     "InstallLocation", "WolfMP.exe", "", kKeyWow64_64Key, 1, 0, 0},
};

// A folder named from a drive's root or a network share.
bool IsFullPath(const std::string& folder) {
    return (folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\') || folder.compare(0, 2, "\\\\") == 0;
}

std::string PathFrom(Platform& platform, const GamePlace& place, std::string value) {
    switch (place.kind) {
        case kInstaller:
            for (int cut : {place.firstCut, place.secondCut}) {
                size_t count = static_cast<size_t>(cut);
                if (value.size() >= count) {
                    value.resize(value.size() - count);
                }
            }
            return value + place.file;
        case kFolder:
            // Stores may write the folder with a backslash at its end or without.
            if (!IsFullPath(value)) {
                return std::string();
            }
            return value + (value.back() == '\\' ? "" : "\\") + place.file;
        case kSteam:
            return FindSteamGame(platform, value, place.steamApp, place.file);
    }
    return std::string();
}

}  // namespace

std::string FindGameExecutable(Platform& platform, const std::string& gameId) {
    if (FindGame(gameId) == nullptr) {
        return kUnknownGame;
    }
    for (const GamePlace& place : kPlaces) {
        if (gameId != place.gameId) {
            continue;
        }
        std::optional<std::string> value =
            ReadRegistryText(platform, place.root, place.subkey, place.valueName, place.reads, place.view);
        if (!value) {
            continue;
        }
        std::string path = PathFrom(platform, place, *value);
        if (place.kind == kInstaller || (!path.empty() && platform.FileExists(path))) {
            return path;
        }
    }
    return std::string();
}
