#include "harness/E2eTest.h"

std::string CommandLineOf(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    return commandLine;
}

std::string LinkCommandLine(const std::string& program, const std::string& link) {
    return CommandLineOf(program, "\"" + link + "\"");
}

std::vector<std::string> StartedStandIns() {
    std::vector<std::string> programs;
    for (const Game& game : FiveGames()) {
        programs.push_back(game.executable);
    }
    programs.push_back(ExplorerPath());

    std::vector<std::string> started;
    for (const std::string& program : programs) {
        if (WasLaunched(program)) {
            started.push_back(program);
        }
    }
    return started;
}

std::vector<std::string> StartedStandInsAfter(DWORD quietMs) {
    Sleep(quietMs);
    return StartedStandIns();
}

void ExpectErrorBox(const MessageBoxView& box, const std::string& text) {
    EXPECT_EQ(box.caption, "vsl");
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(IconShownIn(box), "hand");
}

std::optional<DWORD> PressAndWaitForExit(LauncherProcess& launcher, const MessageBoxView& box, int buttonId) {
    Press(box, buttonId);
    return launcher.WaitForExit();
}
