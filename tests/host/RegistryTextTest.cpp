#include <gtest/gtest.h>

#include "platform/RegistryText.h"
#include "tests/support/FakePlatform.h"

namespace {

const char kKey[] = "HKCU\\Software\\Test";

std::optional<std::string> Read(FakePlatform& platform, int reads = 1) {
    return ReadRegistryText(platform, RegistryRoot::CurrentUser, "Software\\Test", "v", reads);
}

TEST(RegistryText, TextRunsToTheFirstZeroAndNeverPastTheBytesDelivered) {
    struct Case {
        std::string data;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {std::string("C:\\Games") + '\0', "C:\\Games"},
        {"stored without zero", "stored without zero"},
        {std::string("ab\0cd", 5), "ab"},
        {std::string(1, '\0'), ""},
        {"", ""},
        {std::string(254, 'x') + '\0', std::string(254, 'x')},
        {std::string(255, 'x'), std::string(255, 'x')},  // exactly the bytes offered, no room left for a zero
        {std::string(255, 'x') + '\0', std::nullopt},
        {std::string(600, 'x'), std::nullopt},
    };
    for (const Case& c : cases) {
        FakePlatform platform;
        platform.SetValue(kKey, "v", c.data);
        EXPECT_EQ(Read(platform), c.text) << "data of " << c.data.size() << " bytes";
    }
}

TEST(RegistryText, OffersTwoHundredFiftyFiveBytesAndClosesTheKey) {
    FakePlatform platform;
    platform.SetValue(kKey, "v", "abc");
    Read(platform);
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{"OpenKey HKCU Software\\Test 0x1", "QueryValue v 255", "CloseKey"}));
}

TEST(RegistryText, MissingKeyAndMissingValueAreAbsent) {
    FakePlatform platform;
    EXPECT_EQ(Read(platform), std::nullopt);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"OpenKey HKCU Software\\Test 0x1"}));

    platform.calls.clear();
    platform.SetValue(kKey, "other", "x");
    EXPECT_EQ(Read(platform), std::nullopt);
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{"OpenKey HKCU Software\\Test 0x1", "QueryValue v 255", "CloseKey"}));
}

TEST(RegistryText, RefusedKeyIsAbsent) {
    FakePlatform platform;
    platform.SetValue(kKey, "v", "abc");
    platform.deniedKeys.insert(kKey);
    EXPECT_EQ(Read(platform), std::nullopt);
    EXPECT_TRUE(platform.CallsStartingWith("CloseKey").empty());
}

TEST(RegistryText, SecondReadIsOfferedTheSizeTheFirstReported) {
    FakePlatform platform;
    platform.SetValue(kKey, "v", std::string("C:\\Games") + '\0');
    EXPECT_EQ(Read(platform, 2), "C:\\Games");
    EXPECT_EQ(platform.CallsStartingWith("QueryValue"),
              (std::vector<std::string>{"QueryValue v 255", "QueryValue v 9"}));
}

TEST(RegistryText, SecondReadNeverOffersMoreThanTheBuffer) {
    FakePlatform platform;
    platform.SetValue(kKey, "v", std::string(300, 'x'));
    EXPECT_EQ(Read(platform, 2), std::nullopt);
    EXPECT_EQ(platform.CallsStartingWith("QueryValue"),
              (std::vector<std::string>{"QueryValue v 255", "QueryValue v 255"}));
    EXPECT_EQ(platform.CallsStartingWith("CloseKey").size(), 1u);
}

}  // namespace
