#include <gtest/gtest.h>

#include "link/SettingRules.h"

namespace {

// Which settings a link may hand to the game, whatever their case, and what
// the refusal says about those it may not.
TEST(SettingRules, RefusesWhatCouldTakeTheGameOver) {
    struct Case {
        const char* name;
        const char* value;
        const char* refusal;  // null: allowed
    };
    const Case cases[] = {
        {"name", "Big Joe", nullptr},
        {"password", "s3cret!", nullptr},
        {"rate", "25000", nullptr},
        {"cl_maxpackets", "30", nullptr},
        {"snaps", "", nullptr},
        {"name", "{Clan}J\xF6rg's =x= 100% (a/b)", nullptr},
        {"fs_game", "osp", nullptr},
        {"FS_GAME", "my-mod_2.1", nullptr},
        {"game", "ctf", nullptr},
        {"fs_game", "", nullptr},
        {"fs_game", "../main", "its setting fs_game must name a plain folder (letters, digits, _ - and .)"},
        {"fs_game", "..", "its setting fs_game must name a plain folder (letters, digits, _ - and .)"},
        {"fs_game", ".", "its setting fs_game must name a plain folder (letters, digits, _ - and .)"},
        {"game", "C:mods", "its setting game must name a plain folder (letters, digits, _ - and .)"},
        {"game", "a/b", "its setting game must name a plain folder (letters, digits, _ - and .)"},
        {"fs_basepath", "C:", "its setting fs_basepath changes where the game loads its code and data from"},
        {"Fs_HomePath", "x", "its setting Fs_HomePath changes where the game loads its code and data from"},
        {"fs_cdpath", "x", "its setting fs_cdpath changes where the game loads its code and data from"},
        {"basedir", "x", "its setting basedir changes where the game loads its code and data from"},
        {"cddir", "x", "its setting cddir changes where the game loads its code and data from"},
        {"com_target_game", "1",
         "its setting com_target_game changes where the game loads its code and data from"},
        {"r_glDriver", "x", "its setting r_glDriver makes the game load a library or driver"},
        {"R_GLDRIVER", "x", "its setting R_GLDRIVER makes the game load a library or driver"},
        {"gl_driver", "x", "its setting gl_driver makes the game load a library or driver"},
        {"vid_ref", "x", "its setting vid_ref makes the game load a library or driver"},
        {"vm_cgame", "0", "its setting vm_cgame makes the game load a library or driver"},
        {"cl_allowDownload", "1", "its setting cl_allowDownload lets the game download, update or run files"},
        {"allow_download_maps", "1",
         "its setting allow_download_maps lets the game download, update or run files"},
        {"cl_updatefiles", "x", "its setting cl_updatefiles lets the game download, update or run files"},
        {"com_updateavailable", "1",
         "its setting com_updateavailable lets the game download, update or run files"},
        {"cl_punkbuster", "1", "its setting cl_punkbuster lets the game download, update or run files"},
        {"activeAction", "quit", "its setting activeAction holds console commands that the game runs later"},
        {"nextmap", "quit", "its setting nextmap holds console commands that the game runs later"},
        {"nextserver", "quit", "its setting nextserver holds console commands that the game runs later"},
        {"journal", "2", "its setting journal holds console commands that the game runs later"},
        {"logfile", "1", "its setting logfile makes the game write files"},
        {"g_log", "x.log", "its setting g_log makes the game write files"},
        {"cl_avidemo", "1", "its setting cl_avidemo makes the game write files"},
        {"net_socksServer", "x", "its setting net_socksServer changes how the game reaches the network"},
        {"sv_maplist", "x", "its setting sv_maplist belongs to running a server"},
        {"rconPassword", "x", "its setting rconPassword belongs to running a server"},
        // Names are plain console variable names.
        {"", "5", "\"\" is not the name of a setting (letters, digits and _)"},
        {"na me", "x", "\"na me\" is not the name of a setting (letters, digits and _)"},
        {"set", "x", nullptr},
        {"a.b", "x", "\"a.b\" is not the name of a setting (letters, digits and _)"},
        // Values hold no console syntax and no control bytes.
        {"name", "x;quit",
         "the value of its setting name holds + ; \" \\ // /* or a control character, which the game's "
         "console "
         "does not read as plain text"},
    };
    for (const Case& c : cases) {
        std::optional<std::string> refusal = SettingRefusal(ServerSetting{c.name, c.value});
        if (c.refusal == nullptr) {
            EXPECT_EQ(refusal, std::nullopt) << c.name << "=" << c.value;
        } else {
            EXPECT_EQ(refusal, std::optional<std::string>(c.refusal)) << c.name << "=" << c.value;
        }
    }
}

TEST(SettingRules, ValuesHoldNoConsoleSyntax) {
    const std::string refused[] = {
        "a+b", "a;b", "a\"b", "a\\b", "a//b", "a/*b", "a\nb", "a\rb", "a\tb", std::string("a\0b", 3), "a\x7F",
    };
    for (const std::string& value : refused) {
        EXPECT_NE(SettingRefusal(ServerSetting{"name", value}), std::nullopt) << value;
        EXPECT_NE(ServerRefusal(value, "1"), std::nullopt) << value;
        EXPECT_NE(ServerRefusal("h", value), std::nullopt) << value;
    }
    const std::string allowed[] = {"a/b", "a*b", "a-b", "1/2*3", "a b"};
    for (const std::string& value : allowed) {
        EXPECT_EQ(SettingRefusal(ServerSetting{"name", value}), std::nullopt) << value;
    }
    EXPECT_EQ(ServerRefusal("10.0.0.1", "27960"), std::nullopt);
    EXPECT_EQ(ServerRefusal("my-server.example.org", "27960"), std::nullopt);
    EXPECT_NE(ServerRefusal("a b", "1"), std::nullopt);
}

TEST(SettingRules, MessagesShowLongTextCutShort) {
    std::string longName(100, 'a');
    EXPECT_EQ(ShownInMessage(longName), std::string(60, 'a') + "...");
    EXPECT_EQ(ShownInMessage(std::string(60, 'b')), std::string(60, 'b'));
    EXPECT_EQ(RefusalMessage("why"), "This link was refused: why.\nNothing was started.");
}

}  // namespace
