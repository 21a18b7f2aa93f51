// The benchmark's own arithmetic and link generator: a wrong median or a
// generated link that is not the length it claims would make every figure
// wrong while looking plausible.
#include <gtest/gtest.h>

#include <stdexcept>

#include "link/LinkParser.h"
#include "tools/bench/Figures.h"
#include "tools/bench/Links.h"

namespace {

TEST(Summarise, GivesTheMiddleAndTheRangeOfUnsortedSamples) {
    struct Case {
        std::vector<double> samples;
        double median;
        double low;
        double high;
    };
    const Case cases[] = {
        {{5}, 5, 5, 5},
        {{3, 1, 2}, 2, 1, 3},
        {{4, 1, 3, 2}, 2.5, 1, 4},
        {{10, 10, 1, 10, 100}, 10, 1, 100},
        {{-2, 7}, 2.5, -2, 7},
    };
    for (const Case& each : cases) {
        std::optional<Summary> summary = Summarise(each.samples);
        ASSERT_TRUE(summary);
        EXPECT_DOUBLE_EQ(summary->median, each.median) << ::testing::PrintToString(each.samples);
        EXPECT_DOUBLE_EQ(summary->low, each.low);
        EXPECT_DOUBLE_EQ(summary->high, each.high);
        EXPECT_EQ(summary->count, each.samples.size());
    }
}

TEST(Summarise, GivesNothingForNoSamples) {
    EXPECT_FALSE(Summarise({}));
}

TEST(Describe, ShowsMedianRangeAndCount) {
    EXPECT_EQ(Describe(Summary{195.25, 181, 230.44, 12}, 1), "195.2 (181.0-230.4, n=12)");
    EXPECT_EQ(Describe(Summary{3, 3, 3, 1}, 0), "3 (3-3, n=1)");
}

TEST(Targets, IncludeTheirBoundaries) {
    EXPECT_TRUE(WithinFactor(120, 100, 1.2));
    EXPECT_TRUE(WithinFactor(80, 100, 1.2));
    EXPECT_FALSE(WithinFactor(120.5, 100, 1.2));
    EXPECT_TRUE(WithinDistance(3030, 3000, 30));
    EXPECT_TRUE(WithinDistance(2970, 3000, 30));
    EXPECT_FALSE(WithinDistance(3030.5, 3000, 30));
    EXPECT_FALSE(WithinDistance(2969, 3000, 30));
}

TEST(FigureLine, IsTabSeparatedWithTheVerdictLast) {
    Figure figure{"splash", "200 ms", "180 ms", "<= 1.2x", true};
    EXPECT_EQ(FigureLine(figure), "FIGURE\tsplash\t200 ms\t180 ms\t<= 1.2x\tmeets");
    figure.met = false;
    EXPECT_EQ(FigureLine(figure), "FIGURE\tsplash\t200 ms\t180 ms\t<= 1.2x\tmisses");
}

struct Generator {
    const char* name;
    GeneratedLink (*make)(std::size_t);
};

const Generator kGenerators[] = {{"many pairs", ManyPairsLink}, {"one long value", OneLongValueLink}};

TEST(GeneratedLinks, HaveTheLengthAskedForAndParseIntoTheirPairs) {
    for (const Generator& generator : kGenerators) {
        for (std::size_t length : {40u, 41u, 1024u, 8192u, 32000u}) {
            SCOPED_TRACE(std::string(generator.name) + ", " + std::to_string(length) + " bytes");
            GeneratedLink link = generator.make(length);
            EXPECT_EQ(link.text.size(), length);

            std::optional<LaunchRequest> request = ParseLink(link.text);
            ASSERT_TRUE(request);
            EXPECT_EQ(request->m_strGameId, "rtcw");
            ASSERT_EQ(request->m_settings.size(), link.pairs);
            std::size_t longest = 0;
            for (const ServerSetting& setting : request->m_settings) {
                longest = std::max(longest, setting.m_strValue.size());
            }
            EXPECT_EQ(longest, link.longestValue);
        }
    }
}

TEST(GeneratedLinks, ManyPairsAreShortAndNumberedInOrder) {
    GeneratedLink link = ManyPairsLink(1024);
    // 26 bytes of start, then pairs of 11 bytes joined by "&".
    EXPECT_EQ(link.pairs, (1024 - 26 + 1) / 12);
    std::optional<LaunchRequest> request = ParseLink(link.text);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->m_settings.front(), (ServerSetting{"k0001", "v0001"}));
    EXPECT_EQ(request->m_settings[1], (ServerSetting{"k0002", "v0002"}));
    EXPECT_EQ(request->m_settings.back().m_strKey, "k0083");

    // A length that the pairs fill exactly: no padding, the last pair whole.
    link = ManyPairsLink(26 + 11 + 12);
    EXPECT_EQ(link.pairs, 2u);
    EXPECT_EQ(link.text, "vsl://rtcw/10.0.0.1:27960?k0001=v0001&k0002=v0002");
}

TEST(GeneratedLinks, RefuseLengthsThatHoldNoPair) {
    for (const Generator& generator : kGenerators) {
        EXPECT_THROW(generator.make(10), std::invalid_argument) << generator.name;
    }
    EXPECT_THROW(ManyPairsLink(36), std::invalid_argument);
    EXPECT_NO_THROW(ManyPairsLink(37));
}

}  // namespace
