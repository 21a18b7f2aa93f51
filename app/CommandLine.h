#pragma once

#include <string>
#include <vector>

// Splits a command line into its arguments, the program name first, by the
// rules of the Microsoft C runtime (msvcrt), by which programs started from
// the shell read their arguments:
// - a quoted program name runs to the next quote, an unquoted one to the first
//   blank or tab, with no other rule applied;
// - blanks and tabs separate arguments, except inside a quoted stretch;
// - backslashes before a quote count in pairs: 2n give n and the quote opens
//   or closes a stretch, 2n+1 give n and a literal quote;
// - two quotes in a row inside a stretch give one quote and close it.
// The line is UTF-8, whose bytes beyond ASCII are all letters here.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The link text: the first argument after the program name that is neither
// empty nor an option (beginning with "-" or "/"); empty when there is none.
std::string ChooseLinkText(const std::vector<std::string>& arguments);
