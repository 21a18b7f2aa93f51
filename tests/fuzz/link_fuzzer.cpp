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

constexpr unsigned kStarted = 42;
constexpr unsigned kNotStarted = 2;

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

// Every piece of an accepted request stands in the link as it was written.
void CheckRequest(const std::string& link, const LaunchRequest& request) {
    VSL_REQUIRE(!request.m_strGameId.empty());
    VSL_REQUIRE(!request.m_strHost.empty());
    VSL_REQUIRE(!request.m_strPort.empty());
    VSL_REQUIRE(link.size() > 6 && link.compare(6, request.m_strGameId.size(), request.m_strGameId) == 0);
    VSL_REQUIRE(Contains(link, request.m_strHost));
    VSL_REQUIRE(Contains(link, request.m_strPort));
    VSL_REQUIRE(request.m_settings.size() <= CountOf(link, '='));

    // A piece that reaches the game's command line never carries a console
    // command of its own.
    // Cutting the embedded address out joins the text on either side of it,
    // so only without one does every pair stand in the link as it is.
    bool joined = Contains(link, "embed_url={");
    std::vector<std::string> pieces = {request.m_strHost, request.m_strPort};
    for (const ServerSetting& setting : request.m_settings) {
        VSL_REQUIRE(joined || Contains(link, setting.m_strKey + "=" + setting.m_strValue));
        pieces.push_back(setting.m_strKey);
        pieces.push_back(setting.m_strValue);
    }
    for (const std::string& piece : pieces) {
        VSL_REQUIRE(piece.find_first_of("+;\r\n") == std::string::npos);
    }

    const std::string& address = request.m_strEmbedUrl;
    VSL_REQUIRE(address.find('}') == std::string::npos);
    VSL_REQUIRE(address.empty() || (Contains(link, "embed_url={") && Contains(link, "{" + address + "}")));
}

bool IsPlain(const std::string& piece) {
    return piece.find_first_of("/:?=&{}") == std::string::npos && !Contains(piece, "embed_url");
}

// A request whose pieces hold no delimiter comes back unchanged from the link
// written in the expected form.
void CheckRoundTrip(const LaunchRequest& request) {
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
    std::optional<LaunchRequest> again = ParseLink(link);
    VSL_REQUIRE(again && SameRequest(*again, request));
}

std::size_t IndexOfFirst(const std::vector<std::string>& calls, const std::string& prefix) {
    for (std::size_t i = 0; i < calls.size(); i++) {
        if (StartsWith(calls[i], prefix)) {
            return i;
        }
    }
    return calls.size();
}

// The command line of a recorded start, which must be hidden.
std::string StartedCommand(const std::string& call) {
    VSL_REQUIRE(EndsWith(call, " 0"));
    return call.substr(strlen("StartProgram "), call.size() - strlen("StartProgram ") - 2);
}

void CheckLaunch(FakePlatform& platform, const LaunchRequest& request, std::uint8_t script) {
    platform.calls.clear();
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
    std::vector<std::string> starts = platform.CallsStartingWith("StartProgram ");
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
    VSL_REQUIRE(platform.CallsStartingWith("ChangeDirectory ") ==
                std::vector<std::string>{"ChangeDirectory " + std::string(game->folder)});
    VSL_REQUIRE(IndexOfFirst(platform.calls, "ChangeDirectory ") <
                IndexOfFirst(platform.calls, "StartProgram "));
    VSL_REQUIRE(!starts.empty() && starts.size() <= 2);

    std::string command = StartedCommand(starts[0]);
    VSL_REQUIRE(StartsWith(command, std::string(game->executable) + " "));
    VSL_REQUIRE(EndsWith(command, " +connect " + request.m_strHost + ":" + request.m_strPort));
    // One "+" for each setting and one for the connect: nothing else the
    // game could take for a console command of its own.
    VSL_REQUIRE(CountOf(command, '+') == request.m_settings.size() + 1);

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
        VSL_REQUIRE(StartedCommand(starts[1]) == "explorer " + address);
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
    platform.startResults = {(script & 1) != 0 ? kNotStarted : kStarted,
                             (script & 2) != 0 ? kNotStarted : kStarted};

    std::optional<LaunchRequest> parsed = ParseLink(link);
    LaunchRequest request;
    try {
        request = LinkParser(platform, link);
    } catch (const ProcessEnded& ended) {
        VSL_REQUIRE(!parsed);
        VSL_REQUIRE(ended.exitCode == 1);
        VSL_REQUIRE(platform.calls ==
                    (std::vector<std::string>{"ShowMessageBox " + std::string(kMalformedLinkMessage) + " 16",
                                              "EndProcess 1"}));
        return 0;
    }
    VSL_REQUIRE(parsed && SameRequest(*parsed, request));
    VSL_REQUIRE(platform.calls.empty());
    CheckRequest(link, request);
    CheckRoundTrip(request);
    CheckLaunch(platform, request, script);
    return 0;
}
