#include "link/SettingRules.h"

#include <cstring>

#include "link/Ascii.h"
#include "link/GameLauncher.h"

namespace {

// How a setting's value must read.
enum class ValueRule {
    Text,         // plain text of the console, ASCII only
    Folder,       // a plain folder name
    WholeNumber,  // decimal digits from least to most
};

// A setting that a link passes to the games listed (ids, blank between).
struct AllowedSetting {
    const char* key = nullptr;  // as the game's command line spells it
    const char* games = nullptr;
    ValueRule rule = ValueRule::Text;
    long least = 0;
    long most = 0;
};

constexpr char kAllGames[] = "sof1 sof2 mohaa mohaaspearhead rtcw";
// The Quake III engines: Q3 1.32 and RTCW-MP for rtcw, Raven's Jedi Academy
// engine for sof2, openmohaa's for the two mohaa games.
constexpr char kQuake3Games[] = "sof2 mohaa mohaaspearhead rtcw";

// The settings a server list needs, by what it uses each for; a link passes
// these and no other. The consoles of the Quake III engines compare names in
// any case and sof1's (Quake II's) exactly, so a key matches in any case and
// the game gets the spelling below. rate, snaps and cl_maxpackets are
// archived, and a link's value stays in the game's configuration for every
// later start, so each keeps to a range that plays well, within the one the
// engines clamp it to.
const AllowedSetting kAllowed[] = {
    // the player's name on the server
    {"name", kAllGames, ValueRule::Text},
    // the password of a private server
    {"password", kAllGames, ValueRule::Text},
    // the mod the server runs, by its folder (qcommon/files.c)
    {"fs_game", kQuake3Games, ValueRule::Folder},
    // the same for sof1
    {"game", "sof1", ValueRule::Folder},
    // how many bytes a second the server may send (SV_UserinfoChanged)
    {"rate", kQuake3Games, ValueRule::WholeNumber, 1000, 90000},
    // the same for sof1
    {"rate", "sof1", ValueRule::WholeNumber, 1000, 15000},
    // how many snapshots a second to ask of the server
    {"snaps", kQuake3Games, ValueRule::WholeNumber, 10, 30},
    // how many packets a second to send to the server (CL_ReadyToSendPacket)
    {"cl_maxpackets", "sof2 rtcw", ValueRule::WholeNumber, 15, 100},
    // the same for mohaa
    {"cl_maxpackets", "mohaa mohaaspearhead", ValueRule::WholeNumber, 30, 125},
};

// The longest name or value shown in a message.
constexpr std::size_t kShownLength = 60;

bool Lists(const char* games, const std::string& id) {
    std::string words = std::string(" ") + games + " ";
    return words.find(" " + id + " ") != std::string::npos;
}

// The table's row for the key, in any case, and the game; null for none.
const AllowedSetting* FindAllowed(const std::string& gameId, const std::string& key) {
    for (const AllowedSetting& allowed : kAllowed) {
        if (EqualIgnoringCase(key, allowed.key) && Lists(allowed.games, gameId)) {
            return &allowed;
        }
    }
    return nullptr;
}

bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsPlainFolderName(const std::string& folder) {
    bool onlyDots = true;
    for (char c : folder) {
        if (!IsLetterOrDigit(c) && c != '_' && c != '-' && c != '.') {
            return false;
        }
        onlyDots = onlyDots && c == '.';
    }
    return folder.find("..") == std::string::npos && !(onlyDots && !folder.empty());
}

// A host name or numeric address: nothing a console could read as syntax or
// a blank, at which the game would connect to the part before it.
bool IsHostName(const std::string& host) {
    for (char c : host) {
        if (!IsLetterOrDigit(c) && c != '.' && c != '-' && c != '_') {
            return false;
        }
    }
    return true;
}

// The consoles read "+" and line breaks as the start of a new command, ";"
// as the end of one, a quote as the start or end of a token, "//" and "/*"
// as comments, and a backslash as the separator of the settings they send
// to the server; a control byte has no business in a setting.
bool HoldsConsoleSyntax(const std::string& text) {
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || strchr("+;\"\\", c) != nullptr) {
            return true;
        }
    }
    return text.find("//") != std::string::npos || text.find("/*") != std::string::npos;
}

