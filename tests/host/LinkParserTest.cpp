#include <gtest/gtest.h>

#include "link/LinkParser.h"
#include "tests/support/FakePlatform.h"

namespace {

using Settings = std::vector<ServerSetting>;

struct Parsed {
    const char* link;
    const char* gameId;
    const char* host;
    const char* port;
    Settings settings;
    const char* embedUrl;
};

TEST(LinkParser, SplitsWellFormedLinks) {
    const Parsed cases[] = {
        {"vsl://sof2/10.0.0.1:20100?a=1&b=2", "sof2", "10.0.0.1", "20100", {{"a", "1"}, {"b", "2"}}, ""},
        {"vsl://rtcw/10.0.0.1:27960?name=Player&embed_url={https://example.org/}",
         "rtcw",
         "10.0.0.1",
         "27960",
         {{"name", "Player"}},
         "https://example.org/"},
        {"vsl://sof2/10.0.0.1:20100", "sof2", "10.0.0.1", "20100", {}, ""},
        {"vsl://sof2/10.0.0.1:20100?", "sof2", "10.0.0.1", "20100", {}, ""},
        // Missing delimiters: the same text is cut again by the next step.
        {"vsl://sof2/myhost?a=1", "sof2", "myhost?a=1", "myhost", {{"a", "1"}}, ""},
        {"vsl://myhost:20100?a=1", "myhost:20100?a=1", "myhost", "20100", {{"a", "1"}}, ""},
        {"vsl://sof2", "sof2", "sof2", "sof2", {}, ""},
        {"vsl://sof2/h:1=2", "sof2", "h", "1=2", {{"1", "2"}}, ""},
        // Any six characters serve as the prefix.
        {"xxxxxxsof2/h:1", "sof2", "h", "1", {}, ""},
        {"vsl://x/h:1?a=1&a=2", "x", "h", "1", {{"a", "1"}, {"a", "2"}}, ""},
        {"vsl://x/h:1?a=&b=2", "x", "h", "1", {{"a", ""}, {"b", "2"}}, ""},
        {"vsl://x/h:1?=5", "x", "h", "1", {{"", "5"}}, ""},
        {"vsl://x/h:1?a=x=y", "x", "h", "1", {{"a", "x=y"}}, ""},
        {"vsl://x/h:1?a=1&junk", "x", "h", "1", {{"a", "1"}}, ""},
        {"vsl://x/h:1?junk", "x", "h", "1", {}, ""},
        {"vsl://x/h:1?a=1&", "x", "h", "1", {{"a", "1"}}, ""},
        // The embedded address, wherever it stands among the pairs.
        {"vsl://x/h:1?a=1&embed_url={abc}", "x", "h", "1", {{"a", "1"}}, "abc"},
        {"vsl://x/h:1?a=1&embed_url={abc}&b=2", "x", "h", "1", {{"a", "1"}, {"b", "2"}}, "abc"},
        {"vsl://x/h:1?embed_url={abc}", "x", "h", "1", {}, "abc"},
        {"vsl://x/h:1?embed_url={abc}&b=2", "x", "h", "1", {{"b", "2"}}, "abc"},
        {"vsl://x/h:1?embed_url={abc}b=2", "x", "h", "1", {{"b", "2"}}, "abc"},
        {"vsl://x/h:1?embed_url={}", "x", "h", "1", {}, ""},
        {"vsl://x/h:1?embed_url={a{b}", "x", "h", "1", {}, "a{b"},
        {"vsl://x/h:1?Embed_url={abc}", "x", "h", "1", {{"Embed_url", "{abc}"}}, ""},
        // Nothing is decoded, trimmed or unquoted; blanks pass.
        {"vsl://x/h:1?n=%20a&m=\"q\"&embed_url={a%20b}",
         "x",
         "h",
         "1",
         {{"n", "%20a"}, {"m", "\"q\""}},
         "a%20b"},
        {"vsl://x/ h :1?name=Big Player", "x", " h ", "1", {{"name", "Big Player"}}, ""},
        // The address is not a setting, so its "+" and ";" are no concern here.
        {"vsl://x/h:1?embed_url={http://a/?q=1+2;3}", "x", "h", "1", {}, "http://a/?q=1+2;3"},
    };
    for (const Parsed& c : cases) {
        std::optional<LaunchRequest> request = ParseLink(c.link);
        ASSERT_TRUE(request) << c.link;
        EXPECT_EQ(request->m_strGameId, c.gameId) << c.link;
        EXPECT_EQ(request->m_strHost, c.host) << c.link;
        EXPECT_EQ(request->m_strPort, c.port) << c.link;
        EXPECT_EQ(request->m_settings, c.settings) << c.link;
        EXPECT_EQ(request->m_strEmbedUrl, c.embedUrl) << c.link;
    }
}

TEST(LinkParser, RefusesMalformedLinks) {
    const char* const links[] = {
        // Shorter than the prefix.
        "v",
        "vsl:/",
        "vsl://",
        // An empty game id, host or port.
        "vsl:///h:1",
        "vsl://sof2/:1",
        "vsl://sof2/h:?a=1",
        "vsl://sof2/h:",
        // Broken or repeated embedded addresses.
        "vsl://x/h:1?a=1&embed_url={abc",
        "vsl://x/h:1?a=}&embed_url={abc}",
        "vsl://x/h:1?a={x}&embed_url={y}",
        "vsl://x/h:1?embed_url={a}&b=1&embed_url={c}",
        // Pieces that would carry console commands of their own to the game.
        "vsl://x/h:1?name=x+exec+evil",
        "vsl://x/h:1?name=x;quit",
        "vsl://x/h:1?na+me=x",
        "vsl://x/h:1?a;b=x",
        "vsl://x/h:1?name=x\nquit",
        "vsl://x/h:1?name=x\rquit",
        "vsl://x/h+exec+evil:1",
        "vsl://x/h:1;quit",
        "vsl://x/h:1+quit?a=1",
        "vsl://x/h\n:1",
    };
    for (const char* link : links) {
        EXPECT_EQ(ParseLink(link), std::nullopt) << link;
    }
}

TEST(LinkParser, MalformedLinkIsReportedAndEndsTheProcess) {
    FakePlatform platform;
    try {
        LinkParser(platform, "vsl:///h:1");
        FAIL() << "returned";
    } catch (const ProcessEnded& ended) {
        EXPECT_EQ(ended.exitCode, 1);
    }
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{
                  "ShowMessageBox Malformed parameter string passed\nThis would most likely be "
                  "caused by a bad link. 16",
                  "EndProcess 1"}));
}

TEST(LinkParser, WellFormedLinkTouchesNothing) {
    FakePlatform platform;
    LaunchRequest request = LinkParser(platform, "vsl://rtcw/h:1?a=1");
    EXPECT_EQ(request.m_strGameId, "rtcw");
    EXPECT_TRUE(platform.calls.empty());
}

}  // namespace
