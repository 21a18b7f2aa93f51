#pragma once

#include <string>
#include <vector>

// What the reporter child (ArgvReporter.cpp) saw in its own process.
struct ReporterView {
    unsigned codePage = 0;
    std::string module;
    std::string commandLine;
    std::vector<std::string> argv;
};

// Starts the reporter with exactly commandLine (CreateProcessA, the program
// given apart, so that the line is free-form), waits for it and reads back its
// report. Throws SetupError when the child cannot run or report.
class ReporterRunner {
public:
    ReporterRunner();
    ~ReporterRunner();
    ReporterRunner(const ReporterRunner&) = delete;
    ReporterRunner& operator=(const ReporterRunner&) = delete;

    ReporterView Run(const std::string& commandLine) const;

private:
    std::string program_;
    std::string reportPath_;
};

// Reads a report: "key value" lines, texts in hexadecimal.
ReporterView ParseReport(const std::string& report);
