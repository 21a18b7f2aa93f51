#include "tests/support/Files.h"

#include <windows.h>

#include <fstream>
#include <sstream>

std::string BuiltProgram(const std::string& fileName) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        throw SetupError("cannot tell where the driver lives");
    }
    std::string program = FolderOf(path) + "\\" + fileName;
    if (!FileExists(program)) {
        throw SetupError(program + " is missing: build it beside the driver");
    }
    return program;
}

std::string FromLinuxPath(const std::string& linuxPath) {
    std::string path = "Z:" + linuxPath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::string FolderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFolders(const std::string& folder) {
    if (folder.empty() || FolderExists(folder)) {
        return;
    }
    MakeFolders(FolderOf(folder));
    if (!CreateDirectoryA(folder.c_str(), NULL) && !FolderExists(folder)) {
        throw SetupError("cannot create the folder " + folder);
    }
}

void CopyFileTo(const std::string& from, const std::string& to) {
    MakeFolders(FolderOf(to));
    // The test's prefix shares the template's files through hard links:
    // copying over one would write into the template.
    DeleteFileA(to.c_str());
    if (!CopyFileA(from.c_str(), to.c_str(), TRUE)) {
        throw SetupError("cannot copy " + from + " to " + to);
    }
}

void WriteFileText(const std::string& path, const std::string& text) {
    MakeFolders(FolderOf(path));
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file.flush()) {
        throw SetupError("cannot write " + path);
    }
}

std::optional<std::string> ReadFileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void RemoveTree(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name != "." && name != "..") {
                    RemoveTree(path + "\\" + name);
                }
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path.c_str());
    } else {
        DeleteFileA(path.c_str());
    }
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        throw SetupError("cannot remove " + path);
    }
}
