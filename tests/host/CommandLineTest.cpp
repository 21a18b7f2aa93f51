#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

using Arguments = std::vector<std::string>;

// Lead bytes of the Japanese code page 932.
bool ShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct Split {
    const char* commandLine;
    Arguments arguments;
};

void ExpectSplits(const std::vector<Split>& cases, LeadByteTest isLeadByte) {
    for (const Split& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.commandLine, isLeadByte), c.arguments)
            << "command line: " << c.commandLine;
    }
}

TEST(SplitCommandLine, ProgramName) {
    ExpectSplits(
        {
            {"", {""}},
            {"vsl.exe", {"vsl.exe"}},
            {"vsl.exe link", {"vsl.exe", "link"}},
            {"vsl.exe\tlink", {"vsl.exe", "link"}},
            {"\"C:\\Program Files\\Vastrel\\vsl.exe\" link", {"C:\\Program Files\\Vastrel\\vsl.exe", "link"}},
            // The next argument may start right behind the closing quote.
            {"\"C:\\vsl.exe\"vsl://rtcw/h:1", {"C:\\vsl.exe", "vsl://rtcw/h:1"}},
            // No quote or backslash rule applies inside the program name.
            {"\"C:\\dir\\\"x y", {"C:\\dir\\", "x", "y"}},
            {"C:\\a\"b c\"", {"C:\\a\"b", "c"}},
            {"\"C:\\vsl.exe x", {"C:\\vsl.exe x"}},
            {"\"\" link", {"", "link"}},
            {" link", {"", "link"}},
        },
        NoLeadBytes);
}

TEST(SplitCommandLine, BlanksAndTabsSeparate) {
    ExpectSplits(
        {
            {"vsl a b", {"vsl", "a", "b"}},
            {"vsl \t a\t\tb \t", {"vsl", "a", "b"}},
            {"vsl    ", {"vsl"}},
            {"vsl a,b;c", {"vsl", "a,b;c"}},
        },
        NoLeadBytes);
}

TEST(SplitCommandLine, QuotedStretches) {
    ExpectSplits(
        {
            {"vsl \"vsl://x/h:1?name=Big Player\"", {"vsl", "vsl://x/h:1?name=Big Player"}},
            {"vsl \"a\tb\"", {"vsl", "a\tb"}},
            {"vsl ab\"c d\"ef", {"vsl", "abc def"}},
            {"vsl \"\" x", {"vsl", "", "x"}},
            {"vsl \"unterminated stretch", {"vsl", "unterminated stretch"}},
            {"vsl a\"\"b", {"vsl", "ab"}},
            // Two quotes inside a stretch give one quote and close the stretch.
            {"vsl \"a\"\"b c\"", {"vsl", "a\"b", "c"}},
            {"vsl \"a\"\"\"b c\"", {"vsl", "a\"b c"}},
            {"vsl \"\"\"\"", {"vsl", "\""}},
            {"vsl \"\"\"\" x", {"vsl", "\" x"}},
        },
        NoLeadBytes);
}

TEST(SplitCommandLine, BackslashesCountInPairsOnlyBeforeAQuote) {
    ExpectSplits(
        {
            {"vsl C:\\dir\\\\x\\", {"vsl", "C:\\dir\\\\x\\"}},
            {"vsl a\\\"b", {"vsl", "a\"b"}},
            {"vsl a\\\\\"b c\"", {"vsl", "a\\b c"}},
            {"vsl a\\\\\\\"b", {"vsl", "a\\\"b"}},
            {"vsl a\\\\\\\\\"b\"", {"vsl", "a\\\\b"}},
            {"vsl \"C:\\dir\\\\\" x", {"vsl", "C:\\dir\\", "x"}},
            {"vsl \"a \\\" b\"", {"vsl", "a \" b"}},
        },
        NoLeadBytes);
}

