#include <gtest/gtest.h>

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
    // a link, and the request it splits into (null: malformed)
    const std::tuple<const char*, const char*> cases[] = {
        {"vsl://sof2/10.0.0.1:20100?a=1&b=2", "sof2|10.0.0.1|20100|a=1&b=2|"},
        {"vsl://sof2/h:1?", "sof2|h|1||"},
        {"xxxxxxsof2/h:1", "sof2|h|1||"},  // any six characters are the scheme
        // A missing delimiter leaves the text for the next cut to see again.
        {"vsl://sof2/myhost?a=1", "sof2|myhost?a=1|myhost|a=1|"},
        {"vsl://x/h:1?a=1&a=&=5&b=x=y&junk", "x|h|1|a=1&a=&=5&b=x=y|"},
        // The web address, wherever it stands; its separator goes with it.
        {"vsl://x/h:1?a=1&embed_url={abc}&b=2", "x|h|1|a=1&b=2|abc"},
        {"vsl://x/h:1?embed_url={}", "x|h|1||"},
        {"vsl://x/h:1?Embed_url={abc}", "x|h|1|Embed_url={abc}|"},
        {"vsl://x/h:1?a=1&embed_url={abc}&b={x}", "x|h|1|a=1&b={x}|abc"},
        {"vsl://x/h:1?embed_url=%7babc%7d", "x|h|1||abc"},
        // Braces of its own in pairs, and "&", stay in the address.
        {"vsl://x/h:1?embed_url={https://e.org/a%20b?q=%7Bx%7D}", "x|h|1||https://e.org/a%20b?q=%7Bx%7D"},
        {"vsl://x/h:1?embed_url=%7Bhttps://e/?q={x}%7D&n=1", "x|h|1|n=1|https://e/?q={x}"},
        {"vsl://x/h%20:1?n=%20a&m=\"q\"", "x|h%20|1|n=%20a&m=\"q\"|"},  // decoded later
        {"vsl://", nullptr},
        // Too short, or an empty game, host or port.
        {"vsl:///h:1", nullptr},
        {"vsl://sof2/:1", nullptr},
        {"vsl://sof2/h:?a=1", nullptr},
        // An address left open, a brace before it, or a second address.
        {"vsl://x/h:1?a=1&embed_url={abc", nullptr},
        {"vsl://x/h:1?embed_url={a{b}", nullptr},
        {"vsl://x/h:1?a=}&embed_url={abc}", nullptr},
        {"vsl://x/h:1?a=%7D&embed_url=%7Babc%7D", nullptr},
        {"vsl://x/h:1?embed_url={a}&b=1&embed_url={c}", nullptr},
        {"vsl://x/h:1?embed_url=x&embed_url={c}", nullptr},
    };
    for (const auto& [link, expected] : cases) {
        std::optional<LaunchRequest> request = ParseLink(link);
        EXPECT_EQ(request ? Shown(*request) : "malformed", expected ? expected : "malformed") << link;
    }
}

// Each run of escapes is UTF-8, converted to the ANSI code page (Latin-1 in
// the fake), never to a look-alike; anything else stays as it is.
TEST(DecodeLinkText, DecodesEscapesIntoTheAnsiCodePage) {
    const std::tuple<const char*, std::optional<std::string>> cases[] = {
        {"Big%20Joe%41%62 a%2Bb%3B", "Big JoeAb a+b;"},
        {"50% %4 %zz%2 %%41", "50% %4 %zz%2 %A"},
        {"J%C3%B6rg J%c3%b6rg J\xF6rg", "J\xF6rg J\xF6rg J\xF6rg"},  // unescaped bytes are ANSI already
        {"%00", std::string(1, '\0')},
        {"%FF", std::nullopt},
        {"%C3", std::nullopt},
        {"%C3%20", std::nullopt},
        {"%EF%BC%8B", std::nullopt},  // a fullwidth plus, whose best fit would be "+"
        {"%E2%82%AC", std::nullopt},
    };
    FakePlatform platform;
    for (const auto& [text, decoded] : cases) {
        EXPECT_EQ(DecodeLinkText(platform, text), decoded) << text;
    }
}

