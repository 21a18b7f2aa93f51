#include "tests/argsplit/Cases.h"

#include <cstdint>
#include <cstdio>

namespace {

// A small generator with a fixed sequence on every compiler, unlike the
// standard library's distributions.
class Xorshift {
public:
    explicit Xorshift(std::uint32_t seed) : state_(seed == 0 ? 1 : seed) {}

    std::uint32_t Below(std::uint32_t bound) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_ % bound;
    }

private:
    std::uint32_t state_;
};

// Code page 932 characters whose trail byte is a backslash (0x83 0x5C, 0x95
// 0x5C), an ideographic space (0x81 0x40) and a plain one (0x88 0x9F); and
// lead bytes followed by bytes that are no trail byte there (a quote, a blank).
const char* const kDoubleBytePieces[] = {"\x83\\", "\x95\\", "\x81\x40", "\x88\x9f", "\x83\"", "\x81 "};

const char* const kPieces[] = {
    "a",    "b",  "xy", "-o",   "/p",     "vsl://x/h:1", " ",    " ",      "  ",         "\t",
    " \t ", "\"", "\"", "\"\"", "\"\"\"", "\\",          "\\\\", "\\\\\\", "\\\\\\\\\\",
};

const char* const kProgramNames[] = {
    "prog",
    "\"C:\\Program Files\\V\\vsl.exe\"",
    "C:\\a\"b c\"",
    "\"a\"b",
    "\"C:\\dir\\\"x",
    "\"\"",
    "\"",
    " ",
    "\t",
    "\"a\"\"b\"",
    "C:\\dir\\\\\"q\"",
    "\"\x83\\\"",
    "a\\\\\\\"b",
};

template <typename T, std::size_t N>
const char* Pick(Xorshift& random, T (&pieces)[N]) {
    return pieces[random.Below(N)];
}

std::string Piece(Xorshift& random) {
    return random.Below(8) == 0 ? Pick(random, kDoubleBytePieces) : Pick(random, kPieces);
}

}  // namespace

std::vector<SplitCase> HandWrittenCases() {
    const char* const lines[] = {
        // The documentation's examples, behind a program name.
        "prog \"a b c\" d e",
        "prog \"ab\\\"c\" \"\\\\\" d",
        "prog a\\\\\\b d\"e f\"g h",
        "prog a\\\\\\\"b c d",
        "prog a\\\\\\\\\"b c\" d e",
        "prog a\"b\"\" c d",
        // The launcher's own command lines.
        "vsl.exe",
        "vsl.exe uninstall",
        "vsl.exe /uninstall",
        "vsl.exe -uninstall",
        "vsl.exe \"vsl://x/h:1?name=Big Player\"",
        "vsl.exe vsl://x/h:1?name=Big Player",
        "vsl.exe vsl://x/h:1?name=Big\tPlayer",
        "vsl.exe first second",
        "vsl.exe \"\" vsl://x/h:1",
        "vsl.exe /p vsl://x/h:1",
        "\"C:\\Program Files\\Vastrel\\vsl.exe\"vsl://x/h:1",
        "\"C:\\Program Files\\Vastrel\\vsl.exe\" \"vsl://rtcw/10.0.0.1:27960?name=Player&embed_url={https://"
        "example.org/}\"",
        // Quotes: single, doubled, tripled, unbalanced, at start, middle, end.
        "prog \"",
        "prog \"\"",
        "prog \"\"\"",
        "prog \"\"\"\"",
        "prog \"\"\"\"\"",
        "prog \"\" \"\" x",
        "prog ab\"c d\"ef",
        "prog a\"\"b",
        "prog \"a\"\"b c\"",
        "prog \"a\"\"\"b c\"",
        "prog \"a b\"\"",
        "prog \"unterminated stretch",
        "prog a\"",
        "prog a\" b",
        // Backslash runs before quotes and elsewhere.
        "prog \\",
        "prog \\\\",
        "prog a\\\\\\\\",
        "prog \"a\\\\\"",
        "prog C:\\dir\\\\x\\",
        "prog a\\\"b",
        "prog a\\\\\"b c\"",
        "prog \"a \\\" b\"",
        "prog \"a\\\\\"\" b\" c",
        "prog \"a\\\\\\\\\"\" b\" c",
        "prog \\\\\\\\\\\"x",
        // Blanks and tabs: runs, leading, trailing.
        "  prog  a  ",
        "\tprog\ta\t",
        " ",
        "\t",
        "prog \t ",
        "prog a \t\t b",
        // Program names.
        "\"a\"b c",
        "C:\\a\"b c\"",
        "\"C:\\dir\\\"x y",
        "\"a\"\"b c\"",
        "\"a\\\"\"b c\"",
        "\"\"",
        "\"",
        "\"\" x",
        "\"C:\\x y.exe\" a",
        "C:\\a\\\"b\"\\ c",
        "",
        // Double-byte characters: trail bytes 0x5C (backslash) and 0x40, lead
        // bytes before a quote or a blank, and a lead byte at the end.
        "prog \x83\\\" x",
        "prog \"\x83\\\"",
        "prog \x95\\\\\" x",
        "prog a\x81\x40"
        "b",
        "prog \x88\x9f \"\x88\x9f \x88\x9f\"",
        "\x83\\\"x y",
        "\"C:\\\x83\\\"\\vsl.exe\" x",
        "prog \x83\" x",
        "prog \x81 x",
        "prog a\x81",
    };
    std::vector<SplitCase> cases;
    for (const char* line : lines) {
        cases.push_back({line, "hand"});
    }
    return cases;
}

std::vector<SplitCase> GeneratedCases(unsigned seed, int count) {
    Xorshift random(seed);
    std::vector<SplitCase> cases;
    for (int n = 0; n < count; ++n) {
        std::string line;
        if (random.Below(3) != 0) {
            line = Pick(random, kProgramNames);
        }
        for (std::uint32_t pieces = 1 + random.Below(9); pieces > 0; --pieces) {
            line += Piece(random);
        }
        cases.push_back({line, "generated " + std::to_string(n)});
    }
    return cases;
}

std::string Printable(const std::string& text) {
    std::string shown;
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            shown += c;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "<%02X>", byte);
            shown += escape;
        }
    }
    return shown;
}
