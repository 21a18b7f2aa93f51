#include <gtest/gtest.h>

#include "link/GameLocator.h"
#include "tests/support/FakePlatform.h"

namespace {

// Each game's executable from the install location its installer left.
// sof2's value names its single-player program with the icon's index: it
// loses ".exe, 0", then "SoF2" (when there are that many characters) for
// "MP.exe". The others name the folder. Ids are exact.
TEST(FindGameExecutable, TurnsEachGamesValueIntoItsExecutable) {
    // the id, the install location (null: not installed) and the path
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"sof1", "C:\\Games\\SoF", "C:\\Games\\SoF\\SoF.exe"},
        {"sof1", "C:\\Games\\SoF\\", "C:\\Games\\SoF\\\\SoF.exe"},
        {"sof2", "C:\\Games\\SoF2\\SoF2.exe, 0", "C:\\Games\\SoF2\\SoF2MP.exe"},
        {"sof2", "abcde", "abMP.exe"},
        {"sof2", "abc", "MP.exe"},
        {"sof2", "ab", "abMP.exe"},
        {"mohaa", "C:\\MOHAA", "C:\\MOHAA\\mohaa.exe"},
        {"mohaa", "", "\\mohaa.exe"},
        {"mohaaspearhead", "E:\\Spearhead", "E:\\Spearhead\\moh_spearhead.exe"},
        {"rtcw", "D:\\Wolf", "D:\\Wolf\\WolfMP.exe"},
        {"rtcw", "D:\\Wolf\\WolfMP.exe, 0", "D:\\Wolf\\WolfMP.exe, 0\\WolfMP.exe"},
        {"rtcw", nullptr, ""},
        {"SOF1", nullptr, "none"},
        {"rtcw ", nullptr, "none"},
        {"", nullptr, "none"},
    };
    for (const auto& [id, location, path] : cases) {
        FakePlatform platform;
        for (const char* game : {"sof1", "sof2", "mohaa", "mohaaspearhead", "rtcw"}) {
            bool row = game == std::string(id);  // the others elsewhere, so that no game finds another's
            if (!row || location != nullptr) {
                platform.InstallGame(game, row ? location : "C:\\Other");
            }
        }
        EXPECT_EQ(FindGameExecutable(platform, id), path) << id << " at " << (location ? location : "-");
    }
}

}  // namespace
