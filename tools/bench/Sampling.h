#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The portable arithmetic of the start-up driver, kept apart so that the host
// tests check it.

struct PixelPoint {
    int x = 0;
    int y = 0;
};

// Points across a picture of that size, where the display must show the
// picture's pixels before it counts as painted: a 3 x 3 grid at the sixths and
// the four corners, 2 pixels in. Cheap enough to read every millisecond or two.
std::vector<PixelPoint> SamplePoints(int width, int height);

// Whether a shown colour is within tolerance of the wanted one in each
// channel; both as 0x00RRGGBB.
bool CloseColour(std::uint32_t shown, std::uint32_t wanted, int tolerance);

// What the stand-in game (StartStamp.cpp) wrote about itself: its process
// creation time in 100 ns units since 1601 and its command line.
struct Stamp {
    std::uint64_t created = 0;
    std::string commandLine;
};

// Nothing when the text lacks either line or gives no creation time.
std::optional<Stamp> ParseStamp(const std::string& text);
