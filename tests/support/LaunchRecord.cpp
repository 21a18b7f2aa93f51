#include "tests/support/LaunchRecord.h"

#include <cstdlib>

#include "tests/support/Files.h"
#include "tests/support/NameValueLines.h"

namespace {

std::string RecordPath(const std::string& program) {
    return program + ".rec";
}

// The record's lines are name=value; the recorder writes it whole, under a
// temporary name first, so a record that exists is complete. One that is not
// means the recorder is broken, which no test should take for a launch.
LaunchRecord ParseRecord(const std::string& text) {
    LaunchRecord record;
    bool seenCommandLine = false;
    bool seenFolder = false;
    bool seenTick = false;
    for (const auto& [name, value] : NameValueLines(text)) {
        if (name == "command_line") {
            record.commandLine = value;
            seenCommandLine = true;
        } else if (name == "cwd") {
            record.folder = value;
            seenFolder = true;
        } else if (name == "tick") {
            record.tick = std::strtoul(value.c_str(), NULL, 10);
            seenTick = true;
        }
    }
    if (!seenCommandLine || !seenFolder || !seenTick) {
        throw SetupError("incomplete launch record:\n" + text);
    }
    return record;
}

}  // namespace

std::optional<LaunchRecord> WaitForLaunch(const std::string& program, DWORD limitMs) {
    std::optional<std::string> text;
    PollUntil(limitMs, [&] { return (text = ReadFileText(RecordPath(program))).has_value(); });
    if (!text) {
        return std::nullopt;
    }
    return ParseRecord(*text);
}

bool WasLaunched(const std::string& program) {
    return FileExists(RecordPath(program));
}
