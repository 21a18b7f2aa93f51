// Feeds hostile links to the link parser and hands every request it accepts
// to the game launch, over the recording fake with all five games installed.
// The input's last byte scripts the two starts: bit 0 makes the game's start
// fail, bit 1 the web address's; the bytes before it are the link.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "link/GameLauncher.h"
#include "link/LinkParser.h"
#include "tests/fuzz/Invariant.h"
#include "tests/fuzz/Text.h"
#include "tests/support/FakePlatform.h"

namespace {

struct InstalledGame {
    const char* id;
    const char* keyPath;
    const char* valueName;
    const char* value;
    const char* folder;      // the working directory the game is started in
    const char* executable;  // the first word of its command line
};

const InstalledGame kInstalledGames[] = {
    {"sof1", "HKCU\\Software\\Raven Software\\SoF", "Path", "C:\\Games\\SoF", "C:\\Games\\SoF", "SoF.exe"},
    {"sof2",
     "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Soldier of Fortune II - Double Helix",
     "DisplayIcon", "C:\\Games\\SoF2\\SoF2.exe, 0", "C:\\Games\\SoF2", "SoF2MP.exe"},
    {"mohaa", "HKCU\\Software\\2015\\MOHAA", "basepath", "D:\\MOHAA", "D:\\MOHAA", "mohaa.exe"},
    {"mohaaspearhead", "HKCU\\Software\\EA Games\\MOHAA Spearhead", "basepath", "D:\\Spearhead",
     "D:\\Spearhead", "moh_spearhead.exe"},
    {"rtcw", "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Return to Castle Wolfenstein",
     "DisplayIcon", "E:\\RTCW", "E:\\RTCW", "WolfMP.exe"},
};

const InstalledGame* FindInstalled(const std::string& id) {
    for (const InstalledGame& game : kInstalledGames) {
        if (id == game.id) {
            return &game;
        }
    }
    return nullptr;
}

bool SameRequest(const LaunchRequest& a, const LaunchRequest& b) {
    return a.m_strGameId == b.m_strGameId && a.m_strHost == b.m_strHost && a.m_strPort == b.m_strPort &&
           a.m_settings == b.m_settings && a.m_strEmbedUrl == b.m_strEmbedUrl;
}

// What explorer may be given without being told to open a file, run a
// program or take a second argument: an http or https address of printable
// ASCII without blanks, quotes, commas or the characters a URI never holds.
bool IsHarmlessWebAddress(const std::string& address) {
    std::string scheme;
    for (char c : address.substr(0, 8)) {
        scheme += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    std::size_t schemeLength = StartsWith(scheme, "http://") ? 7 : StartsWith(scheme, "https://") ? 8 : 0;
    if (schemeLength == 0 || address.size() == schemeLength) {
        return false;
    }
    for (char c : address) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || Contains("\",<>\\^`{|}", std::string(1, c))) {
            return false;
        }
    }
    return true;
}

bool IsPlainName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return text;
}

// What an accepted request may hand to the game's console: plain names, and
// pieces without the console's separators, quotes, comments, path
// separators or control bytes; none of the settings that move the game's
// files, load libraries or hold commands.
void CheckRequest(const std::string& link, const LaunchRequest& request) {
    VSL_REQUIRE(!request.m_strGameId.empty());
    VSL_REQUIRE(!request.m_strHost.empty());
    VSL_REQUIRE(!request.m_strPort.empty());
    VSL_REQUIRE(link.size() > 6 && link.compare(6, request.m_strGameId.size(), request.m_strGameId) == 0);
    VSL_REQUIRE(request.m_settings.size() <= CountOf(link, '='));

    std::vector<std::string> pieces = {request.m_strHost, request.m_strPort};
    for (const ServerSetting& setting : request.m_settings) {
        VSL_REQUIRE(IsPlainName(setting.m_strKey));
        std::string name = Lower(setting.m_strKey);
        VSL_REQUIRE(!StartsWith(name, "fs_") || name == "fs_game");
        VSL_REQUIRE(name != "r_gldriver" && name != "activeaction" && !StartsWith(name, "vm_"));
        pieces.push_back(setting.m_strValue);
    }
    for (const std::string& piece : pieces) {
        for (char c : piece) {
            auto byte = static_cast<unsigned char>(c);
            VSL_REQUIRE(byte >= 0x20 && byte != 0x7F && !Contains("+;\"\\\\", std::string(1, c)));
        }
        VSL_REQUIRE(!Contains(piece, "//") && !Contains(piece, "/*"));
    }
    VSL_REQUIRE(request.m_strHost.find(' ') == std::string::npos);
    VSL_REQUIRE(request.m_strPort.find(' ') == std::string::npos);
}

bool IsPlain(const std::string& piece) {
    return piece.find_first_of("/:?=&{}%") == std::string::npos && !Contains(piece, "embed_url");
}

// A request whose pieces hold no delimiter and no escape comes back
// unchanged from the link written in the expected form.
void CheckRoundTrip(FakePlatform& platform, const LaunchRequest& request) {
    bool plain = IsPlain(request.m_strGameId) && IsPlain(request.m_strHost) && IsPlain(request.m_strPort);
    std::string query;
    for (const ServerSetting& setting : request.m_settings) {
        plain = plain && IsPlain(setting.m_strKey) && IsPlain(setting.m_strValue);
        query += (query.empty() ? "" : "&") + setting.m_strKey + "=" + setting.m_strValue;
    }
    if (!plain) {
        return;
    }
    if (!request.m_strEmbedUrl.empty()) {
        query += (query.empty() ? "" : "&") + std::string("embed_url={") + request.m_strEmbedUrl + "}";
    }
    std::string link = "vsl://" + request.m_strGameId + "/" + request.m_strHost + ":" + request.m_strPort;
    if (!query.empty()) {
        link += "?" + query;
    }
    LaunchRequest again = LinkParser(platform, link);
    VSL_REQUIRE(SameRequest(again, request));
}

