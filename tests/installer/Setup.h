#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "RegistryView.h"
#include "harness/E2eTest.h"

// Runs the installer and what it registers, as a user or the system would.

constexpr char kSetup[] = "vsl-setup.exe";
// The same installer built to act as if the user were no administrator.
constexpr char kSetupAsUser[] = "vsl-setup-as-user.exe";
// The exit codes the installer documents for a refused install.
constexpr DWORD kExitNotAdmin = 740;
constexpr DWORD kExitBadFolder = 2;
constexpr DWORD kExitWriteFailed = 3;

constexpr DWORD kSetupLimitMs = 60000;

// Starts the installer beside the driver with the arguments.
LauncherProcess StartSetup(const std::string& arguments, const std::string& installer = kSetup);

// Runs the installer to its end and returns its exit code; a setup error
// when it does not end within the limit.
DWORD RunSetup(const std::string& arguments, const std::string& installer = kSetup);

// Installs silently into the folder and fails the test unless that worked.
void InstallSilently(const std::string& folder);

// The 32-bit Program Files folder and the installer's default folder in it.
std::string ProgramFilesFolder();
std::string DefaultInstallFolder();

// The registry keys the installer writes, by "ROOT\\key", with what each must
// hold for an installation into the folder.
std::map<std::string, KeyContents> ExpectedKeys(const std::string& folder);

// Those of the same keys that exist now, with what they hold.
std::map<std::string, KeyContents> InstalledKeys();

// The names in a folder, sorted; empty when it does not exist.
std::vector<std::string> NamesIn(const std::string& folder);

// Waits for a process with that executable file name ("vsl.exe") to run.
std::optional<DWORD> WaitForProcessNamed(const std::string& fileName, DWORD limitMs = kWindowLimitMs);
