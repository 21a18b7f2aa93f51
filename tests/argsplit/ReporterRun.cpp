#include "tests/argsplit/ReporterRun.h"

#include <windows.h>

#include <cstdlib>
#include <optional>
#include <sstream>

#include "tests/support/Files.h"

namespace {

const DWORD kChildTimeLimitMs = 10000;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string FromHex(const std::string& hex) {
    if (hex.size() % 2 != 0) {
        throw SetupError("odd hexadecimal text in the report: " + hex);
    }
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int high = HexDigit(hex[i]);
        int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) {
            throw SetupError("bad hexadecimal text in the report: " + hex);
        }
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

}  // namespace

ReporterView ParseReport(const std::string& report) {
    ReporterView view;
    bool sawCodePage = false;
    bool sawLine = false;
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        std::string::size_type space = line.find(' ');
        if (space == std::string::npos) {
            throw SetupError("report line without a value: " + line);
        }
        std::string key = line.substr(0, space);
        std::string value = line.substr(space + 1);
        if (key == "acp") {
            view.codePage = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
            sawCodePage = true;
        } else if (key == "module") {
            view.module = FromHex(value);
        } else if (key == "line") {
            view.commandLine = FromHex(value);
            sawLine = true;
        } else if (key == "arg") {
            view.argv.push_back(FromHex(value));
        } else {
            throw SetupError("unknown report line: " + line);
        }
    }
    if (!sawCodePage || !sawLine || view.argv.empty()) {
        throw SetupError("incomplete report:\n" + report);
    }
    return view;
}

ReporterRunner::ReporterRunner() : program_(BuiltProgram("vsl_argv_reporter.exe")) {
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        throw SetupError("no temporary folder");
    }
    reportPath_ = std::string(temp) + "vsl_argv_report_" + std::to_string(GetCurrentProcessId()) + ".txt";
    if (!SetEnvironmentVariableA("VSL_ARGV_REPORT", reportPath_.c_str())) {
        throw SetupError("cannot set VSL_ARGV_REPORT");
    }
}

ReporterRunner::~ReporterRunner() {
    DeleteFileA(reportPath_.c_str());
}

ReporterView ReporterRunner::Run(const std::string& commandLine) const {
    DeleteFileA(reportPath_.c_str());
    std::string writable = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program_.c_str(), &writable[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &process)) {
        throw SetupError("cannot start " + program_ + ": error " + std::to_string(GetLastError()));
    }
    CloseHandle(process.hThread);
    DWORD waited = WaitForSingleObject(process.hProcess, kChildTimeLimitMs);
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        throw SetupError("the reporter did not end in time");
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    if (exitCode != 0) {
        throw SetupError("the reporter ended with code " + std::to_string(exitCode));
    }
    std::optional<std::string> report = ReadFileText(reportPath_);
    if (!report) {
        throw SetupError("the reporter left no report at " + reportPath_);
    }
    return ParseReport(*report);
}
