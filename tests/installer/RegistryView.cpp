#include "RegistryView.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Describe(DWORD type, const std::vector<BYTE>& data, DWORD size) {
    if (type == REG_SZ) {
        std::string text(reinterpret_cast<const char*>(data.data()), size);
        // The stored text ends in one zero, which is no part of it.
        if (!text.empty() && text.back() == '\0') {
            text.pop_back();
        }
        return Text(text);
    }
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        std::copy(data.begin(), data.begin() + sizeof(DWORD), reinterpret_cast<BYTE*>(&number));
        return Number(number);
    }
    std::string described = "type" + std::to_string(type) + ":";
    for (DWORD i = 0; i < size; i++) {
        char hex[3];
        std::snprintf(hex, sizeof(hex), "%02x", data[i]);
        described += hex;
    }
    return described;
}

}  // namespace

std::string Text(const std::string& text) {
    return "sz:" + text;
}

std::string Number(DWORD number) {
    return "dword:" + std::to_string(number);
}

void PrintTo(const KeyContents& contents, std::ostream* out) {
    *out << "{values:";
    for (const auto& [name, value] : contents.values) {
        *out << " [" << name << "]=" << value;
    }
    *out << "; subkeys:";
    for (const std::string& subkey : contents.subkeys) {
        *out << " " << subkey;
    }
    *out << "}";
}

std::optional<KeyContents> ReadKey(HKEY root, const std::string& key) {
    HKEY opened = NULL;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    KeyContents contents;
    for (DWORD index = 0;; index++) {
        char name[16384];
        DWORD nameLength = sizeof(name);
        DWORD type = 0;
        std::vector<BYTE> data(65536);
        DWORD size = static_cast<DWORD>(data.size());
        if (RegEnumValueA(opened, index, name, &nameLength, NULL, &type, data.data(), &size) !=
            ERROR_SUCCESS) {
            break;
        }
        contents.values[std::string(name, nameLength)] = Describe(type, data, size);
    }
    RegCloseKey(opened);
    contents.subkeys = SubkeyNames(root, key);
    return contents;
}

std::vector<std::string> SubkeyNames(HKEY root, const std::string& key) {
    std::vector<std::string> names;
    HKEY opened = NULL;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD index = 0;; index++) {
        char name[256];
        DWORD nameLength = sizeof(name);
        if (RegEnumKeyExA(opened, index, name, &nameLength, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) {
            break;
        }
        names.push_back(std::string(name, nameLength));
    }
    RegCloseKey(opened);
    std::sort(names.begin(), names.end());
    return names;
}
