#include <gtest/gtest.h>

#include "link/GameLauncher.h"
#include "link/LinkParser.h"
#include "tests/support/FakePlatform.h"

namespace {

const char kRtcw[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Return to Castle Wolfenstein";

// Runs the launcher on a link and returns the exit code it ended with.
int Launch(FakePlatform& platform, const std::string& link) {
    std::optional<LaunchRequest> request = ParseLink(link);
    EXPECT_TRUE(request) << link;
    try {
        GameLauncher(platform, *request);
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
              (std::vector<std::string>{"ChangeDirectory C:\\Games\\RTCW",
                                        "StartProgram WolfMP.exe +set name Player +connect 10.0.0.1:27960 0",
                                        "StartProgram explorer https://example.org/ 0", "EndProcess 0"}));
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
        {"vsl://rtcw/my host:1?big name=Big Player",
         "WolfMP.exe +set big name Big Player +connect my host:1"},
        {"vsl://rtcw/h:1?n=%41", "WolfMP.exe +set n %41 +connect h:1"},
    };
    for (const Case& c : cases) {
        FakePlatform platform = WithRtcwAt("D:\\Wolf");
        EXPECT_EQ(Launch(platform, c.link), 0);
        EXPECT_EQ(platform.CallsStartingWith("StartProgram"),
                  (std::vector<std::string>{std::string("StartProgram ") + c.commandLine + " 0"}))
            << c.link;
    }
}

TEST(GameLauncher, PathWithoutBackslashIsBothFolderAndName) {
    FakePlatform platform;
    platform.SetValue(
        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Soldier of Fortune II - "
        "Double Helix",
        "DisplayIcon", std::string("abc") + '\0');
    EXPECT_EQ(Launch(platform, "vsl://sof2/h:1"), 0);
    EXPECT_EQ(AfterRegistry(platform),
              (std::vector<std::string>{"ChangeDirectory MP.exe", "StartProgram MP.exe +connect h:1 0",
                                        "EndProcess 0"}));
}

TEST(GameLauncher, ReportsGamesItCannotStart) {
    struct Case {
        const char* link;
        bool installed;
        unsigned startResult;
        const char* message;
    };
    const Case cases[] = {
        {"vsl://rtcw/h:1?embed_url={http://a/}", false, 33,
         "Vastrel was unable to detect rtcw on your computer.\n"},
        {"vsl://quake/h:1", true, 33,
         "Your version of Vastrel does not support quake.\nPlease get a newer version from "
         "https://vastrel.example/download."},
        {"vsl://RTCW/h:1", true, 33,
         "Your version of Vastrel does not support RTCW.\nPlease get a newer version from "
         "https://vastrel.example/download."},
        {"vsl://rtcw/h:1?embed_url={http://a/}", true, 2, "Unable to launch rtcw.\nFile not found."},
        {"vsl://rtcw/h:1", true, 0, "Unable to launch rtcw.\nFile not found."},
        {"vsl://rtcw/h:1", true, 31, "Unable to launch rtcw.\nFile not found."},
    };
    for (const Case& c : cases) {
        FakePlatform platform = c.installed ? WithRtcwAt("D:\\Wolf") : FakePlatform();
        platform.startResults = {c.startResult};
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
        std::deque<unsigned> startResults;
        bool explorerStarted;
        int exitCode;
    };
    const Case cases[] = {
        {"vsl://rtcw/h:1?embed_url={http://example.org/a?b=c&d=e}", {33, 33}, true, 0},
        {"vsl://rtcw/h:1?embed_url={http://example.org/}", {33, 2}, true, 1},
        {"vsl://rtcw/h:1?embed_url={}", {33}, false, 0},
        {"vsl://rtcw/h:1?embed_url={C:\\Windows\\System32\\calc.exe}", {33, 33}, false, 1},
        {"vsl://rtcw/h:1?embed_url={\\\\evil\\share\\x.exe}", {33, 33}, false, 1},
        {"vsl://rtcw/h:1?embed_url={file:///C:/x.exe}", {33, 33}, false, 1},
    };
    for (const Case& c : cases) {
        FakePlatform platform = WithRtcwAt("D:\\Wolf");
        platform.startResults = c.startResults;
        EXPECT_EQ(Launch(platform, c.link), c.exitCode) << c.link;
        std::vector<std::string> starts = platform.CallsStartingWith("StartProgram");
        ASSERT_EQ(starts.size(), c.explorerStarted ? 2u : 1u) << c.link;
        EXPECT_EQ(starts[0].rfind("StartProgram WolfMP.exe", 0), 0u) << c.link;
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

}  // namespace
