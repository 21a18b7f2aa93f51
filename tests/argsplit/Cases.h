#pragma once

#include <string>
#include <vector>

struct SplitCase {
    std::string commandLine;
    // "hand" or "generated N", to find a case again.
    std::string origin;
};

// Lines written for the rules one by one: the documentation's examples, the
// launcher's own command lines, quotes, backslash runs, blanks and program
// names. Includes lines with double-byte characters of code page 932.
std::vector<SplitCase> HandWrittenCases();

// count lines made from pieces chosen by a fixed-seed generator, so that every
// run tests the same lines.
std::vector<SplitCase> GeneratedCases(unsigned seed, int count);

// The text with every byte outside printable ASCII shown as <NN> (a tab is
// <09>); the lines tested hold no "<" of their own.
std::string Printable(const std::string& text);
