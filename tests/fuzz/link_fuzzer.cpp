// Feeds hostile links to the link parser and hands every request it accepts
// to the game launch, over the fake with all five games installed. The
// input's last byte scripts the two starts: bit 0 makes the game's start
// fail, bit 1 the web address's; the bytes before it are the link.

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "link/GameLauncher.h"
#include "link/LinkParser.h"
#include "tests/fuzz/Invariant.h"
#include "tests/support/FakePlatform.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// Plain names and no refused setting; in no piece the consoles' separators,
// quotes, comments or control bytes, and no blank in the server address.
void CheckRequest(const LaunchRequest& request) {
    VSL_REQUIRE(!request.m_strGameId.empty() && !request.m_strHost.empty() && !request.m_strPort.empty());
    VSL_REQUIRE(!Contains(request.m_strHost + request.m_strPort, " "));
    std::vector<std::string> pieces = {request.m_strHost, request.m_strPort};
    for (const ServerSetting& setting : request.m_settings) {
        std::string name = Lower(setting.m_strKey);
        VSL_REQUIRE(!name.empty() &&
                    name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_") == name.npos);
        VSL_REQUIRE((!StartsWith(name, "fs_") || name == "fs_game") && !StartsWith(name, "vm_"));
        VSL_REQUIRE(name != "r_gldriver" && name != "activeaction" && name != "basedir");
        pieces.push_back(setting.m_strValue);
    }
    for (const std::string& piece : pieces) {
        VSL_REQUIRE(!Contains(piece, "//") && !Contains(piece, "/*"));
        for (char c : piece) {
            VSL_REQUIRE(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F && !Contains("+;\"\\", {c}));
        }
    }
}

// The game starts as the file found, in its folder, with a command line of
// its name, one +set a setting and the +connect, no longer than it reads;
// explorer, the Windows folder's, gets only a web address; the run ends with
// exit code 0 or 1, and with a message when the game did not start.
void CheckLaunch(FakePlatform& platform, const LaunchRequest& request, std::uint8_t script) {
    const std::string& id = request.m_strGameId;
    const std::string path = FindGameExecutable(platform, id);
    int exitCode = ExitCodeOf([&] { GameLauncher(platform, request); });
    const std::vector<std::string>& starts = platform.starts;
    VSL_REQUIRE(exitCode == 0 || exitCode == 1);
    if (starts.empty()) {
        // Unknown, or refused because it cannot read its command line whole.
        VSL_REQUIRE(exitCode == 1 && platform.messages.size() == 1);
        VSL_REQUIRE(StartsWith(platform.messages[0],
                               path == kUnknownGame ? "Your version of Vastrel does not support " + id + ".\n"
                                                    : "This link was refused: " + id + " "));
        return;
    }
    const std::string folder = path.substr(0, path.rfind('\\'));
    const std::string name = path.substr(folder.size() + 1);
    const std::string prefix = path + " | " + name + " ", suffix = " | " + folder;
    const std::string& start = starts[0];
    VSL_REQUIRE(StartsWith(start, prefix) && EndsWith(start, suffix));
    std::string command = start.substr(prefix.size() - 1, start.size() - prefix.size() - suffix.size() + 1);
    VSL_REQUIRE(EndsWith(command, " +connect " + request.m_strHost + ":" + request.m_strPort));
    VSL_REQUIRE(static_cast<size_t>(std::count(command.begin(), command.end(), '+')) ==
                request.m_settings.size() + 1);
    VSL_REQUIRE(id == "sof1" ? request.m_settings.size() <= 14
                             : command.size() - 1 <= 1023 && request.m_settings.size() <= 30);
    if ((script & 1) != 0) {
        VSL_REQUIRE(exitCode == 1 && starts.size() == 1);
        VSL_REQUIRE(platform.messages ==
                    std::vector<std::string>{"Unable to launch " + id + ".\nFile not found."});
        return;
    }
    VSL_REQUIRE(platform.messages.empty());
    const std::string& address = request.m_strEmbedUrl;
    VSL_REQUIRE((starts.size() == 2) == (!address.empty() && IsWebAddress(address)));
    if (starts.size() == 2) {
        VSL_REQUIRE(starts[1] == "C:\\WINDOWS\\explorer.exe | explorer " + address + suffix);
        VSL_REQUIRE(StartsWith(Lower(address), "http://") || StartsWith(Lower(address), "https://"));
        for (char c : address) {
            VSL_REQUIRE(c > 0x20 && c < 0x7F && !Contains("\",<>\\^`{|}", {c}));
        }
    }
    VSL_REQUIRE(exitCode == (!address.empty() && (starts.size() < 2 || (script & 2) != 0) ? 1 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    auto script = input.ConsumeIntegral<std::uint8_t>();
    std::string link = input.ConsumeRemainingBytesAsString();

    FakePlatform platform;
    platform.InstallGame("sof1", "C:\\Games\\SoF");
    platform.InstallGame("sof2", "C:\\Games\\SoF2\\SoF2.exe, 0");
    platform.InstallGame("mohaa", "D:\\MOHAA");
    platform.InstallGame("mohaaspearhead", "D:\\Spearhead");
    platform.InstallGame("rtcw", "E:\\RTCW");
    platform.failingStarts = script & 3;

    LaunchRequest request;
    int exitCode = ExitCodeOf([&] { request = LinkParser(platform, link); });
    if (exitCode != -1) {
        // Refused: one message, malformed or naming why, and nothing else.
        VSL_REQUIRE(exitCode == 1 && platform.messages.size() == 1 && platform.starts.empty());
        const std::string& message = platform.messages[0];
        VSL_REQUIRE(ParseLink(link) ? StartsWith(message, "This link was refused: ") &&
                                          EndsWith(message, ".\nNothing was started.")
                                    : message == kMalformedLinkMessage);
        return 0;
    }
    VSL_REQUIRE(platform.messages.empty() && ParseLink(link));
    CheckRequest(request);
    CheckLaunch(platform, request, script);
    return 0;
}
