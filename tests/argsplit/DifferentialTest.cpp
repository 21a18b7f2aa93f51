// Splits generated and hand-written command lines three ways and compares:
// - ours: SplitCommandLine, with the lead-byte test the launcher uses;
// - Wine's C runtime: msvcrt.dll's __getmainargs in a child process started
//   with each line (vsl_argv_reporter.exe);
// - the documented rules: the reference model of SplitRules.h.
// Every difference must be one of kExpectedDifferences, and every entry there
// that can occur under the process's code page must occur at least once.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "tests/argsplit/Cases.h"
#include "tests/argsplit/ReporterRun.h"
#include "tests/argsplit/SplitRules.h"
#include "tests/support/Files.h"

namespace {

using Argv = std::vector<std::string>;

// The launcher's lead-byte test: the process's ANSI code page.
bool ProcessLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

enum class Source { Ours, Wine, Transit };

struct ExpectedDifference {
    const char* name;
    Source source;
    // Ours and Wine: the rule followed instead of the documented one.
    SplitRules (*follows)(SplitRules);
    // Transit: whether this explains how the line the child received differs
    // from the line it was started with.
    bool (*explains)(const std::string& sent, const ReporterView& received);
    bool doubleByteCodePagesOnly;
    const char* reason;
};

SplitRules FirstQuoteOnly(SplitRules rules) {
    rules.programName = ProgramNameRule::FirstQuoteOnly;
    return rules;
}

SplitRules ProgramNameLikeArguments(SplitRules rules) {
    rules.programName = ProgramNameRule::LikeArguments;
    return rules;
}

SplitRules DoubledQuoteCloses(SplitRules rules) {
    rules.doubledQuote = DoubledQuoteRule::ClosesStretch;
    return rules;
}

SplitRules DoubleByteCharacters(SplitRules rules) {
    rules.doubleByte = DoubleByteRule::Characters;
    return rules;
}

// The ANSI text after a trip through Unicode and back in the process's code
// page, as a command line travels from CreateProcessA to GetCommandLineA.
std::string ThroughUnicode(const std::string& text) {
    if (text.empty()) {
        return text;
    }
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
    std::wstring wide(wideLength, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], wideLength);
    int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, NULL, 0, NULL, NULL);
    std::string back(length, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &back[0], length, NULL, NULL);
    return back;
}

bool EmptyLineBecomesProgramPath(const std::string& sent, const ReporterView& received) {
    return sent.empty() && received.commandLine == "\"" + received.module + "\"";
}

