#include <gtest/gtest.h>

#include "link/GameLauncher.h"
#include "link/LinkParser.h"
#include "tests/support/FakePlatform.h"

namespace {

const char kRtcw[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Return to Castle Wolfenstein";

// Runs the launcher on a link and returns the exit code it ended with.
int Launch(FakePlatform& platform, const std::string& link) {
    try {
        GameLauncher(platform, LinkParser(platform, link));
    } catch (const ProcessEnded& ended) {
        return ended.exitCode;
    }
    ADD_FAILURE() << "GameLauncher returned";
    return -1;
}

FakePlatform WithRtcwAt(const std::string& folder) {
    FakePlatform platform;
    platform.SetValue(kRtcw, "DisplayIcon", folder + '\0');
    return platform;
}

std::vector<std::string> AfterRegistry(const FakePlatform& platform) {
    std::vector<std::string> rest;
    for (const std::string& call : platform.calls) {
        if (call.rfind("OpenKey", 0) != 0 && call.rfind("QueryValue", 0) != 0 && call != "CloseKey") {
            rest.push_back(call);
        }
    }
    return rest;
}

TEST(GameLauncher, StartsTheGameInItsFolderThenTheWebAddress) {
    FakePlatform platform = WithRtcwAt("C:\\Games\\RTCW");
    EXPECT_EQ(Launch(platform, "vsl://rtcw/10.0.0.1:27960?name=Player&embed_url={https://example.org/}"), 0);
    EXPECT_EQ(AfterRegistry(platform),
              (std::vector<std::string>{
                  "StartProgram C:\\Games\\RTCW\\WolfMP.exe | WolfMP.exe +set name Player +connect "
                  "10.0.0.1:27960 | "
                  "C:\\Games\\RTCW",
                  "StartProgram C:\\WINDOWS\\explorer.exe | explorer https://example.org/ | C:\\Games\\RTCW",
                  "EndProcess 0"}));
    EXPECT_EQ(platform.calls.front().rfind("OpenKey HKLM", 0), 0u);
}

TEST(GameLauncher, ComposesTheCommandLinePieceByPiece) {
    struct Case {
        const char* link;
        const char* commandLine;
    };
    const Case cases[] = {
        {"vsl://rtcw/10.0.0.1:20100", "WolfMP.exe +connect 10.0.0.1:20100"},
        {"vsl://rtcw/10.0.0.1:20100?a=1&b=2", "WolfMP.exe +set a 1 +set b 2 +connect 10.0.0.1:20100"},
        {"vsl://rtcw/h:1?a=", "WolfMP.exe +set a  +connect h:1"},
        {"vsl://rtcw/h:1?a=1&a=2", "WolfMP.exe +set a 1 +set a 2 +connect h:1"},
        {"vsl://rtcw/h:1?name=Big Player", "WolfMP.exe +set name Big Player +connect h:1"},
        {"vsl://rtcw/h:1?n=%41%20b", "WolfMP.exe +set n A b +connect h:1"},
    };
    for (const Case& c : cases) {
        FakePlatform platform = WithRtcwAt("D:\\Wolf");
        EXPECT_EQ(Launch(platform, c.link), 0);
        EXPECT_EQ(platform.CallsStartingWith("StartProgram"),
                  (std::vector<std::string>{std::string("StartProgram D:\\Wolf\\WolfMP.exe | ") +
                                            c.commandLine + " | D:\\Wolf"}))
            << c.link;
    }
}

TEST(GameLauncher, PathWithoutBackslashIsBothFolderAndFile) {
    FakePlatform platform;
    platform.SetValue(
        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Soldier of Fortune II - "
        "Double Helix",
        "DisplayIcon", std::string("abc") + '\0');
    EXPECT_EQ(Launch(platform, "vsl://sof2/h:1"), 0);
    EXPECT_EQ(
        AfterRegistry(platform),
        (std::vector<std::string>{"StartProgram MP.exe | MP.exe +connect h:1 | MP.exe", "EndProcess 0"}));
}

TEST(GameLauncher, ReportsGamesItCannotStart) {
    struct Case {
        const char* link;
        bool installed;
        bool started;
        const char* message;
    };
    const Case cases[] = {
        {"vsl://rtcw/h:1?embed_url={http://a/}", false, true,
         "Vastrel was unable to detect rtcw on your computer.\n"},
        {"vsl://quake/h:1", true, true,
         "Your version of Vastrel does not support quake.\nPlease get a newer version from "
         "https://vastrel.example/download."},
        {"vsl://RTCW/h:1", true, true,
         "Your version of Vastrel does not support RTCW.\nPlease get a newer version from "
         "https://vastrel.example/download."},
        {"vsl://rtcw/h:1?embed_url={http://a/}", true, false, "Unable to launch rtcw.\nFile not found."},
    };
    for (const Case& c : cases) {
        FakePlatform platform = c.installed ? WithRtcwAt("D:\\Wolf") : FakePlatform();
        platform.startResults = {c.started};
        EXPECT_EQ(Launch(platform, c.link), 1) << c.link;
        std::vector<std::string> tail(platform.calls.end() - 2, platform.calls.end());
        EXPECT_EQ(tail, (std::vector<std::string>{std::string("ShowMessageBox ") + c.message + " 16",
                                                  "EndProcess 1"}))
            << c.link;
        // Explorer never follows a game that did not start.
        for (const std::string& start : platform.CallsStartingWith("StartProgram")) {
            EXPECT_EQ(start.find("explorer"), std::string::npos) << c.link;
        }
    }
}

TEST(GameLauncher, WebAddressOutcomes) {
    struct Case {
        const char* link;
        std::deque<bool> startResults;
        bool explorerStarted;
        int exitCode;
    };
    const Case cases[] = {
        {"vsl://rtcw/h:1?embed_url={http://example.org/a?b=c&d=e}", {true, true}, true, 0},
        {"vsl://rtcw/h:1?embed_url={http://example.org/}", {true, false}, true, 1},
        {"vsl://rtcw/h:1?embed_url={}", {true}, false, 0},
        {"vsl://rtcw/h:1?embed_url={C:\\Windows\\System32\\calc.exe}", {true, true}, false, 1},
        {"vsl://rtcw/h:1?embed_url={\\\\evil\\share\\x.exe}", {true, true}, false, 1},
        {"vsl://rtcw/h:1?embed_url={file:///C:/x.exe}", {true, true}, false, 1},
    };
    for (const Case& c : cases) {
        FakePlatform platform = WithRtcwAt("D:\\Wolf");
        platform.startResults = c.startResults;
        EXPECT_EQ(Launch(platform, c.link), c.exitCode) << c.link;
        std::vector<std::string> starts = platform.CallsStartingWith("StartProgram");
        ASSERT_EQ(starts.size(), c.explorerStarted ? 2u : 1u) << c.link;
        EXPECT_EQ(starts[0].rfind("StartProgram D:\\Wolf\\WolfMP.exe |", 0), 0u) << c.link;
        EXPECT_TRUE(platform.CallsStartingWith("ShowMessageBox").empty()) << c.link;
    }
}

TEST(GameLauncher, OnlyWebAddressesGoToExplorer) {
    const char* const accepted[] = {
        "http://a",
        "https://example.org/",
        "HTTP://EXAMPLE.ORG",
        "hTtPs://x.y/p?q=1&r=2#f",
        "https://[::1]:8080/",
        "https://u:p@h/~a-b._c!$'()*+;=%20",
    };
    const char* const refused[] = {
        "",
        "http://",
        "https://",
        "http:/x",
        "ftp://x",
        "file:///C:/x",
        "C:\\Windows\\calc.exe",
        "\\\\host\\share",
        "javascript:alert(1)",
        "http://a b",
        "http://a\"b",
        "http://a,b",
        "http://a\tb",
        "http://a\\b",
        "http://a<b>",
        "http://a{b",
        "http://a|b",
        "http://a^b",
        "http://a`b",
        "http://\xe9",
        "xhttp://a",
    };
    for (const char* address : accepted) {
        EXPECT_TRUE(IsWebAddress(address)) << address;
    }
    for (const char* address : refused) {
        EXPECT_FALSE(IsWebAddress(address)) << address;
    }
}

TEST(GameLauncher, AddressWithControlBytesIsRefused) {
    // A zero byte would end the command line that explorer receives early.
    const std::string refused[] = {
        std::string("http://a\0 C:\\x.exe", 18),
        std::string("http://a\0", 9),
        "http://a\r\nb",
        "http://a\x7f",
        "http://a\x01",
    };
    for (const std::string& address : refused) {
        EXPECT_FALSE(IsWebAddress(address)) << address.size() << " bytes";
    }
}

// A request for the game with the given settings, all named "k", and the
// server h:1.
LaunchRequest RequestFor(const std::string& gameId, const std::vector<std::string>& values,
                         const std::string& host = "h") {
    LaunchRequest request;
    request.m_strGameId = gameId;
    request.m_strHost = host;
    request.m_strPort = "1";
    for (const std::string& value : values) {
        request.m_settings.push_back(ServerSetting{"k", value});
    }
    return request;
}

// Settings whose command line after the executable's name is exactly this
// long: " +set k " and a value each, then " +connect h:1".
std::vector<std::string> ValuesForLength(size_t length) {
    constexpr size_t kConnect = 12;  // "+connect h:1" without its leading blank
    constexpr size_t kPerSetting = 8;
    std::vector<std::string> values;
    size_t left = length - kConnect;
    while (left > 0) {
        size_t value = std::min<size_t>(left - kPerSetting, 200);
        values.push_back(std::string(value, 'v'));
        left -= kPerSetting + value;
    }
    return values;
}

TEST(GameLauncher, RefusesCommandLinesTheGameCannotReadWhole) {
    struct Case {
        const char* gameId;
        std::vector<std::string> values;
        std::string host;
        bool refused;
    };
    const std::vector<std::string> thirty(30, "1");
    const std::vector<std::string> thirtyOne(31, "1");
    const Case cases[] = {
        // The Quake III engines: 1023 bytes after the name, 31 commands, 254
        // bytes of a value.
        {"rtcw", thirty, "h", false},
        {"rtcw", thirtyOne, "h", true},
        {"sof2", thirtyOne, "h", true},
        {"mohaa", thirtyOne, "h", true},
        {"mohaaspearhead", thirtyOne, "h", true},
        {"rtcw", {std::string(254, 'v')}, "h", false},
        {"rtcw", {std::string(255, 'v')}, "h", true},
        {"rtcw", ValuesForLength(1023), "h", false},
        {"rtcw", ValuesForLength(1024), "h", true},
        {"mohaa", ValuesForLength(1024), "h", true},
        {"rtcw", {"Big Joe", "J\xF6rg", "$x", ""}, "my-host", false},
        // sof1's Quake II engine: words at blanks and beyond ASCII, at most
        // 46 of them and 127 bytes each, "$" expanded, "-" ending +connect.
        {"sof1", std::vector<std::string>(14, "1"), "h", false},
        {"sof1", std::vector<std::string>(15, "1"), "h", true},
        {"sof1", {std::string(127, 'v')}, "h", false},
        {"sof1", {std::string(128, 'v')}, "h", true},
        {"sof1", {"Big Joe"}, "h", true},
        {"sof1", {"J\xF6rg"}, "h", true},
        {"sof1", {"$rcon_password"}, "h", true},
        {"sof1", {""}, "h", true},
        {"sof1", {"a-b/c*d=e"}, "10.0.0.1", false},
        {"sof1", {}, "my-host", true},
        {"sof1", {}, std::string(126, 'h'), true},
    };
    for (const Case& c : cases) {
        LaunchRequest request = RequestFor(c.gameId, c.values, c.host);
        std::optional<std::string> refusal = CommandLineRefusal(*FindGame(c.gameId), request);
        EXPECT_EQ(refusal.has_value(), c.refused)
            << c.gameId << " with " << c.values.size() << " settings: " << refusal.value_or("accepted");
    }
}

TEST(GameLauncher, CommandLineThatCannotBeReadStartsNothing) {
    FakePlatform platform = WithRtcwAt("D:\\Wolf");
    std::string link = "vsl://rtcw/h:1?name=" + std::string(255, 'x') + "&embed_url={http://a/}";
    EXPECT_EQ(Launch(platform, link), 1);
    EXPECT_TRUE(platform.CallsStartingWith("StartProgram").empty());
    EXPECT_EQ(platform.CallsStartingWith("ShowMessageBox"),
              (std::vector<std::string>{
                  "ShowMessageBox This link was refused: rtcw keeps at most 254 characters of "
                  "a setting, and its setting name has 255.\nNothing was started. 16"}));
}

}  // namespace
