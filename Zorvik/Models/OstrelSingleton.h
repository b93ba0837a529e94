#pragma once

#include <memory>
#include <string>

namespace platform::outside {
class APIConfiguration;
}

namespace zorvik {

/// Holds the process's client of the remote configuration service, which the sign-up and PIN log-in
/// screens ask whether this version of the app may run (Version::appShortVersion()).
class OstrelSingleton {
public:
    OstrelSingleton() = delete;

    /// An instance carrying `baseUrl`; the app makes none.
    explicit OstrelSingleton(std::string baseUrl);

    /// The base URL given at creation.
    const std::string& baseUrl() const { return m_baseUrl; }

    /// The configuration client, made on first access (safely, should two threads ask at once) for
    /// BuildSettings::configurationUrl().
    static std::shared_ptr<platform::outside::APIConfiguration> apiConfig();

    /// Replaces the configuration client. Null drops it, so that the next apiConfig() makes a new one
    /// from the settings as they are then (tests point ZORVIK_CONFIG_URL at their back-end this way).
    static void setApiConfig(std::shared_ptr<platform::outside::APIConfiguration> apiConfig);

private:
    std::string m_baseUrl;
};

}
