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
        {"vsl://x/h:1?Embed_url={abc}", "x", "h", "1", {{"Embed_url", "{abc}"}}, ""},
        {"vsl://x/h:1?a=1&embed_url={abc}&b={x}", "x", "h", "1", {{"a", "1"}, {"b", "{x}"}}, "abc"},
        // Browsers hand the braces over encoded, in either case of hex.
        {"vsl://x/h:1?a=1&embed_url=%7Babc%7D&b=2", "x", "h", "1", {{"a", "1"}, {"b", "2"}}, "abc"},
        {"vsl://x/h:1?embed_url=%7babc%7d", "x", "h", "1", {}, "abc"},
        // An address holds braces of its own in pairs, and "&".
        {"vsl://x/h:1?embed_url={https://e.org/a%20b?q=%7Bx%7D}",
         "x",
         "h",
         "1",
         {},
         "https://e.org/a%20b?q=%7Bx%7D"},
        {"vsl://x/h:1?embed_url=%7Bhttps://e.org/a%20b?q=%7Bx%7D%7D&n=1",
         "x",
         "h",
         "1",
         {{"n", "1"}},
         "https://e.org/a%20b?q=%7Bx%7D"},
        {"vsl://x/h:1?embed_url=%7Bhttps://e.org/?a=1&b=2%7D", "x", "h", "1", {}, "https://e.org/?a=1&b=2"},
        // The pieces stay as the link has them; decoding comes after.
        {"vsl://x/h%20:1?n=%20a&m=\"q\"", "x", "h%20", "1", {{"n", "%20a"}, {"m", "\"q\""}}, ""},
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
        // Broken or repeated embedded addresses, braces written or encoded.
        "vsl://x/h:1?a=1&embed_url={abc",
        "vsl://x/h:1?a=1&embed_url=%7Babc",
        "vsl://x/h:1?embed_url={a{b}",
        "vsl://x/h:1?a=}&embed_url={abc}",
        "vsl://x/h:1?a=%7D&embed_url=%7Babc%7D",
        "vsl://x/h:1?a={x}&embed_url={y}",
        "vsl://x/h:1?a=%7Bx%7D&embed_url=%7By%7D",
        "vsl://x/h:1?embed_url={a}&b=1&embed_url={c}",
        "vsl://x/h:1?embed_url=x&embed_url={c}",
    };
    for (const char* link : links) {
        EXPECT_EQ(ParseLink(link), std::nullopt) << link;
    }
}

TEST(LinkParser, DecodesEscapesIntoTheAnsiCodePage) {
    struct Case {
        const char* text = nullptr;
        std::optional<std::string> decoded;
    };
    const Case cases[] = {
        {"Big%20Joe", "Big Joe"},
        {"%41%62", "Ab"},
        {"50%", "50%"},
        {"%4", "%4"},
        {"%zz%2", "%zz%2"},
        {"%%41", "%A"},
        {"J%C3%B6rg", "J\xF6rg"},
        {"J%c3%b6rg", "J\xF6rg"},
        // Bytes that were not escaped are in the ANSI code page already.
        {"J\xF6rg", "J\xF6rg"},
        {"a%2Bb%3B", "a+b;"},
        {"%00", std::string(1, '\0')},
        // Not UTF-8, or a character that the code page lacks: never a
        // look-alike (best fit would make the fullwidth plus a "+").
        {"%FF", std::nullopt},
        {"%C3", std::nullopt},
        {"%C3%20", std::nullopt},
        {"%EF%BC%8B", std::nullopt},
        {"%E2%82%AC", std::nullopt},
    };
    FakePlatform platform;
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeLinkText(platform, c.text), c.decoded) << c.text;
    }
}

TEST(LinkParser, EncodesAnAddressAsBrowsersDo) {
    struct Case {
        const char* address;
        const char* encoded;
    };
    const Case cases[] = {
        {"https://e.org/?a=1&b=2#f", "https://e.org/?a=1&b=2#f"},
        {"https://e.org/a b", "https://e.org/a%20b"},
        {"https://e.org/a%20b", "https://e.org/a%20b"},
        {"https://e.org/?q={x}|\"<>\\^`", "https://e.org/?q=%7Bx%7D%7C%22%3C%3E%5C%5E%60"},
        {"https://e.org/50%", "https://e.org/50%25"},
        {"https://e.org/\xF6", "https://e.org/%C3%B6"},
        {"https://e.org/'()*", "https://e.org/'()*"},
    };
    FakePlatform platform;
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeAsBrowsersDo(platform, c.address), c.encoded) << c.address;
    }
}