TEST(SplitCommandLine, BackslashPairsAndTripledQuotesMeetTheDoubledQuoteRule) {
    ExpectSplits(
        {
            // The pairs come out first; the two quotes left inside the stretch
            // are a doubled quote and close it.
            {"vsl \"a\\\\\"\" b\" c", {"vsl", "a\\\"", "b c"}},
            {"vsl \"a\\\\\\\\\"\"\" b", {"vsl", "a\\\\\" b"}},
            // Three quotes open a stretch and end it with a literal quote.
            {"vsl \"\"\"a b\"\"\"", {"vsl", "\"a", "b\""}},
        },
        NoLeadBytes);
}

TEST(SplitCommandLine, DoubleByteCharactersAreCopiedWhole) {
    // Trail bytes that would otherwise read as a quote, a backslash or a blank.
    ExpectSplits(
        {
            {"vsl \"\x81\\\"", {"vsl", "\x81\\"}},
            {"vsl \x81\" x", {"vsl", "\x81\"", "x"}},
            {"vsl \x81 x", {"vsl", "\x81 x"}},
            {"vsl \x81\tx", {"vsl", "\x81\tx"}},
            {"\"C:\\\x81\"\\vsl.exe\" x", {"C:\\\x81\"\\vsl.exe", "x"}},
            {"C:\\\xE0 vsl.exe x", {"C:\\\xE0 vsl.exe", "x"}},
            // A lead byte at the very end stands alone.
            {"vsl a\x81", {"vsl", "a\x81"}},
        },
        ShiftJisLeadByte);
    // The same lines in a single-byte code page.
    ExpectSplits(
        {
            {"vsl \"\x81\\\"", {"vsl", "\x81\""}},
            {"vsl \x81\" x", {"vsl", "\x81 x"}},
            {"vsl \x81 x", {"vsl", "\x81", "x"}},
            {"\"C:\\\x81\"\\vsl.exe\" x", {"C:\\\x81", "\\vsl.exe x"}},
        },
        NoLeadBytes);
}

struct Choice {
    const char* commandLine;
    const char* linkText;
};

TEST(ChooseLinkText, TakesTheFirstNonEmptyPlainArgument) {
    const Choice cases[] = {
        {"vsl.exe", ""},
        {"vsl.exe ", ""},
        {"vsl.exe uninstall", "uninstall"},
        {"vsl.exe /uninstall", ""},
        {"vsl.exe -uninstall", ""},
        {"vsl.exe Uninstall", "Uninstall"},
        {"vsl.exe \"vsl://x/h:1?name=Big Player\"", "vsl://x/h:1?name=Big Player"},
        {"vsl.exe vsl://x/h:1?name=Big Player", "vsl://x/h:1?name=Big"},
        {"vsl.exe vsl://x/h:1?name=Big\tPlayer", "vsl://x/h:1?name=Big"},
        {"vsl.exe first second", "first"},
        {"vsl.exe \"\" vsl://x/h:1", "vsl://x/h:1"},
        {"vsl.exe \"\" \"\"", ""},
        {"vsl.exe /p vsl://x/h:1", "vsl://x/h:1"},
        {"vsl.exe -x vsl://x/h:1", "vsl://x/h:1"},
        {"vsl.exe /dde /Embedding -Automation /pt vsl://x/h:1 printer", "vsl://x/h:1"},
        {"vsl.exe / - vsl://x/h:1", "vsl://x/h:1"},
        // A link that starts like an option is taken for one.
        {"vsl.exe /vsl://x/h:1", ""},
        {"vsl.exe -vsl://x/h:1 second", "second"},
        // The quote that would make it plain is removed before the check.
        {"vsl.exe \"/vsl://x/h:1\"", ""},
        {"\"C:\\Program Files\\Vastrel\\vsl.exe\"vsl://x/h:1", "vsl://x/h:1"},
        {"\"C:\\Program Files\\Vastrel\\vsl.exe\" \"vsl://rtcw/10.0.0.1:27960?name=Player&embed_url={https://"
         "example.org/}\"",
         "vsl://rtcw/10.0.0.1:27960?name=Player&embed_url={https://example.org/}"},
        // The program name is never the link.
        {"vsl://x/h:1", ""},
    };
    for (const Choice& c : cases) {
        EXPECT_EQ(ChooseLinkText(SplitCommandLine(c.commandLine, NoLeadBytes)), c.linkText)
            << "command line: " << c.commandLine;
    }
}

}  // namespace
