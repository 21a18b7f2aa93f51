// The start-up driver's arithmetic: where it looks on the display, when a
// colour counts as the picture's, and how it reads the stand-in game's stamp.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "tools/bench/Sampling.h"

namespace {

TEST(SamplePoints, LieInsideThePictureAndCoverItsMiddleAndCorners) {
    for (auto size : {std::make_pair(400, 300), std::make_pair(7, 7), std::make_pair(1024, 5)}) {
        int width = size.first;
        int height = size.second;
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        std::vector<PixelPoint> points = SamplePoints(width, height);
        ASSERT_EQ(points.size(), 13u);
        for (const PixelPoint& point : points) {
            EXPECT_GE(point.x, 0);
            EXPECT_LT(point.x, width);
            EXPECT_GE(point.y, 0);
            EXPECT_LT(point.y, height);
        }
    }
    std::vector<PixelPoint> points = SamplePoints(400, 300);
    std::set<std::pair<int, int>> distinct;
    for (const PixelPoint& point : points) {
        distinct.insert({point.x, point.y});
    }
    EXPECT_EQ(distinct.size(), points.size());
    for (std::pair<int, int> wanted :
         {std::make_pair(200, 150), std::make_pair(66, 50), std::make_pair(333, 250), std::make_pair(2, 2),
          std::make_pair(397, 2), std::make_pair(2, 297), std::make_pair(397, 297)}) {
        EXPECT_TRUE(distinct.count(wanted)) << wanted.first << ", " << wanted.second;
    }
}

TEST(CloseColour, AllowsTheToleranceInEachChannelAndNoMore) {
    struct Case {
        std::uint32_t shown;
        std::uint32_t wanted;
        bool close;
    };
    const Case cases[] = {
        {0x102030, 0x102030, true},  {0x182030, 0x102030, true},  {0x192030, 0x102030, false},
        {0x102830, 0x102030, true},  {0x102930, 0x102030, false}, {0x102038, 0x102030, true},
        {0x102039, 0x102030, false}, {0x082030, 0x102030, true},  {0x071828, 0x102030, false},
        {0x000000, 0xFFFFFF, false}, {0xF7F7F7, 0xFFFFFF, true},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(CloseColour(each.shown, each.wanted, 8), each.close)
            << std::hex << each.shown << " for " << each.wanted;
    }
    EXPECT_TRUE(CloseColour(0x102030, 0x102030, 0));
    EXPECT_FALSE(CloseColour(0x102031, 0x102030, 0));
}

TEST(ParseStamp, ReadsTheCreationTimeAndCommandLine) {
    std::optional<Stamp> stamp =
        ParseStamp("created=134093851234567890\ncommand_line=WolfMP.exe +set name a=b +connect 1:2\n");
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->created, 134093851234567890ull);
    EXPECT_EQ(stamp->commandLine, "WolfMP.exe +set name a=b +connect 1:2");

    stamp = ParseStamp("command_line=\"C:\\Games\\RTCW\\WolfMP.exe\"\nother=1\ncreated=42\n");
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->created, 42u);
    EXPECT_EQ(stamp->commandLine, "\"C:\\Games\\RTCW\\WolfMP.exe\"");
}

TEST(ParseStamp, RefusesAStampWithoutBothLinesOrWithoutATime) {
    for (const char* text : {"", "created=42\n", "command_line=x\n", "created=0\ncommand_line=x\n",
                             "created=soon\ncommand_line=x\n", "created 42\ncommand_line=x\n",
                             "created_at=42\ncommand_line=x\n"}) {
        EXPECT_FALSE(ParseStamp(text)) << text;
    }
}

}  // namespace
