#pragma once

#include <windows.h>

#include <string>

// The registry of the test's own prefix, written as installers write it.

// Creates root\key as needed and sets the text value (REG_SZ); an empty name
// sets the key's default value.
void WriteRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text);

bool RegistryKeyExists(HKEY root, const std::string& key);

// Deletes the key with all its subkeys; nothing when it is not there.
void DeleteRegistryTree(HKEY root, const std::string& key);
