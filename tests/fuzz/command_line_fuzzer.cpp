// Splits hostile command lines and chooses the link text from them. The
// input's last byte picks the code page: bit 0 set reads the line with the
// lead bytes of a double-byte code page, clear with none; the bytes before it
// are the command line.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "tests/fuzz/Invariant.h"

namespace {

using Arguments = std::vector<std::string>;

bool DoubleByteLead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// An argument written so that the splitting rules give it back: inside
// quotes, each quote escaped and the backslashes before a quote, or before
// the closing one, doubled.
std::string Quoted(const std::string& argument) {
    std::string text = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        text.append(c == '"' ? backslashes + 1 : 0, '\\');
        text += c;
        backslashes = c == '\\' ? backslashes + 1 : 0;
    }
    return text.append(backslashes, '\\') + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    bool doubleByte = (input.ConsumeIntegral<std::uint8_t>() & 1) != 0;
    std::string line = input.ConsumeRemainingBytesAsString();
    Arguments arguments = SplitCommandLine(line, doubleByte ? DoubleByteLead : NoLeadBytes);
    VSL_REQUIRE(!arguments.empty());

    // Splitting drops quotes and halves runs of backslashes; it never makes a
    // byte that the line did not hold.
    std::string all;
    for (const std::string& argument : arguments) {
        all += argument;
    }
    for (int byte = 0; byte < 256; byte++) {
        auto c = static_cast<char>(byte);
        VSL_REQUIRE(std::count(all.begin(), all.end(), c) <= std::count(line.begin(), line.end(), c));
    }

    // Quoting the arguments back gives the same split. A program name that
    // holds a quote was never quoted, so it holds no blank either.
    if (!doubleByte) {
        const std::string& name = arguments[0];
        std::string joined = Contains(name, "\"") ? name : "\"" + name + "\"";
        for (std::size_t i = 1; i < arguments.size(); i++) {
            joined += " " + Quoted(arguments[i]);
        }
        VSL_REQUIRE(SplitCommandLine(joined, NoLeadBytes) == arguments);
    }

    // The link is the first argument after the name that is neither empty
    // nor an option, or empty when there is none.
    std::string link = ChooseLinkText(arguments);
    bool found = false;
    for (std::size_t i = 1; i < arguments.size() && !found; i++) {
        found = !arguments[i].empty() && arguments[i][0] != '-' && arguments[i][0] != '/';
        VSL_REQUIRE(!found || link == arguments[i]);
    }
    VSL_REQUIRE(found || link.empty());
    return 0;
}
