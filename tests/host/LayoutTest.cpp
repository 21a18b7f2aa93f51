#include <gtest/gtest.h>

#include "app/Layout.h"

namespace {

struct Centring {
    LayoutRect reference;
    LayoutRect area;
    int width;
    int height;
    int x;
    int y;
};

TEST(CentredOrigin, CentresAndKeepsInsideTheArea) {
    const LayoutRect taskbarScreen{0, 0, 1024, 738};
    const LayoutRect fullScreen{0, 0, 1024, 768};
    const LayoutRect rightMonitor{1024, 0, 2304, 1024};
    const Centring cases[] = {
        {taskbarScreen, taskbarScreen, 400, 300, 312, 219},
        {fullScreen, fullScreen, 400, 300, 312, 234},
        // Odd sizes: both halves truncate.
        {fullScreen, fullScreen, 401, 301, 312, 234},
        {{0, 0, 1023, 767}, fullScreen, 400, 300, 311, 233},
        {rightMonitor, rightMonitor, 400, 300, 1464, 362},
        // Larger than the area: the left and top edges win.
        {fullScreen, fullScreen, 2000, 1000, 0, 0},
        {rightMonitor, rightMonitor, 1300, 1100, 1024, 0},
        // Centred on an owner near the area's edges, then pulled back in.
        {{-100, -50, 100, 50}, fullScreen, 400, 300, 0, 0},
        {{900, 700, 1100, 800}, fullScreen, 400, 300, 624, 468},
        {{100, 100, 300, 200}, fullScreen, 100, 50, 150, 125},
        // Truncation toward zero on negative coordinates.
        {{-1025, -769, 0, 0}, {-1024, -768, 0, 0}, 400, 300, -712, -534},
        {{-3, -3, 0, 0}, {-1024, -768, 0, 0}, 1, 1, -1, -1},
    };
    for (const Centring& c : cases) {
        LayoutPoint origin = CentredOrigin(c.reference, c.area, c.width, c.height);
        EXPECT_EQ(origin.x, c.x) << c.reference.left << "," << c.reference.top << " " << c.width;
        EXPECT_EQ(origin.y, c.y) << c.reference.left << "," << c.reference.top << " " << c.height;
    }
}

TEST(MinimisedIconOffset, TruncatesTowardZero) {
    const struct {
        int client;
        int offset;
    } cases[] = {{36, 2}, {35, 2},  {33, 1},  {32, 0},  {31, 0},
                 {30, 0}, {29, -1}, {28, -1}, {27, -2}, {0, -15}};
    for (const auto& c : cases) {
        EXPECT_EQ(MinimisedIconOffset(c.client, 32), c.offset) << "client " << c.client;
    }
}

}  // namespace
