// A link for each of the five games reaches the game's stand-in with the
// game's command line, in the game's folder, and its embedded web address
// reaches the Windows folder's explorer. Programs of the same names planted
// where a search by name would look first (beside vsl.exe, in the folder it
// was started in, in the game's folder) never run.
#include "harness/E2eTest.h"

namespace {

// The folder the launcher is started in.
constexpr char kPlantFolder[] = "C:\\Planted";

// explorer would come right after the game; a record of it would be there
// well within this.
constexpr DWORD kQuietMs = 1500;

struct GameLink {
    const char* gameId;
    const char* link;
    const char* gameCommandLine;
    const char* explorerCommandLine;
};

class LaunchesTheGame : public E2eTest, public ::testing::WithParamInterface<GameLink> {};

TEST_P(LaunchesTheGame, InItsFolderWithItsSettingsThenOpensTheAddress) {
    const GameLink& expected = GetParam();
    for (const Game& game : FiveGames()) {
        InstallGame(game);
    }
    std::string launcherPath = InstallLauncher();
    std::string explorerPath = InstallExplorerStandIn();
    const Game& game = GameWithId(expected.gameId);
    std::string executableName = game.executable.substr(FolderOf(game.executable).size() + 1);
    const std::string planted[] = {std::string(kInstallFolder) + "\\" + executableName,
                                   std::string(kPlantFolder) + "\\" + executableName,
                                   std::string(kInstallFolder) + "\\explorer.exe",
                                   FolderOf(game.executable) + "\\explorer.exe"};
    for (const std::string& path : planted) {
        CopyFileTo(BuiltProgram("vsl_recorder.exe"), path);
    }

    LauncherProcess launcher =
        LauncherProcess::Start(LinkCommandLine(launcherPath, expected.link), kPlantFolder);
    EXPECT_EQ(launcher.WaitForExit(), 0u);

    std::optional<LaunchRecord> started = WaitForLaunch(game.executable);
    ASSERT_TRUE(started) << game.executable << " was not started";
    EXPECT_EQ(started->commandLine, expected.gameCommandLine);
    EXPECT_EQ(started->folder, FolderOf(game.executable));

    std::optional<LaunchRecord> explorer = WaitForLaunch(explorerPath);
    ASSERT_TRUE(explorer) << "explorer was not started";
    EXPECT_EQ(explorer->commandLine, expected.explorerCommandLine);
    EXPECT_EQ(explorer->folder, FolderOf(game.executable));

    EXPECT_EQ(StartedStandIns(), (std::vector<std::string>{game.executable, explorerPath}));
    for (const std::string& path : planted) {
        EXPECT_FALSE(WasLaunched(path)) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(
    FiveGames, LaunchesTheGame,
    ::testing::Values(
        GameLink{"sof1", "vsl://sof1/10.0.0.1:28910?name=Player&embed_url={https://example.org/}",
                 "SoF.exe +set name Player +connect 10.0.0.1:28910", "explorer https://example.org/"},
        GameLink{
            "sof2",
            "vsl://sof2/sof2.example.net:20100?name=Player&password=secret&embed_url={http://example.org/"
            "sof2?room=7}",
            "SoF2MP.exe +set name Player +set password secret +connect sof2.example.net:20100",
            "explorer http://example.org/sof2?room=7"},
        GameLink{"mohaa", "vsl://mohaa/10.0.0.3:12203?embed_url={https://example.org/}&clan=&name=Sgt",
                 "mohaa.exe +set clan  +set name Sgt +connect 10.0.0.3:12203",
                 "explorer https://example.org/"},
        GameLink{"mohaaspearhead",
                 "vsl://mohaaspearhead/10.0.0.4:12300?name=A&name=B&embed_url={https://example.org/sh}",
                 "moh_spearhead.exe +set name A +set name B +connect 10.0.0.4:12300",
                 "explorer https://example.org/sh"},
        GameLink{"rtcw", "vsl://rtcw/10.0.0.1:27960?name=Player&embed_url={https://example.org/}",
                 "WolfMP.exe +set name Player +connect 10.0.0.1:27960", "explorer https://example.org/"}),
    [](const ::testing::TestParamInfo<GameLink>& info) { return std::string(info.param.gameId); });

// A link without a usable web address starts the game and no explorer; an
// address that is no http or https address is refused after the game has
// started, without a message.
struct AddressCase {
    const char* name;
    const char* link;
    DWORD exitCode;
};

class OpensNoAddress : public E2eTest, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(OpensNoAddress, ButStartsTheGame) {
    const AddressCase& expected = GetParam();
    const Game& game = GameWithId("rtcw");
    InstallGame(game);
    std::string launcherPath = InstallLauncher();
    InstallExplorerStandIn();

    LauncherProcess launcher = LauncherProcess::Start(LinkCommandLine(launcherPath, expected.link));
    // A message box would keep the process waiting for an answer.
    EXPECT_EQ(launcher.WaitForExit(), expected.exitCode);

    std::optional<LaunchRecord> started = WaitForLaunch(game.executable);
    ASSERT_TRUE(started);
    EXPECT_EQ(started->commandLine, "WolfMP.exe +connect 10.0.0.1:27960");
    EXPECT_EQ(StartedStandInsAfter(kQuietMs), (std::vector<std::string>{game.executable}));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, OpensNoAddress,
    ::testing::Values(
        AddressCase{"None", "vsl://rtcw/10.0.0.1:27960", 0},
        AddressCase{"EmptyBraces", "vsl://rtcw/10.0.0.1:27960?embed_url={}", 0},
        AddressCase{"LocalFile", "vsl://rtcw/10.0.0.1:27960?embed_url={file:///C:/windows/notepad.exe}", 1},
        AddressCase{"CommaInAddress", "vsl://rtcw/10.0.0.1:27960?embed_url={https://example.org/a,b}", 1}),
    [](const ::testing::TestParamInfo<AddressCase>& info) { return std::string(info.param.name); });

}  // namespace
