#include <gtest/gtest.h>

#include <sstream>

#include "link/LinkParser.h"
#include "link/SettingRules.h"
#include "tests/support/FakePlatform.h"

namespace {

// A request on one line: game|host|port|key=value&key=value|web address.
std::string Shown(const LaunchRequest& request) {
    std::string settings;
    for (const ServerSetting& setting : request.m_settings) {
        settings += (settings.empty() ? "" : "&") + setting.m_strKey + "=" + setting.m_strValue;
    }
    return request.m_strGameId + "|" + request.m_strHost + "|" + request.m_strPort + "|" + settings + "|" +
           request.m_strEmbedUrl;
}

TEST(ParseLink, SplitsALinkIntoItsPieces) {
    // a link, and the request it splits into
    const std::tuple<const char*, const char*> cases[] = {
        {"vsl://sof2/10.0.0.1:20100?a=1&b=2", "sof2|10.0.0.1|20100|a=1&b=2|"},
        {"vsl://sof2/h:65535?", "sof2|h|65535||"},
        {"xxxxxxsof2/h:1", "sof2|h|1||"},  // any six characters are the scheme
        {"vsl://x/h:1?a=1&a=&=5&b=x=y&junk", "x|h|1|a=1&a=&=5&b=x=y|"},
        // The web address, wherever it stands; its separator goes with it.
        {"vsl://x/h:1?a=1&embed_url={abc}&b=2", "x|h|1|a=1&b=2|abc"},
        {"vsl://x/h:1?embed_url={}", "x|h|1||"},
        {"vsl://x/h:1?Embed_url={abc}", "x|h|1|Embed_url={abc}|"},
        {"vsl://x/h:1?a=1&embed_url={abc}&b={x}", "x|h|1|a=1&b={x}|abc"},
        {"vsl://x/h:1?embed_url=%7babc%7d", "x|h|1||abc"},
        // Braces of its own in pairs, and "&", stay in the address.
        {"vsl://x/h:1?embed_url={https://e.org/a%20b?q=%7Bx%7D}", "x|h|1||https://e.org/a%20b?q=%7Bx%7D"},
        {"vsl://x/h:1?embed_url=%7Bhttps://e/?q={x}:2%7D&n=1", "x|h|1|n=1|https://e/?q={x}:2"},
        {"vsl://x/h%20:1?n=%20a&m=\"q\"", "x|h%20|1|n=%20a&m=\"q\"|"},  // decoded later
    };
    for (const auto& [link, expected] : cases) {
        std::optional<LaunchRequest> request = ParseLink(link);
        EXPECT_EQ(request ? Shown(*request) : "malformed", expected) << link;
    }
    // Malformed, blank between them: too short, an empty game or host, no ":"
    // after the host, a port that is not 1 to 65535 in digits as written; an
    // address left open, a brace before it, a second one, or one that does
    // not stand whole between the query's "&"s.
    std::istringstream malformed(
        "vsl:// vsl:///h:1 vsl://sof2/:1 vsl://rtcw/10.0.0.1 vsl://rtcw/10.0.0.1?name=x "
        "vsl://rtcw/10.0.0.1?name=a:1 vsl://sof2/h:?a=1 vsl://sof2/h:0 vsl://sof2/h:65536 "
        "vsl://sof2/h:1/ vsl://sof2/h:%31 vsl://x/h:1?a=1&embed_url={abc vsl://x/h:1?embed_url={a{b} "
        "vsl://x/h:1?a=}&embed_url={abc} vsl://x/h:1?a=%7D&embed_url=%7Babc%7D "
        "vsl://x/h:1?embed_url={a}&b=1&embed_url={c} vsl://x/h:1?embed_url=x&embed_url={c} "
        "vsl://x/h:1?name=Bob&embed_url={http://a/}trailing=1 vsl://x/h:1?embed_url={http://a/}}}} "
        "vsl://x/h:1?a=xembed_url={abc}");
    for (std::string link; malformed >> link;) {
        EXPECT_EQ(ParseLink(link).has_value(), false) << link;
    }
}

std::string Syntax(const std::string& what) {
    return RefusalMessage(what +
                          " holds + ; \" \\ // /* or a control character, which the game's console does not "
                          "read as plain text");
}

std::string Server(const std::string& address) {
    return RefusalMessage("its server address " + address +
                          " is not a host name or numeric address (letters, digits, . - and _)");
}

// A link reads the same whether the page's text arrived as written or as a
// browser encodes it: as a request, or as the one message that refuses it
// before the process ends with exit code 1. The links begin "vsl://rtcw/".
TEST(LinkParser, ReadsWhatThePageWroteHoweverItArrives) {
    // what the page wrote, what a browser delivers (empty: the same), and
    // the request or the message
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"h:1?name=P&embed_url={https://e/}", "h:1?name=P&embed_url=%7Bhttps://e/%7D",
         "rtcw|h|1|name=P|https://e/"},
        {"h:1?NAME=Big Joe", "h:1?NAME=Big%20Joe", "rtcw|h|1|name=Big Joe|"},
        {"h:1?embed_url={https://e/a b/{x}}", "h:1?embed_url=%7Bhttps://e/a%20b/%7Bx%7D%7D",
         "rtcw|h|1||https://e/a%20b/%7Bx%7D"},
        {"h:1?name=1&embed_url={https://e/?a=1&b=2}&rate=2000",
         "h:1?name=1&embed_url=%7Bhttps://e/?a=1&b=2%7D&rate=2000",
         "rtcw|h|1|name=1&rate=2000|https://e/?a=1&b=2"},
        {"h:1?embed_url={https://e/50%}", "h:1?embed_url=%7Bhttps://e/50%25%7D", "rtcw|h|1||https://e/50%25"},
        {"h:1?embed_url={https://e/\xC3\xB6?\"<>\\^`|}",
         "h:1?embed_url=%7Bhttps://e/%C3%B6?%22%3C%3E%5C%5E%60%7C%7D",
         "rtcw|h|1||https://e/%C3%B6?%22%3C%3E%5C%5E%60%7C"},
        {"h:1?password=a%26b", "", "rtcw|h|1|password=a&b|"},
        {"h:1?password=50% %4 %zz%2 %%41", "", "rtcw|h|1|password=50% %4 %zz%2 %A|"},
        {"my-host.example_2:27960", "", "rtcw|my-host.example_2|27960||"},
        {"", "", kMalformedLinkMessage},
        // The judge sees the decoded text: each escape becomes its byte.
        {"h:1?name=J\xC3\xB6rg", "h:1?name=J%C3%B6rg",
         RefusalMessage(
             "the value of its setting name holds a character beyond ASCII, which the game's console "
             "reads as a blank")},
        {"h:1?fs_game=osp&pass%77ord=\\\\h", "h:1?fs_game=osp&pass%77ord=%5C%5Ch",
         Syntax("the value of its setting password")},
        {"h:1?name=a%2Bb", "", Syntax("the value of its setting name")},
        {"h:1?win%5Fwndproc=4198400", "",
         RefusalMessage("its setting win_wndproc is not one that Vastrel passes to rtcw: it passes only the "
                        "settings a server list needs, which its README lists")},
        {"h%3Bquit:1", "", Server("h;quit:1")},
        {"my host:1", "my%20host:1", Server("my host:1")},
        {"h%C3%B6:1", "", Server("h\xC3\xB6:1")},
        {std::string(70, 'h') + "%2B:1", "", Server(std::string(60, 'h') + "...:1")},  // cut short
    };
    for (const auto& [written, delivered, outcome] : cases) {
        for (const std::string& link : {written, delivered.empty() ? written : delivered}) {
            FakePlatform platform;
            std::string request;
            int exitCode = ExitCodeOf([&] { request = Shown(LinkParser(platform, "vsl://rtcw/" + link)); });
            EXPECT_EQ(exitCode, platform.messages.size() == 1 ? 1 : -1) << link;
            EXPECT_EQ(platform.messages.empty() ? request : platform.messages.back(), outcome) << link;
        }
    }
}

}  // namespace
