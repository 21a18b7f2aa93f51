#include "link/GameLauncher.h"

#include <cstring>

#include "link/Ascii.h"
#include "link/GameLocator.h"
#include "link/SettingRules.h"

const char kDownloadAddress[] = "https://vastrel.example/download";

namespace {

// The characters a URI may hold, less the comma, which explorer takes as a
// separator of its own arguments.
bool IsAddressCharacter(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return c != '\0' && strchr("-._~:/?#[]@!$&'()*+;=%", c) != nullptr;
}

}  // namespace

bool IsWebAddress(const std::string& address) {
    size_t schemeLength = 0;
    if (StartsWithIgnoringCase(address, "http://")) {
        schemeLength = strlen("http://");
    } else if (StartsWithIgnoringCase(address, "https://")) {
        schemeLength = strlen("https://");
    } else {
        return false;
    }
    if (address.size() == schemeLength) {
        return false;
    }
    for (char c : address) {
        if (!IsAddressCharacter(c)) {
            return false;
        }
    }
    return true;
}

std::string GameCommandLine(const std::string& executableName, const LaunchRequest& request) {
    std::string commandLine = executableName;
    for (const ServerSetting& setting : request.m_settings) {
        commandLine += " +set " + setting.m_strKey + " " + setting.m_strValue;
    }
    commandLine += " +connect " + request.m_strHost + ":" + request.m_strPort;
    return commandLine;
}

void GameLauncher(Platform& platform, const LaunchRequest& request) {
    const std::string& gameId = request.m_strGameId;
    std::string path = FindGameExecutable(platform, gameId);
    if (path.empty()) {
        platform.Fail("Vastrel was unable to detect " + ShownInMessage(gameId) + " on your computer.\n");
    }
    if (path == kUnknownGame) {
        platform.Fail("Your version of Vastrel does not support " + ShownInMessage(gameId) + ".\n" +
                      "Please get a newer version from " + kDownloadAddress + ".");
    }

    size_t slash = path.rfind('\\');
    std::string folder = slash == std::string::npos ? path : path.substr(0, slash);
    std::string executableName = slash == std::string::npos ? path : path.substr(slash + 1);

    // The game is started as the very file the locator found, in its own
    // folder: a program of the same name elsewhere (beside vsl.exe, in the
    // working folder, on the path) never stands in for it. Its command line
    // names it without its folder, as the games expect.
    if (!platform.StartProgram(path, GameCommandLine(executableName, request), folder)) {
        platform.Fail("Unable to launch " + ShownInMessage(gameId) + ".\nFile not found.");
    }

    const std::string& address = request.m_strEmbedUrl;
    if (!address.empty()) {
        // Anything but a web address would have explorer open or run
        // whatever the page that made the link chose; and explorer is the
        // Windows folder's own.
        if (!IsWebAddress(address) || !platform.StartProgram(platform.WindowsFolder() + "\\explorer.exe",
                                                             "explorer " + address, folder)) {
            platform.EndProcess(1);
        }
    }
    platform.EndProcess(0);
}
