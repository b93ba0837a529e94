#include "platform/outside/Configuration.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/http/Url.h"

#include <algorithm>

namespace platform::outside {

Configuration::Configuration(std::vector<std::string> acceptedVersions, std::string redirectUrl)
    : m_acceptedVersions(std::move(acceptedVersions))
    , m_redirectUrl(std::move(redirectUrl))
{
}

std::optional<Configuration> Configuration::fromDocument(
    const foundation::Value& document, std::string_view serviceUrl)
{
    auto root = document.dictionary();
    if (!root)
        return std::nullopt;
    auto versions = root->get("versions").dictionary();
    auto accepted = versions ? versions->get("accepted").array() : nullptr;
    foundation::Value redirectValue = root->get("redirectUrl");
    const std::string* redirect = redirectValue.string();
    if (!accepted || !redirect || redirect->empty())
        return std::nullopt;
    std::vector<std::string> acceptedVersions;
    for (const auto& version : accepted->values()) {
        if (const std::string* text = version.string())
            acceptedVersions.push_back(*text);
    }
    return Configuration(std::move(acceptedVersions), http::resolve(*redirect, serviceUrl));
}

bool Configuration::isOk(std::string_view version) const
{
    return std::find(m_acceptedVersions.begin(), m_acceptedVersions.end(), version)
        != m_acceptedVersions.end();
}

}
