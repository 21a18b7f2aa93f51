#include <gtest/gtest.h>

#include "app/Layout.h"

namespace {

// Windows centre on their reference and are pulled back inside the area; a
// window larger than the area lines up with its left and top edges. Halves
// truncate toward zero.
TEST(CentredOrigin, CentresAndKeepsInsideTheArea) {
    const LayoutRect screen{0, 0, 1024, 768};
    const LayoutRect right{1024, 0, 2304, 1024};
    const std::tuple<LayoutRect, LayoutRect, int, int, LayoutPoint> cases[] = {
        {screen, screen, 400, 300, {312, 234}},
        {{0, 0, 1024, 738}, {0, 0, 1024, 738}, 400, 300, {312, 219}},
        {screen, screen, 401, 301, {312, 234}},
        {{0, 0, 1023, 767}, screen, 400, 300, {311, 233}},
        {right, right, 400, 300, {1464, 362}},
        {screen, screen, 2000, 1000, {0, 0}},
        {right, right, 1300, 1100, {1024, 0}},
        {{-100, -50, 100, 50}, screen, 400, 300, {0, 0}},
        {{900, 700, 1100, 800}, screen, 400, 300, {624, 468}},
        {{100, 100, 300, 200}, screen, 100, 50, {150, 125}},
        {{-1025, -769, 0, 0}, {-1024, -768, 0, 0}, 400, 300, {-712, -534}},
        {{-3, -3, 0, 0}, {-1024, -768, 0, 0}, 1, 1, {-1, -1}},
    };
    for (const auto& [reference, area, width, height, expected] : cases) {
        LayoutPoint origin = CentredOrigin(reference, area, width, height);
        EXPECT_EQ(origin.x, expected.x) << reference.left << "," << reference.top << " " << width;
        EXPECT_EQ(origin.y, expected.y) << reference.left << "," << reference.top << " " << height;
    }
}

// A minimised window's 32-pixel icon, centred in its client area.
TEST(MinimisedIconOffset, TruncatesTowardZero) {
    const int offsets[][2] = {{36, 2}, {35, 2},  {33, 1},  {32, 0}, {31, 0},
                              {30, 0}, {29, -1}, {27, -2}, {0, -15}};
    for (const auto& c : offsets) {
        EXPECT_EQ(MinimisedIconOffset(c[0], 32), c[1]) << "client " << c[0];
    }
}

}  // namespace
