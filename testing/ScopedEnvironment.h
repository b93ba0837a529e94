#pragma once

#include <map>
#include <optional>
#include <string>

namespace testing {

/// Sets environment variables for as long as it lives, then puts back what they held (or unsets them).
/// For tests on the main thread only: the environment is the process's.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    /// Sets `name` to `value`, or unsets it for nullopt.
    void set(const std::string& name, const std::optional<std::string>& value);

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

}
