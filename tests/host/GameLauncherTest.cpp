#include <gtest/gtest.h>

#include "link/GameLauncher.h"
#include "link/LinkParser.h"
#include "tests/support/FakePlatform.h"

namespace {

std::string Wolf(const std::string& arguments) {
    return "D:\\Wolf\\WolfMP.exe | WolfMP.exe " + arguments + " | D:\\Wolf";
}

std::string Explorer(const std::string& address) {
    return "; C:\\WINDOWS\\explorer.exe | explorer " + address + " | D:\\Wolf";
}

// What a link starts, with rtcw, sof1 and sof2 installed: the game as the
// file found, in its folder, then explorer from the Windows folder with the
// web address; the message shown when something fails, and the exit code.
TEST(GameLauncher, StartsTheGameThenTheWebAddress) {
    const struct {
        std::string link;
        unsigned failingStarts;
        int exitCode;
        std::string starts;  // "; " between them
        std::string message;
    } cases[] = {
        {"vsl://rtcw/10.0.0.1:27960?name=P&embed_url={https://e/}", 0, 0,
         Wolf("+set name P +connect 10.0.0.1:27960") + Explorer("https://e/"), ""},
        {"vsl://rtcw/h:1?name=1&Name=&password=%41%20b", 0, 0,
         Wolf("+set name 1 +set name  +set password A b +connect h:1"), ""},
        {"vsl://sof2/h:1", 0, 0, "MP.exe | MP.exe +connect h:1 | MP.exe",
         ""},  // a path that is its own folder
        {"vsl://mohaa/h:1", 0, 1, "", "Vastrel was unable to detect mohaa on your computer.\n"},
        {"vsl://RTCW/h:1", 0, 1, "",
         "Your version of Vastrel does not support RTCW.\nPlease get a newer version from "
         "https://vastrel.example/download."},
        {"vsl://" + std::string(3000, 'g') + "/h:1?win_wndproc=1", 0, 1, "",
         "Your version of Vastrel does not support " + std::string(60, 'g') +
             "....\nPlease get a newer version from https://vastrel.example/download."},
        {"vsl://rtcw/h:1?embed_url={http://a/}", 1, 1, Wolf("+connect h:1"),
         "Unable to launch rtcw.\nFile not found."},
        {"vsl://rtcw/h:1?embed_url={http://a/}", 2, 1, Wolf("+connect h:1") + Explorer("http://a/"), ""},
        {"vsl://rtcw/h:1?embed_url={}", 0, 0, Wolf("+connect h:1"), ""},
        {"vsl://rtcw/h:1?embed_url={file:///C:/x.exe}", 0, 1, Wolf("+connect h:1"), ""},
    };
    for (const auto& c : cases) {
        FakePlatform platform;
        platform.InstallGame("rtcw", "D:\\Wolf");
        platform.InstallGame("sof1", "C:\\SoF");
        platform.InstallGame("sof2", "abc");
        platform.failingStarts = c.failingStarts;
        EXPECT_EQ(ExitCodeOf([&] { GameLauncher(platform, LinkParser(platform, c.link)); }), c.exitCode)
            << c.link;
        std::string starts;
        for (const std::string& start : platform.starts) {
            starts += (starts.empty() ? "" : "; ") + start;
        }
        EXPECT_EQ(starts, c.starts) << c.link;
        EXPECT_EQ(platform.messages, c.message.empty() ? std::vector<std::string>{} : std::vector{c.message});
        EXPECT_EQ(platform.styles, std::vector<unsigned>(platform.messages.size(), kMbIconHand));
    }
}

// Only an http or https address of the characters a URI holds, less the
// comma, goes to explorer: nothing it would open as a file or program, or
// read as a second argument.
TEST(IsWebAddress, TakesOnlyWebAddresses) {
    for (const char* address : {"http://a", "HTTP://EXAMPLE.ORG", "hTtPs://x.y/p?q=1&r=2#f",
                                "https://[::1]:8080/", "https://u:p@h/~a-b._c!$'()*+;=%20"}) {
        EXPECT_TRUE(IsWebAddress(address)) << address;
    }
    for (const char* address : {"", "http://", "https://", "http:/x", "xhttp://a", "ftp://x", "file:///C:/x",
                                "C:\\Windows\\calc.exe", "\\\\host\\share", "javascript:alert(1)"}) {
        EXPECT_FALSE(IsWebAddress(address)) << address;
    }
    // Separators to explorer, characters a URI does not hold, and a zero
    // byte, which would end explorer's line early.
    for (char c : std::string(",\" \\<>{}|^`\x7F\t\r\n\xE9\0", 17)) {
        EXPECT_FALSE(IsWebAddress(std::string("http://a") + c + "b")) << static_cast<int>(c);
    }
}

}  // namespace
