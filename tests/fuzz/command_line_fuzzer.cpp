// Splits hostile command lines and chooses the link text from them. The
// input's last byte picks the code page: bit 0 set reads the line with the
// lead bytes of a double-byte code page, clear with none; the bytes before it
// are the command line.

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "tests/fuzz/Invariant.h"
#include "tests/fuzz/Text.h"

namespace {

using Arguments = std::vector<std::string>;

bool DoubleByteLead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::array<std::size_t, 256> ByteCounts(const Arguments& texts) {
    std::array<std::size_t, 256> counts{};
    for (const std::string& text : texts) {
        for (char c : text) {
            counts[static_cast<unsigned char>(c)]++;
        }
    }
    return counts;
}

// Places where an argument after the program name can begin: a byte that is
// not blank behind a blank, and the byte behind a quoted program name.
std::size_t ArgumentStarts(const std::string& line) {
    std::size_t starts = 2;
    for (std::size_t i = 1; i < line.size(); i++) {
        starts += !IsBlank(line[i]) && IsBlank(line[i - 1]) ? 1 : 0;
    }
    return starts;
}

// Without quotes no rule but the blanks applies: the words of the line.
Arguments Words(const std::string& line) {
    Arguments words{""};
    std::size_t at = 0;
    while (at < line.size() && !IsBlank(line[at])) {
        words[0] += line[at++];
    }
    while (at < line.size()) {
        if (IsBlank(line[at])) {
            at++;
            continue;
        }
        std::string word;
        while (at < line.size() && !IsBlank(line[at])) {
            word += line[at++];
        }
        words.push_back(word);
    }
    return words;
}

// Writes an argument so that the splitting rules give it back: inside quotes,
// with each quote escaped and the backslashes before a quote, or before the
// closing one, doubled.
std::string Quoted(const std::string& argument) {
    std::string text = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            backslashes++;
            continue;
        }
        text.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        text += c;
        backslashes = 0;
    }
    text.append(2 * backslashes, '\\');
    return text + "\"";
}

// The command line that gives these arguments back. A program name that holds
// a quote was never quoted, so it holds no blank either and stands as it is.
std::string Joined(const Arguments& arguments) {
    const std::string& name = arguments[0];
    std::string line = name.find('"') != std::string::npos ? name : "\"" + name + "\"";
    for (std::size_t i = 1; i < arguments.size(); i++) {
        line += " " + Quoted(arguments[i]);
    }
    return line;
}

void CheckLinkText(const Arguments& arguments) {
    std::string link = ChooseLinkText(arguments);
    for (std::size_t i = 1; i < arguments.size(); i++) {
        const std::string& argument = arguments[i];
        if (!argument.empty() && argument[0] != '-' && argument[0] != '/') {
            VSL_REQUIRE(link == argument);
            return;
        }
    }
    VSL_REQUIRE(link.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    bool doubleByte = (input.ConsumeIntegral<std::uint8_t>() & 1) != 0;
    std::string line = input.ConsumeRemainingBytesAsString();

    Arguments arguments = SplitCommandLine(line, doubleByte ? DoubleByteLead : NoLeadBytes);
    VSL_REQUIRE(!arguments.empty());
    VSL_REQUIRE(arguments.size() <= ArgumentStarts(line));

    // Splitting drops bytes and halves runs of backslashes; it never makes a
    // byte that the line did not hold.
    std::array<std::size_t, 256> had = ByteCounts({line});
    std::array<std::size_t, 256> got = ByteCounts(arguments);
    for (std::size_t byte = 0; byte < had.size(); byte++) {
        VSL_REQUIRE(got[byte] <= had[byte]);
    }

    if (!doubleByte) {
        if (line.find('"') == std::string::npos) {
            VSL_REQUIRE(arguments == Words(line));
        }
        VSL_REQUIRE(SplitCommandLine(Joined(arguments), NoLeadBytes) == arguments);
    }
    CheckLinkText(arguments);
    return 0;
}
