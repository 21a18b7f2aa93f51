#pragma once

#include <string>
#include <vector>

// Splits a command line into its arguments by the C runtime's rules, the
// program name first.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The link text: the first argument after the program name that is neither
// empty nor an option (beginning with "-" or "/"); empty when there is none.
std::string ChooseLinkText(const std::vector<std::string>& arguments);
