#include "testing/ScopedEnvironment.h"

#include <cstdlib>

namespace testing {

namespace {

void apply(const std::string& name, const std::optional<std::string>& value)
{
    if (value)
        setenv(name.c_str(), value->c_str(), 1);
    else
        unsetenv(name.c_str());
}

}

ScopedEnvironment::~ScopedEnvironment()
{
    for (const auto& [name, value] : m_saved)
        apply(name, value);
}

void ScopedEnvironment::set(const std::string& name, const std::optional<std::string>& value)
{
    if (!m_saved.contains(name)) {
        const char* old = std::getenv(name.c_str());
        m_saved.emplace(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    apply(name, value);
}

}
