#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What the benchmark programs share: a summary of repeated measurements and
// the one line per figure that tools/benchmark gathers into its table.

// The middle and the range of a set of samples.
struct Summary {
    double median = 0;
    double low = 0;
    double high = 0;
    std::size_t count = 0;
};

// Nothing for no samples. The median of an even count is the mean of the two
// middle samples.
std::optional<Summary> Summarise(std::vector<double> samples);

// "195.3 (181.0-230.4, n=12)" with the given number of decimals.
std::string Describe(const Summary& summary, int decimals);

// value <= reference * factor: a measured figure against a reference.
bool WithinFactor(double value, double reference, double factor);

// |value - target| <= tolerance.
bool WithinDistance(double value, double target, double tolerance);

std::string Fixed(double value, int decimals);

// One row of the benchmark's table. The line is
//   FIGURE<tab>name<tab>measured<tab>reference<tab>target<tab>meets|misses
// so that a script can find the rows among the programs' other output.
struct Figure {
    std::string name;
    std::string measured;
    std::string reference;
    std::string target;
    bool met = false;
};

std::string FigureLine(const Figure& figure);
