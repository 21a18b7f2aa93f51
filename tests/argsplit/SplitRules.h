#pragma once

#include <string>
#include <vector>

// A reference model of how a C runtime splits a command line, written from
// the runtime's documentation ("Parsing C command-line arguments"): blanks and
// tabs separate, quotes make stretches, and backslashes count in pairs only
// before a quote; a stretch left open runs to the end of the line. Where
// runtimes or their documentation differ, a rule has variants:
enum class ProgramNameRule {
    // Current documentation: quoted parts may appear anywhere in the program
    // name; each quote opens or closes one and is dropped; no other rule.
    QuotedParts,
    // The launcher's rule: a leading quote runs to the next quote, else the
    // name runs to the first blank or tab; the next argument may follow at
    // once. Older documentation says nothing of the program name.
    FirstQuoteOnly,
    // The program name read with the same rules as every other argument (as
    // Wine's msvcrt does).
    LikeArguments,
};

enum class DoubledQuoteRule {
    // Current documentation: two quotes inside a stretch give one literal
    // quote and the stretch goes on.
    StaysQuoted,
    // The older rule, which older documentation does not state: two quotes
    // inside a stretch give one literal quote and close the stretch.
    ClosesStretch,
};

enum class DoubleByteRule {
    // The documentation says nothing of double-byte code pages: every byte is
    // a character of its own.
    Bytes,
    // A lead byte and the byte after it are one character, never a blank,
    // tab, quote or backslash.
    Characters,
};

struct SplitRules {
    ProgramNameRule programName;
    DoubledQuoteRule doubledQuote;
    DoubleByteRule doubleByte;
};

constexpr SplitRules kDocumentedRules{ProgramNameRule::QuotedParts, DoubledQuoteRule::StaysQuoted,
                                      DoubleByteRule::Bytes};

using IsLeadByteFn = bool (*)(unsigned char byte);

// Splits line by rules; isLeadByte matters only for DoubleByteRule::Characters.
std::vector<std::string> SplitByRules(const std::string& line, const SplitRules& rules,
                                      IsLeadByteFn isLeadByte);
