#include <gtest/gtest.h>

#include "link/GameLocator.h"
#include "tests/support/FakePlatform.h"

namespace {

const char kSof1[] = "HKCU\\Software\\Raven Software\\SoF";
const char kSof2[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Soldier of Fortune II - Double Helix";
const char kMohaa[] = "HKCU\\Software\\2015\\MOHAA";
const char kSpearhead[] = "HKCU\\Software\\EA Games\\MOHAA Spearhead";
const char kRtcw[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Return to Castle Wolfenstein";

std::string Text(const std::string& text) {
    return text + '\0';
}

TEST(GameLocator, TurnsEachGamesValueIntoItsExecutable) {
    struct Case {
        const char* gameId;
        const char* key;
        const char* valueName;
        std::string data;
        std::string path;
    };
    const Case cases[] = {
        {"sof1", kSof1, "Path", Text("C:\\Games\\SoF"), "C:\\Games\\SoF\\SoF.exe"},
        {"sof1", kSof1, "Path", Text("C:\\Games\\SoF\\"), "C:\\Games\\SoF\\\\SoF.exe"},
        {"sof2", kSof2, "DisplayIcon", Text("C:\\Games\\SoF2\\SoF2.exe, 0"), "C:\\Games\\SoF2\\SoF2MP.exe"},
        {"sof2", kSof2, "DisplayIcon", Text("abcde"), "abMP.exe"},
        {"sof2", kSof2, "DisplayIcon", Text("abc"), "MP.exe"},
        {"sof2", kSof2, "DisplayIcon", Text("ab"), "abMP.exe"},
        {"mohaa", kMohaa, "basepath", Text("C:\\MOHAA"), "C:\\MOHAA\\mohaa.exe"},
        {"mohaa", kMohaa, "basepath", Text(""), "\\mohaa.exe"},
        {"mohaaspearhead", kSpearhead, "basepath", Text("E:\\Spearhead"), "E:\\Spearhead\\moh_spearhead.exe"},
        {"rtcw", kRtcw, "DisplayIcon", Text("D:\\Wolf"), "D:\\Wolf\\WolfMP.exe"},
        {"rtcw", kRtcw, "DisplayIcon", Text("D:\\Wolf\\WolfMP.exe, 0"),
         "D:\\Wolf\\WolfMP.exe, 0\\WolfMP.exe"},
        {"rtcw", kRtcw, "DisplayIcon", Text(std::string(254, 'w')), std::string(254, 'w') + "\\WolfMP.exe"},
        {"rtcw", kRtcw, "DisplayIcon", Text(std::string(255, 'w')), ""},
        {"rtcw", kRtcw, "DisplayIcon", std::string("D:\\Wolf"), "D:\\Wolf\\WolfMP.exe"},
    };
    for (const Case& c : cases) {
        FakePlatform platform;
        platform.SetValue(c.key, c.valueName, c.data);
        EXPECT_EQ(FindGameExecutable(platform, c.gameId), c.path) << c.gameId << " with " << c.data;
    }
}

TEST(GameLocator, ReadsEachKeyWithQueryAccessAndItsReadCount) {
    struct Case {
        const char* gameId;
        const char* key;
        const char* valueName;
        size_t reads;
    };
    const Case cases[] = {
        {"sof1", kSof1, "Path", 1},        {"sof2", kSof2, "DisplayIcon", 2},
        {"mohaa", kMohaa, "basepath", 2},  {"mohaaspearhead", kSpearhead, "basepath", 1},
        {"rtcw", kRtcw, "DisplayIcon", 1},
    };
    for (const Case& c : cases) {
        FakePlatform platform;
        platform.SetValue(c.key, c.valueName, Text("C:\\x"));
        FindGameExecutable(platform, c.gameId);
        std::string key = c.key;
        std::string root = key.substr(0, 4);
        std::vector<std::string> expected = {"OpenKey " + root + " " + key.substr(5) + " 0x1"};
        expected.push_back(std::string("QueryValue ") + c.valueName + " 255");
        if (c.reads == 2) {
            expected.push_back(std::string("QueryValue ") + c.valueName + " 5");
        }
        expected.push_back("CloseKey");
        EXPECT_EQ(platform.calls, expected) << c.gameId;
    }
}

TEST(GameLocator, UnknownIdsAnswerNoneWithoutTouchingTheRegistry) {
    for (const char* gameId : {"SOF1", "Sof2", "rtcw ", "", "sof", "mohaaspearheadx", "none"}) {
        FakePlatform platform;
        platform.SetValue(kSof1, "Path", Text("C:\\x"));
        EXPECT_EQ(FindGameExecutable(platform, gameId), "none") << "'" << gameId << "'";
        EXPECT_TRUE(platform.calls.empty()) << "'" << gameId << "'";
    }
}

TEST(GameLocator, GameNotInstalledAnswersEmptyText) {
    FakePlatform missingKey;
    EXPECT_EQ(FindGameExecutable(missingKey, "sof1"), "");
    EXPECT_TRUE(missingKey.CallsStartingWith("CloseKey").empty());

    FakePlatform missingValue;
    missingValue.SetValue(kSof1, "Other", Text("C:\\x"));
    EXPECT_EQ(FindGameExecutable(missingValue, "sof1"), "");
    EXPECT_EQ(missingValue.CallsStartingWith("CloseKey").size(), 1u);

    FakePlatform refused;
    refused.SetValue(kRtcw, "DisplayIcon", Text("D:\\Wolf"));
    refused.deniedKeys.insert(kRtcw);
    EXPECT_EQ(FindGameExecutable(refused, "rtcw"), "");
}

}  // namespace
