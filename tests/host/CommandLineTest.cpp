#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

// Lead bytes of the Japanese code page 932.
bool Cp932(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The launcher splits its command line as the C runtime it was first built
// with. These lines were compared with Wine's C runtime and with the rules
// the runtime's documentation gives today, under code pages 1252 and 932;
// where those differ, the reason says so. The arguments stand between "|".
TEST(SplitCommandLine, SplitsAsTheFirstRuntimeDid) {
    const LeadByteTest cp1252 = NoLeadBytes;
    const std::tuple<LeadByteTest, const char*, const char*, const char*> cases[] = {
        {cp1252, "p \"a b c\" d e", "p|a b c|d|e", "a quoted stretch holds blanks"},
        {cp1252, "p \"ab\\\"c\" \"\\\\\" d", "p|ab\"c|\\|d", "\\\" is a quote; \\\\ before a quote one \\"},
        {cp1252, "p a\\\\\\b d\"e f\"g h", "p|a\\\\\\b|de fg|h", "\\ counts only before a quote"},
        {cp1252, "p a\\\\\\\"b c d", "p|a\\\"b|c|d", "2n+1 \\ before a quote: n and a quote"},
        {cp1252, "p a\\\\\\\\\"b c\" d e", "p|a\\\\b c|d|e", "2n \\ before a quote: n, and it opens"},
        {cp1252, "p \"C:\\dir\\\\\" x", "p|C:\\dir\\|x", "\\\\ before the closing quote is one \\"},
        {cp1252, "p C:\\dir\\\\x\\", "p|C:\\dir\\\\x\\", "\\ elsewhere stays"},
        {cp1252, "p a\"b\"\" c d", "p|ab\"|c|d",
         "\"\" in a stretch is a quote and closes it (today: stays open)"},
        {cp1252, "p \"a\"\"b c\"", "p|a\"b|c", "the same, where Wine's runtime stays open too"},
        {cp1252, "p \"a\"\"\"b c\"", "p|a\"b c", "a third quote opens again"},
        {cp1252, "p \"\"\"a b\"\"\"", "p|\"a|b\"",
         "\"\"\" opens a stretch, then gives a quote and closes it"},
        {cp1252, "p \"a\\\\\"\" b\" c", "p|a\\\"|b c", "the \\ pairs first, then \"\" closes"},
        {cp1252, "p a\"\"b", "p|ab", "outside a stretch \"\" opens and closes one"},
        {cp1252, "p \"\" \"\" x", "p|||x", "an empty stretch is an empty argument"},
        {cp1252, "p \"open stretch", "p|open stretch", "a stretch left open runs to the end"},
        {cp1252, "p \t a\t\tb \t", "p|a|b", "runs of blanks and tabs separate"},
        {cp1252, "", "", "an empty line (Wine starts a child with its quoted path instead)"},
        {cp1252, "  p  a  ", "|p|a", "a blank first ends an empty program name"},
        {cp1252, "\"C:\\P F\\v.exe\"vsl://x", "C:\\P F\\v.exe|vsl://x", "an argument may follow the name"},
        {cp1252, "\"a\"b c", "a|b|c", "a quoted name ends at the next quote (today: quotes toggle)"},
        {cp1252, "C:\\a\"b c\"", "C:\\a\"b|c", "an unquoted name ends at a blank, quotes and all"},
        {cp1252, "\"C:\\dir\\\"x y", "C:\\dir\\|x|y", "no \\ rule in the name (Wine's runtime has one)"},
        {cp1252, "\"C:\\v.exe x", "C:\\v.exe x", "a quoted name left open runs to the end"},
        // A lead byte takes the next byte along, as Wine's runtime does; the
        // documentation reads bytes. (Wine's process start replaces a lead
        // byte and a byte that makes no character with it, and drops a lead
        // byte at the end: such lines reach a program only from elsewhere.)
        {Cp932, "p \x83\\\" x", "p|\x83\\ x", "a trail 0x5C is no \\, so the quote opens"},
        {cp1252, "p \x83\\\" x", "p|\x83\"|x", "the same line in a single-byte code page"},
        {Cp932, "p \x95\\\\\" x", "p|\x95\\\"|x", "a trail 0x5C, then \\\" a quote"},
        {Cp932, "p \x88\x9F \"\x88\x9F \x88\x9F\"", "p|\x88\x9F|\x88\x9F \x88\x9F", "whole characters"},
        {Cp932, "p \x83\" x", "p|\x83\"|x", "a trail quote"},
        {Cp932, "p \x81 x\x81\tx", "p|\x81 x\x81\tx", "a trail blank or tab"},
        {Cp932, "p a\x81", "p|a\x81", "a lead byte at the end stands alone"},
        {Cp932, "\"C:\\\x81\"\\v.exe\" x", "C:\\\x81\"\\v.exe|x", "a trail quote does not end the name"},
        {cp1252, "\"C:\\\x81\"\\v.exe\" x", "C:\\\x81|\\v.exe x", "in a single-byte code page it does"},
        {Cp932, "C:\\\xE0 v.exe x", "C:\\\xE0 v.exe|x", "nor does a trail blank"},
    };
    for (const auto& [lead, line, expected, why] : cases) {
        std::vector<std::string> split = SplitCommandLine(line, lead);
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
        EXPECT_EQ(ChooseLinkText(SplitCommandLine(line, NoLeadBytes)), link) << line;
    }
}

}  // namespace
