#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::outside {

/// What the remote configuration service decided: which app versions may run, and the page that asks
/// the user to update when theirs may not.
class Configuration {
public:
    /// A configuration accepting `acceptedVersions`, redirecting refused ones to `redirectUrl`.
    Configuration(std::vector<std::string> acceptedVersions, std::string redirectUrl);

    /// The configuration in the service's document (see APIConfiguration), with a relative redirect
    /// resolved against `serviceUrl`; nullopt when the document lacks the list of accepted versions or
    /// the redirect address.
    static std::optional<Configuration> fromDocument(
        const foundation::Value& document, std::string_view serviceUrl);

    /// Whether the app version `version` may go on (exact match with an accepted version).
    bool isOk(std::string_view version) const;

    /// The absolute address of the page to show when the version is refused.
    const std::string& redirectUrl() const { return m_redirectUrl; }

    /// The versions accepted, as the service listed them.
    const std::vector<std::string>& acceptedVersions() const { return m_acceptedVersions; }

private:
    std::vector<std::string> m_acceptedVersions;
    std::string m_redirectUrl;
};

}
