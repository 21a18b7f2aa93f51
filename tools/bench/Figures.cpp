#include "tools/bench/Figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::optional<Summary> Summarise(std::vector<double> samples) {
    if (samples.empty()) {
        return std::nullopt;
    }
    std::sort(samples.begin(), samples.end());
    Summary summary;
    summary.count = samples.size();
    summary.low = samples.front();
    summary.high = samples.back();
    std::size_t middle = samples.size() / 2;
    summary.median = samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    return summary;
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

std::string Describe(const Summary& summary, int decimals) {
    return Fixed(summary.median, decimals) + " (" + Fixed(summary.low, decimals) + "-" +
           Fixed(summary.high, decimals) + ", n=" + std::to_string(summary.count) + ")";
}

bool WithinFactor(double value, double reference, double factor) {
    return value <= reference * factor;
}

bool WithinDistance(double value, double target, double tolerance) {
    return std::fabs(value - target) <= tolerance;
}

std::string FigureLine(const Figure& figure) {
    return "FIGURE\t" + figure.name + "\t" + figure.measured + "\t" + figure.reference + "\t" +
           figure.target + "\t" + (figure.met ? "meets" : "misses");
}