// The line without a lead byte that ends it alone, if it does.
std::string WithoutLoneLeadByteAtEnd(const std::string& text) {
    std::size_t i = 0;
    while (i + 1 < text.size()) {
        i += IsDBCSLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    bool loneLead = i + 1 == text.size() && IsDBCSLeadByte(static_cast<unsigned char>(text[i]));
    return loneLead ? text.substr(0, i) : text;
}

// Wine replaces a lead byte and the byte after it by the code page's default
// character when they make no character, and drops a lead byte at the end.
bool InvalidDoubleByteReplaced(const std::string& sent, const ReporterView& received) {
    std::string converted = ThroughUnicode(WithoutLoneLeadByteAtEnd(sent));
    return converted != sent && received.commandLine == converted;
}

const ExpectedDifference kExpectedDifferences[] = {
    {"ours: program name", Source::Ours, FirstQuoteOnly, nullptr, false,
     "the launcher's rule: a leading quote runs to the next quote, no other rule, the next argument may "
     "follow at once; the current documentation lets quoted parts toggle through the whole name"},
    {"ours: doubled quote", Source::Ours, DoubledQuoteCloses, nullptr, false,
     "the launcher keeps the older rule: two quotes inside a stretch give a quote and close it; the current "
     "documentation (and Wine's msvcrt) give a quote and stay quoted"},
    {"ours: double-byte characters", Source::Ours, DoubleByteCharacters, nullptr, true,
     "a lead byte takes its trail byte along (a trail 0x5C is no backslash); the documentation is silent on "
     "double-byte code pages and the model reads bytes"},
    {"Wine: program name", Source::Wine, ProgramNameLikeArguments, nullptr, false,
     "Wine's msvcrt reads the program name like any argument: backslashes before a quote and doubled quotes "
     "count there too"},
    {"Wine: double-byte characters", Source::Wine, DoubleByteCharacters, nullptr, true,
     "Wine's msvcrt, like the launcher, keeps a lead byte and its trail byte together"},
    {"transit: empty line", Source::Transit, nullptr, EmptyLineBecomesProgramPath, false,
     "Wine's CreateProcessA gives a child started with an empty line its quoted program path instead"},
    {"transit: invalid double-byte", Source::Transit, nullptr, InvalidDoubleByteReplaced, true,
     "a lead byte without a valid trail byte (quote, blank, end) does not survive the trip through Unicode"},
};

bool Applies(const ExpectedDifference& difference, bool doubleByteCodePage) {
    return !difference.doubleByteCodePagesOnly || doubleByteCodePage;
}

// The rules a splitter follows: the documented ones, changed by each entry of
// the table for that splitter except the one given.
SplitRules RulesOf(Source source, const ExpectedDifference* leftOut = nullptr) {
    SplitRules rules = kDocumentedRules;
    for (const ExpectedDifference& difference : kExpectedDifferences) {
        if (difference.source == source && &difference != leftOut) {
            rules = difference.follows(rules);
        }
    }
    return rules;
}

std::string Shown(const Argv& argv) {
    std::string shown = "{";
    for (std::size_t i = 0; i < argv.size(); ++i) {
        shown += (i == 0 ? "[" : ", [") + Printable(argv[i]) + "]";
    }
    return shown + "}";
}

class Tally {
public:
    explicit Tally(bool doubleByteCodePage) : doubleByteCodePage_(doubleByteCodePage) {}

    void Case(const SplitCase& c, const ReporterView& view) {
        ++cases_;
        const std::string& line = view.commandLine;
        if (view.codePage != GetACP()) {
            Unexpected(c, "the child runs under code page " + std::to_string(view.codePage));
        }
        if (line != c.commandLine) {
            Transit(c, view);
        }
        Argv documented = SplitByRules(line, kDocumentedRules, ProcessLeadByte);
        Argv ours = SplitCommandLine(line, ProcessLeadByte);
        const Argv& wine = view.argv;
        agreeAll_ += ours == wine && wine == documented;
        oursWine_ += ours == wine;
        oursDocumented_ += ours == documented;
        wineDocumented_ += wine == documented;
        Explain(c, Source::Ours, line, ours, documented);
        Explain(c, Source::Wine, line, wine, documented);
        // A line that could not reach the child intact still goes through
        // ours and the model as it was written.
        if (line != c.commandLine) {
            Explain(c, Source::Ours, c.commandLine, SplitCommandLine(c.commandLine, ProcessLeadByte),
                    SplitByRules(c.commandLine, kDocumentedRules, ProcessLeadByte));
        }
    }

    void Print(unsigned codePage, std::size_t handWritten, DWORD elapsedMs) const {
        std::printf(
            "argument splitting under code page %u: %d cases (%zu hand-written), %lu ms, %.1f ms a case\n",
            codePage, cases_, handWritten, static_cast<unsigned long>(elapsedMs),
            cases_ > 0 ? static_cast<double>(elapsedMs) / cases_ : 0.0);
        std::printf("  all three agree: %d; ours = Wine: %d; ours = documented: %d; Wine = documented: %d\n",
                    agreeAll_, oursWine_, oursDocumented_, wineDocumented_);
        for (std::size_t i = 0; i < std::size(kExpectedDifferences); ++i) {
            const ExpectedDifference& difference = kExpectedDifferences[i];
            if (Applies(difference, doubleByteCodePage_)) {
                std::printf("  %-30s %4d  %s\n", difference.name, counts_[i], difference.reason);
            }
        }
        std::printf("  unexpected: %zu\n", unexpected_.size());
        std::fflush(stdout);
    }

    void Check() const {
        for (const std::string& message : unexpected_) {
            ADD_FAILURE() << message;
        }
        for (std::size_t i = 0; i < std::size(kExpectedDifferences); ++i) {
            if (Applies(kExpectedDifferences[i], doubleByteCodePage_)) {
                EXPECT_GT(counts_[i], 0)
                    << "the listed difference \"" << kExpectedDifferences[i].name << "\" no longer occurs";
            }
        }
    }

private:
    std::size_t IndexOf(const ExpectedDifference& difference) const {
        return static_cast<std::size_t>(&difference - kExpectedDifferences);
    }

    void Transit(const SplitCase& c, const ReporterView& view) {
        for (const ExpectedDifference& difference : kExpectedDifferences) {
            if (difference.source == Source::Transit && Applies(difference, doubleByteCodePage_) &&
                difference.explains(c.commandLine, view)) {
                ++counts_[IndexOf(difference)];
                return;
            }
        }
        Unexpected(c, "the child received [" + Printable(view.commandLine) + "]");
    }

    // A splitter's result must be what its rules in the table give; each entry
    // that shows on the line counts once. (A line altered in transit is judged
    // twice for ours: as received and as sent.)
    void Explain(const SplitCase& c, Source source, const std::string& line, const Argv& result,
                 const Argv& documented) {
        Argv expected = SplitByRules(line, RulesOf(source), ProcessLeadByte);
        if (result != expected) {
            Unexpected(c, std::string(source == Source::Ours ? "ours" : "Wine") + " on [" + Printable(line) +
                              "] gives " + Shown(result) + ", its listed rules give " + Shown(expected) +
                              ", the documented rules " + Shown(documented));
            return;
        }
        // An entry counts when the result changes without it, or when it
        // alone changes the documented result: some lines differ only through
        // two entries at once, and either alone would do it.
        bool counted = false;
        for (const ExpectedDifference& difference : kExpectedDifferences) {
            if (difference.source != source || !Applies(difference, doubleByteCodePage_)) {
                continue;
            }
            bool neededHere = SplitByRules(line, RulesOf(source, &difference), ProcessLeadByte) != expected;
            bool enoughAlone =
                SplitByRules(line, difference.follows(kDocumentedRules), ProcessLeadByte) != documented;
            if (neededHere || enoughAlone) {
                ++counts_[IndexOf(difference)];
                counted = true;
            }
        }
        if (!counted && result != documented) {
            Unexpected(c,
                       "no single listed rule explains " + Shown(result) + " for [" + Printable(line) + "]");
        }
    }

    void Unexpected(const SplitCase& c, const std::string& what) {
        unexpected_.push_back(c.origin + ", line [" + Printable(c.commandLine) + "]: " + what);
    }

    bool doubleByteCodePage_;
    int cases_ = 0;
    int agreeAll_ = 0;
    int oursWine_ = 0;
    int oursDocumented_ = 0;
    int wineDocumented_ = 0;
    int counts_[std::size(kExpectedDifferences)] = {};
    std::vector<std::string> unexpected_;
};

// The code page the test was started for; CTest sets it together with the
// locale that selects it, so a locale that did not take fails here.
unsigned RequestedCodePage() {
    const char* requested = std::getenv("VSL_ARGSPLIT_CODE_PAGE");
    return requested == nullptr ? 0 : static_cast<unsigned>(std::strtoul(requested, nullptr, 10));
}

TEST(Differential, OursWineAndTheDocumentedRules) {
    unsigned codePage = GetACP();
    ASSERT_EQ(codePage, RequestedCodePage())
        << "set VSL_ARGSPLIT_CODE_PAGE to the code page the locale selects";
    CPINFO info = {};
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    bool doubleByteCodePage = info.MaxCharSize == 2;

    std::vector<SplitCase> cases = HandWrittenCases();
    std::size_t handWritten = cases.size();
    for (SplitCase& c : GeneratedCases(20261206, doubleByteCodePage ? 150 : 200)) {
        cases.push_back(c);
    }

    ReporterRunner runner;
    Tally tally(doubleByteCodePage);
    DWORD start = GetTickCount();
    for (const SplitCase& c : cases) {
        tally.Case(c, runner.Run(c.commandLine));
    }
    tally.Print(codePage, handWritten, GetTickCount() - start);
    tally.Check();
}

}  // namespace
