#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

// The operating-system services that the launcher's logic uses. The logic in
// link/ and uninstall/ reaches the system only through this interface, so it
// runs unchanged against the real Win32 services and against a recording fake.
//
// All text passes as UTF-8: names, paths, command lines, registry text and
// messages. The Win32 services take and give it through the system's
// wide-character calls, converted strictly, so a path is never read or named
// through a code page that cannot hold it, nor replaced by a look-alike, and
// nothing depends on which code page the computer uses.

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

// Registry access masks, with the values the registry gives them.
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kKeyDelete = 0x10000;  // DELETE: the right to delete the key itself
// Added to a mask: the key as 64-bit programs see it, where a 32-bit program
// on 64-bit Windows would see its own copy; 32-bit Windows has one view.
constexpr std::uint32_t kKeyWow64_64Key = 0x0100;

// Message box styles and answers.
constexpr unsigned kMbIconHand = 0x10;       // one OK button and the stop icon
constexpr unsigned kMbYesNoQuestion = 0x24;  // MB_YESNO | MB_ICONQUESTION
constexpr int kIdYes = 6;

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

    // Reads a value of an open key into the caller's buffer: a text value as
    // UTF-8, any other as its bytes. On entry *size is the number of bytes
    // offered; after a successful read it is the number of bytes delivered.
    // When the value needs more than was offered the read fails and *size
    // tells how much it needs. A text value that is no valid text cannot be
    // read. The value's type is not reported.
    virtual bool QueryValue(RegistryKey key, const std::string& valueName, unsigned char* buffer,
                            std::uint32_t* size) = 0;

    // Deletes a child key (one that has no children of its own).
    virtual void DeleteKey(RegistryKey parent, const std::string& child) = 0;

    virtual void CloseKey(RegistryKey key) = 0;

    // Starts the program file, hidden, with the command line as the program
    // sees it and folder as its working directory. No search path is
    // consulted: program names the file itself. True when it started.
    virtual bool StartProgram(const std::string& program, const std::string& commandLine,
                              const std::string& folder) = 0;

    // The Windows folder, which holds explorer.exe, and the system folder,
    // which holds cmd.exe; neither ends in a backslash.
    virtual std::string WindowsFolder() = 0;
    virtual std::string SystemFolder() = 0;

    virtual std::string ProgramPath() = 0;

    // Whether the program runs with an administrator's full rights: elevated,
    // or on a system that does not split them.
    virtual bool IsElevated() = 0;

    // Starts the program with the system's elevation prompt; false when it
    // did not start (the prompt was refused, or elevation is impossible).
    virtual bool StartElevated(const std::string& program, const std::string& arguments) = 0;

    // Whether files may be created and deleted in the folder; true when there
    // is no such folder, which leaves nothing there to delete.
    virtual bool CanChangeFolder(const std::string& folder) = 0;

    // Takes the named lock for the rest of the process's life; false when
    // another process holds it.
    virtual bool TakeLock(const std::string& name) = 0;

    // Makes a file that did not exist before, under a name that nobody can
    // foresee: folder, a backslash, prefix, random letters and digits, then
    // suffix. Only this account, the administrators and the system may open
    // it to change it. Writes text to it with each "\n" as CR LF and returns
    // its path; nothing when it could not be made and written in full.
    virtual std::optional<std::string> WriteNewFile(const std::string& folder, const std::string& prefix,
                                                    const std::string& suffix, const std::string& text) = 0;

    virtual void RemoveFile(const std::string& path) = 0;

    // The file's bytes; nothing when it cannot be read or holds more than
    // limit bytes.
    virtual std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit) = 0;

    // Whether the path names a file; a folder is none.
    virtual bool FileExists(const std::string& path) = 0;

    // Shows a modal message box captioned with the program's name and returns
    // the button pressed.
    virtual int ShowMessageBox(const std::string& text, unsigned style) = 0;

    // Ends the process with the exit code after the runtime's exit handlers.
    [[noreturn]] void EndProcess(int exitCode) {
        Exit(exitCode);
        std::abort();  // an implementation whose Exit returns is broken
    }

    // Every problem the program reports ends it the same way: the message
    // with the stop icon, then exit code 1.
    [[noreturn]] void Fail(const std::string& message) {
        ShowMessageBox(message, kMbIconHand);
        EndProcess(1);
    }

private:
    // Does what EndProcess promises; never returns to its caller.
    virtual void Exit(int exitCode) = 0;
};
