#include "conversion/ACTEndpoints.h"

#include <cstdlib>

namespace conversion {

namespace {

std::string root(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    std::string url = value && *value ? value : fallback;
    while (url.ends_with("/"))
        url.pop_back();
    return url;
}

}

std::string ACTEndpoints::conversionBase()
{
    return root("ZORVIK_CONVERSION_URL", ZORVIK_DEFAULT_CONVERSION_URL) + "/pagead/conversion";
}

std::string ACTEndpoints::activityBase()
{
    return root("ZORVIK_ACTIVITY_URL", ZORVIK_DEFAULT_ACTIVITY_URL) + "/activity;";
}

}
