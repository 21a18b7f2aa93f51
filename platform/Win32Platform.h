#pragma once

#include "platform/Platform.h"

// The running program's path, and its file name without its extension,
// spelled as on the disk rather than as the program happened to be started.
std::string ProgramPath();
std::string ProgramName();

// The real services, over Win32 and the C runtime. The object holds no state:
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
    std::optional<std::string> ConvertText(const std::string& text, CodePage from, CodePage to) override;
    std::optional<std::string> ReadEnvironment(const std::string& name) override;
    std::string ProgramPath() override;
    bool IsElevated() override;
    bool StartElevated(const std::string& program, const std::string& arguments) override;
    bool CanChangeFolder(const std::string& folder) override;
    bool TakeLock(const std::string& name) override;
    std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit) override;
    bool FileExists(const std::string& path) override;
    bool WriteTextFile(const std::string& path, const std::string& text) override;
    // A MessageBoxA with no owner, captioned with the executable's file name
    // without its extension. The application's own platform replaces it with
    // the framework's message box, which is owned by the main window.
    int ShowMessageBox(const std::string& text, unsigned style) override;

private:
    void Exit(int exitCode) override;
};
