#include "link/SettingRules.h"

#include <cstring>
#include <initializer_list>

namespace {

// Settings that would let a web page take the game over, by family. A name
// that ends in "*" stands for every name that begins with the rest. The
// engines of sof2, mohaa, mohaaspearhead and rtcw compare setting names
// without regard to case, so these do too; sof1's compares them exactly,
// for which refusing more is only safer. A setting that a game does not
// know refuses nothing it needs.
struct RefusedFamily {
    std::initializer_list<const char*> names;
    const char* reason = nullptr;
};

const RefusedFamily kRefusedFamilies[] = {
    // The folders of the engines' file systems, from which they also load
    // their game libraries; sof1 names them basedir and cddir, and mohaa
    // chooses its base game and the configuration it runs with com_* and
    // config. (A mod folder is allowed apart, below.)
    {{"fs_*", "basedir", "cddir", "gamedir", "user", "com_basegame", "com_homepath", "com_target*",
      "com_standalone", "config"},
     "changes where the game loads its code and data from"},
    // Handed to LoadLibrary as they stand (r_glDriver, gl_driver), or choose
    // the library the engine loads (vid_ref, vm_*, the renderer and sound
    // drivers), or silence the engine's warning about an unknown library.
    {{"r_glDriver", "gl_driver", "vid_ref", "vm_*", "com_blindlyLoadDLLs", "cl_renderer", "sys_curllib",
      "cl_cURLLib", "s_alDriver", "s_openaldriver", "s_useOpenAL", "s_milesdriver"},
     "makes the game load a library or driver"},
    // A server may then push files, and rtcw and sof2 load game libraries
    // out of downloaded archives; rtcw's updates end by starting the
    // downloaded program; the anti-cheat add-on loads and updates libraries
    // of its own.
    {{"cl_allowDownload", "cl_wwwDownload", "allow_download*", "cl_autoupdate", "cl_update*", "com_update*",
      "cl_punkbuster", "pb_*"},
     "lets the game download, update or run files"},
    // activeAction runs once the game has connected, nextmap, nextdemo and
    // sof1's nextserver when a map, demo or film ends; journal replays
    // recorded console input.
    {{"activeAction", "nextmap", "nextdemo", "nextserver", "journal"},
     "holds console commands that the game runs later"},
    {{"logfile*", "log_stats", "g_log*", "cl_avidemo", "cl_forceavidemo", "cl_wavefilerecord",
      "cl_autoRecordDemo", "cl_timedemoLog", "com_pipefile"},
     "makes the game write files"},
    // A proxy for all of the game's traffic, or the address it listens on.
    {{"net_*", "ip", "port", "hostport", "clientport", "ip_*", "ipx_*", "noudp", "noipx"},
     "changes how the game reaches the network"},
    // The server's own settings (its map list, downloads, ban file, ...) and
    // its remote console; a game that joins a server never needs them.
    {{"sv_*", "rcon*", "dedicated"}, "belongs to running a server"},
};

// The mod folder, which a link may choose as a plain folder name beside the
// game's own.
const char* const kModFolderSettings[] = {"fs_game", "game"};

// The longest name or value shown in a message.
constexpr std::size_t kShownLength = 60;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether name is the pattern's name, or begins with it when the pattern
// ends in "*"; letters match in either case.
bool Matches(const std::string& name, const char* pattern) {
    std::size_t length = strlen(pattern);
    bool prefix = length > 0 && pattern[length - 1] == '*';
    std::size_t compared = prefix ? length - 1 : length;
    if (prefix ? name.size() < compared : name.size() != compared) {
        return false;
    }
    for (std::size_t i = 0; i < compared; i++) {
        if (Lower(name[i]) != Lower(pattern[i])) {
            return false;
        }
    }
    return true;
}

bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Variable names of the engines' consoles: letters, digits and "_".
bool IsPlainName(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    for (char c : name) {
        if (!IsLetterOrDigit(c) && c != '_') {
            return false;
        }
    }
    return true;
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

}  // namespace

std::optional<std::string> SettingRefusal(const ServerSetting& setting) {
    const std::string& name = setting.m_strKey;
    if (!IsPlainName(name)) {
        return "\"" + ShownInMessage(name) + "\" is not the name of a setting (letters, digits and _)";
    }
    for (const char* modFolder : kModFolderSettings) {
        if (Matches(name, modFolder)) {
            if (IsPlainFolderName(setting.m_strValue)) {
                return std::nullopt;
            }
            return "its setting " + ShownInMessage(name) +
                   " must name a plain folder (letters, digits, _ - and .)";
        }
    }
    for (const RefusedFamily& family : kRefusedFamilies) {
        for (const char* pattern : family.names) {
            if (Matches(name, pattern)) {
                return "its setting " + ShownInMessage(name) + " " + family.reason;
            }
        }
    }
    if (HoldsConsoleSyntax(setting.m_strValue)) {
        return "the value of its setting " + ShownInMessage(name) +
               " holds + ; \" \\ // /* or a control character, which the game's console does not read as "
               "plain "
               "text";
    }
    return std::nullopt;
}

std::optional<std::string> ServerRefusal(const std::string& host, const std::string& port) {
    // A blank would split the address, and the game would connect to the
    // part before it.
    for (const std::string* part : {&host, &port}) {
        if (HoldsConsoleSyntax(*part) || part->find(' ') != std::string::npos) {
            return "its server address " + ShownInMessage(host) + ":" + ShownInMessage(port) +
                   " holds a blank, + ; \" \\ // /* or a control character";
        }
    }
    return std::nullopt;
}

std::string ShownInMessage(const std::string& text) {
    return text.size() <= kShownLength ? text : text.substr(0, kShownLength) + "...";
}

std::string RefusalMessage(const std::string& reason) {
    return "This link was refused: " + reason + ".\nNothing was started.";
}
