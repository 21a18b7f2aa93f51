#include "harness/Registry.h"

#include <shlwapi.h>

#include "tests/support/Files.h"

void WriteRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
    HKEY opened = NULL;
    if (RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &opened, NULL) != ERROR_SUCCESS) {
        throw SetupError("cannot create the registry key " + key);
    }
    LONG result = RegSetValueExA(opened, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1));
    RegCloseKey(opened);
    if (result != ERROR_SUCCESS) {
        throw SetupError("cannot set " + name + " of the registry key " + key);
    }
}

bool RegistryKeyExists(HKEY root, const std::string& key) {
    HKEY opened = NULL;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}

void DeleteRegistryTree(HKEY root, const std::string& key) {
    SHDeleteKeyA(root, key.c_str());
    if (RegistryKeyExists(root, key)) {
        throw SetupError("cannot delete the registry key " + key);
    }
}
