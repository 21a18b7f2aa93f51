#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "link/GameLocator.h"
#include "link/Vdf.h"
#include "tests/support/FakePlatform.h"

namespace {

// A key, a value's name and its text; files, with their text.
using Value = std::array<std::string, 3>;
using Files = std::vector<std::pair<std::string, std::string>>;
const std::string kOwn = "c:\\program files (x86)\\steam";
const std::string kWolf = "\\steamapps\\common\\Return to Castle Wolfenstein\\WolfMP.exe";

// rtcw in Steam: its list of libraries, and the game with its manifest in the
// library before "\steamapps\"; and other files.
Files Steam(const std::string& folders, const std::string& game, const std::string& installDir,
            Files files = {}) {
    files.insert(files.end(),
                 {{kOwn + "\\steamapps\\libraryfolders.vdf", folders},
                  {game.substr(0, game.find("\\steamapps\\")) + "\\steamapps\\appmanifest_9010.acf",
                   R"("appstate" { "appid" "9010" "InstallDir" ")" + installDir + "\" }"},
                  {game, ""}});
    return files;
}

// The game's installer's value decides, file or no file: sof2's names its
// single-player program with the icon's index, and loses ".exe, 0", then
// "SoF2" (where there is that much) for "MP.exe"; the others name the folder.
// Then GOG's folder and Steam count where the game's file is: Steam's own
// folder (recorded in lower case with slashes), its libraries (old and new
// lists), then its entry among the installed programs in the 64-bit view.
// Lists and manifests that are broken or lead outside a library are refused,
// never misread: the game lies where a misreading would find it.
TEST(FindGameExecutable, TriesTheInstallerThenGogThenSteam) {
    const std::string dir = "Return to Castle Wolfenstein", own = kOwn + kWolf, lib = "D:\\Lib" + kWolf;
    const std::string chest = "D:\\WC\\", mohaa = chest + "MOHAA.exe", spear = chest + "moh_spearhead.exe";
    const std::string entry = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 9010";
    const Value entry64 = {"HKLM64" + entry, "InstallLocation", "E:\\W"},
                entry32 = {"HKLM" + entry, "InstallLocation", "E:\\W"};
    const std::string head = R"("libraryfolders" { "1" )", common = kOwn + "\\steamapps\\common\\";
    auto inLib = [&](const std::string& folders) { return Steam(folders, lib, dir); };
    auto Gog = [](const std::string& id, const std::string& folder) {
        return Value{"HKLM\\SOFTWARE\\GOG.com\\Games\\" + id, "path", folder};
    };
    const Value gog = Gog("1441704976", "C:\\G");
    struct Row {
        Files files;
        std::string found;
        const char* id = "rtcw";
        const char* installed = nullptr;  // the location the game's installer left
        std::vector<Value> values = {};   // beside Steam's own folder
    };
    const Row table[] = {
        {{}, "C:\\Games\\SoF\\\\SoF.exe", "sof1", "C:\\Games\\SoF\\"},
        {{}, "C:\\Games\\SoF2\\SoF2MP.exe", "sof2", "C:\\Games\\SoF2\\SoF2.exe, 0"},
        {{}, "abMP.exe", "sof2", "abcde"},
        {{}, "MP.exe", "sof2", "abc"},
        {{}, "abMP.exe", "sof2", "ab"},
        {{}, "\\mohaa.exe", "mohaa", ""},
        {{}, "E:\\Spearhead\\moh_spearhead.exe", "mohaaspearhead", "E:\\Spearhead"},
        {{}, "D:\\Wolf\\WolfMP.exe, 0\\WolfMP.exe", "rtcw", "D:\\Wolf\\WolfMP.exe, 0"},
        {{}, "none", "SOF1"},
        {{}, "none", "rtcw "},
        {{}, "none", ""},
        {Steam("", own, dir), "C:\\Wolf\\WolfMP.exe", "rtcw", "C:\\Wolf", {gog}},
        {Steam("", own, dir, {{"C:\\G\\WolfMP.exe", ""}}), "C:\\G\\WolfMP.exe", "rtcw", nullptr, {gog}},
        {Steam("", own, dir, {{"C:\\G\\WolfSP.exe", ""}}), own, "rtcw", nullptr, {gog}},
        {{{"G\\WolfMP.exe", ""}}, "", "rtcw", nullptr, {Gog("1441704976", "G")}},
        {{{"E:\\W\\WolfMP.exe", ""}}, "E:\\W\\WolfMP.exe", "rtcw", nullptr, {entry64}},
        {{{"E:\\W\\WolfMP.exe", ""}}, "", "rtcw", nullptr, {entry32}},
        {{{mohaa, ""}, {spear, ""}}, mohaa, "mohaa", nullptr, {Gog("1207659126", chest)}},
        {{{mohaa, ""}, {spear, ""}}, spear, "mohaaspearhead", nullptr, {Gog("1207659126", chest)}},
        {{{mohaa, ""}}, "", "mohaaspearhead", nullptr, {Gog("1207659126", chest)}},
        {{{"C:\\S\\SoF.exe", ""}}, "C:\\S\\SoF.exe", "sof1", nullptr, {Gog("1828104558", "C:\\S\\")}},
        {{{"C:\\S\\SoF2MP.exe", ""}}, "C:\\S\\SoF2MP.exe", "sof2", nullptr, {Gog("1228964594", "C:\\S")}},
        {inLib(R"("LibraryFolders" { "TimeNextStatsReport" "1" "ContentStatsID" "-4" "1" "D:\\Lib" })"), lib},
        {inLib(R"("libraryfolders" { "0" { "path" "c:\\program files (x86)\\steam" "apps" { "9010" "1" } }
                  "1" { "PATH" "D:\\Lib" "label" "\"a\" \\ \n\t\v\b\r\f\a\?\'" } })"),
         lib},
        {Steam(head + "\"D:\\\\\xD0\x98\" }", "D:\\\xD0\x98" + kWolf, dir),
         "D:\\\xD0\x98" + kWolf},  // UTF-8 throughout
        {inLib(head + R"({ "path" "D:\\Lib" "label" ")" + std::string(1024, 'x') + "\" } }"), ""},
        {inLib(head + R"({ "path" "D:\\Lib" "" { "" { "" { "" { "" { "" { "" {} } } } } } } } })"), ""},
        {inLib(head + R"("D:\\Lib" })" + std::string(kMaxVdfFileBytes, ' ')), ""},
        {inLib(head + R"("D:\\Lib" )"), ""},
        {inLib(head + R"("D:\\Lib" } })"), ""},
        {inLib(head + R"("D:\\Lib" } "x" "y)"), ""},
        {inLib(head + R"("D:\\Lib" "2" "\q" })"), ""},
        {Steam(head + R"("D:Lib" })", "D:Lib" + kWolf, dir), ""},
        {Steam(head + R"("D:\\S\\..\\Lib" })", "D:\\S\\..\\Lib" + kWolf, dir), ""},
        {Steam("", common + "..\\..\\Games\\RTCW\\WolfMP.exe", R"(..\\..\\Games\\RTCW)"), ""},
        {Steam("", common + "..\\WolfMP.exe", ".."), ""},
    };
    for (const Row& row : table) {
        FakePlatform platform;
        for (const char* game : {"sof1", "sof2", "mohaa", "mohaaspearhead", "rtcw"}) {
            bool mine = game == std::string(row.id);  // the others elsewhere, so that no game finds another's
            if (!mine || row.installed != nullptr) {
                platform.InstallGame(game, mine ? row.installed : "C:\\Other");
            }
        }
        platform.SetValue("HKCU\\Software\\Valve\\Steam", "SteamPath", "c:/program files (x86)/steam");
        for (const auto& [key, name, text] : row.values) {
            platform.SetValue(key, name, text + '\0');
        }
        platform.files.insert(row.files.begin(), row.files.end());
        EXPECT_EQ(FindGameExecutable(platform, row.id), row.found) << "row " << &row - table;
    }
}

}  // namespace
