#pragma once

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

// The operating-system services that the launcher's logic uses. The logic in
// link/ and uninstall/ reaches the system only through this interface, so it
// runs unchanged against the real Win32 services and against a recording fake.

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

// Registry access masks, with the values the registry gives them.
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;

// Message box styles and answers.
constexpr unsigned kMbIconHand = 0x10;       // one OK button and the stop icon
constexpr unsigned kMbYesNoQuestion = 0x24;  // MB_YESNO | MB_ICONQUESTION
constexpr int kIdYes = 6;

// Show state for started programs.
constexpr int kSwHide = 0;

// Start results below this value mean the program did not start.
constexpr unsigned kStartedAtLeast = 32;

// An open registry key. The value is the platform's own handle.
struct RegistryKey {
    std::uintptr_t handle = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Opens root\subkey with the access mask; nothing when it cannot be opened.
    // An empty subkey opens the root itself.
    virtual std::optional<RegistryKey> OpenKey(RegistryRoot root, const std::string& subkey,
                                               std::uint32_t access) = 0;

    // Reads a value of an open key into the caller's buffer. On entry *size is
    // the number of bytes offered; after a successful read it is the number of
    // bytes delivered. When the value needs more than was offered the read fails
    // and *size tells how much it needs. The value's type is not reported.
    virtual bool QueryValue(RegistryKey key, const std::string& valueName, unsigned char* buffer,
                            std::uint32_t* size) = 0;

    // Deletes a child key (one that has no children of its own).
    virtual void DeleteKey(RegistryKey parent, const std::string& child) = 0;

    virtual void CloseKey(RegistryKey key) = 0;

    // Starts the program that the command line's first word names. The result
    // is the system's start result: kStartedAtLeast or more means started.
    virtual unsigned StartProgram(const std::string& commandLine, int showState) = 0;

    // Makes folder the working directory of later starts; failures are ignored.
    virtual void ChangeDirectory(const std::string& folder) = 0;

    // The value of an environment variable, whose name matches in any case.
    virtual std::optional<std::string> ReadEnvironment(const std::string& name) = 0;

    // Creates or empties the file and writes text to it in text mode, so each
    // "\n" reaches the disk as CR LF. True when all of it was written and the
    // file closed cleanly.
    virtual bool WriteTextFile(const std::string& path, const std::string& text) = 0;

    // Shows a modal message box captioned with the program's name and returns
    // the button pressed.
    virtual int ShowMessageBox(const std::string& text, unsigned style) = 0;

    // Ends the process with the exit code after the runtime's exit handlers.
    [[noreturn]] void EndProcess(int exitCode) {
        Exit(exitCode);
        std::abort();  // an implementation whose Exit returns is broken
    }

private:
    // Does what EndProcess promises; never returns to its caller.
    virtual void Exit(int exitCode) = 0;
};
