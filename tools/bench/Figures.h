#pragma once

#include <cstdio>
#include <iomanip>
#include <sstream>
#include <string>

// One row of the benchmark's table, printed as
//   FIGURE<tab>name<tab>measured<tab>reference<tab>target<tab>meets|misses
// so that tools/benchmark finds the rows among the programs' other output.
inline void PrintFigure(const std::string& name, const std::string& measured, const std::string& reference,
                        const std::string& target, bool met) {
    std::printf("FIGURE\t%s\t%s\t%s\t%s\t%s\n", name.c_str(), measured.c_str(), reference.c_str(),
                target.c_str(), met ? "meets" : "misses");
}

inline std::string Fixed(double value, int decimals) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}
