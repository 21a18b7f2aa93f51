#include "link/SteamLibraries.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "link/Vdf.h"

namespace {

// A name that stays inside its folder: not empty, without a character that
// Windows refuses in names, and not ending in a dot or a blank, which Windows
// drops, so that "..", "..." or "a." never name another folder.
bool IsPlainName(const std::string& name) {
    if (name.empty() || name.back() == '.' || name.back() == ' ') {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || strchr("\\/:*?\"<>|", c) != nullptr;
    });
}

// A library folder as a full path from a drive's root, "D:\" and plain names,
// with backslashes for Steam's slashes and no backslash at its end; nothing
// for a relative path or any other. Checked in UTF-8, where no byte of
// another character can pass for a backslash.
std::optional<std::string> LibraryFolder(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    char drive = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);
    if (path.size() < 3 || drive < 'a' || drive > 'z' || path[1] != ':' || path[2] != '\\') {
        return std::nullopt;
    }
    if (path.back() == '\\') {
        path.pop_back();
    }
    for (std::size_t start = 3; start < path.size();) {
        std::size_t end = std::min(path.find('\\', start), path.size());
        if (!IsPlainName(path.substr(start, end - start))) {
            return std::nullopt;
        }
        start = end + 1;
    }
    return path;
}

std::optional<std::vector<VdfNode>> ReadVdfFile(Platform& platform, const std::string& path) {
    std::optional<std::string> text = platform.ReadSmallFile(path, kMaxVdfFileBytes);
    return text ? ParseVdf(*text) : std::nullopt;
}

bool IsNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Steam's own folder, then each library that libraryfolders.vdf numbers:
// its path as the value (older Steam) or as the "path" of its block (newer).
std::vector<std::string> Libraries(Platform& platform, const std::string& steam) {
    std::vector<std::string> libraries = {steam};
    std::optional<std::vector<VdfNode>> list =
        ReadVdfFile(platform, steam + "\\steamapps\\libraryfolders.vdf");
    const VdfNode* root = list ? FindVdfPair(*list, "libraryfolders") : nullptr;
    if (root == nullptr) {
        return libraries;
    }
    for (const VdfNode& library : root->children) {
        const VdfNode* path = library.block ? FindVdfPair(library.children, "path") : &library;
        if (IsNumber(library.key) && path != nullptr && !path->block) {
            libraries.push_back(path->value);
        }
    }
    return libraries;
}

// The app's executable in one library; empty when it is not there.
std::string FindInLibrary(Platform& platform, const std::string& library, const std::string& app,
                          const std::string& file) {
    std::optional<std::string> folder = LibraryFolder(library);
    if (!folder) {
        return std::string();
    }
    std::string apps = *folder + "\\steamapps\\";
    std::optional<std::vector<VdfNode>> manifest =
        ReadVdfFile(platform, apps + "appmanifest_" + app + ".acf");
    const VdfNode* state = manifest ? FindVdfPair(*manifest, "AppState") : nullptr;
    const VdfNode* installDir = state != nullptr ? FindVdfPair(state->children, "installdir") : nullptr;
    if (installDir == nullptr || installDir->block || !IsPlainName(installDir->value)) {
        return std::string();
    }
    std::string path = apps + "common\\" + installDir->value + "\\" + file;
    return platform.FileExists(path) ? path : std::string();
}

}  // namespace

std::string FindSteamGame(Platform& platform, const std::string& steamPath, const std::string& app,
                          const std::string& file) {
    std::optional<std::string> steam = LibraryFolder(steamPath);
    if (!steam) {
        return std::string();
    }
    for (const std::string& library : Libraries(platform, *steam)) {
        std::string path = FindInLibrary(platform, library, app, file);
        if (!path.empty()) {
            return path;
        }
    }
    return std::string();
}
