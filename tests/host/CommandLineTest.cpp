#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

// The launcher splits its command line by the rules of msvcrt.dll, the C
// runtime that every Windows version carries. These lines were compared with
// Wine's msvcrt and with the rules that the documentation of the newer
// Universal C runtime gives; where those differ, the reason says so
// ("newer": the Universal C runtime). The launcher reads its command line as
// UTF-8, whose bytes beyond ASCII are letters like any other. The arguments
// stand between "|".
TEST(SplitCommandLine, SplitsAsMsvcrtDoes) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"p \"a b c\" d e", "p|a b c|d|e", "a quoted stretch holds blanks"},
        {"p \"ab\\\"c\" \"\\\\\" d", "p|ab\"c|\\|d", "\\\" is a quote; \\\\ before a quote one \\"},
        {"p a\\\\\\b d\"e f\"g h", "p|a\\\\\\b|de fg|h", "\\ counts only before a quote"},
        {"p a\\\\\\\"b c d", "p|a\\\"b|c|d", "2n+1 \\ before a quote: n and a quote"},
        {"p a\\\\\\\\\"b c\" d e", "p|a\\\\b c|d|e", "2n \\ before a quote: n, and it opens"},
        {"p \"C:\\dir\\\\\" x", "p|C:\\dir\\|x", "\\\\ before the closing quote is one \\"},
        {"p C:\\dir\\\\x\\", "p|C:\\dir\\\\x\\", "\\ elsewhere stays"},
        {"p a\"b\"\" c d", "p|ab\"|c|d", "\"\" in a stretch is a quote and closes it (newer: stays open)"},
        {"p \"a\"\"b c\"", "p|a\"b|c", "the same, where Wine's runtime stays open too"},
        {"p \"a\"\"\"b c\"", "p|a\"b c", "a third quote opens again"},
        {"p \"\"\"a b\"\"\"", "p|\"a|b\"", "\"\"\" opens a stretch, then gives a quote and closes it"},
        {"p \"a\\\\\"\" b\" c", "p|a\\\"|b c", "the \\ pairs first, then \"\" closes"},
        {"p a\"\"b", "p|ab", "outside a stretch \"\" opens and closes one"},
        {"p \"\" \"\" x", "p|||x", "an empty stretch is an empty argument"},
        {"p \"open stretch", "p|open stretch", "a stretch left open runs to the end"},
        {"p \t a\t\tb \t", "p|a|b", "runs of blanks and tabs separate"},
        {"", "", "an empty line (Wine starts a child with its quoted path instead)"},
        {"  p  a  ", "|p|a", "a blank first ends an empty program name"},
        {"\"C:\\P F\\v.exe\"vsl://x", "C:\\P F\\v.exe|vsl://x", "an argument may follow the name"},
        {"\"a\"b c", "a|b|c", "a quoted name ends at the next quote (newer: quotes toggle)"},
        {"C:\\a\"b c\"", "C:\\a\"b|c", "an unquoted name ends at a blank, quotes and all"},
        {"\"C:\\dir\\\"x y", "C:\\dir\\|x|y", "no \\ rule in the name (Wine's runtime has one)"},
        {"\"C:\\v.exe x", "C:\\v.exe x", "a quoted name left open runs to the end"},
        {"p \xEF\xBC\xB6 \"\xD0\x98 \xD0\x98\"", "p|\xEF\xBC\xB6|\xD0\x98 \xD0\x98",
         "letters beyond ASCII are letters"},
    };
    for (const auto& [line, expected, why] : cases) {
        std::vector<std::string> split = SplitCommandLine(line);
        std::string arguments = split.at(0);
        for (size_t i = 1; i < split.size(); i++) {
            arguments += "|" + split[i];
        }
        EXPECT_EQ(arguments, expected) << line << ": " << why;
    }
}

// The link is the first argument after the program's name that is neither
// empty nor an option, whatever the shell or a caller put around it.
TEST(ChooseLinkText, TakesTheFirstNonEmptyPlainArgument) {
    const std::tuple<const char*, const char*> cases[] = {
        {"vsl.exe", ""},
        {"vsl.exe uninstall", "uninstall"},
        {"vsl.exe /uninstall", ""},
        {"vsl.exe -uninstall", ""},
        {"vsl.exe \"vsl://x/h:1?name=Big Player\"", "vsl://x/h:1?name=Big Player"},
        {"vsl.exe vsl://x/h:1?name=Big Player", "vsl://x/h:1?name=Big"},
        {"vsl.exe \"\" vsl://x/h:1", "vsl://x/h:1"},
        {"vsl.exe /dde /Embedding -Automation /pt vsl://x/h:1 printer", "vsl://x/h:1"},
        {"vsl.exe / - vsl://x/h:1", "vsl://x/h:1"},
        {"vsl.exe -vsl://x/h:1 second", "second"},  // a link that starts like an option is one
        {"vsl.exe \"/vsl://x/h:1\"", ""},           // even when quoted
        {"\"C:\\Program Files\\Vastrel\\vsl.exe\"vsl://x/h:1", "vsl://x/h:1"},
        {"vsl://x/h:1", ""},  // the program's name is never the link
    };
    for (const auto& [line, link] : cases) {
        EXPECT_EQ(ChooseLinkText(SplitCommandLine(line)), link) << line;
    }
}

}  // namespace
