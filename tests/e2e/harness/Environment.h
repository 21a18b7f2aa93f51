#pragma once

#include <optional>
#include <string>

// Sets (or, with nothing, removes) an environment variable of the driver for
// as long as the object lives. Programs the driver starts inherit it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const std::string& name, const std::optional<std::string>& value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

private:
    std::string name_;
    std::optional<std::string> previous_;
};

std::optional<std::string> EnvironmentValue(const std::string& name);
