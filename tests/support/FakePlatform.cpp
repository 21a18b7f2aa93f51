#include "tests/support/FakePlatform.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

std::string Hex(std::uint32_t value) {
    std::ostringstream text;
    text << "0x" << std::uppercase << std::hex << value;
    return text.str();
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string ParentOf(const std::string& keyPath) {
    size_t slash = keyPath.rfind('\\');
    return slash == std::string::npos ? std::string() : keyPath.substr(0, slash);
}

}  // namespace

std::string RootName(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return "HKCU";
        case RegistryRoot::LocalMachine:
            return "HKLM";
        case RegistryRoot::ClassesRoot:
            return "HKCR";
    }
    return "?";
}

void FakePlatform::AddKey(const std::string& keyPath) {
    for (std::string path = keyPath; !path.empty(); path = ParentOf(path)) {
        registry_[path];
    }
}

void FakePlatform::SetValue(const std::string& keyPath, const std::string& valueName,
                            const std::string& data) {
    AddKey(keyPath);
    registry_[keyPath][valueName] = data;
}

bool FakePlatform::HasKey(const std::string& keyPath) const {
    return registry_.count(keyPath) != 0;
}

std::vector<std::string> FakePlatform::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : calls) {
        if (call.compare(0, prefix.size(), prefix) == 0) {
            found.push_back(call);
        }
    }
    return found;
}

std::string FakePlatform::KeyPathOf(RegistryKey key) const {
    auto it = openKeys_.find(key.handle);
    return it == openKeys_.end() ? std::string() : it->second;
}

std::optional<RegistryKey> FakePlatform::OpenKey(RegistryRoot root, const std::string& subkey,
                                                 std::uint32_t access) {
    calls.push_back("OpenKey " + RootName(root) + " " + subkey + " " + Hex(access));
    std::string path = RootName(root) + (subkey.empty() ? "" : "\\" + subkey);
    if (!HasKey(path) && !subkey.empty()) {
        return std::nullopt;
    }
    if (deniedKeys.count(path) != 0 || (readOnlyKeys.count(path) != 0 && access != kKeyQueryValue)) {
        return std::nullopt;
    }
    RegistryKey key{nextHandle_++};
    openKeys_[key.handle] = path;
    return key;
}

bool FakePlatform::QueryValue(RegistryKey key, const std::string& valueName, unsigned char* buffer,
                              std::uint32_t* size) {
    calls.push_back("QueryValue " + valueName + " " + std::to_string(*size));
    auto keyIt = registry_.find(KeyPathOf(key));
    if (keyIt == registry_.end()) {
        return false;
    }
    auto valueIt = keyIt->second.find(valueName);
    if (valueIt == keyIt->second.end()) {
        return false;
    }
    const std::string& data = valueIt->second;
    bool fits = data.size() <= *size;
    if (fits) {
        std::copy(data.begin(), data.end(), buffer);
    }
    *size = static_cast<std::uint32_t>(data.size());
    return fits;
}

void FakePlatform::DeleteKey(RegistryKey parent, const std::string& child) {
    calls.push_back("DeleteKey " + child);
    std::string parentPath = KeyPathOf(parent);
    if (parentPath.empty()) {
        return;
    }
    std::string path = parentPath + "\\" + child;
    bool hasChildren = std::any_of(registry_.begin(), registry_.end(),
                                   [&](const auto& entry) { return ParentOf(entry.first) == path; });
    if (!hasChildren) {
        registry_.erase(path);
    }
}

void FakePlatform::CloseKey(RegistryKey key) {
    calls.push_back("CloseKey");
    openKeys_.erase(key.handle);
}

bool FakePlatform::StartProgram(const std::string& program, const std::string& commandLine,
                                const std::string& folder) {
    calls.push_back("StartProgram " + program + " | " + commandLine + " | " + folder);
    starts.push_back(Start{program, commandLine, folder});
    if (startResults.empty()) {
        return true;
    }
    bool started = startResults.front();
    startResults.pop_front();
    return started;
}

std::optional<std::string> FakePlatform::ConvertText(const std::string& text, CodePage from, CodePage to) {
    std::string converted;
    bool toUtf8 = from != CodePage::Utf8 && to == CodePage::Utf8;
    bool fromUtf8 = from == CodePage::Utf8 && to != CodePage::Utf8;
    for (size_t i = 0; i < text.size(); i++) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80 && toUtf8) {
            converted += static_cast<char>(0xC0 | byte >> 6);
            converted += static_cast<char>(0x80 | (byte & 0x3F));
        } else if (byte >= 0x80 && to == CodePage::Oem) {
            if (byte != 0xF6 && byte != 0xDC) {
                return std::nullopt;
            }
            converted += static_cast<char>(byte == 0xF6 ? 0x94 : 0x9A);
        } else if (byte >= 0x80 && fromUtf8) {
            // Latin-1 holds the characters of two-byte sequences up to U+00FF;
            // anything longer is beyond it or no UTF-8 at all.
            auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
            if ((byte != 0xC2 && byte != 0xC3) || (next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            converted += static_cast<char>((byte & 0x03) << 6 | (next & 0x3F));
            i++;
        } else {
            converted += text[i];
        }
    }
    return converted;
}

std::optional<std::string> FakePlatform::ReadEnvironment(const std::string& name) {
    calls.push_back("ReadEnvironment " + name);
    for (const auto& [variable, value] : environment) {
        if (Lower(variable) == Lower(name)) {
            return value;
        }
    }
    return std::nullopt;
}

bool FakePlatform::StartElevated(const std::string& program, const std::string& arguments) {
    calls.push_back("StartElevated " + program + " " + arguments);
    return elevationGranted;
}

bool FakePlatform::TakeLock(const std::string& name) {
    return heldLocks.insert(name).second;
}

bool FakePlatform::WriteTextFile(const std::string& path, const std::string& text) {
    calls.push_back("WriteTextFile " + path);
    if (failWrites) {
        return false;
    }
    files[path] = text;
    return true;
}

int FakePlatform::ShowMessageBox(const std::string& text, unsigned style) {
    calls.push_back("ShowMessageBox " + text + " " + std::to_string(style));
    if (messageBoxAnswers.empty()) {
        return 1;
    }
    int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
}

void FakePlatform::Exit(int exitCode) {
    calls.push_back("EndProcess " + std::to_string(exitCode));
    throw ProcessEnded{exitCode};
}