void CheckLaunch(FakePlatform& platform, const LaunchRequest& request, std::uint8_t script) {
    platform.calls.clear();
    platform.starts.clear();
    int exitCode = -1;
    try {
        GameLauncher(platform, request);
    } catch (const ProcessEnded& ended) {
        exitCode = ended.exitCode;
    }
    VSL_REQUIRE(exitCode == 0 || exitCode == 1);
    VSL_REQUIRE(platform.calls.back() == "EndProcess " + std::to_string(exitCode));
    VSL_REQUIRE(platform.CallsStartingWith("EndProcess").size() == 1);

    const std::string& id = request.m_strGameId;
    const std::vector<FakePlatform::Start>& starts = platform.starts;
    std::vector<std::string> messages = platform.CallsStartingWith("ShowMessageBox ");
    const InstalledGame* game = FindInstalled(id);
    if (game == nullptr) {
        VSL_REQUIRE(exitCode == 1);
        VSL_REQUIRE(platform.calls.size() == 2 && messages.size() == 1);
        VSL_REQUIRE(
            StartsWith(messages[0], "ShowMessageBox Your version of Vastrel does not support " + id + ".\n"));
        return;
    }

    VSL_REQUIRE(platform.CallsStartingWith("OpenKey ").size() == 1);
    VSL_REQUIRE(platform.CallsStartingWith("CloseKey").size() == 1);
    if (starts.empty()) {
        // The game could not read its command line whole: refused.
        VSL_REQUIRE(exitCode == 1 && messages.size() == 1);
        VSL_REQUIRE(StartsWith(messages[0], "ShowMessageBox This link was refused: " + id + " "));
        return;
    }
    VSL_REQUIRE(starts.size() <= 2);

    // The game is started as the file found, in its folder.
    VSL_REQUIRE(starts[0].program == std::string(game->folder) + "\\" + game->executable);
    VSL_REQUIRE(starts[0].folder == game->folder);
    const std::string& command = starts[0].commandLine;
    VSL_REQUIRE(StartsWith(command, std::string(game->executable) + " "));
    VSL_REQUIRE(EndsWith(command, " +connect " + request.m_strHost + ":" + request.m_strPort));
    // One "+" for each setting and one for the connect: nothing else the
    // game could take for a console command of its own.
    std::size_t commands = request.m_settings.size() + 1;
    VSL_REQUIRE(CountOf(command, '+') == commands);
    if (id == "sof1") {
        VSL_REQUIRE(3 * request.m_settings.size() + 2 <= 46);
    } else {
        VSL_REQUIRE(command.size() - strlen(game->executable) - 1 <= 1023 && commands <= 31);
    }

    if ((script & 1) != 0) {
        VSL_REQUIRE(exitCode == 1 && starts.size() == 1);
        VSL_REQUIRE(messages == std::vector<std::string>{"ShowMessageBox Unable to launch " + id +
                                                         ".\nFile not found. 16"});
        return;
    }
    VSL_REQUIRE(messages.empty());

    const std::string& address = request.m_strEmbedUrl;
    bool opened = starts.size() == 2;
    if (opened) {
        VSL_REQUIRE(starts[1].program == platform.WindowsFolder() + "\\explorer.exe");
        VSL_REQUIRE(starts[1].commandLine == "explorer " + address);
        VSL_REQUIRE(IsWebAddress(address) && IsHarmlessWebAddress(address));
    }
    VSL_REQUIRE(opened == (!address.empty() && IsWebAddress(address)));
    bool addressFailed = !address.empty() && (!opened || (script & 2) != 0);
    VSL_REQUIRE(exitCode == (addressFailed ? 1 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    auto script = input.ConsumeIntegral<std::uint8_t>();
    std::string link = input.ConsumeRemainingBytesAsString();

    FakePlatform platform;
    for (const InstalledGame& game : kInstalledGames) {
        platform.SetValue(game.keyPath, game.valueName, std::string(game.value) + '\0');
    }
    platform.startResults = {(script & 1) == 0, (script & 2) == 0};

    std::optional<LaunchRequest> parsed = ParseLink(link);
    LaunchRequest request;
    try {
        request = LinkParser(platform, link);
    } catch (const ProcessEnded& ended) {
        VSL_REQUIRE(ended.exitCode == 1);
        VSL_REQUIRE(platform.calls.size() == 2 && platform.calls[1] == "EndProcess 1");
        const std::string& message = platform.calls[0];
        if (!parsed) {
            VSL_REQUIRE(message == "ShowMessageBox " + std::string(kMalformedLinkMessage) + " 16");
        } else {
            VSL_REQUIRE(StartsWith(message, "ShowMessageBox This link was refused: "));
            VSL_REQUIRE(EndsWith(message, ".\nNothing was started. 16"));
        }
        return 0;
    }
    VSL_REQUIRE(parsed && parsed->m_settings.size() == request.m_settings.size());
    VSL_REQUIRE(platform.calls.empty());
    CheckRequest(link, request);
    CheckRoundTrip(platform, request);
    CheckLaunch(platform, request, script);
    return 0;
}
