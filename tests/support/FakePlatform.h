#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

// Thrown by FakePlatform::EndProcess where the real process would end.
struct ProcessEnded {
    int exitCode;
};

// A scripted stand-in for the operating system. Tests fill in the registry,
// the environment and the results of starts and message boxes, run the logic,
// and read back every call in order, one line each:
//   OpenKey HKCU Software\Vastrel 0x1
//   QueryValue path 255
//   DeleteKey Vastrel
//   CloseKey
//   StartProgram <program> | <command line> | <folder>
//   ReadEnvironment tmp
//   WriteTextFile <path>
//   ShowMessageBox <text> 16
//   StartElevated <program> <arguments>
//   EndProcess 1
class FakePlatform : public Platform {
public:
    // Registry contents. Key paths are "HKCU\Software\Vastrel", "HKCR" for a
    // root; each key that holds a value or child exists.
    void SetValue(const std::string& keyPath, const std::string& valueName, const std::string& data);
    void AddKey(const std::string& keyPath);
    bool HasKey(const std::string& keyPath) const;
    // Keys whose open is refused although they exist, and keys that open
    // only to read, as the computer's keys do for a user without elevation.
    std::set<std::string> deniedKeys;
    std::set<std::string> readOnlyKeys;
    // Folders in which no file may be created or deleted.
    std::set<std::string> readOnlyFolders;
    bool elevated = true;
    bool elevationGranted = true;  // what StartElevated answers
    // Locks that another process holds.
    std::set<std::string> heldLocks;

    std::map<std::string, std::string> environment;
    std::deque<bool> startResults;      // default: started
    std::deque<int> messageBoxAnswers;  // default: 1 (OK)
    bool failWrites = false;

    // Every start asked for, in order.
    struct Start {
        std::string program;
        std::string commandLine;
        std::string folder;
    };
    std::vector<Start> starts;

    // Files written, by path, with their text as handed over ("\n" line ends).
    std::map<std::string, std::string> files;
    std::vector<std::string> calls;

    // Calls whose line begins with prefix, in order.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

    std::optional<RegistryKey> OpenKey(RegistryRoot root, const std::string& subkey,
                                       std::uint32_t access) override;
    bool QueryValue(RegistryKey key, const std::string& valueName, unsigned char* buffer,
                    std::uint32_t* size) override;
    void DeleteKey(RegistryKey parent, const std::string& child) override;
    void CloseKey(RegistryKey key) override;
    bool StartProgram(const std::string& program, const std::string& commandLine,
                      const std::string& folder) override;
    std::string WindowsFolder() override { return "C:\\WINDOWS"; }
    std::string SystemFolder() override { return "C:\\WINDOWS\\system32"; }
    // The ANSI code page here is Latin-1, which holds the characters U+0000
    // to U+00FF as one byte each; the OEM code page holds ASCII and, of the
    // rest, only o-umlaut (0x94) and U-umlaut (0x9A).
    std::optional<std::string> ConvertText(const std::string& text, CodePage from, CodePage to) override;
    std::optional<std::string> ReadEnvironment(const std::string& name) override;
    std::string ProgramPath() override { return "C:\\Program Files\\Vastrel\\vsl.exe"; }
    bool IsElevated() override { return elevated; }
    bool StartElevated(const std::string& program, const std::string& arguments) override;
    bool CanChangeFolder(const std::string& folder) override { return readOnlyFolders.count(folder) == 0; }
    bool TakeLock(const std::string& name) override;
    bool WriteTextFile(const std::string& path, const std::string& text) override;
    int ShowMessageBox(const std::string& text, unsigned style) override;

private:
    void Exit(int exitCode) override;
    std::string KeyPathOf(RegistryKey key) const;

    // Key path -> value name -> data bytes.
    std::map<std::string, std::map<std::string, std::string>> registry_;
    std::map<std::uintptr_t, std::string> openKeys_;
    std::uintptr_t nextHandle_ = 0x100;
};

// The root's short name as used in key paths: HKCU, HKLM or HKCR.
std::string RootName(RegistryRoot root);
