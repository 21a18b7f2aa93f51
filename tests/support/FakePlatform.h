#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

// Thrown by FakePlatform where the real process would end.
struct ProcessEnded {
    int exitCode;
};

// A stand-in for the operating system. Tests fill in the registry and the
// user's answers, run the logic, and read back what a user would see: the
// programs started, the messages shown, the files written and the keys left.
class FakePlatform : public Platform {
public:
    // Key paths are "HKCU\Software\Vastrel", "HKCR" for a root, "HKLM64" for
    // the 64-bit view's, a registry of its own; a key exists with its parents.
    void AddKey(const std::string& path) {
        for (size_t end = path.size(); end != 0 && end != std::string::npos;
             end = path.rfind('\\', end - 1)) {
            registry_[path.substr(0, end)];
        }
    }
    void SetValue(const std::string& path, const std::string& valueName, const std::string& data) {
        AddKey(path);
        registry_[path][valueName] = data;
    }
    bool HasKey(const std::string& path) const { return registry_.count(path) != 0; }
    // The value each game's installer leaves: its install location, as text
    // ending in a zero byte. An id that is no known game adds nothing.
    void InstallGame(const std::string& id, const std::string& location) {
        const std::string uninstall = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
        const std::map<std::string, std::pair<std::string, std::string>> games = {
            {"sof1", {"HKCU\\Software\\Raven Software\\SoF", "Path"}},
            {"sof2", {uninstall + "Soldier of Fortune II - Double Helix", "DisplayIcon"}},
            {"mohaa", {"HKCU\\Software\\2015\\MOHAA", "basepath"}},
            {"mohaaspearhead", {"HKCU\\Software\\EA Games\\MOHAA Spearhead", "basepath"}},
            {"rtcw", {uninstall + "Return to Castle Wolfenstein", "DisplayIcon"}}};
        if (games.count(id) != 0) {
            SetValue(games.at(id).first, games.at(id).second, location + '\0');
        }
    }

    std::set<std::string> denied;    // keys that exist but refuse every open
    std::set<std::string> readOnly;  // keys that open only to read, and folders
    bool elevated = true;
    bool elevationGranted = true;
    std::set<std::string> heldLocks;  // by another process
    unsigned failingStarts = 0;       // bit n set: the start after n others fails
    int answer = 1;                   // to every message box: OK
    bool failWrites = false;

    // What happened: each start as "program | command line | folder", each
    // elevated one as "program arguments", the text of each message box, the
    // files written (with "\n" line ends) and how many keys are still open.
    std::vector<std::string> starts;
    std::vector<std::string> elevatedStarts;
    std::vector<std::string> messages;
    std::vector<unsigned> styles;              // of the message boxes: their buttons and icon
    std::map<std::string, std::string> files;  // also read
    int openKeys = 0;

    std::optional<RegistryKey> OpenKey(RegistryRoot root, const std::string& subkey,
                                       std::uint32_t access) override {
        const char* const roots[] = {"HKCU", "HKLM", "HKCR"};
        std::string path = roots[static_cast<int>(root)] +
                           std::string((access & kKeyWow64_64Key) ? "64" : "") +
                           (subkey.empty() ? "" : "\\" + subkey);
        if (!HasKey(path) || denied.count(path) != 0 ||
            (readOnly.count(path) != 0 && (access & ~kKeyWow64_64Key) != kKeyQueryValue)) {
            return std::nullopt;
        }
        keyPaths_[keyPaths_.size() + 1] = path;
        openKeys++;
        return RegistryKey{keyPaths_.size()};
    }
    // Leaves junk in the bytes offered beyond the value, as a read that
    // converts text in the buffer may: text read past the bytes delivered shows.
    bool QueryValue(RegistryKey key, const std::string& valueName, unsigned char* buffer,
                    std::uint32_t* size) override {
        const std::map<std::string, std::string>& values = registry_[keyPaths_[key.handle]];
        auto value = values.find(valueName);
        if (value == values.end()) {
            return false;
        }
        const std::string& data = value->second;
        bool fits = data.size() <= *size;
        if (fits) {
            std::fill(std::copy(data.begin(), data.end(), buffer), buffer + *size, '?');
        }
        *size = static_cast<std::uint32_t>(data.size());
        return fits;
    }
    // A key with children of its own stays.
    void DeleteKey(RegistryKey parent, const std::string& child) override {
        std::string path = keyPaths_[parent.handle] + "\\" + child;
        auto next = registry_.lower_bound(path + "\\");
        if (next == registry_.end() || next->first.compare(0, path.size() + 1, path + "\\") != 0) {
            registry_.erase(path);
        }
    }
    void CloseKey(RegistryKey) override { openKeys--; }
    bool StartProgram(const std::string& program, const std::string& commandLine,
                      const std::string& folder) override {
        starts.push_back(program + " | " + commandLine + " | " + folder);
        return (failingStarts >> (starts.size() - 1) & 1) == 0;
    }
    std::string WindowsFolder() override { return "C:\\WINDOWS"; }
    std::string SystemFolder() override { return "C:\\WINDOWS\\system32"; }
    std::string ProgramPath() override { return "C:\\Program Files\\Vastrel\\vsl.exe"; }
    bool IsElevated() override { return elevated; }
    bool StartElevated(const std::string& program, const std::string& arguments) override {
        elevatedStarts.push_back(program + " " + arguments);
        return elevationGranted;
    }
    bool CanChangeFolder(const std::string& folder) override { return readOnly.count(folder) == 0; }
    bool TakeLock(const std::string& name) override { return heldLocks.insert(name).second; }
    std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit) override {
        auto file = files.find(path);
        return file != files.end() && file->second.size() <= limit ? std::optional(file->second)
                                                                   : std::nullopt;
    }
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    // The random part of the name is always the same here.
    std::optional<std::string> WriteNewFile(const std::string& folder, const std::string& prefix,
                                            const std::string& suffix, const std::string& text) override {
        std::string path = folder + "\\" + prefix + "0123456789abcdef" + suffix;
        if (failWrites || files.count(path) != 0) {
            return std::nullopt;
        }
        files[path] = text;
        return path;
    }
    void RemoveFile(const std::string& path) override { files.erase(path); }
    int ShowMessageBox(const std::string& text, unsigned style) override {
        messages.push_back(text);
        styles.push_back(style);
        return answer;
    }

private:
    void Exit(int exitCode) override { throw ProcessEnded{exitCode}; }

    // Key path -> value name -> data bytes.
    std::map<std::string, std::map<std::string, std::string>> registry_;
    std::map<std::uintptr_t, std::string> keyPaths_;  // by handle
};

// The exit code that run ends the process with; -1 when it returns.
template <typename Run>
int ExitCodeOf(Run run) {
    try {
        run();
    } catch (const ProcessEnded& ended) {
        return ended.exitCode;
    }
    return -1;
}