// Every console reads a byte beyond ASCII as a blank: the Quake III engines'
// Cmd_TokenizeString compares a signed char with ' ', and Quake II's
// command line splits at bytes beyond 126.
bool HoldsByteBeyondAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> ValueRefusal(const AllowedSetting& allowed, const std::string& value) {
    const std::string setting = std::string("its setting ") + allowed.key;
    switch (allowed.rule) {
        case ValueRule::Text:
            if (HoldsConsoleSyntax(value)) {
                return "the value of " + setting +
                       " holds + ; \" \\ // /* or a control character, which the game's console does not "
                       "read as plain text";
            }
            if (HoldsByteBeyondAscii(value)) {
                return "the value of " + setting +
                       " holds a character beyond ASCII, which the game's console reads as a blank";
            }
            return std::nullopt;
        case ValueRule::Folder:
            if (IsPlainFolderName(value)) {
                return std::nullopt;
            }
            return setting + " must name a plain folder (letters, digits, _ - and .)";
        case ValueRule::WholeNumber:
            if (IsWholeNumberIn(value, allowed.least, allowed.most)) {
                return std::nullopt;
            }
            return setting + " must be a whole number from " + std::to_string(allowed.least) + " to " +
                   std::to_string(allowed.most);
    }
    return std::nullopt;
}

// The engine copies the first 1023 bytes after the program's name and splits
// them at "+" into at most 32 console lines, the text before the first "+"
// being the first; past the last, the rest stays glued to it, +connect
// included. "set" keeps at most 254 bytes of a value.
std::optional<std::string> Quake3ReaderRefusal(const std::string& id, const LaunchRequest& request) {
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

// The engine splits its command line into words at blanks and at bytes
// beyond 126, ends with a fatal error beyond 49 words (and adds three of its
// own when it finds the game's CD), blanks out words of 128 bytes or more,
// takes a "+set" with exactly the next two words, expands "$name" in every
// command, and ends a command other than "+set", such as "+connect", at "-".
std::optional<std::string> Quake2ReaderRefusal(const std::string& id, const LaunchRequest& request) {
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
                   " ASCII letters, digits and marks other than $, and its setting " + setting.m_strKey +
                   " is not";
        }
    }
    std::string server = request.m_strHost + ":" + request.m_strPort;
    if (!isPlainWord(server) || server.find('-') != std::string::npos) {
        return id + " reads the server address as one word of at most " + std::to_string(kMaxWordBytes) +
               " ASCII letters, digits and marks other than $ and -, and " +
               ShownInMessage(request.m_strHost) + ":" + request.m_strPort + " is not";
    }
    size_t words = 3 * request.m_settings.size() + 2;
    if (words > kMaxWords) {
        return id + " reads at most " + std::to_string(kMaxWords) +
               " words from its command line, three for each setting and two for the connect, and this "
               "link needs " +
               std::to_string(words);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> RequestRefusal(const GameEntry& game, LaunchRequest& request) {
    if (!IsHostName(request.m_strHost)) {
        return "its server address " + ShownInMessage(request.m_strHost) + ":" + request.m_strPort +
               " is not a host name or numeric address (letters, digits, . - and _)";
    }
    for (ServerSetting& setting : request.m_settings) {
        const AllowedSetting* allowed = FindAllowed(game.id, setting.m_strKey);
        if (allowed == nullptr) {
            return "its setting " + ShownInMessage(setting.m_strKey) + " is not one that Vastrel passes to " +
                   game.id + ": it passes only the settings a server list needs, which its README lists";
        }
        setting.m_strKey = allowed->key;
        if (std::optional<std::string> refusal = ValueRefusal(*allowed, setting.m_strValue)) {
            return refusal;
        }
    }
    switch (game.reader) {
        case CommandLineReader::Quake3:
            return Quake3ReaderRefusal(game.id, request);
        case CommandLineReader::Quake2:
            return Quake2ReaderRefusal(game.id, request);
    }
    return std::nullopt;
}

bool IsWholeNumberIn(const std::string& text, long least, long most) {
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        // Stops before a long run of digits could overflow.
        value = value * 10 + (c - '0');
        if (value > most) {
            return false;
        }
    }
    return !text.empty() && value >= least;
}

std::string ShownInMessage(const std::string& text) {
    return text.size() <= kShownLength ? text : text.substr(0, kShownLength) + "...";
}

std::string RefusalMessage(const std::string& reason) {
    return "This link was refused: " + reason + ".\nNothing was started.";
}