// What a page author wrote reaches the game the same whether a browser
// encoded it on the way or it arrived as written (a shortcut, a command line,
// a handler that decodes).
TEST(LinkParser, BrowserEncodedLinksReadAsWritten) {
    struct Case {
        const char* written;
        const char* delivered;
        Settings settings;
        const char* embedUrl;
    };
    const Case cases[] = {
        {"vsl://rtcw/10.0.0.1:27960?name=Player&embed_url={https://example.org/}",
         "vsl://rtcw/10.0.0.1:27960?name=Player&embed_url=%7Bhttps://example.org/%7D",
         {{"name", "Player"}},
         "https://example.org/"},
        {"vsl://rtcw/10.0.0.1:27960?name=Big Joe",
         "vsl://rtcw/10.0.0.1:27960?name=Big%20Joe",
         {{"name", "Big Joe"}},
         ""},
        {"vsl://rtcw/10.0.0.1:27960?name=J\xF6rg",
         "vsl://rtcw/10.0.0.1:27960?name=J%C3%B6rg",
         {{"name", "J\xF6rg"}},
         ""},
        {"vsl://rtcw/10.0.0.1:27960?embed_url={https://example.org/a%20b?q=%7Bx%7D}",
         "vsl://rtcw/10.0.0.1:27960?embed_url=%7Bhttps://example.org/a%20b?q=%7Bx%7D%7D",
         {},
         "https://example.org/a%20b?q=%7Bx%7D"},
        {"vsl://rtcw/10.0.0.1:27960?a=1&embed_url={https://example.org/?a=1&b=2}&c=2",
         "vsl://rtcw/10.0.0.1:27960?a=1&embed_url=%7Bhttps://example.org/?a=1&b=2%7D&c=2",
         {{"a", "1"}, {"c", "2"}},
         "https://example.org/?a=1&b=2"},
        {"vsl://rtcw/10.0.0.1:27960?embed_url={https://example.org/a b/{x}}",
         "vsl://rtcw/10.0.0.1:27960?embed_url=%7Bhttps://example.org/a%20b/%7Bx%7D%7D",
         {},
         "https://example.org/a%20b/%7Bx%7D"},
        {"vsl://rtcw/10.0.0.1:27960?embed_url={https://example.org/50%}",
         "vsl://rtcw/10.0.0.1:27960?embed_url=%7Bhttps://example.org/50%25%7D",
         {},
         "https://example.org/50%25"},
        {"vsl://rtcw/10.0.0.1:27960?password=a%26b",
         "vsl://rtcw/10.0.0.1:27960?password=a%26b",
         {{"password", "a&b"}},
         ""},
    };
    for (const Case& c : cases) {
        for (const char* link : {c.written, c.delivered}) {
            FakePlatform platform;
            LaunchRequest request = LinkParser(platform, link);
            EXPECT_EQ(request.m_strHost, "10.0.0.1") << link;
            EXPECT_EQ(request.m_strPort, "27960") << link;
            EXPECT_EQ(request.m_settings, c.settings) << link;
            EXPECT_EQ(request.m_strEmbedUrl, c.embedUrl) << link;
            EXPECT_TRUE(platform.calls.empty()) << link;
        }
    }
}

// A refused link shows one message that names what was refused and says
// that nothing was started, and ends with exit code 1 before anything else.
TEST(LinkParser, RefusesLinksThatCouldTakeTheGameOver) {
    struct Case {
        const char* link;
        const char* reason;
    };
    const Case cases[] = {
        {"vsl:///h:1", nullptr},
        {"vsl://rtcw/h:1?fs_basepath=\\\\203.0.113.7\\share&fs_game=x",
         "its setting fs_basepath changes where the game loads its code and data from"},
        {"vsl://rtcw/h:1?fs_game=osp&pass%77ord=%5C%5C203.0.113.7%5Cshare",
         "the value of its setting password holds + ; \" \\ // /* or a control character, which the game's "
         "console does not read as plain text"},
        {"vsl://rtcw/h:1?FS_HomePath=C:",
         "its setting FS_HomePath changes where the game loads its code and data from"},
        {"vsl://rtcw/h:1?activeAction=quit",
         "its setting activeAction holds console commands that the game runs later"},
        // The console's separators, whether written or decoded.
        {"vsl://rtcw/h:1?name=x;quit",
         "the value of its setting name holds + ; \" \\ // /* or a control character, which the game's "
         "console "
         "does not read as plain text"},
        {"vsl://rtcw/h:1?name=a%2Bb",
         "the value of its setting name holds + ; \" \\ // /* or a control character, which the game's "
         "console "
         "does not read as plain text"},
        {"vsl://rtcw/h:1?name=x%0Aquit",
         "the value of its setting name holds + ; \" \\ // /* or a control character, which the game's "
         "console "
         "does not read as plain text"},
        {"vsl://rtcw/h:1?na%2Dme=x", "\"na-me\" is not the name of a setting (letters, digits and _)"},
        {"vsl://rtcw/h:1?=5", "\"\" is not the name of a setting (letters, digits and _)"},
        {"vsl://rtcw/h:1?fs_game=..%2Fx",
         "its setting fs_game must name a plain folder (letters, digits, _ - and .)"},
        {"vsl://rtcw/h%3Bquit:1",
         "its server address h;quit:1 holds a blank, + ; \" \\ // /* or a control character"},
        {"vsl://rtcw/my%20host:1",
         "its server address my host:1 holds a blank, + ; \" \\ // /* or a control character"},
        {"vsl://rtcw/h:1?name=%EF%BC%8B",
         "its setting name holds text that this computer's code page cannot hold"},
        {"vsl://rtcw/h%FF:1", "its server address holds text that this computer's code page cannot hold"},
    };
    for (const Case& c : cases) {
        FakePlatform platform;
        try {
            LinkParser(platform, c.link);
            ADD_FAILURE() << "accepted " << c.link;
        } catch (const ProcessEnded& ended) {
            EXPECT_EQ(ended.exitCode, 1) << c.link;
        }
        std::string message = c.reason == nullptr ? std::string(kMalformedLinkMessage)
                                                  : "This link was refused: " + std::string(c.reason) +
                                                        ".\nNothing was started.";
        EXPECT_EQ(platform.calls,
                  (std::vector<std::string>{"ShowMessageBox " + message + " 16", "EndProcess 1"}))
            << c.link;
    }
}

}  // namespace
