#include "Zorvik/Models/BuildSettings.h"

#include <cstdlib>

#ifndef ZORVIK_DEFAULT_API_URL
#define ZORVIK_DEFAULT_API_URL "http://127.0.0.1:8080/"
#endif
#ifndef ZORVIK_DEFAULT_COMPANIES_URL
#define ZORVIK_DEFAULT_COMPANIES_URL "http://127.0.0.1:8080/"
#endif
#ifndef ZORVIK_DEFAULT_CONFIG_URL
#define ZORVIK_DEFAULT_CONFIG_URL "http://127.0.0.1:8080/"
#endif
#ifndef ZORVIK_DEFAULT_PHOTO_URL
#define ZORVIK_DEFAULT_PHOTO_URL "http://127.0.0.1:8080"
#endif
#ifndef ZORVIK_DEFAULT_SITE_URL
#define ZORVIK_DEFAULT_SITE_URL "http://127.0.0.1:8080"
#endif
#ifndef ZORVIK_PHOTO_ACCESS_KEY
#define ZORVIK_PHOTO_ACCESS_KEY "local-access-key"
#endif
#ifndef ZORVIK_PHOTO_SECRET_KEY
#define ZORVIK_PHOTO_SECRET_KEY "local-secret-key"
#endif

namespace zorvik {

namespace {

std::string setting(const char* variable, const char* buildDefault)
{
    const char* value = std::getenv(variable);
    return value && *value ? value : buildDefault;
}

}

std::string BuildSettings::apiBaseUrl()
{
    return setting("ZORVIK_API_URL", ZORVIK_DEFAULT_API_URL);
}

std::string BuildSettings::companiesUrl()
{
    return setting("ZORVIK_COMPANIES_URL", ZORVIK_DEFAULT_COMPANIES_URL);
}

std::string BuildSettings::configurationUrl()
{
    return setting("ZORVIK_CONFIG_URL", ZORVIK_DEFAULT_CONFIG_URL);
}

std::string BuildSettings::photoStorageUrl()
{
    return setting("ZORVIK_PHOTO_URL", ZORVIK_DEFAULT_PHOTO_URL);
}

std::string BuildSettings::siteUrl()
{
    auto url = setting("ZORVIK_SITE_URL", ZORVIK_DEFAULT_SITE_URL);
    while (url.ends_with('/'))
        url.pop_back();
    return url;
}

std::string BuildSettings::photoAccessKey()
{
    return ZORVIK_PHOTO_ACCESS_KEY;
}

std::string BuildSettings::photoSecretKey()
{
    return ZORVIK_PHOTO_SECRET_KEY;
}

}
