#include "harness/Environment.h"

#include <windows.h>

#include <vector>

std::optional<std::string> EnvironmentValue(const std::string& name) {
    DWORD needed = GetEnvironmentVariableA(name.c_str(), NULL, 0);
    if (needed == 0) {
        return std::nullopt;
    }
    std::vector<char> value(needed);
    GetEnvironmentVariableA(name.c_str(), value.data(), needed);
    return std::string(value.data());
}

ScopedEnvironment::ScopedEnvironment(const std::string& name, const std::optional<std::string>& value)
    : name_(name), previous_(EnvironmentValue(name)) {
    SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : NULL);
}

ScopedEnvironment::~ScopedEnvironment() {
    SetEnvironmentVariableA(name_.c_str(), previous_ ? previous_->c_str() : NULL);
}
