// Times ParseLink, the splitting of a link into its game, server and
// settings, on the host for links of 1 KB, 8 KB and 32 KB, made of many short
// pairs and of one long value, and prints the time per byte. A split whose
// time grows faster than the link's length shows as a larger time per byte
// for the longer links; the figure is that at 32 KB against that at 1 KB.
#include <malloc.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>

#include "link/LinkParser.h"
#include "tools/bench/Figures.h"

namespace {

constexpr char kLinkStart[] = "vsl://rtcw/10.0.0.1:27960?";

// 32,000 bytes is about the longest link that fits a Windows command line
// (32,767 characters) after the program's quoted path.
constexpr std::size_t kLengths[] = {1024, 8192, 32000};

// Each batch runs for at least this long, in the thread's own CPU time, so
// that time the scheduler gives other programs does not count; the fastest
// batch counts, since other work on a shared machine only ever adds time.
constexpr double kBatchSeconds = 0.08;
constexpr int kBatches = 9;

constexpr double kGrowthLimit = 1.5;

// Exactly length bytes: "k0001=v0001&k0002=v0002&...", the last value
// stretched with "x" to fill the length.
std::string ManyPairs(std::size_t length) {
    std::string link = kLinkStart;
    for (int number = 1;; number++) {
        std::string digits = std::to_string(10000 + number).substr(1);
        std::string pair = (number == 1 ? "k" : "&k") + digits;
        pair.append("=v").append(digits);
        if (link.size() + pair.size() > length) {
            break;
        }
        link += pair;
    }
    return link.append(length - link.size(), 'x');
}

// Exactly length bytes: the one pair "name=xxx...x".
std::string OneLongValue(std::size_t length) {
    std::string link = std::string(kLinkStart) + "name=";
    return link.append(length - link.size(), 'x');
}

double ThreadSeconds() {
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Nanoseconds per split of the link, in the fastest batch.
double NanosecondsPerSplit(const std::string& link) {
    volatile std::size_t sink = 0;
    auto batch = [&](long count) {
        double start = ThreadSeconds();
        for (long i = 0; i < count; i++) {
            sink = sink + ParseLink(link)->m_settings.size();
        }
        return ThreadSeconds() - start;
    };
    long repetitions = 1;
    while (batch(repetitions) < kBatchSeconds) {
        repetitions *= 2;
    }
    double fastest = batch(repetitions);
    for (int i = 1; i < kBatches; i++) {
        fastest = std::min(fastest, batch(repetitions));
    }
    return fastest * 1e9 / static_cast<double>(repetitions);
}

// Prints the series' times and its FIGURE line; false when a link did not
// split into its pairs, for then the wrong work was timed.
bool TimeSeries(const char* name, std::string (*make)(std::size_t)) {
    std::printf("%s:\n", name);
    double perByte[std::size(kLengths)];
    for (std::size_t i = 0; i < std::size(kLengths); i++) {
        std::string link = make(kLengths[i]);
        std::optional<LaunchRequest> request = ParseLink(link);
        auto pairs = static_cast<std::size_t>(std::count(link.begin(), link.end(), '='));
        if (!request || request->m_settings.size() != pairs) {
            std::printf("a link of %zu pairs did not split into them\n", pairs);
            return false;
        }
        double perSplit = NanosecondsPerSplit(link);
        perByte[i] = perSplit / static_cast<double>(kLengths[i]);
        std::printf("  %6zu bytes, %5zu pairs: %10.0f ns per link, %6.2f ns per byte\n", kLengths[i], pairs,
                    perSplit, perByte[i]);
    }
    double growth = perByte[2] / perByte[0];
    std::string figure = std::string("parse, ") + name + ": ns/byte at 32 KB / at 1 KB";
    PrintFigure(figure, Fixed(growth, 2) + "x (" + Fixed(perByte[2], 2) + " ns/byte)",
                "1 KB: " + Fixed(perByte[0], 2) + " ns/byte", "<= " + Fixed(kGrowthLimit, 1) + "x",
                growth <= kGrowthLimit);
    return true;
}

}  // namespace

int main() {
    // glibc serves blocks of 128 KB and more with fresh pages and gives freed
    // memory at the top of its heap back, so the settings of the 32 KB link
    // of short pairs, and of no shorter link, would be faulted in again on
    // every split: a jump at that threshold rather than growth of the split's
    // own work. Every length is timed with memory the process already has.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    return TimeSeries("many short pairs", ManyPairs) && TimeSeries("one long value", OneLongValue) ? 0 : 1;
}
