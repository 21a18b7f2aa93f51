#include "tools/bench/Sampling.h"

#include <cstdlib>

#include "tests/support/NameValueLines.h"

std::vector<PixelPoint> SamplePoints(int width, int height) {
    std::vector<PixelPoint> points;
    for (int down : {1, 3, 5}) {
        for (int across : {1, 3, 5}) {
            points.push_back(PixelPoint{width * across / 6, height * down / 6});
        }
    }
    int right = width - 3;
    int bottom = height - 3;
    for (PixelPoint corner :
         {PixelPoint{2, 2}, PixelPoint{right, 2}, PixelPoint{2, bottom}, PixelPoint{right, bottom}}) {
        points.push_back(corner);
    }
    return points;
}

bool CloseColour(std::uint32_t shown, std::uint32_t wanted, int tolerance) {
    for (int shift : {0, 8, 16}) {
        int difference =
            static_cast<int>((shown >> shift) & 0xFF) - static_cast<int>((wanted >> shift) & 0xFF);
        if (std::abs(difference) > tolerance) {
            return false;
        }
    }
    return true;
}

std::optional<Stamp> ParseStamp(const std::string& text) {
    Stamp stamp;
    bool seenCreated = false;
    bool seenCommandLine = false;
    for (const auto& [name, value] : NameValueLines(text)) {
        if (name == "created") {
            stamp.created = std::strtoull(value.c_str(), nullptr, 10);
            seenCreated = stamp.created != 0;
        } else if (name == "command_line") {
            stamp.commandLine = value;
            seenCommandLine = true;
        }
    }
    if (!seenCreated || !seenCommandLine) {
        return std::nullopt;
    }
    return stamp;
}
