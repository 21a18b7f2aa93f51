#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/Environment.h"
#include "tests/support/Files.h"
#include "harness/Installation.h"
#include "tests/support/LaunchRecord.h"
#include "harness/LauncherProcess.h"
#include "harness/ProcessWindows.h"

// Each test starts from a prefix without anything of the launcher or the
// games in it and lays out what it needs itself.
class E2eTest : public ::testing::Test {
protected:
    void SetUp() override { ForgetEverything(); }
};

// A command line as the shell writes it: the program's path in quotes, then
// the arguments as given.
std::string CommandLineOf(const std::string& program, const std::string& arguments);

// The shell's command line for a link: "\"<program>\" \"<link>\"".
std::string LinkCommandLine(const std::string& program, const std::string& link);

// Which of the five games and the explorer stand-in beside the launcher have
// been started so far, by their paths.
std::vector<std::string> StartedStandIns();

// The same after quietMs more, for checks that something was not started: a
// stand-in writes its record a moment after it was started.
std::vector<std::string> StartedStandInsAfter(DWORD quietMs);

// Checks that the box is one of the launcher's error messages: captioned
// "vsl", with this text, the stop icon and one OK button.
void ExpectErrorBox(const MessageBoxView& box, const std::string& text);

// Answers the message box and waits for the process to end: its exit code, or
// nothing when it still runs after the limit.
std::optional<DWORD> PressAndWaitForExit(LauncherProcess& launcher, const MessageBoxView& box, int buttonId);
