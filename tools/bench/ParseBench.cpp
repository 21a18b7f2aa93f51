// Times the link parser on the host for links of 1 KB, 8 KB and 32 KB, with
// many short pairs and with one long value, and prints the time per link and
// per byte. A parser whose time grows faster than the link's length shows as
// a larger time per byte for the longer links.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <vector>

#include "link/LinkParser.h"
#include "tools/bench/Figures.h"
#include "tools/bench/Links.h"

namespace {

// The link parser asks its platform only to report a malformed link; every
// link here is well formed, so any call is a fault of the benchmark.
class RefusingPlatform : public Platform {
public:
    std::optional<RegistryKey> OpenKey(RegistryRoot, const std::string&, std::uint32_t) override {
        throw Refused("OpenKey");
    }
    bool QueryValue(RegistryKey, const std::string&, unsigned char*, std::uint32_t*) override {
        throw Refused("QueryValue");
    }
    void DeleteKey(RegistryKey, const std::string&) override { throw Refused("DeleteKey"); }
    void CloseKey(RegistryKey) override { throw Refused("CloseKey"); }
    bool StartProgram(const std::string&, const std::string&, const std::string&) override {
        throw Refused("StartProgram");
    }
    std::string WindowsFolder() override { throw Refused("WindowsFolder"); }
    std::string SystemFolder() override { throw Refused("SystemFolder"); }
    std::optional<std::string> ConvertText(const std::string&, CodePage, CodePage) override {
        throw Refused("ConvertText");
    }
    std::optional<std::string> ReadEnvironment(const std::string&) override {
        throw Refused("ReadEnvironment");
    }
    std::string ProgramPath() override { throw Refused("ProgramPath"); }
    bool IsElevated() override { throw Refused("IsElevated"); }
    bool StartElevated(const std::string&, const std::string&) override { throw Refused("StartElevated"); }
    bool CanChangeFolder(const std::string&) override { throw Refused("CanChangeFolder"); }
    bool TakeLock(const std::string&) override { throw Refused("TakeLock"); }
    bool WriteTextFile(const std::string&, const std::string&) override { throw Refused("WriteTextFile"); }
    int ShowMessageBox(const std::string& text, unsigned) override {
        throw Refused("ShowMessageBox: " + text);
    }

private:
    void Exit(int) override { throw Refused("Exit"); }

    static std::logic_error Refused(const std::string& call) {
        return std::logic_error("the link parser called the platform: " + call);
    }
};

// The lengths timed: 32,000 bytes is about the longest link that fits a
// Windows command line (32,767 characters) after the program's quoted path.
constexpr std::size_t kLengths[] = {1024, 8 * 1024, 32000};

// Each batch runs for at least this long, in the thread's own CPU time, so
// that time the scheduler gives other programs does not count; the fastest
// batch counts, since other work on a shared machine only ever adds time.
constexpr double kBatchSeconds = 0.08;
constexpr int kBatches = 9;

constexpr double kGrowthLimit = 1.5;

// The parse must yield what the generator put in; a benchmark of a parser
// that drops pairs would time the wrong work.
void CheckParse(const GeneratedLink& link) {
    RefusingPlatform platform;
    LaunchRequest request = LinkParser(platform, link.text);
    std::size_t longest = 0;
    for (const ServerSetting& setting : request.m_settings) {
        longest = std::max(longest, setting.m_strValue.size());
    }
    if (request.m_settings.size() != link.pairs || longest != link.longestValue) {
        throw std::runtime_error("the parser gave " + std::to_string(request.m_settings.size()) +
                                 " settings, the longest value " + std::to_string(longest) +
                                 " bytes, for a link of " + std::to_string(link.pairs) + " pairs");
    }
}

double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Nanoseconds per parse of the link, in the fastest batch.
double NanosecondsPerParse(const std::string& link) {
    RefusingPlatform platform;
    volatile std::size_t sink = 0;
    auto parseTimes = [&](long count) {
        double start = ThreadSeconds();
        for (long i = 0; i < count; i++) {
            sink = sink + LinkParser(platform, link).m_settings.size();
        }
        return ThreadSeconds() - start;
    };

    long repetitions = 1;
    while (parseTimes(repetitions) < kBatchSeconds) {
        repetitions *= 2;
    }
    std::vector<double> perParse;
    for (int batch = 0; batch < kBatches; batch++) {
        perParse.push_back(parseTimes(repetitions) * 1e9 / static_cast<double>(repetitions));
    }
    return Summarise(perParse)->low;
}

struct Series {
    const char* name;
    GeneratedLink (*make)(std::size_t);
};

void TimeSeries(const Series& series) {
    std::printf("%s:\n", series.name);
    std::vector<double> perByte;
    for (std::size_t length : kLengths) {
        GeneratedLink link = series.make(length);
        CheckParse(link);
        double perParse = NanosecondsPerParse(link.text);
        perByte.push_back(perParse / static_cast<double>(length));
        std::printf("  %6zu bytes, %5zu pairs: %12.0f ns per link, %8.2f ns per byte\n", length, link.pairs,
                    perParse, perByte.back());
    }
    double growth = perByte.back() / perByte.front();
    std::printf("  time per byte at %zu bytes / at %zu bytes: %.2f\n", kLengths[2], kLengths[0], growth);

    Figure figure;
    figure.name = std::string("parse, ") + series.name + ": ns/byte at 32 KB / at 1 KB";
    figure.measured = Fixed(growth, 2) + "x (" + Fixed(perByte.back(), 2) + " ns/byte)";
    figure.reference = "1 KB: " + Fixed(perByte.front(), 2) + " ns/byte";
    figure.target = "<= " + Fixed(kGrowthLimit, 1) + "x";
    figure.met = WithinFactor(growth, 1.0, kGrowthLimit);
    std::printf("%s\n", FigureLine(figure).c_str());
}

}  // namespace

int main() {
    const Series series[] = {
        {"many short pairs", ManyPairsLink},
        {"one long value", OneLongValueLink},
    };
    try {
        for (const Series& each : series) {
            TimeSeries(each);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "parse benchmark: %s\n", error.what());
        return 1;
    }
    return 0;
}
