#include "app/CommandLine.h"

#include <cstddef>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Walks a command line one byte at a time. The line is UTF-8, in which no
// byte of a character beyond ASCII is a blank, tab, quote or backslash.
class CommandLineReader {
public:
    explicit CommandLineReader(const std::string& line) : line_(line) {}

    bool AtEnd() const { return at_ == line_.size(); }
    char Peek(std::size_t ahead = 0) const { return at_ + ahead < line_.size() ? line_[at_ + ahead] : '\0'; }
    void Skip(std::size_t count = 1) { at_ += count; }
    void CopyCharacterTo(std::string& text) { text += line_[at_++]; }

private:
    const std::string& line_;
    std::size_t at_ = 0;
};

std::string ReadProgramName(CommandLineReader& reader) {
    std::string name;
    if (reader.Peek() == '"') {
        reader.Skip();
        while (!reader.AtEnd() && reader.Peek() != '"') {
            reader.CopyCharacterTo(name);
        }
        if (!reader.AtEnd()) {
            reader.Skip();
        }
    } else {
        while (!reader.AtEnd() && !IsBlank(reader.Peek())) {
            reader.CopyCharacterTo(name);
        }
    }
    return name;
}

std::string ReadArgument(CommandLineReader& reader) {
    std::string argument;
    bool quoted = false;
    for (;;) {
        std::size_t backslashes = 0;
        while (reader.Peek() == '\\') {
            ++backslashes;
            reader.Skip();
        }
        if (reader.Peek() == '"') {
            argument.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                argument += '"';
                reader.Skip();
            } else if (quoted && reader.Peek(1) == '"') {
                argument += '"';
                reader.Skip(2);
                quoted = false;
            } else {
                quoted = !quoted;
                reader.Skip();
            }
            continue;
        }
        argument.append(backslashes, '\\');
        if (reader.AtEnd() || (!quoted && IsBlank(reader.Peek()))) {
            return argument;
        }
        reader.CopyCharacterTo(argument);
    }
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    CommandLineReader reader(commandLine);
    std::vector<std::string> arguments{ReadProgramName(reader)};
    for (;;) {
        while (IsBlank(reader.Peek())) {
            reader.Skip();
        }
        if (reader.AtEnd()) {
            return arguments;
        }
        arguments.push_back(ReadArgument(reader));
    }
}

std::string ChooseLinkText(const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        bool isOption = !argument.empty() && (argument[0] == '-' || argument[0] == '/');
        if (!isOption && !argument.empty()) {
            return argument;
        }
    }
    return std::string();
}
