#include "link/GameLauncher.h"

#include <cstring>

#include "link/GameLocator.h"

const char kDownloadAddress[] = "https://vastrel.example/download";

namespace {

[[noreturn]] void Fail(Platform& platform, const std::string& message) {
    platform.ShowMessageBox(message, kMbIconHand);
    platform.EndProcess(1);
}

bool StartsWithIgnoringCase(const std::string& text, const char* prefix) {
    size_t length = strlen(prefix);
    if (text.size() < length) {
        return false;
    }
    for (size_t i = 0; i < length; i++) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

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
        Fail(platform, "Vastrel was unable to detect " + gameId + " on your computer.\n");
    }
    if (path == kUnknownGame) {
        Fail(platform, "Your version of Vastrel does not support " + gameId + ".\n" +
                           "Please get a newer version from " + kDownloadAddress + ".");
    }

    size_t slash = path.rfind('\\');
    std::string folder = slash == std::string::npos ? path : path.substr(0, slash);
    std::string executableName = slash == std::string::npos ? path : path.substr(slash + 1);

    // The command line names the executable alone, so the start relies on
    // the game's folder being the working directory.
    platform.ChangeDirectory(folder);
    if (platform.StartProgram(GameCommandLine(executableName, request), kSwHide) < kStartedAtLeast) {
        Fail(platform, "Unable to launch " + gameId + ".\nFile not found.");
    }

    const std::string& address = request.m_strEmbedUrl;
    if (!address.empty()) {
        // Anything but a web address would have explorer open or run
        // whatever the page that made the link chose.
        if (!IsWebAddress(address) ||
            platform.StartProgram("explorer " + address, kSwHide) < kStartedAtLeast) {
            platform.EndProcess(1);
        }
    }
    platform.EndProcess(0);
}
