#pragma once

#include <optional>
#include <stdexcept>
#include <string>

// Thrown when the driver cannot lay out what a test needs; the test then fails
// with the message instead of testing something else.
struct SetupError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A file built beside the driver (vsl.exe, vsl_recorder.exe, ...).
std::string BuiltProgram(const std::string& fileName);

// The Windows path of a Linux path: Wine's Z: drive is the Linux root.
std::string FromLinuxPath(const std::string& linuxPath);

std::string FolderOf(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Creates the folder and any missing parents.
void MakeFolders(const std::string& folder);
void CopyFileTo(const std::string& from, const std::string& to);
void WriteFileText(const std::string& path, const std::string& text);
std::optional<std::string> ReadFileText(const std::string& path);

// Deletes a file or a folder with everything in it; nothing when it is gone.
void RemoveTree(const std::string& path);