std::string Syntax(const std::string& what) {
    return RefusalMessage(what +
                          " holds + ; \" \\ // /* or a control character, which the game's console does not "
                          "read as plain text");
}

std::string Server(const std::string& address) {
    return RefusalMessage("its server address " + address +
                          " holds a blank, + ; \" \\ // /* or a control character");
}

// A link reads the same whether the page's text arrived as written or as a
// browser encodes it: as a request, or as the one message that refuses it
// before the process ends with exit code 1. The links begin "vsl://rtcw/".
TEST(LinkParser, ReadsWhatThePageWroteHoweverItArrives) {
    const std::string codePage = " holds text that this computer's code page cannot hold";
    // what the page wrote, what a browser delivers (empty: the same), and
    // the request or the message
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"h:1?n=P&embed_url={https://e/}", "h:1?n=P&embed_url=%7Bhttps://e/%7D", "rtcw|h|1|n=P|https://e/"},
        {"h:1?name=Big Joe", "h:1?name=Big%20Joe", "rtcw|h|1|name=Big Joe|"},
        {"h:1?name=J\xF6rg", "h:1?name=J%C3%B6rg", "rtcw|h|1|name=J\xF6rg|"},
        {"h:1?embed_url={https://e/a b/{x}}", "h:1?embed_url=%7Bhttps://e/a%20b/%7Bx%7D%7D",
         "rtcw|h|1||https://e/a%20b/%7Bx%7D"},
        {"h:1?a=1&embed_url={https://e/?a=1&b=2}&c=2", "h:1?a=1&embed_url=%7Bhttps://e/?a=1&b=2%7D&c=2",
         "rtcw|h|1|a=1&c=2|https://e/?a=1&b=2"},
        {"h:1?embed_url={https://e/50%}", "h:1?embed_url=%7Bhttps://e/50%25%7D", "rtcw|h|1||https://e/50%25"},
        {"h:1?embed_url={https://e/\xF6?\"<>\\^`|}",
         "h:1?embed_url=%7Bhttps://e/%C3%B6?%22%3C%3E%5C%5E%60%7C%7D",
         "rtcw|h|1||https://e/%C3%B6?%22%3C%3E%5C%5E%60%7C"},
        {"h:1?password=a%26b", "", "rtcw|h|1|password=a&b|"},
        {"", "", kMalformedLinkMessage},
        // The rules see the decoded text.
        {"h:1?fs_basepath=\\\\h\\s", "h:1?fs_basepath=%5C%5Ch%5Cs",
         RefusalMessage("its setting fs_basepath changes where the game loads its code and data from")},
        {"h:1?fs_game=osp&pass%77ord=\\\\h", "h:1?fs_game=osp&pass%77ord=%5C%5Ch",
         Syntax("the value of its setting password")},
        {"h:1?name=x;quit", "", Syntax("the value of its setting name")},
        {"h:1?name=a%2Bb", "", Syntax("the value of its setting name")},
        {"h:1?name=x%0Aq", "", Syntax("the value of its setting name")},
        {"h:1?na%2Dme=x", "",
         RefusalMessage("\"na-me\" is not the name of a setting (letters, digits and _)")},
        {"h%3Bquit:1", "", Server("h;quit:1")},
        {"my host:1", "my%20host:1", Server("my host:1")},
        {"h:1%202", "", Server("h:1 2")},
        {std::string(70, 'h') + "%2B:1", "", Server(std::string(60, 'h') + "...:1")},  // cut short
        {"h:1?name=%EF%BC%8B", "", RefusalMessage("its setting name" + codePage)},
        {"h%FF:1", "", RefusalMessage("its server address" + codePage)},
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
