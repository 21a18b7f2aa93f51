#include <gtest/gtest.h>

#include <sstream>

#include "link/LinkParser.h"
#include "link/SettingRules.h"

namespace {

// What the judge makes of the link "vsl://" + link as ParseLink splits it:
// the settings that pass, as the command line spells them, or why not.
std::string Judged(const std::string& link) {
    LaunchRequest request = *ParseLink("vsl://" + link);
    std::optional<std::string> refusal = RequestRefusal(*FindGame(request.m_strGameId), request);
    std::string passed;
    for (const ServerSetting& setting : request.m_settings) {
        passed += (passed.empty() ? "" : "&") + setting.m_strKey + "=" + setting.m_strValue;
    }
    return refusal.value_or(passed);
}

std::string Range(const std::string& key, int least, int most) {
    return "its setting " + key + " must be a whole number from " + std::to_string(least) + " to " +
           std::to_string(most);
}

std::string NotPassed(const std::string& key, const std::string& game) {
    return "its setting " + key + " is not one that Vastrel passes to " + game +
           ": it passes only the settings a server list needs, which its README lists";
}

// A link passes only the settings of its game's table, in any case of the
// key and then spelled as the table has it, each value as its rule asks.
TEST(RequestRefusal, PassesOnlyTheSettingsAServerListNeeds) {
    const std::string folder = " must name a plain folder (letters, digits, _ - and .)";
    // the link after "vsl://", and what passes or why not
    const std::tuple<std::string, std::string> cases[] = {
        {"rtcw/h:1?NAME={Clan}Joe's =x= 100% (a/b) 1/2*3&Password=s3cret!&fs_GAME=my-mod_2.1",
         "name={Clan}Joe's =x= 100% (a/b) 1/2*3&password=s3cret!&fs_game=my-mod_2.1"},
        {"rtcw/h:1?Rate=1000&SNAPS=30&cl_MaxPackets=15", "rate=1000&snaps=30&cl_maxpackets=15"},
        {"sof2/h:1?rate=90000&snaps=10&cl_maxpackets=100&fs_game=",
         "rate=90000&snaps=10&cl_maxpackets=100&fs_game="},
        {"mohaa/h:1?cl_maxpackets=125", "cl_maxpackets=125"},
        {"mohaaspearhead/h:1?CL_MAXPACKETS=30", "cl_maxpackets=30"},
        {"sof1/h:1?name=Joe&PASSWORD=x&Game=ctf&RATE=15000", "name=Joe&password=x&game=ctf&rate=15000"},
        {"rtcw/h:1?rate=999", Range("rate", 1000, 90000)},
        {"sof2/h:1?rate=90001", Range("rate", 1000, 90000)},
        {"sof1/h:1?rate=15001", Range("rate", 1000, 15000)},
        {"mohaa/h:1?snaps=9", Range("snaps", 10, 30)},
        {"rtcw/h:1?snaps=31", Range("snaps", 10, 30)},
        {"rtcw/h:1?cl_maxpackets=101", Range("cl_maxpackets", 15, 100)},
        {"mohaa/h:1?cl_maxpackets=29", Range("cl_maxpackets", 30, 125)},
        {"sof1/h:1?game=a/b", "its setting game" + folder},
        {"rtcw/h:1?" + std::string(61, 'k') + "=1", NotPassed(std::string(60, 'k') + "...", "rtcw")},
    };
    for (const auto& [link, outcome] : cases) {
        EXPECT_EQ(Judged(link), outcome) << link;
    }
    // Numbers in digits only, folders without "..".
    for (const char* value : {"+5000", "", "1e4", "99999999999999999999"}) {
        EXPECT_EQ(Judged(std::string("rtcw/h:1?rate=") + value), Range("rate", 1000, 90000)) << value;
    }
    for (const char* value : {"x..y", "..", "."}) {
        EXPECT_EQ(Judged(std::string("sof2/h:1?fs_game=") + value), "its setting fs_game" + folder) << value;
    }
    // Keys of other games' rows, and everything unlisted however near.
    const std::pair<const char*, const char*> unlisted[] = {
        {"sof1", "fs_game snaps cl_maxpackets gl_log quit"},
        {"rtcw", "game win_wndproc r_logFile r_exportCompressedModels names"},
        {"sof2", "WIN_HINSTANCE"},
        {"mohaa", "com_maxfps"},
    };
    for (const auto& [game, keys] : unlisted) {
        std::istringstream words(keys);
        for (std::string key; words >> key;) {
            EXPECT_EQ(Judged(std::string(game) + "/h:1?" + key + "=1"), NotPassed(key, game));
        }
    }
    // Text holds no console syntax, and no byte beyond ASCII, which every
    // console reads as a blank.
    for (const std::string& value :
         std::initializer_list<std::string>{"a+b", "a;b", "a\"b", "a\\b", "a//b", "a/*b", "a\nb", "a\rb",
                                            "a\tb", std::string("a\0b", 3), "a\x7F"}) {
        EXPECT_EQ(Judged("rtcw/h:1?password=" + value),
                  "the value of its setting password holds + ; \" \\ // /* or a control character, which the "
                  "game's console does not read as plain text")
            << value;
    }
    for (const char* value : {"J\xF6rg", "J\xC3\xB6rg", "\x80", "\xFF"}) {
        EXPECT_EQ(Judged(std::string("sof1/h:1?name=") + value),
                  "the value of its setting name holds a character beyond ASCII, which the game's console "
                  "reads as a blank")
            << value;
    }
    EXPECT_EQ(RefusalMessage("its setting x"), "This link was refused: its setting x.\nNothing was started.");
}

// What each game's engine reads of its command line: the Quake III engines
// 1023 bytes after the name (four settings name of 241 bytes with hhhh:1
// make 1023), 31 commands, 254 bytes of a value; sof1's words at blanks, 46
// of them, 127 bytes each, "$" expanded and "-" ending +connect.
TEST(RequestRefusal, RefusesWhatTheGameCannotReadWhole) {
    const std::string v241(241, 'v'), v254(254, 'v'), v255(255, 'v'), v127(127, 'v'), v128(128, 'v');
    // the game, how many settings name=value, the host, and whether refused
    const std::tuple<std::string, size_t, std::string, std::string, bool> cases[] = {
        {"rtcw", 30, "1", "h", false},     {"rtcw", 31, "1", "h", true},
        {"mohaa", 31, "1", "h", true},     {"rtcw", 1, v254, "h", false},
        {"rtcw", 1, v255, "h", true},      {"rtcw", 4, v241, "hhhh", false},
        {"sof2", 4, v241, "hhhhh", true},  {"rtcw", 1, "Big $x", "my-host", false},
        {"sof1", 14, "1", "h", false},     {"sof1", 15, "1", "h", true},
        {"sof1", 1, v127, "h", false},     {"sof1", 1, v128, "h", true},
        {"sof1", 1, "Big Joe", "h", true}, {"sof1", 1, "$rcon_password", "h", true},
        {"sof1", 1, "", "h", true},        {"sof1", 1, "a-b/c*d=e", "10.0.0.1", false},
        {"sof1", 0, "", "my-host", true},  {"sof1", 0, "", std::string(126, 'h'), true},
    };
    for (const auto& [game, count, value, host, refused] : cases) {
        std::string link = game;
        link.append("/").append(host).append(":1?");
        for (size_t i = 0; i < count; i++) {
            link.append("name=").append(value).append("&");
        }
        EXPECT_EQ(Judged(link).rfind(game, 0) == 0, refused) << link;
    }
    EXPECT_EQ(
        Judged("sof1/" + std::string(70, 'h') + "-:1"),
        "sof1 reads the server address as one word of at most 127 ASCII letters, digits and marks other "
        "than $ and -, and " +
            std::string(60, 'h') + "...:1 is not");
}

}  // namespace
