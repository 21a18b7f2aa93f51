#pragma once

#include <vector>

#include "platform/Platform.h"

// UTF-8 text as the system's wide-character calls take it, ending in a zero.
// Nothing when the text is no valid UTF-8.
std::optional<std::vector<wchar_t>> ToWide(const std::string& text);
// The same for text that is only shown: each invalid byte shows as U+FFFD.
std::vector<wchar_t> ShownAsWide(const std::string& text);
// The system's wide-character text as UTF-8; nothing for a lone surrogate,
// which stands for no character.
std::optional<std::string> FromWide(const wchar_t* text, size_t length);

// The running program's path, and its file name without its extension,
// spelled as on the disk rather than as the program happened to be started.
std::string ProgramPath();
std::string ProgramName();

// The real services, over Win32's wide-character calls. The object holds no state:
// any number of them may be made wherever the logic needs one.
class Win32Platform : public Platform {
public:
    std::optional<RegistryKey> OpenKey(RegistryRoot root, const std::string& subkey,
                                       std::uint32_t access) override;
    bool QueryValue(RegistryKey key, const std::string& valueName, unsigned char* buffer,
                    std::uint32_t* size) override;
    void DeleteKey(RegistryKey parent, const std::string& child) override;
    void CloseKey(RegistryKey key) override;
    bool StartProgram(const std::string& program, const std::string& commandLine,
                      const std::string& folder) override;
    std::string WindowsFolder() override;
    std::string SystemFolder() override;
    std::string ProgramPath() override;
    bool IsElevated() override;
    bool StartElevated(const std::string& program, const std::string& arguments) override;
    bool CanChangeFolder(const std::string& folder) override;
    bool TakeLock(const std::string& name) override;
    std::optional<std::string> WriteNewFile(const std::string& folder, const std::string& prefix,
                                            const std::string& suffix, const std::string& text) override;
    void RemoveFile(const std::string& path) override;
    std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit) override;
    bool FileExists(const std::string& path) override;
    // A message box with no owner, captioned with the executable's file name
    // without its extension. The application's own platform replaces it with
    // the framework's message box, which is owned by the main window.
    int ShowMessageBox(const std::string& text, unsigned style) override;

private:
    void Exit(int exitCode) override;
};
