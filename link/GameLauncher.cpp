#include "link/GameLauncher.h"

#include <cstring>

#include "link/GameLocator.h"
#include "link/SettingRules.h"

const char kDownloadAddress[] = "https://vastrel.example/download";

namespace {

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

std::optional<std::string> CommandLineRefusal(const GameEntry& game, const LaunchRequest& request) {
    const std::string& id = game.id;
    std::string server = request.m_strHost + ":" + request.m_strPort;
    switch (game.reader) {
        case CommandLineReader::Quake3: {
            // The engine copies the first 1023 bytes after the program's name
            // and splits them at "+" into at most 32 console lines, the text
            // before the first "+" being the first; past the last, the rest
            // stays glued to it, +connect included. "set" keeps at most 254
            // bytes of a value.
            constexpr size_t kMaxBytes = 1023;
            constexpr size_t kMaxCommands = 31;
            constexpr size_t kMaxValueBytes = 254;
            for (const ServerSetting& setting : request.m_settings) {
                if (setting.m_strValue.size() > kMaxValueBytes) {
                    return id + " keeps at most " + std::to_string(kMaxValueBytes) +
                           " characters of a setting, and its setting " + setting.m_strKey + " has " +
                           std::to_string(setting.m_strValue.size());
                }
            }
            size_t commands = request.m_settings.size() + 1;
            if (commands > kMaxCommands) {
                return id + " reads at most " + std::to_string(kMaxCommands - 1) +
                       " settings from its command line, beside the connect, and this link has " +
                       std::to_string(request.m_settings.size());
            }
            size_t bytes = GameCommandLine(std::string(), request).size() - 1;
            if (bytes > kMaxBytes) {
                return id + " reads only the first " + std::to_string(kMaxBytes) +
                       " characters of its command line, and this link needs " + std::to_string(bytes) +
                       ", so the game would not connect";
            }
            return std::nullopt;
        }
        case CommandLineReader::Quake2: {
            // The engine splits its command line into words at blanks and at
            // bytes beyond 126, ends with a fatal error beyond 49 words (and
            // adds three of its own when it finds the game's CD), blanks out
            // words of 128 bytes or more, takes a "+set" with exactly the next
            // two words, expands "$name" in every command, and ends a command
            // other than "+set", such as "+connect", at "-".
            constexpr size_t kMaxWords = 46;
            constexpr size_t kMaxWordBytes = 127;
            auto isPlainWord = [](const std::string& word) {
                for (char c : word) {
                    auto byte = static_cast<unsigned char>(c);
                    if (byte <= 0x20 || byte > 0x7E || c == '$') {
                        return false;
                    }
                }
                return !word.empty() && word.size() <= kMaxWordBytes;
            };
            for (const ServerSetting& setting : request.m_settings) {
                if (!isPlainWord(setting.m_strKey) || !isPlainWord(setting.m_strValue)) {
                    return id + " reads a setting as two words of at most " + std::to_string(kMaxWordBytes) +
                           " ASCII letters, digits and marks other than $, and its setting " +
                           setting.m_strKey + " is not";
                }
            }
            if (!isPlainWord(server) || server.find('-') != std::string::npos) {
                return id + " reads the server address as one word of at most " +
                       std::to_string(kMaxWordBytes) +
                       " ASCII letters, digits and marks other than $ and -, and " + server + " is not";
            }
            size_t words = 3 * request.m_settings.size() + 2;
            if (words > kMaxWords) {
                return id + " reads at most " + std::to_string(kMaxWords) +
                       " words from its command line, three for each setting and two for the connect, and "
                       "this link needs " +
                       std::to_string(words);
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void GameLauncher(Platform& platform, const LaunchRequest& request) {
    const std::string& gameId = request.m_strGameId;
    std::string path = FindGameExecutable(platform, gameId);
    if (path.empty()) {
        platform.Fail("Vastrel was unable to detect " + gameId + " on your computer.\n");
    }
    if (path == kUnknownGame) {
        platform.Fail("Your version of Vastrel does not support " + gameId + ".\n" +
                      "Please get a newer version from " + kDownloadAddress + ".");
    }

    size_t slash = path.rfind('\\');
    std::string folder = slash == std::string::npos ? path : path.substr(0, slash);
    std::string executableName = slash == std::string::npos ? path : path.substr(slash + 1);
    if (std::optional<std::string> refusal = CommandLineRefusal(*FindGame(gameId), request)) {
        platform.Fail(RefusalMessage(*refusal));
    }

    // The game is started as the very file the locator found, in its own
    // folder: a program of the same name elsewhere (beside vsl.exe, in the
    // working folder, on the path) never stands in for it. Its command line
    // names it without its folder, as the games expect.
    if (!platform.StartProgram(path, GameCommandLine(executableName, request), folder)) {
        platform.Fail("Unable to launch " + gameId + ".\nFile not found.");
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
