// The reference model against the documentation's own examples and against
// each variant's defining case, so that a fault in the model cannot pass for
// a difference of the splitters it judges.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/argsplit/SplitRules.h"

namespace {

using Argv = std::vector<std::string>;

bool ShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct RuleCase {
    const char* line;
    Argv argv;
};

void ExpectSplits(const SplitRules& rules, const std::vector<RuleCase>& cases) {
    for (const RuleCase& c : cases) {
        EXPECT_EQ(SplitByRules(c.line, rules, ShiftJisLeadByte), c.argv) << "line: " << c.line;
    }
}

TEST(SplitRules, DocumentedExamples) {
    ExpectSplits(kDocumentedRules, {
                                       {"p \"a b c\" d e", {"p", "a b c", "d", "e"}},
                                       {"p \"ab\\\"c\" \"\\\\\" d", {"p", "ab\"c", "\\", "d"}},
                                       {"p a\\\\\\b d\"e f\"g h", {"p", "a\\\\\\b", "de fg", "h"}},
                                       {"p a\\\\\\\"b c d", {"p", "a\\\"b", "c", "d"}},
                                       {"p a\\\\\\\\\"b c\" d e", {"p", "a\\\\b c", "d", "e"}},
                                       {"p a\"b\"\" c d", {"p", "ab\" c d"}},
                                       // An unclosed stretch runs to the end.
                                       {"p \"a b", {"p", "a b"}},
                                       {"p \t a\t\tb \t", {"p", "a", "b"}},
                                       {"p \"\" x", {"p", "", "x"}},
                                       // The program name: quoted parts, no backslash rule.
                                       {"\"C:\\dir\\\"x y", {"C:\\dir\\x", "y"}},
                                       {"C:\\a\"b c\" d", {"C:\\ab c", "d"}},
                                       {" a", {"", "a"}},
                                       {"", {""}},
                                   });
}

TEST(SplitRules, ProgramNameVariants) {
    SplitRules firstQuote = kDocumentedRules;
    firstQuote.programName = ProgramNameRule::FirstQuoteOnly;
    ExpectSplits(firstQuote, {
                                 {"\"a\"b c", {"a", "b", "c"}},
                                 {"C:\\a\"b c\"", {"C:\\a\"b", "c"}},
                                 {"\"C:\\dir\\\"x y", {"C:\\dir\\", "x", "y"}},
                                 {"\"a b", {"a b"}},
                             });
    SplitRules likeArguments = kDocumentedRules;
    likeArguments.programName = ProgramNameRule::LikeArguments;
    ExpectSplits(likeArguments, {
                                    {"\"C:\\dir\\\"x y", {"C:\\dir\"x y"}},
                                    {"\"a\"\"b c\"", {"a\"b c"}},
                                    {"a\\\\\"b c\" d", {"a\\b c", "d"}},
                                    {"\ta", {"", "a"}},
                                });
}

TEST(SplitRules, DoubledQuoteVariants) {
    SplitRules closes = kDocumentedRules;
    closes.doubledQuote = DoubledQuoteRule::ClosesStretch;
    ExpectSplits(closes, {
                             {"p a\"b\"\" c d", {"p", "ab\"", "c", "d"}},
                             {"p \"a\"\"\"b c\"", {"p", "a\"b c"}},
                             {"p \"\"\"\" x", {"p", "\" x"}},
                             // Outside a stretch two quotes open and close one.
                             {"p a\"\"b", {"p", "ab"}},
                         });
    ExpectSplits(kDocumentedRules, {
                                       {"p \"a\"\"\"b c\"", {"p", "a\"b", "c"}},
                                       {"p \"\"\"\" x", {"p", "\"", "x"}},
                                       {"p a\"\"b", {"p", "ab"}},
                                   });
}

TEST(SplitRules, DoubleByteVariants) {
    SplitRules characters = kDocumentedRules;
    characters.doubleByte = DoubleByteRule::Characters;
    ExpectSplits(characters, {
                                 {"p \x83\\\" x", {"p", "\x83\\ x"}},
                                 {"p \x81 x", {"p", "\x81 x"}},
                                 {"\"\x83\"\" x", {"\x83\"", "x"}},
                                 {"p a\x81", {"p", "a\x81"}},
                             });
    ExpectSplits(kDocumentedRules, {
                                       {"p \x83\\\" x", {"p", "\x83\"", "x"}},
                                       {"p \x81 x", {"p", "\x81", "x"}},
                                   });
}

}  // namespace
