#include "tests/argsplit/SplitRules.h"

#include <cstddef>

namespace {

bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

class RuleSplitter {
public:
    RuleSplitter(const std::string& line, const SplitRules& rules, IsLeadByteFn isLeadByte)
        : line_(line), rules_(rules), isLeadByte_(isLeadByte) {}

    std::vector<std::string> Split() {
        std::vector<std::string> argv;
        argv.push_back(rules_.programName == ProgramNameRule::LikeArguments ? Argument() : ProgramName());
        for (;;) {
            while (pos_ < line_.size() && IsBlankOrTab(line_[pos_])) {
                ++pos_;
            }
            if (pos_ == line_.size()) {
                return argv;
            }
            argv.push_back(Argument());
        }
    }

private:
    bool More() const { return pos_ < line_.size(); }
    char Current() const { return line_[pos_]; }

    // Appends the character at the current position: one byte, or a lead byte
    // and its trail byte.
    void Take(std::string& text) {
        bool lead = rules_.doubleByte == DoubleByteRule::Characters &&
                    isLeadByte_(static_cast<unsigned char>(Current()));
        std::size_t length = lead && pos_ + 1 < line_.size() ? 2 : 1;
        text.append(line_, pos_, length);
        pos_ += length;
    }

    std::string ProgramName() {
        std::string name;
        if (rules_.programName == ProgramNameRule::FirstQuoteOnly && More() && Current() == '"') {
            ++pos_;
            while (More() && Current() != '"') {
                Take(name);
            }
            if (More()) {
                ++pos_;
            }
            return name;
        }
        bool quoted = false;
        while (More()) {
            if (rules_.programName == ProgramNameRule::QuotedParts && Current() == '"') {
                quoted = !quoted;
                ++pos_;
            } else if (!quoted && IsBlankOrTab(Current())) {
                break;
            } else {
                Take(name);
            }
        }
        return name;
    }

    // One character at a time: backslashes wait until the next character
    // shows whether they stand before a quote.
    std::string Argument() {
        std::string argument;
        bool quoted = false;
        std::size_t waitingBackslashes = 0;
        while (More()) {
            char c = Current();
            if (c == '\\') {
                ++waitingBackslashes;
                ++pos_;
                continue;
            }
            if (c == '"') {
                argument.append(waitingBackslashes / 2, '\\');
                bool escaped = waitingBackslashes % 2 == 1;
                waitingBackslashes = 0;
                ++pos_;
                if (escaped) {
                    argument += '"';
                } else if (quoted && More() && Current() == '"') {
                    argument += '"';
                    ++pos_;
                    quoted = rules_.doubledQuote == DoubledQuoteRule::StaysQuoted;
                } else {
                    quoted = !quoted;
                }
                continue;
            }
            argument.append(waitingBackslashes, '\\');
            waitingBackslashes = 0;
            if (!quoted && IsBlankOrTab(c)) {
                break;
            }
            Take(argument);
        }
        argument.append(waitingBackslashes, '\\');
        return argument;
    }

    const std::string& line_;
    SplitRules rules_;
    IsLeadByteFn isLeadByte_;
    std::size_t pos_ = 0;
};

}  // namespace

std::vector<std::string> SplitByRules(const std::string& line, const SplitRules& rules,
                                      IsLeadByteFn isLeadByte) {
    return RuleSplitter(line, rules, isLeadByte).Split();
}
