#include <gtest/gtest.h>

#include "link/SettingRules.h"

namespace {

const char kFiles[] = "changes where the game loads its code and data from";
const char kLibrary[] = "makes the game load a library or driver";
const char kDownload[] = "lets the game download, update or run files";
const char kLater[] = "holds console commands that the game runs later";
const char kWrites[] = "makes the game write files";
const char kNetwork[] = "changes how the game reaches the network";
const char kServer[] = "belongs to running a server";
const char kFolder[] = "must name a plain folder (letters, digits, _ - and .)";

// Which settings a link may hand to the game, in any case of their names,
// and why the others are refused: the families of settings that would let a
// page take the game over, and a mod folder that is no plain folder name.
TEST(SettingRefusal, RefusesWhatCouldTakeTheGameOver) {
    // the name, the value and why it is refused (null: it is not); fs_game
    // and game choose the mod folder, apart from the fs_* family
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"password", "s3cret!", nullptr},
        {"fs_game", "osp", nullptr},
        {"FS_GAME", "my-mod_2.1", nullptr},
        {"game", "", nullptr},
        {"fs_game", "../main", kFolder},
        {"fs_game", "..", kFolder},
        {"fs_game", "x..y", kFolder},
        {"fs_game", ".", kFolder},
        {"game", "C:mods", kFolder},
        {"fs_basepath", "C:", kFiles},
        {"Fs_HomePath", "x", kFiles},
        {"basedir", "x", kFiles},
        {"com_target_game", "1", kFiles},
        {"R_GLDRIVER", "x", kLibrary},
        {"vm_cgame", "0", kLibrary},
        {"cl_allowDownload", "1", kDownload},
        {"allow_download_maps", "1", kDownload},
        {"com_updateavailable", "1", kDownload},
        {"activeAction", "quit", kLater},
        {"nextserver", "quit", kLater},
        {"g_log", "x.log", kWrites},
        {"net_socksServer", "x", kNetwork},
        {"sv_maplist", "x", kServer},
        {"rconPassword", "x", kServer},
    };
    for (const auto& [name, value, why] : cases) {
        std::string expected = why ? "its setting " + std::string(name) + " " + why : "";
        EXPECT_EQ(SettingRefusal(ServerSetting{name, value}).value_or(""), expected) << name << "=" << value;
    }
    EXPECT_EQ(SettingRefusal(ServerSetting{"name", "{Clan}J\xF6rg's =x= 100% (a/b) 1/2*3 a-b"}),
              std::nullopt);
    EXPECT_EQ(RefusalMessage("its setting x"), "This link was refused: its setting x.\nNothing was started.");
    // Names are the consoles' variable names; values hold no console syntax.
    for (const char* name : {"", "na me", "a.b", "a-b"}) {
        EXPECT_EQ(SettingRefusal(ServerSetting{name, "x"}),
                  "\"" + std::string(name) + "\" is not the name of a setting (letters, digits and _)");
    }
    for (const std::string& value :
         std::initializer_list<std::string>{"a+b", "a;b", "a\"b", "a\\b", "a//b", "a/*b", "a\nb", "a\rb",
                                            "a\tb", std::string("a\0b", 3), "a\x7F"}) {
        EXPECT_EQ(
            SettingRefusal(ServerSetting{"name", value}),
            "the value of its setting name holds + ; \" \\ // /* or a control character, which the game's "
            "console does not read as plain text")
            << value;
    }
}

}  // namespace
