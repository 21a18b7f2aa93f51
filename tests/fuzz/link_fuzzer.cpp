// Feeds hostile text along a link's road, split as a command line and read
// as the link with all five games installed in the fake, and checks what a
// page must never reach: no console command beyond +set and +connect, no
// setting outside the game's table, no byte beyond ASCII, no program but the
// game and explorer, an exit code of 0 or 1. The last byte scripts the run:
// bit 0 fails the game's start, bit 1 the web address's.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "link/GameLauncher.h"
#include "link/LinkParser.h"
#include "tests/support/FakePlatform.h"

namespace {

// Stops the run at a broken invariant, so that libFuzzer keeps the input that
// broke it: the condition's text and place go to the error output first.
[[noreturn]] void BrokenInvariant(const char* condition, const char* file, int line) {
    static_cast<void>(fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition));
    abort();
}

#define VSL_REQUIRE(condition) \
    ((condition) ? static_cast<void>(0) : BrokenInvariant(#condition, __FILE__, __LINE__))

// Text a console reads as plain text: no separator, quote, escape, comment,
// control byte or byte beyond ASCII.
bool Plain(const std::string& text) {
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == ';' || c == '"' || c == '\\') {
            return false;
        }
    }
    return text.find("//") == std::string::npos && text.find("/*") == std::string::npos;
}

// A start as the fake records it, "program | command line | folder".
struct Start {
    std::string program, commandLine, folder;
};

Start Read(const std::string& start) {
    size_t first = start.find(" | "), last = start.rfind(" | ");
    return {start.substr(0, first), start.substr(first + 3, last - first - 3), start.substr(last + 3)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    auto script = input.ConsumeIntegral<std::uint8_t>();
    std::string text = input.ConsumeRemainingBytesAsString();

    // Splitting drops quotes and halves runs of backslashes: it never makes a
    // byte that the line did not hold, and the link is one of the arguments.
    std::vector<std::string> arguments = SplitCommandLine(text);
    VSL_REQUIRE(!arguments.empty());
    std::string all;
    for (const std::string& argument : arguments) {
        all += argument;
    }
    for (int byte = 0; byte < 256; byte++) {
        auto c = static_cast<char>(byte);
        VSL_REQUIRE(std::count(all.begin(), all.end(), c) <= std::count(text.begin(), text.end(), c));
    }
    std::string link = ChooseLinkText(arguments);
    VSL_REQUIRE(link.empty() || std::find(arguments.begin() + 1, arguments.end(), link) != arguments.end());

    FakePlatform platform;
    platform.InstallGame("sof1", "C:\\Games\\SoF");
    platform.InstallGame("sof2", "C:\\Games\\SoF2\\SoF2.exe, 0");
    platform.InstallGame("mohaa", "D:\\MOHAA");
    platform.InstallGame("mohaaspearhead", "D:\\Spearhead");
    platform.InstallGame("rtcw", "E:\\RTCW");
    platform.failingStarts = script & 3;
    int exitCode = ExitCodeOf([&] { GameLauncher(platform, LinkParser(platform, text)); });
    const std::vector<std::string>& starts = platform.starts;
    VSL_REQUIRE(exitCode == 0 || exitCode == 1);
    VSL_REQUIRE(exitCode == 1 || platform.messages.empty());
    VSL_REQUIRE(!starts.empty() || (exitCode == 1 && platform.messages.size() == 1));
    VSL_REQUIRE(starts.size() <= 2);
    if (starts.empty()) {
        return 0;
    }

    // The game, as the file found, in its folder: its name, then only +set
    // of a setting in the game's table, as the table spells it, and
    // +connect, each followed by plain text.
    Start game = Read(starts[0]);
    const std::string programs[] = {"C:\\Games\\SoF\\SoF.exe", "C:\\Games\\SoF2\\SoF2MP.exe",
                                    "D:\\MOHAA\\mohaa.exe", "D:\\Spearhead\\moh_spearhead.exe",
                                    "E:\\RTCW\\WolfMP.exe"};
    VSL_REQUIRE(std::find(std::begin(programs), std::end(programs), game.program) != std::end(programs));
    VSL_REQUIRE(game.program == game.folder + "\\" + game.commandLine.substr(0, game.commandLine.find(' ')));
    VSL_REQUIRE(game.commandLine.find(" +connect ") != std::string::npos && Plain(game.commandLine));
    std::string keys = game.program == programs[0] ? " name password game rate "
                                                   : " name password fs_game rate snaps cl_maxpackets ";
    for (size_t plus = game.commandLine.find('+'); plus != std::string::npos;
         plus = game.commandLine.find('+', plus + 1)) {
        std::string command = game.commandLine.substr(plus - 1, 10);
        VSL_REQUIRE(command.rfind(" +set ", 0) == 0 || command == " +connect ");
        std::string key = game.commandLine.substr(plus + 5, game.commandLine.find(' ', plus + 5) - plus - 5);
        VSL_REQUIRE(command == " +connect " || keys.find(" " + key + " ") != std::string::npos);
    }

    // Explorer, the Windows folder's, with nothing but a web address.
    if (starts.size() == 2) {
        Start explorer = Read(starts[1]);
        std::string address = explorer.commandLine.substr(sizeof "explorer");
        VSL_REQUIRE(explorer.program == "C:\\WINDOWS\\explorer.exe" && explorer.folder == game.folder);
        VSL_REQUIRE(explorer.commandLine.rfind("explorer ", 0) == 0 && IsWebAddress(address));
        VSL_REQUIRE(address.find_first_of(" \",<>\\^`{|}") == std::string::npos);
    }
    return 0;
}
