#include <gtest/gtest.h>

#include "platform/RegistryText.h"
#include "tests/support/FakePlatform.h"

namespace {

// The text of a value runs to its first zero byte and never past the bytes
// delivered; a value missing, refused or longer than the 255 bytes offered
// is absent; the key is closed whenever it opened.
TEST(ReadRegistryText, ReadsTheTextOfAValue) {
    const std::string x254(254, 'x'), x255(255, 'x');
    // the value (none: the key holds no such value), the reads, the text,
    // and whether the key refuses to open
    const std::tuple<std::optional<std::string>, int, std::optional<std::string>, bool> cases[] = {
        {std::string("C:\\Games\0", 9), 1, "C:\\Games", false},
        {std::string("C:\\Games\0", 9), 2, "C:\\Games", false},
        {"stored without zero", 1, "stored without zero", false},
        {std::string("ab\0cd", 5), 1, "ab", false},
        {"", 1, "", false},
        {x254 + '\0', 1, x254, false},
        {x255, 1, x255, false},  // exactly the bytes offered, no room left for a zero
        {x255 + '\0', 1, std::nullopt, false},
        {std::string(600, 'x'), 2, std::nullopt, false},  // the second read is offered no more than the first
        {std::nullopt, 1, std::nullopt, false},
        {"C:\\Games", 1, std::nullopt, true},
    };
    for (const auto& [data, reads, text, denied] : cases) {
        FakePlatform platform;
        platform.AddKey("HKCU\\Software\\Test");
        if (data) {
            platform.SetValue("HKCU\\Software\\Test", "v", *data);
        }
        if (denied) {
            platform.denied.insert("HKCU\\Software\\Test");
        }
        EXPECT_EQ(ReadRegistryText(platform, RegistryRoot::CurrentUser, "Software\\Test", "v", reads), text)
            << data.value_or("(none)").size() << " bytes, " << reads << " reads";
        EXPECT_EQ(platform.openKeys, 0);
    }
}

}  // namespace
